#include "params/Archive.h"

#include <QtEndian>

namespace {

constexpr uint8_t kLongLength = 0xFF;
constexpr uint16_t kWideMarker = 0xFFFE;
constexpr uint16_t kLength32 = 0xFFFF;

} // namespace

void ArchiveWriter::WriteText(const QString& text) {
    const QByteArray bytes = text.toLatin1(); // the file holds 8-bit text
    const auto length = static_cast<uint32_t>(bytes.size());
    if (length < 0xFF) {
        m_bytes.append(static_cast<char>(length));
    } else if (length < kWideMarker) {
        m_bytes.append(static_cast<char>(kLongLength));
        char word[2];
        qToLittleEndian<uint16_t>(static_cast<uint16_t>(length), word);
        m_bytes.append(word, 2);
    } else {
        m_bytes.append(static_cast<char>(kLongLength));
        char marker[2];
        qToLittleEndian<uint16_t>(kLength32, marker);
        m_bytes.append(marker, 2);
        char dword[4];
        qToLittleEndian<uint32_t>(length, dword);
        m_bytes.append(dword, 4);
    }
    m_bytes.append(bytes);
}

void ArchiveWriter::WriteInt32(int32_t value) {
    char bytes[4];
    qToLittleEndian<int32_t>(value, bytes);
    m_bytes.append(bytes, 4);
}

void ArchiveWriter::WriteInt32s(std::span<const int32_t> values) {
    for (int32_t v : values) {
        WriteInt32(v);
    }
}

bool ArchiveReader::Fail(const QString& why) {
    m_error = why;
    return false;
}

bool ArchiveReader::ReadBytes(qsizetype count, const char** data) {
    if (count < 0 || m_bytes.size() - m_position < count) {
        return Fail(QStringLiteral("文件在第 %1 字节处意外结束").arg(m_bytes.size()));
    }
    *data = m_bytes.data() + m_position;
    m_position += count;
    return true;
}

bool ArchiveReader::ReadUInt8(uint8_t* value) {
    const char* data = nullptr;
    if (!ReadBytes(1, &data)) {
        return false;
    }
    *value = static_cast<uint8_t>(*data);
    return true;
}

bool ArchiveReader::ReadUInt16(uint16_t* value) {
    const char* data = nullptr;
    if (!ReadBytes(2, &data)) {
        return false;
    }
    *value = qFromLittleEndian<uint16_t>(data);
    return true;
}

bool ArchiveReader::ReadUInt32(uint32_t* value) {
    const char* data = nullptr;
    if (!ReadBytes(4, &data)) {
        return false;
    }
    *value = qFromLittleEndian<uint32_t>(data);
    return true;
}

bool ArchiveReader::ReadLength(uint64_t* length, bool* wide) {
    *wide = false;
    uint8_t first = 0;
    if (!ReadUInt8(&first)) {
        return false;
    }
    if (first < kLongLength) {
        *length = first;
        return true;
    }
    uint16_t word = 0;
    if (!ReadUInt16(&word)) {
        return false;
    }
    if (word == kWideMarker) {
        // Wide text: the length follows again, in characters.
        *wide = true;
        if (!ReadUInt8(&first)) {
            return false;
        }
        if (first < kLongLength) {
            *length = first;
            return true;
        }
        if (!ReadUInt16(&word)) {
            return false;
        }
    }
    if (word < kLength32) {
        *length = word;
        return true;
    }
    uint32_t dword = 0;
    if (!ReadUInt32(&dword)) {
        return false;
    }
    *length = dword;
    return true;
}

bool ArchiveReader::ReadText(QString* text) {
    const qsizetype start = m_position;
    uint64_t length = 0;
    bool wide = false;
    if (!ReadLength(&length, &wide)) {
        m_position = start;
        return false;
    }
    const uint64_t byteCount = wide ? length * 2 : length;
    const auto remaining = static_cast<uint64_t>(m_bytes.size() - m_position);
    if (byteCount > remaining) {
        const qsizetype at = m_position;
        m_position = start;
        return Fail(QStringLiteral("第 %1 字节处的文字长度 %2 超出文件末尾").arg(at).arg(length));
    }
    const char* data = nullptr;
    ReadBytes(static_cast<qsizetype>(byteCount), &data);
    if (wide) {
        QString decoded(static_cast<qsizetype>(length), Qt::Uninitialized);
        for (uint64_t i = 0; i < length; ++i) {
            decoded[static_cast<qsizetype>(i)] = QChar(qFromLittleEndian<uint16_t>(data + 2 * i));
        }
        *text = decoded;
    } else {
        *text = QString::fromLatin1(data, static_cast<qsizetype>(byteCount));
    }
    return true;
}

bool ArchiveReader::ReadInt32s(std::span<int32_t> values) {
    const char* data = nullptr;
    if (!ReadBytes(static_cast<qsizetype>(values.size() * 4), &data)) {
        return false;
    }
    for (size_t i = 0; i < values.size(); ++i) {
        values[i] = qFromLittleEndian<int32_t>(data + 4 * i);
    }
    return true;
}

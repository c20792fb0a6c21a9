#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <span>

// The binary stream of parameter files: little-endian integers and length-prefixed text.
//
// A text's length prefix is one byte below 255; else 0xFF and a 16-bit length below 0xFFFE;
// else 0xFF, 0xFFFF and a 32-bit length. Wide-character text (16-bit characters) is introduced
// by 0xFF 0xFFFE followed by a prefix of the same kind counting characters; it is read, never
// written.
class ArchiveWriter {
public:
    void WriteText(const QString& text);
    void WriteInt32(int32_t value);
    void WriteInt32s(std::span<const int32_t> values);
    const QByteArray& Bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

class ArchiveReader {
public:
    explicit ArchiveReader(QByteArrayView bytes) : m_bytes(bytes) {}

    // Each read returns false, and leaves its output untouched, when the stream ends before the
    // value does. A length prefix that claims more text than the stream holds is refused before
    // anything is allocated.
    bool ReadText(QString* text);
    bool ReadInt32s(std::span<int32_t> values);

    qsizetype Position() const { return m_position; }
    qsizetype Size() const { return m_bytes.size(); }
    // Where and why the last read failed.
    const QString& Error() const { return m_error; }

private:
    bool ReadBytes(qsizetype count, const char** data);
    bool ReadUInt8(uint8_t* value);
    bool ReadUInt16(uint16_t* value);
    bool ReadUInt32(uint32_t* value);
    bool ReadLength(uint64_t* length, bool* wide);
    bool Fail(const QString& why);

    QByteArrayView m_bytes;
    qsizetype m_position = 0;
    QString m_error;
};

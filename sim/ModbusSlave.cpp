#include "sim/ModbusSlave.h"

#include "sim/CheckValues.h"
#include "sim/DriveState.h"

namespace {

constexpr uint8_t kReadHoldingRegisters = 0x03;
constexpr uint8_t kWriteSingleRegister = 0x06;
constexpr uint8_t kDiagnostics = 0x08;
constexpr uint8_t kWriteMultipleRegisters = 0x10;
constexpr int kReturnQueryData = 0x0000;
constexpr int kMaxReadCount = 125;
constexpr int kMaxWriteCount = 123;

int Field(QByteArrayView pdu, int at) {
    return (static_cast<uint8_t>(pdu[at]) << 8) | static_cast<uint8_t>(pdu[at + 1]);
}

void PutField(QByteArray& out, int value) {
    out += static_cast<char>((value >> 8) & 0xFF);
    out += static_cast<char>(value & 0xFF);
}

QByteArray Exception(uint8_t function, uint8_t code) {
    QByteArray out;
    out += static_cast<char>(function | 0x80);
    out += static_cast<char>(code);
    return out;
}

QByteArray ReadHoldingRegisters(const DriveState& state, QByteArrayView pdu) {
    if (pdu.size() != 5) {
        return Exception(kReadHoldingRegisters, kIllegalDataValue);
    }
    const int start = Field(pdu, 1);
    const int count = Field(pdu, 3);
    if (count < 1 || count > kMaxReadCount) {
        return Exception(kReadHoldingRegisters, kIllegalDataValue);
    }
    QByteArray out;
    out += static_cast<char>(kReadHoldingRegisters);
    out += static_cast<char>(2 * count);
    for (int i = 0; i < count; ++i) {
        const auto value = state.ReadRegister(start + i);
        if (!value) {
            return Exception(kReadHoldingRegisters, kIllegalDataAddress);
        }
        PutField(out, *value);
    }
    return out;
}

QByteArray WriteSingleRegister(DriveState& state, QByteArrayView pdu) {
    if (pdu.size() != 5) {
        return Exception(kWriteSingleRegister, kIllegalDataValue);
    }
    const int reg = Field(pdu, 1);
    if (!state.IsWritableRegister(reg)) {
        return Exception(kWriteSingleRegister, kIllegalDataAddress);
    }
    state.WriteRegister(reg, static_cast<uint16_t>(Field(pdu, 3)));
    return pdu.toByteArray();
}

QByteArray Diagnostics(QByteArrayView pdu) {
    if (pdu.size() != 5) {
        return Exception(kDiagnostics, kIllegalDataValue);
    }
    if (Field(pdu, 1) != kReturnQueryData) {
        return Exception(kDiagnostics, kIllegalFunction);
    }
    return pdu.toByteArray();
}

QByteArray WriteMultipleRegisters(DriveState& state, QByteArrayView pdu) {
    if (pdu.size() < 6) {
        return Exception(kWriteMultipleRegisters, kIllegalDataValue);
    }
    const int start = Field(pdu, 1);
    const int count = Field(pdu, 3);
    const int byteCount = static_cast<uint8_t>(pdu[5]);
    if (count < 1 || count > kMaxWriteCount || byteCount != 2 * count ||
        pdu.size() != 6 + byteCount) {
        return Exception(kWriteMultipleRegisters, kIllegalDataValue);
    }
    for (int i = 0; i < count; ++i) {
        if (!state.IsWritableRegister(start + i)) {
            return Exception(kWriteMultipleRegisters, kIllegalDataAddress);
        }
    }
    for (int i = 0; i < count; ++i) {
        state.WriteRegister(start + i, static_cast<uint16_t>(Field(pdu, 6 + 2 * i)));
    }
    return pdu.first(5).toByteArray();
}

} // namespace

QByteArray AnswerModbusPdu(DriveState& state, QByteArrayView pdu) {
    if (pdu.isEmpty()) {
        return Exception(0, kIllegalFunction);
    }
    const auto function = static_cast<uint8_t>(pdu[0]);
    switch (function) {
    case kReadHoldingRegisters: return ReadHoldingRegisters(state, pdu);
    case kWriteSingleRegister: return WriteSingleRegister(state, pdu);
    case kDiagnostics: return Diagnostics(pdu);
    case kWriteMultipleRegisters: return WriteMultipleRegisters(state, pdu);
    default: return Exception(function, kIllegalFunction);
    }
}

QByteArray AsciiFrame(uint8_t station, QByteArrayView pdu) {
    QByteArray bytes(1, static_cast<char>(station));
    bytes += pdu;
    bytes += static_cast<char>(ModbusLrc(bytes));
    return ':' + bytes.toHex().toUpper() + "\r\n";
}

QByteArray RtuFrame(uint8_t station, QByteArrayView pdu) {
    QByteArray frame(1, static_cast<char>(station));
    frame += pdu;
    const uint16_t crc = ModbusCrc16(frame);
    frame += static_cast<char>(crc & 0xFF);
    frame += static_cast<char>(crc >> 8);
    return frame;
}

bool DecodeAsciiFrame(QByteArrayView frame, QByteArray* bytes) {
    // ':', at least station, function and LRC as hex pairs, CR LF.
    const qsizetype n = frame.size();
    if (n < 9 || frame[0] != ':' || frame[n - 2] != '\r' || frame[n - 1] != '\n' ||
        (n - 3) % 2 != 0) {
        return false;
    }
    QByteArray decoded;
    for (qsizetype i = 1; i < n - 2; i += 2) {
        const int hi = HexDigit(frame[i]);
        const int lo = HexDigit(frame[i + 1]);
        if (hi < 0 || lo < 0 || (frame[i] >= 'a' && frame[i] <= 'f') ||
            (frame[i + 1] >= 'a' && frame[i + 1] <= 'f')) {
            return false;
        }
        decoded += static_cast<char>(hi * 16 + lo);
    }
    const auto lrc = static_cast<uint8_t>(decoded.back());
    decoded.chop(1);
    if (lrc != ModbusLrc(decoded)) {
        return false;
    }
    *bytes = decoded;
    return true;
}

bool HasGoodCrc(QByteArrayView frame) {
    if (frame.size() < 3) {
        return false;
    }
    const qsizetype n = frame.size();
    const uint16_t crc = ModbusCrc16(frame.first(n - 2));
    return static_cast<uint8_t>(frame[n - 2]) == (crc & 0xFF) &&
           static_cast<uint8_t>(frame[n - 1]) == (crc >> 8);
}

int RtuFrameLength(QByteArrayView head) {
    if (head.size() < 2) {
        return 0;
    }
    switch (static_cast<uint8_t>(head[1])) {
    case 0x01:
    case 0x02:
    case 0x03:
    case 0x04:
    case 0x05:
    case 0x06:
    case 0x08: return 8;
    case 0x0F:
    case 0x10: return head.size() < 7 ? 0 : 9 + static_cast<uint8_t>(head[6]);
    default: return -1;
    }
}

#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>

class DriveState;

// The drive as a Modbus slave: the protocol data unit (function code and data) answered against
// the drive's registers (DriveState::ReadRegister), and the ASCII and RTU framings around it.
//
//   03 read holding registers    1..125 registers; every one must exist
//   06 write single register     parameters only; the write is also stored (non-volatile)
//   08 diagnostics               sub-function 0000 (return query data) echoes the request
//   16 write multiple registers  1..123 registers; parameters only; stored as well
//
// Errors are exception replies (function + 0x80, code): 01 for any other function or
// diagnostics sub-function, 03 for a count or length that does not fit the function, 02 for a
// register that does not exist or, for a write, is not a parameter. Values are not range-checked.

inline constexpr uint8_t kIllegalFunction = 0x01;
inline constexpr uint8_t kIllegalDataAddress = 0x02;
inline constexpr uint8_t kIllegalDataValue = 0x03;

// Reply PDU for a request PDU (never empty: a refused request gets an exception reply).
QByteArray AnswerModbusPdu(DriveState& state, QByteArrayView pdu);

// ':' + hex of station and PDU + LRC + CR LF.
QByteArray AsciiFrame(uint8_t station, QByteArrayView pdu);
// Station, PDU, CRC low byte, CRC high byte.
QByteArray RtuFrame(uint8_t station, QByteArrayView pdu);

// The bytes of a complete ASCII frame (':' .. CR LF) without the LRC, when its characters are
// upper-case hex pairs and its LRC matches; false otherwise.
bool DecodeAsciiFrame(QByteArrayView frame, QByteArray* bytes);
// True when the last two bytes are the CRC of the others, low byte first.
bool HasGoodCrc(QByteArrayView frame);

// RTU frames carry no length: it follows from the function code. Given the first bytes of a
// candidate frame, the full length for the functions whose shape is fixed (01..06, 08: 8 bytes;
// 15, 16: 9 + the byte count), 0 while the bytes seen do not yet decide, -1 for a function whose
// length the drive cannot know.
int RtuFrameLength(QByteArrayView head);

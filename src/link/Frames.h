#pragma once

#include <cstddef>
#include <cstdint>

// Frames of the drive's command protocol and of Modbus ASCII/RTU, as pure functions over
// caller-owned buffers. Nothing here touches a port.
//
// Command protocol: printable requests with upper-case hex fields and a two-digit byte-sum
// checksum. 'R'/'L' read (6 bytes), 'W' write (10 bytes, 16-bit value), 'M' long write (14 bytes,
// 32-bit value). A write is answered by '%' (accepted) or '!' (refused); a read by '%', four hex
// digits of the word and the checksum of those five characters (7 bytes).

inline constexpr int kReadCommandLength = 6;
inline constexpr int kReadReplyLength = 7;
inline constexpr int kWriteCommandLength = 10;
inline constexpr int kWriteLongCommandLength = 14;
inline constexpr int kWriteReplyLength = 1;

// Writes the byte sum of frame[0 .. length-3] as two hex digits into the last two bytes.
void AppendCommandChecksum(uint8_t* frame, int length);

void BuildReadCommand(uint8_t* frame, char page, int location);
void BuildWriteCommand(uint8_t* frame, char page, int location, int32_t value);

// True when a read reply starts with '%' and its checksum digits match bytes 0 .. length-3.
bool IsGoodReadReply(const uint8_t* reply, int length);

// The hex digit's value ('0'-'9', 'A'-'F', 'a'-'f'), or -1.
int HexDigitValue(uint8_t c);

// The 16-bit word in four hex digits (upper or lower case), sign-extended; false on a bad digit.
bool DecodeWord(const uint8_t* digits, int32_t* word);

// Modbus.

// Two's complement of the byte sum of the hex pairs at positions 1..n-5 of an ASCII frame of
// length n (a character that is not '0'-'9'/'A'-'F' counts as 0). The frame carries the low byte.
uint16_t Lrc(const uint8_t* frame, int length);

// The Modbus CRC-16 (start 0xFFFF, polynomial 0xA001) of up to 255 bytes.
uint16_t Crc16(const uint8_t* bytes, int count);

// Function 03, read holding registers. Fills ASCII 17 or RTU 8 bytes; returns the expected
// reply length (ASCII 4 * count + 11, RTU 2 * count + 5).
int BuildReadRegisters(uint8_t* frame, int station, int start, int count, bool ascii);
// Function 06, write single register. Returns 17 (ASCII) or 8 (RTU), request and echo length.
int BuildWriteRegister(uint8_t* frame, int station, int address, int32_t value, bool ascii);

// Request lengths of the fixed frames.
inline constexpr int kAsciiRequestLength = 17;
inline constexpr int kRtuRequestLength = 8;

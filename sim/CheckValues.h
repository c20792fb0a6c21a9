#pragma once

#include <QByteArrayView>

#include <cstdint>

// The check values the drive puts on its frames and verifies on requests, as its protocols
// define them. The drive computes its own: a program that gets one wrong is answered with
// silence or a refusal, as a real drive would answer it.

// The command protocol's checksum: the 8-bit wrapping sum of the bytes (the frame's characters
// before the two checksum digits).
uint8_t CommandChecksum(QByteArrayView bytes);

// The Modbus ASCII LRC of the frame's bytes (station, function, data, as binary bytes): the
// two's complement of their 8-bit sum.
uint8_t ModbusLrc(QByteArrayView bytes);

// The Modbus RTU CRC-16: start 0xFFFF; each byte XORed into the low byte, then eight times a
// shift right, XOR 0xA001 when the bit shifted out was 1. The frame carries the low byte first.
uint16_t ModbusCrc16(QByteArrayView bytes);

// The value of a hexadecimal digit ('0'-'9', 'A'-'F', 'a'-'f'), or -1.
int HexDigit(char c);

#include "sim/CheckValues.h"

uint8_t CommandChecksum(QByteArrayView bytes) {
    uint8_t sum = 0;
    for (const char c : bytes) {
        sum = static_cast<uint8_t>(sum + static_cast<uint8_t>(c));
    }
    return sum;
}

uint8_t ModbusLrc(QByteArrayView bytes) {
    return static_cast<uint8_t>(-CommandChecksum(bytes));
}

uint16_t ModbusCrc16(QByteArrayView bytes) {
    uint16_t crc = 0xFFFF;
    for (const char c : bytes) {
        crc ^= static_cast<uint8_t>(c);
        for (int bit = 0; bit < 8; ++bit) {
            const bool out = (crc & 1u) != 0;
            crc = static_cast<uint16_t>(crc >> 1);
            if (out) {
                crc ^= 0xA001;
            }
        }
    }
    return crc;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

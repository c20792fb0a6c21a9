#include "link/Frames.h"

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

void PutHex(uint8_t* out, uint32_t value, int digits) {
    for (int i = digits - 1; i >= 0; --i) {
        out[i] = static_cast<uint8_t>(kHexDigits[value & 0xF]);
        value >>= 4;
    }
}

// Upper-case digits only, as the LRC of an ASCII frame reads them; anything else counts as 0.
int UpperHexOrZero(uint8_t c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return 0;
}

void BuildCommand(uint8_t* frame, char kind, char page, int location) {
    frame[0] = static_cast<uint8_t>(kind);
    frame[1] = static_cast<uint8_t>(page);
    PutHex(frame + 2, static_cast<uint32_t>(location) & 0xFF, 2);
}

// ASCII: ':' + hex of `body` + LRC + CR LF. Returns the frame length.
int FinishAscii(uint8_t* frame, const uint8_t* body, int bodyLength) {
    frame[0] = ':';
    for (int i = 0; i < bodyLength; ++i) {
        PutHex(frame + 1 + 2 * i, body[i], 2);
    }
    const int n = 1 + 2 * bodyLength + 4;
    PutHex(frame + 1 + 2 * bodyLength, Lrc(frame, n) & 0xFF, 2);
    frame[n - 2] = '\r';
    frame[n - 1] = '\n';
    return n;
}

// RTU: `body` + CRC low byte + CRC high byte. Returns the frame length.
int FinishRtu(uint8_t* frame, const uint8_t* body, int bodyLength) {
    for (int i = 0; i < bodyLength; ++i) {
        frame[i] = body[i];
    }
    const uint16_t crc = Crc16(frame, bodyLength);
    frame[bodyLength] = static_cast<uint8_t>(crc & 0xFF);
    frame[bodyLength + 1] = static_cast<uint8_t>(crc >> 8);
    return bodyLength + 2;
}

int Finish(uint8_t* frame, const uint8_t* body, int bodyLength, bool ascii) {
    return ascii ? FinishAscii(frame, body, bodyLength) : FinishRtu(frame, body, bodyLength);
}

// Station, function and two 16-bit fields: the shape of functions 03, 06 and 08.
int BuildFourField(uint8_t* frame, int station, uint8_t function, int32_t first, int32_t second,
                   bool ascii) {
    const uint8_t body[6] = {static_cast<uint8_t>(station),
                             function,
                             static_cast<uint8_t>((first >> 8) & 0xFF),
                             static_cast<uint8_t>(first & 0xFF),
                             static_cast<uint8_t>((second >> 8) & 0xFF),
                             static_cast<uint8_t>(second & 0xFF)};
    return Finish(frame, body, 6, ascii);
}

} // namespace

void AppendCommandChecksum(uint8_t* frame, int length) {
    uint8_t sum = 0;
    for (int i = 0; i <= length - 3; ++i) {
        sum = static_cast<uint8_t>(sum + frame[i]);
    }
    PutHex(frame + length - 2, sum, 2);
}

void BuildReadCommand(uint8_t* frame, char page, int location) {
    BuildCommand(frame, 'R', page, location);
    AppendCommandChecksum(frame, kReadCommandLength);
}

void BuildWriteCommand(uint8_t* frame, char page, int location, int32_t value) {
    BuildCommand(frame, 'W', page, location);
    PutHex(frame + 4, static_cast<uint32_t>(value) & 0xFFFF, 4);
    AppendCommandChecksum(frame, kWriteCommandLength);
}

bool IsGoodReadReply(const uint8_t* reply, int length) {
    if (length < 3 || reply[0] != '%') {
        return false;
    }
    uint8_t sum = 0;
    for (int i = 0; i <= length - 3; ++i) {
        sum = static_cast<uint8_t>(sum + reply[i]);
    }
    return reply[length - 2] == static_cast<uint8_t>(kHexDigits[sum >> 4]) &&
           reply[length - 1] == static_cast<uint8_t>(kHexDigits[sum & 0xF]);
}

int HexDigitValue(uint8_t c) {
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

bool DecodeWord(const uint8_t* digits, int32_t* word) {
    int value = 0;
    for (int i = 0; i < 4; ++i) {
        const int d = HexDigitValue(digits[i]);
        if (d < 0) {
            return false;
        }
        value = value * 16 + d;
    }
    *word = static_cast<int16_t>(static_cast<uint16_t>(value));
    return true;
}

uint16_t Lrc(const uint8_t* frame, int length) {
    unsigned sum = 0;
    for (int i = 1; i <= (length - 5) / 2; ++i) {
        sum += static_cast<unsigned>(UpperHexOrZero(frame[2 * i - 1]) * 16 +
                                     UpperHexOrZero(frame[2 * i]));
    }
    return static_cast<uint16_t>(0x10000u - sum);
}

uint16_t Crc16(const uint8_t* bytes, int count) {
    uint16_t crc = 0xFFFF;
    for (int i = 0; i < count; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1) != 0 ? static_cast<uint16_t>((crc >> 1) ^ 0xA001)
                                 : static_cast<uint16_t>(crc >> 1);
        }
    }
    return crc;
}

int BuildReadRegisters(uint8_t* frame, int station, int start, int count, bool ascii) {
    BuildFourField(frame, station, 0x03, start, count, ascii);
    return ascii ? 4 * count + 11 : 2 * count + 5;
}

int BuildWriteRegister(uint8_t* frame, int station, int address, int32_t value, bool ascii) {
    return BuildFourField(frame, station, 0x06, address, value, ascii);
}


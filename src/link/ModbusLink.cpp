#include "link/ModbusLink.h"

#include "link/Frames.h"

#include <algorithm>

namespace {

constexpr int kCommandAttempts = 3;
constexpr int kAsciiPauseMs = 2;
constexpr int kModbusTries = 3;
constexpr uint32_t kRtuWaitMs = 400;

// Upper-case hex digits only: a Modbus ASCII frame carries nothing else between ':' and CR LF.
int UpperHexValue(uint8_t c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

uint8_t UpperHexDigit(unsigned value) {
    return static_cast<uint8_t>("0123456789ABCDEF"[value & 0xF]);
}

// The judgement of an ASCII reply of `n` bytes that starts with ':'.
ExchangeResult JudgeAsciiReply(const uint8_t* reply, int n) {
    if (n < 5) {
        return ExchangeResult::Corrupt;
    }
    unsigned sum = 0;
    for (int i = 1; i <= (n - 5) / 2; ++i) {
        const int high = UpperHexValue(reply[2 * i - 1]);
        const int low = UpperHexValue(reply[2 * i]);
        if (high < 0 || low < 0) {
            return ExchangeResult::Corrupt;
        }
        sum += static_cast<unsigned>(high * 16 + low);
    }
    // The LRC digits sit before the CR LF, which is not checked.
    const unsigned lrc = (0x10000u - sum) & 0xFF;
    if (reply[n - 4] != UpperHexDigit(lrc >> 4) || reply[n - 3] != UpperHexDigit(lrc)) {
        return ExchangeResult::Corrupt;
    }
    return reply[3] >= '8' ? ExchangeResult::Exception : ExchangeResult::Good;
}

} // namespace

ModbusLink::~ModbusLink() = default;

ExchangeResult ModbusLink::ExchangeCommand(const uint8_t* request, int requestLength,
                                           uint8_t* reply, int replyLength) {
    const bool isWrite = request[0] == 'W' || request[0] == 'M';
    for (int attempt = 0; attempt < kCommandAttempts; ++attempt) {
        // Only what this attempt received counts: a short reply must not be completed by the
        // bytes an earlier exchange left in the caller's buffer.
        reply[0] = 0;
        int got = 0;
        if (Write(request, requestLength, nullptr, kNoTimeLimit) == 0) {
            Read(reply, replyLength, &got, kNoTimeLimit);
        }
        if (got >= 1 && reply[0] == '%') {
            if (isWrite) {
                return ExchangeResult::Accepted;
            }
            if (got == replyLength && IsGoodReadReply(reply, replyLength)) {
                return ExchangeResult::Good;
            }
        }
    }
    return ExchangeResult::NoReply;
}

ExchangeResult ModbusLink::ExchangeAscii(const uint8_t* request, int requestLength, uint8_t* reply,
                                         int replyLength, int attempts) {
    for (int attempt = 0; attempt < attempts; ++attempt) {
        // The drive needs a short quiet line between frames.
        Backend()->pause(kAsciiPauseMs);
        int got = 0;
        if (Write(request, requestLength, nullptr, kNoTimeLimit) == 0) {
            Read(reply, replyLength, &got, kNoTimeLimit);
        }
        if (got >= 1 && reply[0] == ':') {
            return JudgeAsciiReply(reply, got);
        }
    }
    return ExchangeResult::NoReply;
}

ExchangeResult ModbusLink::ExchangeRtu(const uint8_t* request, int requestLength, uint8_t* reply,
                                       int replyLength, uint32_t timeoutMs) {
    lastReplyLength_ = 0;
    requestSent_ = false;
    if (Write(request, requestLength, nullptr, timeoutMs) != 0) {
        return ExchangeResult::NoReply;
    }
    requestSent_ = true;
    int got = 0;
    if (Read(reply, replyLength, &got, timeoutMs) != 0) {
        return ExchangeResult::NoReply;
    }
    lastReplyLength_ = got;
    if (got < 2) {
        return ExchangeResult::NoReply;
    }
    // The CRC travels low byte first.
    const uint16_t crc = Crc16(reply, got - 2);
    if (reply[got - 2] != (crc & 0xFF) || reply[got - 1] != (crc >> 8)) {
        return ExchangeResult::Corrupt;
    }
    return reply[1] >= 0x80 ? ExchangeResult::Exception : ExchangeResult::Good;
}

ExchangeResult ModbusLink::ExchangeModbus(const uint8_t* request, int requestLength, uint8_t* reply,
                                          int replyLength, bool ascii) {
    ExchangeResult result = ExchangeResult::NoReply;
    for (int attempt = 0; attempt < kModbusTries; ++attempt) {
        // Each attempt starts from an empty buffer: a short reply must not be completed by the
        // bytes of an attempt before it (zeros are no hex digits of an ASCII value).
        std::fill(reply, reply + replyLength, uint8_t{0});
        result = ascii ? ExchangeAscii(request, requestLength, reply, replyLength, 1)
                       : ExchangeRtu(request, requestLength, reply, replyLength, kRtuWaitMs);
        if (result != ExchangeResult::NoReply && result != ExchangeResult::Corrupt) {
            break;
        }
    }
    return result;
}

#include "link/ModbusLink.h"

#include "link/Frames.h"

#include <algorithm>
#include <array>
#include <limits>

namespace {

constexpr int kCommandAttempts = 3;
constexpr int kAsciiPauseMs = 2;
constexpr int kModbusTries = 3;
constexpr uint32_t kRtuWaitMs = 400;
// Above this rate the RTU silence is fixed rather than 3.5 characters.
constexpr uint32_t kFixedSilenceAbove = 19200;
constexpr int64_t kFixedSilenceUs = 1750;
// The longest gap inside a frame handed over in pieces (the channel's byte gap).
constexpr int64_t kPieceGapUs = 50'000;
// The longest request the link sends (an ASCII frame is 17 characters).
constexpr int kMaxEchoLength = 64;

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

// Whether the reply to `request` can never be a copy of it: a command frame (its replies start
// with '%' or '!') or a Modbus register read. A Modbus write's reply is its request again.
bool ReplyDiffersFromRequest(const uint8_t* request, int length) {
    if (length < 2) {
        return false;
    }
    if (request[0] == ':') {
        return length >= 5 && request[3] == '0' && request[4] == '3';
    }
    if (request[0] >= 'A' && request[0] <= 'Z') {
        return true;
    }
    return request[1] == 0x03;
}

// An RTU frame whose last two bytes are the CRC of the others.
bool IsSoundRtuFrame(const uint8_t* frame, int length) {
    if (length < 4) {
        return false;
    }
    const uint16_t crc = Crc16(frame, length - 2);
    return frame[length - 2] == (crc & 0xFF) && frame[length - 1] == (crc >> 8);
}

} // namespace

ModbusLink::~ModbusLink() = default;

void ModbusLink::SetEcho(EchoMode mode) {
    echoMode_ = mode;
    decidedNow_ = false;
    switch (mode) {
    case EchoMode::Off: echoFound_ = false; break;
    case EchoMode::On: echoFound_ = true; break;
    case EchoMode::Automatic: echoFound_.reset(); break;
    }
}

void ModbusLink::SetLineTiming(uint32_t baudRate, int dataBits, int parity, int stopBits) {
    if (baudRate == 0) {
        return;
    }
    const int bits = 1 + dataBits + (parity != 0 ? 1 : 0) + (stopBits == 0 ? 1 : 2);
    characterUs_ = (bits * 1'000'000LL + baudRate - 1) / baudRate;
    rtuSilenceUs_ = baudRate > kFixedSilenceAbove
                        ? kFixedSilenceUs
                        : (35LL * bits * 1'000'000LL / 10 + baudRate - 1) / baudRate;
}

void ModbusLink::NoteSent(int count) {
    // The write returns when the bytes are handed to the device; they leave over their wire time.
    lastActivityUs_ = Backend()->ClockUs() + characterUs_ * count;
}

bool ModbusLink::Send(const uint8_t* request, int length, uint32_t timeoutMs) {
    int written = 0;
    if (Write(request, length, &written, timeoutMs) != 0) {
        NoteSent(written);
        return false;
    }
    NoteSent(written);
    return true;
}

void ModbusLink::KeepRtuSilence() {
    if (lastActivityUs_ < 0) {
        return;
    }
    SerialBackend& port = *Backend();
    // A stamp ahead of the clock (the wire time of bytes sent, or a backend whose clock started
    // anew) counts from no later than the longest frame's wire time from now.
    const int64_t now = port.ClockUs();
    const int64_t until = std::min(lastActivityUs_, now + characterUs_ * 256) + rtuSilenceUs_;
    while (port.ClockUs() < until) {
        port.PauseUs(until - port.ClockUs());
    }
}

void ModbusLink::DropStaleInput() {
    uint8_t scrap[64];
    int taken = 0;
    do {
        taken = 0;
        if (Backend()->TakeInput(scrap, sizeof scrap, &taken) != 0) {
            return;
        }
    } while (taken > 0);
}

void ModbusLink::Settle(ExchangeResult result) {
    const bool answered = result == ExchangeResult::Good || result == ExchangeResult::Accepted ||
                          result == ExchangeResult::Exception;
    if (decidedNow_ && !answered && echoMode_ == EchoMode::Automatic) {
        echoFound_.reset();
    }
    decidedNow_ = false;
}

int ModbusLink::ReadRtuFrame(uint8_t* buffer, int count, uint32_t waitLimitMs, int* got) {
    SerialBackend& port = *Backend();
    const int64_t start = port.ClockUs();
    const int64_t limitEnd = waitLimitMs == kNoTimeLimit
                                 ? std::numeric_limits<int64_t>::max()
                                 : start + static_cast<int64_t>(waitLimitMs) * 1000;
    int64_t lastByteAt = -1;
    int n = 0;
    *got = 0;
    for (bool firstPass = true;; firstPass = false) {
        // Bytes that come after the wait limit are not this read's: they stay on the line for
        // the next exchange to drop, rather than being taken and thrown away with a time-out.
        if (!firstPass && port.ClockUs() >= limitEnd) {
            return SerialBackend::kWaitLimitPassed;
        }
        int taken = 0;
        if (const int error = port.TakeInput(buffer + n, count - n, &taken)) {
            return error;
        }
        if (taken > 0) {
            n += taken;
            lastByteAt = port.ClockUs();
            lastActivityUs_ = lastByteAt;
        }
        if (n == count) {
            *got = n;
            return 0;
        }
        int64_t end = limitEnd;
        if (lastByteAt >= 0) {
            const int64_t gap = IsSoundRtuFrame(buffer, n) ? rtuSilenceUs_ : kPieceGapUs;
            end = std::min(end, lastByteAt + gap);
        }
        const int64_t now = port.ClockUs();
        if (now >= end) {
            if (end == limitEnd) {
                return SerialBackend::kWaitLimitPassed;
            }
            *got = n;
            return 0;
        }
        bool arrived = false;
        const int64_t waitMs = std::max<int64_t>(1, (end - now + 999) / 1000);
        if (const int error = port.WaitForInput(waitMs, &arrived)) {
            return error;
        }
    }
}

uint32_t ModbusLink::ReadPart(uint8_t* buffer, int count, uint32_t timeoutMs, bool rtu, int* got) {
    *got = 0;
    if (!rtu) {
        const uint32_t result = Read(buffer, count, got, timeoutMs);
        if (*got > 0) {
            NoteReceived();
        }
        return result;
    }
    if (!IsOpen()) {
        return Read(buffer, count, got, timeoutMs); // the channel's own refusal
    }
    const int error = ReadRtuFrame(buffer, count, timeoutMs, got);
    return error == 0                                 ? 0
           : error == SerialBackend::kWaitLimitPassed ? kChannelTimedOut
                                                      : static_cast<uint32_t>(error);
}

ModbusLink::ReplyStatus ModbusLink::ReceiveReply(const uint8_t* request, int requestLength,
                                                 uint8_t* reply, int replyLength,
                                                 uint32_t timeoutMs, bool rtu, int* got) {
    *got = 0;
    const bool detect = !echoFound_.has_value() && ReplyDiffersFromRequest(request, requestLength);
    if (!ExpectsEcho() && !detect) {
        return ReadPart(reply, replyLength, timeoutMs, rtu, got) == 0 ? ReplyStatus::Read
                                                                      : ReplyStatus::Failed;
    }
    std::array<uint8_t, kMaxEchoLength> copy{};
    const int copyLength = std::min(requestLength, kMaxEchoLength);
    int carried = 0;
    if (detect) {
        // The first bytes decide: the request's own, or the start of a reply, which never
        // equals it. Read into the reply buffer, where they stay when they are the reply.
        const int first = std::min(copyLength, replyLength);
        if (ReadPart(reply, first, timeoutMs, rtu, &carried) != 0) {
            return ReplyStatus::Failed;
        }
        if (carried == 0) {
            return ReplyStatus::Failed;
        }
        if (!std::equal(reply, reply + carried, request)) {
            echoFound_ = false;
            decidedNow_ = true;
            *got = carried;
            if (carried < first) {
                return ReplyStatus::Read; // a short reply, ended by the line's silence
            }
            int rest = 0;
            const uint32_t result =
                ReadPart(reply + carried, replyLength - carried, timeoutMs, rtu, &rest);
            *got = carried + rest;
            return result == 0 ? ReplyStatus::Read : ReplyStatus::Failed;
        }
        if (carried < first) {
            return ReplyStatus::Failed; // part of a copy, then silence: nothing decided
        }
        echoFound_ = true;
        decidedNow_ = true;
        std::copy(reply, reply + carried, copy.begin());
        std::fill(reply, reply + carried, uint8_t{0});
    }
    int copied = 0;
    if (ReadPart(copy.data() + carried, copyLength - carried, timeoutMs, rtu, &copied) != 0) {
        return ReplyStatus::Failed;
    }
    copied += carried;
    if (!std::equal(copy.begin(), copy.begin() + copied, request)) {
        return ReplyStatus::EchoDamaged;
    }
    if (copied < copyLength) {
        return ReplyStatus::Failed;
    }
    return ReadPart(reply, replyLength, timeoutMs, rtu, got) == 0 ? ReplyStatus::Read
                                                                  : ReplyStatus::Failed;
}

ExchangeResult ModbusLink::ExchangeCommand(const uint8_t* request, int requestLength,
                                           uint8_t* reply, int replyLength) {
    const bool isWrite = request[0] == 'W' || request[0] == 'M';
    for (int attempt = 0; attempt < kCommandAttempts; ++attempt) {
        // Only what this attempt received counts: a short reply must not be completed by the
        // bytes an earlier exchange left in the caller's buffer.
        reply[0] = 0;
        int got = 0;
        if (echoFound_ != false) {
            DropStaleInput();
        }
        if (Send(request, requestLength, kNoTimeLimit) &&
            ReceiveReply(request, requestLength, reply, replyLength, kNoTimeLimit, false, &got) !=
                ReplyStatus::Read) {
            got = 0;
        }
        if (got >= 1 && reply[0] == '%') {
            if (isWrite) {
                Settle(ExchangeResult::Accepted);
                return ExchangeResult::Accepted;
            }
            if (got == replyLength && IsGoodReadReply(reply, replyLength)) {
                Settle(ExchangeResult::Good);
                return ExchangeResult::Good;
            }
        }
        if (DeviceGone()) {
            break; // nothing will answer: the attempts left would only wait
        }
    }
    Settle(ExchangeResult::NoReply);
    return ExchangeResult::NoReply;
}

ExchangeResult ModbusLink::ExchangeAscii(const uint8_t* request, int requestLength, uint8_t* reply,
                                         int replyLength, int attempts) {
    for (int attempt = 0; attempt < attempts; ++attempt) {
        // The drive needs a short quiet line between frames.
        Backend()->Pause(kAsciiPauseMs);
        if (echoFound_ != false) {
            DropStaleInput();
        }
        int got = 0;
        if (Send(request, requestLength, kNoTimeLimit)) {
            const ReplyStatus status =
                ReceiveReply(request, requestLength, reply, replyLength, kNoTimeLimit, false, &got);
            if (status == ReplyStatus::EchoDamaged) {
                Settle(ExchangeResult::Corrupt);
                return ExchangeResult::Corrupt;
            }
            if (status == ReplyStatus::Failed) {
                got = 0;
            }
        }
        if (got >= 1 && reply[0] == ':') {
            const ExchangeResult result = JudgeAsciiReply(reply, got);
            Settle(result);
            return result;
        }
        if (DeviceGone()) {
            break;
        }
    }
    Settle(ExchangeResult::NoReply);
    return ExchangeResult::NoReply;
}

ExchangeResult ModbusLink::ExchangeRtu(const uint8_t* request, int requestLength, uint8_t* reply,
                                       int replyLength, uint32_t timeoutMs) {
    lastReplyLength_ = 0;
    requestSent_ = false;
    KeepRtuSilence();
    if (echoFound_ != false) {
        DropStaleInput();
    }
    if (!Send(request, requestLength, timeoutMs)) {
        return ExchangeResult::NoReply;
    }
    requestSent_ = true;
    int got = 0;
    const ReplyStatus status =
        ReceiveReply(request, requestLength, reply, replyLength, timeoutMs, true, &got);
    ExchangeResult result = ExchangeResult::NoReply;
    if (status == ReplyStatus::EchoDamaged) {
        result = ExchangeResult::Corrupt;
    } else if (status == ReplyStatus::Read) {
        lastReplyLength_ = got;
        if (got >= 2) {
            // The CRC travels low byte first.
            const uint16_t crc = Crc16(reply, got - 2);
            if (reply[got - 2] != (crc & 0xFF) || reply[got - 1] != (crc >> 8)) {
                result = ExchangeResult::Corrupt;
            } else {
                result = reply[1] >= 0x80 ? ExchangeResult::Exception : ExchangeResult::Good;
            }
        }
    }
    Settle(result);
    return result;
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
        if ((result != ExchangeResult::NoReply && result != ExchangeResult::Corrupt) ||
            DeviceGone()) {
            break;
        }
    }
    return result;
}

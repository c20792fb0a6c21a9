#include "link/SerialChannel.h"

#include "base/Messenger.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

constexpr int64_t kNever = std::numeric_limits<int64_t>::max();

// Read time-outs of mode 0: the longest pause between two bytes and the longest whole read.
constexpr uint32_t kByteGapMs = 50;
constexpr uint32_t kReadTotalMs = 400;

Messenger& ConsoleFallback() {
    static ConsoleMessenger console;
    return console;
}

int64_t WaitEnd(int64_t start, uint32_t timeoutMs) {
    return timeoutMs == kNoTimeLimit ? kNever : start + timeoutMs;
}

} // namespace

SerialChannel::SerialChannel(std::unique_ptr<SerialBackend> backend, Messenger* messenger)
    : backend_(backend ? std::move(backend) : MakeSystemSerialBackend()), messenger_(messenger) {}

SerialChannel::~SerialChannel() = default;

void SerialChannel::SetBackend(std::unique_ptr<SerialBackend> backend) {
    if (open_) {
        backend_->Close();
        open_ = false;
    }
    backend_ = backend ? std::move(backend) : MakeSystemSerialBackend();
}

uint32_t SerialChannel::Fail(uint32_t code) {
    lastError_ = code;
    return code;
}

uint32_t SerialChannel::FailBackend(int code) {
    if (open_ && IsVanishedDeviceError(code)) {
        deviceGone_ = true;
    }
    return Fail(code == SerialBackend::kWaitLimitPassed ? kChannelTimedOut
                                                        : static_cast<uint32_t>(code));
}

void SerialChannel::Say(const char* text) {
    Messenger& messenger = messenger_ != nullptr ? *messenger_ : ConsoleFallback();
    messenger.Show(QString::fromLatin1(text));
}

uint32_t SerialChannel::GetBaudRate() {
    lastError_ = 0;
    if (!open_) {
        Say("unable to obtain DCB information");
        Fail(kChannelNotOpen);
        return 0xFFFFFFFF;
    }
    return backend_->LineFormat().baudRate;
}

uint32_t SerialChannel::GetByteSize() {
    lastError_ = 0;
    if (!open_) {
        Fail(kChannelNotOpen);
        return 0xFFFFFFFF;
    }
    return static_cast<uint32_t>(backend_->LineFormat().dataBits);
}

uint32_t SerialChannel::GetParity() {
    lastError_ = 0;
    if (!open_) {
        Say("unable to obtain DCB information");
        Fail(kChannelNotOpen);
        return 0xFFFFFFFF;
    }
    // Parity checking is on exactly when the device runs with a parity bit.
    const int parity = backend_->LineFormat().parity;
    if (parity == 0) {
        Say("no parity");
        return 0;
    }
    return static_cast<uint32_t>(parity);
}

uint32_t SerialChannel::GetStopBits() {
    lastError_ = 0;
    if (!open_) {
        Fail(kChannelNotOpen);
        return 0xFFFFFFFF;
    }
    return static_cast<uint32_t>(backend_->LineFormat().stopBits);
}

uint32_t SerialChannel::GetHandshaking() {
    lastError_ = 0;
    if (!open_) {
        Fail(kChannelNotOpen);
        return 0xFFFFFFFF;
    }
    if (flow_.dtr == LineControl::Handshake && flow_.rts == LineControl::Handshake) {
        return 2;
    }
    return flow_.xonOutput && flow_.xonInput ? 1 : 0;
}

uint32_t SerialChannel::GetEventMask() {
    lastError_ = 0;
    if (!open_) {
        Fail(kChannelNotOpen);
        return 0;
    }
    return portEventMask_;
}

uint32_t SerialChannel::GetEventChar() {
    lastError_ = 0;
    if (!open_) {
        Fail(kChannelNotOpen);
        return 0;
    }
    return eventChar_;
}

uint32_t SerialChannel::Setup(uint32_t baudRate, int byteSize, int parity, int stopBits) {
    lastError_ = 0;
    if (!open_) {
        return Fail(kChannelNotOpen);
    }
    LineFormat format;
    format.baudRate = baudRate;
    format.dataBits = byteSize;
    format.parity = parity;
    format.stopBits = stopBits;
    if (const int error = backend_->Configure(format)) {
        return FailBackend(error);
    }
    return lastError_;
}

uint32_t SerialChannel::SetEventChar(char character, bool enable) {
    lastError_ = 0;
    if (!open_) {
        // The port state of a closed port cannot be written.
        Say("unable to set DCB information");
        return Fail(kChannelNotOpen);
    }
    eventChar_ = static_cast<uint8_t>(character);
    if (enable) {
        SetMask(GetEventMask() | kEventEventChar);
    }
    return lastError_;
}

uint32_t SerialChannel::SetMask(uint32_t mask) {
    lastError_ = 0;
    if (!open_) {
        return Fail(kChannelNotOpen);
    }
    portEventMask_ = mask;
    return lastError_;
}

uint32_t SerialChannel::SetHandshaking(int mode) {
    lastError_ = 0;
    if (!open_) {
        return Fail(kChannelNotOpen);
    }
    FlowState next;
    switch (mode) {
    case 0: break;
    case 1:
        next.xonOutput = true;
        next.xonInput = true;
        break;
    case 2:
        // Output never waits for CTS or DSR; DTR and RTS stay raised while the port is open.
        next.dtr = LineControl::Handshake;
        next.rts = LineControl::Handshake;
        break;
    default: return lastError_;
    }
    if (const int error = backend_->SetFlowControl(next.xonOutput)) {
        return FailBackend(error);
    }
    const bool raised = next.dtr == LineControl::Handshake;
    if (const int error = backend_->SetModemLines(raised, raised)) {
        return FailBackend(error);
    }
    flow_ = next;
    return lastError_;
}

uint32_t SerialChannel::SetReadTimeouts(int mode) {
    lastError_ = 0;
    if (mode != 0 && mode != 1) {
        return Fail(kChannelBadArgument);
    }
    if (!open_) {
        return Fail(kChannelNotOpen);
    }
    readTimeouts_ =
        mode == 0 ? ReadTimeoutSettings{kByteGapMs, 0, kReadTotalMs} : ReadTimeoutSettings{0, 0, 0};
    return lastError_;
}

uint32_t SerialChannel::WaitEvent(uint32_t timeoutMs) {
    lastError_ = 0;
    if (!open_) {
        return Fail(kChannelNotOpen);
    }
    const int64_t end = WaitEnd(backend_->ClockMs(), timeoutMs);
    for (;;) {
        // Input waiting to be read counts as received, whether it came before the wait or during.
        uint32_t found = 0;
        if ((portEventMask_ & kEventReceivedChar) != 0 && backend_->InputAvailable() > 0) {
            found |= kEventReceivedChar;
        }
        if ((portEventMask_ & kEventEventChar) != 0 && backend_->InputContains(eventChar_)) {
            found |= kEventEventChar;
        }
        if (found != 0) {
            events_ = found;
            return lastError_;
        }
        const int64_t now = backend_->ClockMs();
        if (now >= end) {
            return Fail(kChannelTimedOut);
        }
        bool arrived = false;
        if (const int error = backend_->WaitForInput(end == kNever ? -1 : end - now, &arrived)) {
            return FailBackend(error);
        }
    }
}

uint32_t SerialChannel::Open(const QString& device, uint32_t inputQueue, uint32_t outputQueue) {
    lastError_ = 0;
    if (open_) {
        return Fail(kChannelAlreadyOpen);
    }
    if (const int error = backend_->Open(device)) {
        return FailBackend(error);
    }
    open_ = true;
    deviceGone_ = false;
    openedPath_ = device;
    portEventMask_ = 0;
    eventChar_ = 0;
    flow_ = FlowState();
    readTimeouts_ = ReadTimeoutSettings();
    if (const int error = backend_->SetQueueSizes(inputQueue, outputQueue)) {
        Say("unable to setup the COM-port!");
        Close();
        return FailBackend(error);
    }
    // Whether the driver takes it or not, the port works; a refusal is no failure of the open.
    backend_->SetLowLatency();
    // The results of the mask and the time-outs do not stop the open; the handshaking result is
    // the open's result.
    SetMask(kEventReceivedChar | kEventBreak | kEventLineError);
    SetReadTimeouts(0);
    SetHandshaking(2);
    return lastError_;
}

uint32_t SerialChannel::Close() {
    lastError_ = 0;
    if (open_) {
        backend_->Close();
        open_ = false;
    } else {
        Say("method called when device is not open!");
    }
    return lastError_;
}

uint32_t SerialChannel::WriteString(const char* text, int* written, uint32_t timeoutMs) {
    const size_t length = text != nullptr ? std::strlen(text) : 0;
    return Write(text, static_cast<int>(length), written, timeoutMs);
}

uint32_t SerialChannel::Write(const void* buffer, int count, int* written, uint32_t timeoutMs) {
    lastError_ = 0;
    int local = 0;
    int* out = written != nullptr ? written : &local;
    *out = 0;
    if (!open_) {
        return Fail(kChannelNotOpen);
    }
    int sent = 0;
    const int error =
        backend_->Write(static_cast<const uint8_t*>(buffer), std::max(count, 0),
                        timeoutMs == kNoTimeLimit ? -1 : static_cast<int64_t>(timeoutMs), &sent);
    if (error != 0) {
        return FailBackend(error);
    }
    *out = sent;
    return lastError_;
}

uint32_t SerialChannel::Read(void* buffer, int count, int* read, uint32_t timeoutMs) {
    lastError_ = 0;
    int local = 0;
    int* out = read != nullptr ? read : &local;
    *out = 0;
    if (!open_) {
        Say("Device is not opened!");
        return Fail(kChannelNotOpen);
    }
    int got = 0;
    const int error = TimedRead(static_cast<uint8_t*>(buffer), std::max(count, 0), timeoutMs, &got);
    if (error == SerialBackend::kWaitLimitPassed) {
        // The read is abandoned: what it had received is lost and the count stays 0.
        return Fail(kChannelTimedOut);
    }
    if (error != 0) {
        if (!IsVanishedDeviceError(error)) {
            Say("Unable to read the data!");
        }
        return FailBackend(error);
    }
    *out = got;
    return lastError_;
}

// Ends when `count` bytes are in, when the byte gap or the total read time passes (0 with the
// bytes so far), or when the caller's wait limit passes first (kWaitLimitPassed; on a tie the wait
// limit wins). The gap is counted only once a first byte has arrived.
int SerialChannel::TimedRead(uint8_t* buffer, int count, uint32_t timeoutMs, int* got) {
    SerialBackend& port = *backend_;
    const int64_t start = port.ClockMs();
    const int64_t limitEnd = WaitEnd(start, timeoutMs);
    const uint64_t total =
        static_cast<uint64_t>(readTimeouts_.totalMultiplier) * static_cast<uint64_t>(count) +
        readTimeouts_.totalConstant;
    const int64_t totalEnd = total == 0 ? kNever : start + static_cast<int64_t>(total);
    int64_t lastByteAt = -1;
    int n = 0;
    for (;;) {
        int taken = 0;
        if (const int error = port.TakeInput(buffer + n, count - n, &taken)) {
            return error;
        }
        if (taken > 0) {
            n += taken;
            lastByteAt = port.ClockMs();
        }
        if (n == count) {
            *got = n;
            return 0;
        }
        int64_t readEnd = totalEnd;
        if (readTimeouts_.interval != 0 && lastByteAt >= 0) {
            readEnd = std::min(readEnd, lastByteAt + readTimeouts_.interval);
        }
        const int64_t end = std::min(limitEnd, readEnd);
        const int64_t now = port.ClockMs();
        if (now >= end) {
            if (limitEnd <= readEnd) {
                return SerialBackend::kWaitLimitPassed;
            }
            *got = n;
            return 0;
        }
        bool arrived = false;
        if (const int error = port.WaitForInput(end == kNever ? -1 : end - now, &arrived)) {
            return error;
        }
    }
}

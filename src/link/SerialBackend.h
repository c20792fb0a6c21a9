#pragma once

#include <QString>

#include <cstdint>
#include <memory>

// The port underneath SerialChannel: a few primitives that a serial device, a pseudo-terminal or
// an in-memory stand-in can all provide. The channel builds its read time-outs, wait limits and
// port state on top of these, so every backend gets the same time-out behaviour.
//
// Error convention: 0 for success, otherwise an errno-style code (ENOENT for a device that does not
// exist, EACCES, EBUSY, EIO, EINVAL ...). A wait that runs out is not an error of the device and
// has its own value, kWaitLimitPassed.

// Line format in the channel's codes: parity 0 none, 1 odd, 2 even, 3 mark, 4 space; stop bits
// 0 one, 1 one and a half, 2 two.
struct LineFormat {
    uint32_t baudRate = 9600;
    int dataBits = 8;
    int parity = 0;
    int stopBits = 0;

    friend bool operator==(const LineFormat&, const LineFormat&) = default;
};

class SerialBackend {
public:
    // Returned by Write() when its wait limit ran out before the bytes were sent.
    static constexpr int kWaitLimitPassed = -1;

    virtual ~SerialBackend() = default;

    // Opens the device exclusively for reading and writing.
    virtual int Open(const QString& device) = 0;
    virtual void Close() = 0;

    // Driver buffer sizes the caller recommends.
    virtual int SetQueueSizes(uint32_t inputBytes, uint32_t outputBytes) = 0;

    // A device without a line format of its own (a pseudo-terminal) accepts any format and keeps
    // its own; LineFormat() reports what the device holds.
    virtual int Configure(const ::LineFormat& format) = 0;
    virtual ::LineFormat LineFormat() const = 0;

    // Software (XON/XOFF) flow control on or off. Output is never held back by CTS or DSR.
    virtual int SetFlowControl(bool xonXoff) = 0;
    // DTR and RTS levels. A device without modem lines ignores this and reports success.
    virtual int SetModemLines(bool dtr, bool rts) = 0;

    // Sends all bytes; waitLimitMs < 0 waits without limit. On kWaitLimitPassed the unsent rest is
    // discarded. *written receives the bytes sent.
    virtual int Write(const uint8_t* data, int count, int64_t waitLimitMs, int* written) = 0;

    // Input primitives. The clock is monotonic, in milliseconds.
    virtual int64_t ClockMs() = 0;
    // Moves up to `max` received bytes into `into` without waiting.
    virtual int TakeInput(uint8_t* into, int max, int* taken) = 0;
    // Received bytes not yet taken, and whether they include `c`.
    virtual int64_t InputAvailable() = 0;
    virtual bool InputContains(uint8_t c) = 0;
    // Waits up to `ms` (< 0: without limit) for more input; *arrived tells whether any came.
    virtual int WaitForInput(int64_t ms, bool* arrived) = 0;

    // Lets time pass on the backend's clock.
    virtual void Pause(int ms) = 0;

    // The same clock in microseconds, and a pause as fine, for the silent intervals of Modbus RTU
    // (under 2 ms at the higher rates). A backend without a finer clock counts whole
    // milliseconds and rounds a pause up to them.
    virtual int64_t ClockUs() { return ClockMs() * 1000; }
    virtual void PauseUs(int64_t us) {
        if (us > 0) {
            Pause(static_cast<int>((us + 999) / 1000));
        }
    }
};

// The backend of a real serial device or pseudo-terminal (QSerialPort in blocking mode).
std::unique_ptr<SerialBackend> MakeSystemSerialBackend();

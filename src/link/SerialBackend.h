#pragma once

#include <QString>

#include <cerrno>
#include <cstdint>
#include <memory>
#include <optional>

// The port underneath SerialChannel: a few primitives that a serial device, a pseudo-terminal or
// an in-memory stand-in can all provide. The channel builds its read time-outs, wait limits and
// port state on top of these, so every backend gets the same time-out behaviour.
//
// Error convention: 0 for success, otherwise an errno-style code (ENOENT for a device that does not
// exist, EACCES, EBUSY, EIO, EINVAL ...). A wait that runs out is not an error of the device and
// has its own value, kWaitLimitPassed. A read, write or wait on a device that went away under the
// open port (a pulled USB adapter, a terminal whose other end closed) fails with EIO, ENODEV or
// ENXIO and with no other code, so that the channel can tell it from a silent drive.

// Line format in the channel's codes: parity 0 none, 1 odd, 2 even, 3 mark, 4 space; stop bits
// 0 one, 1 one and a half, 2 two.
// The program that holds a device, as its lock file names it.
struct PortHolder {
    qint64 pid = 0;
    QString program; // empty when neither the lock file nor the system names it

    friend bool operator==(const PortHolder&, const PortHolder&) = default;
};

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

    // Asks the driver to pass received bytes on at once instead of collecting them (USB
    // adapters otherwise hold them for a few milliseconds). A driver without the setting (a
    // pseudo-terminal, an on-board UART) refuses with its code; the port works as before. A
    // port without the setting at all refuses as such a driver does.
    virtual int SetLowLatency() { return ENOTTY; }
    // The adapter's own latency timer in milliseconds, where the system tells it (an FTDI
    // adapter's latency_timer); nothing for other devices or while closed.
    virtual std::optional<int> LatencyTimerMs() const { return std::nullopt; }
    // After an open refused with EBUSY: the program holding the device, when a lock file names
    // a live one.
    virtual std::optional<PortHolder> Holder() const { return std::nullopt; }
};

// The backend of a real serial device or pseudo-terminal (QSerialPort in blocking mode).
std::unique_ptr<SerialBackend> MakeSystemSerialBackend();

// Whether a backend code says that the device itself is gone.
bool IsVanishedDeviceError(int code);

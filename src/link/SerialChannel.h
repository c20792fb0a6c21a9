#pragma once

#include "link/SerialBackend.h"

#include <QString>

#include <cstdint>
#include <memory>

class Messenger;

// Codes the channel itself leaves in LastError (the values the drive link has always used; any
// other non-zero value is the errno-style code of the backend).
inline constexpr uint32_t kChannelNotOpen = 6;
inline constexpr uint32_t kChannelAlreadyOpen = 1247;
inline constexpr uint32_t kChannelTimedOut = 1460;
inline constexpr uint32_t kChannelBadArgument = 0x80070057;

// A wait limit that never runs out.
inline constexpr uint32_t kNoTimeLimit = 0xFFFFFFFF;

// Line events of the event mask.
inline constexpr uint32_t kEventReceivedChar = 0x0001;
inline constexpr uint32_t kEventEventChar = 0x0002;
inline constexpr uint32_t kEventBreak = 0x0040;
inline constexpr uint32_t kEventLineError = 0x0080;

// One serial port, used synchronously by the user-interface thread: every read and write is
// started and waited for, so the caller gets a finished result or an error code. It knows nothing
// of frames; ModbusLink builds the drive's protocols on it.
//
// Every operation first clears LastError and returns what it leaves there: 0, one of the
// kChannel... codes, or the backend's code. After Open the port reads in mode 0: a read ends when
// the count wanted has arrived, 50 ms after the last byte received, or 400 ms after it began,
// whichever comes first, so a read never hangs on a silent drive. A wait limit on Read or Write
// (kNoTimeLimit: none) that runs out first gives kChannelTimedOut and drops that transfer's data.
//
// The port sits behind a SerialBackend handed in by the owner (the system's QSerialPort backend
// when none is given). Messages go to the Messenger given; without one they go to standard error,
// so that a fault is never silent. They are shown only for: "unable to setup the COM-port!",
// "method called when device is not open!", "Device is not opened!", "Unable to read the data!",
// "unable to set DCB information", "unable to obtain DCB information" and "no parity". A device
// that cannot be opened shows nothing: the connect flow tells the user. A read that fails because
// the device went away shows nothing either: DeviceGone() tells the owner, who says so once.
//
// Open asks the driver for low latency (received bytes passed on at once); a driver that refuses
// leaves the port as it is, and the open goes on without a word.
//
// The destructor leaves closing to the owner; the backend releases the device when it goes.
class SerialChannel {
public:
    explicit SerialChannel(std::unique_ptr<SerialBackend> backend = nullptr,
                           Messenger* messenger = nullptr);
    SerialChannel(const SerialChannel&) = delete;
    SerialChannel& operator=(const SerialChannel&) = delete;
    virtual ~SerialChannel();

    // Port state. Failure (a closed port): 0xFFFFFFFF, for the event mask and character 0.
    virtual uint32_t GetBaudRate();
    virtual uint32_t GetByteSize();
    // 0 when parity checking is off (and says "no parity"), else 1 odd, 2 even, 3 mark, 4 space.
    virtual uint32_t GetParity();
    // 0 one, 1 one and a half, 2 two stop bits.
    virtual uint32_t GetStopBits();
    // 2 when DTR and RTS are under handshake, else 1 with XON/XOFF both ways, else 0.
    virtual uint32_t GetHandshaking();
    virtual uint32_t GetEventMask();
    virtual uint32_t GetEventChar();

    // Parity 0 none, 1 odd, 2 even (checking on for any but 0); stop bits 0 one, 1 one and a
    // half, 2 two. A device's refusal is left in LastError without a message.
    virtual uint32_t Setup(uint32_t baudRate, int byteSize, int parity, int stopBits);
    virtual uint32_t SetEventChar(char character, bool enable);
    virtual uint32_t SetMask(uint32_t mask);
    // 0: no flow control, DTR and RTS low. 1: XON/XOFF both ways. 2: no output flow control, DTR
    // and RTS raised (under handshake). Any other mode changes nothing.
    virtual uint32_t SetHandshaking(int mode);
    // 0: 50 ms between bytes, 400 ms in all. 1: no read time-outs (a read waits for its whole
    // count, bounded only by its wait limit). Any other mode: kChannelBadArgument, port untouched.
    virtual uint32_t SetReadTimeouts(int mode);
    // Waits for a received byte or the event character, as the event mask selects; the events
    // found land in Events(). Breaks and line errors are not reported by this port layer.
    virtual uint32_t WaitEvent(uint32_t timeoutMs = kNoTimeLimit);
    // Opens exclusively, sets the queue sizes, the event mask (received character, break, line
    // error), read time-outs mode 0 and handshaking mode 2. The device name is stored by the
    // caller (SetDeviceName), not here.
    virtual uint32_t Open(const QString& device, uint32_t inputQueue = 2048,
                          uint32_t outputQueue = 2048);
    virtual uint32_t Close();
    virtual uint32_t WriteString(const char* text, int* written = nullptr,
                                 uint32_t timeoutMs = kNoTimeLimit);
    virtual uint32_t Write(const void* buffer, int count, int* written = nullptr,
                           uint32_t timeoutMs = kNoTimeLimit);
    // *read receives the bytes read, which may be fewer than `count` when the read time-outs end
    // the read; that is no failure.
    virtual uint32_t Read(void* buffer, int count, int* read = nullptr,
                          uint32_t timeoutMs = kNoTimeLimit);

    uint32_t LastError() const { return lastError_; }
    bool IsOpen() const { return open_; }
    const QString& DeviceName() const { return deviceName_; }
    void SetDeviceName(const QString& name) { deviceName_ = name; }
    // The events the last WaitEvent found; 0xFFFFFFFF before any.
    uint32_t Events() const { return events_; }

    // The device went away under the open port (a pulled USB adapter): a read, write or wait
    // failed with EIO, ENODEV or ENXIO. Every exchange fails at once from then on; the next Open
    // clears it.
    bool DeviceGone() const { return open_ && deviceGone_; }
    // The device as the caller named it to the last successful Open.
    const QString& OpenedPath() const { return openedPath_; }
    // The adapter's latency timer, where the system tells it (see SerialBackend).
    std::optional<int> LatencyTimerMs() const { return backend_->LatencyTimerMs(); }
    // After an Open refused with EBUSY: who holds the device, when a lock file says so.
    std::optional<PortHolder> Holder() const { return backend_->Holder(); }

    // Replaces the port underneath; a port still open on the old backend is closed with it.
    void SetBackend(std::unique_ptr<SerialBackend> backend);
    SerialBackend* Backend() const { return backend_.get(); }

private:
    struct ReadTimeoutSettings {
        uint32_t interval = 0;
        uint32_t totalMultiplier = 0;
        uint32_t totalConstant = 0;
    };

    // DTR and RTS control, as the handshaking modes set them.
    enum class LineControl { Disabled, Handshake };

    // Flow-control part of the port state.
    struct FlowState {
        bool ctsOutput = false;
        bool dsrOutput = false;
        LineControl dtr = LineControl::Disabled;
        bool xonOutput = false;
        bool xonInput = false;
        LineControl rts = LineControl::Disabled;
    };

    uint32_t Fail(uint32_t code);
    uint32_t FailBackend(int code);
    void Say(const char* text);
    int TimedRead(uint8_t* buffer, int count, uint32_t timeoutMs, int* got);

    QString deviceName_;
    QString openedPath_;
    std::unique_ptr<SerialBackend> backend_;
    bool open_ = false;
    bool deviceGone_ = false;
    uint32_t lastError_ = 0;
    uint32_t events_ = 0xFFFFFFFF;
    Messenger* messenger_ = nullptr;

    uint32_t portEventMask_ = 0;
    uint8_t eventChar_ = 0;
    FlowState flow_;
    ReadTimeoutSettings readTimeouts_;
};

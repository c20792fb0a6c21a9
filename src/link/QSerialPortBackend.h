#pragma once

#include "link/PortDiagnosis.h"
#include "link/SerialBackend.h"

#include <QElapsedTimer>
#include <QSerialPort>

// SerialBackend over QSerialPort, used in blocking mode from the user-interface thread: reads wait
// in waitForReadyRead, writes in waitForBytesWritten, so no event loop is needed during an
// exchange. QSerialPort creates socket notifiers when it opens, which want a QCoreApplication.
//
// Pseudo-terminals (the simulated drive) accept only 8 data bits without parity and have no modem
// lines; their refusals are not errors here. QSerialPort locks the device, so a second open of the
// same device fails with EBUSY even for root; the lock files then tell who holds it.
//
// A device opened through a link (/dev/serial/by-id/...) is the device it points to when opened:
// its lock, its latency timer and a later open after the adapter came back under another number
// all follow the link afresh.
class QSerialPortBackend : public SerialBackend {
public:
    // `sysfsRoot` is where the terminal devices' attributes are (a test gives a folder of its own).
    explicit QSerialPortBackend(QString sysfsRoot = QString::fromLatin1(kTtyClassFolder));

    int Open(const QString& device) override;
    void Close() override;
    int SetQueueSizes(uint32_t inputBytes, uint32_t outputBytes) override;
    int Configure(const ::LineFormat& format) override;
    ::LineFormat LineFormat() const override;
    int SetFlowControl(bool xonXoff) override;
    int SetModemLines(bool dtr, bool rts) override;
    int Write(const uint8_t* data, int count, int64_t waitLimitMs, int* written) override;
    int64_t ClockMs() override;
    int TakeInput(uint8_t* into, int max, int* taken) override;
    int64_t InputAvailable() override;
    bool InputContains(uint8_t c) override;
    int WaitForInput(int64_t ms, bool* arrived) override;
    void Pause(int ms) override;
    int64_t ClockUs() override;
    void PauseUs(int64_t us) override;
    int SetLowLatency() override;
    std::optional<int> LatencyTimerMs() const override;
    std::optional<PortHolder> Holder() const override { return holder_; }

private:
    int LastError() const;
    // The errno of a device that is gone under the open port, else 0.
    int VanishedError() const;

    QSerialPort port_;
    QElapsedTimer clock_;
    QString location_;
    bool pseudoTerminal_ = false;
    QString sysfsRoot_;
    std::optional<PortHolder> holder_;
};

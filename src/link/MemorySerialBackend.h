#pragma once

#include "link/SerialBackend.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <deque>
#include <functional>

// An in-memory port with its own clock, for tests and for running the simulated drive in-process.
//
// Every write is recorded and handed to the responder; the bytes it returns become readable at
// once. Later or piecemeal replies are scheduled with Deliver(), also from inside the responder.
// Time passes only when the port waits (a read's time-outs, a pause, a write's wire time) or on
// Advance(), so time-out behaviour is exact and costs no real time.
class MemorySerialBackend : public SerialBackend {
public:
    using Responder = std::function<QByteArray(QByteArrayView written)>;

    // The device side.
    void SetResponder(Responder responder) { responder_ = std::move(responder); }
    // The device side as set, for a test that puts its own faults in front of it.
    const Responder& CurrentResponder() const { return responder_; }
    // Makes `bytes` readable `delayMs` from now, after anything scheduled for the same moment.
    void Deliver(QByteArrayView bytes, int64_t delayMs = 0);
    int64_t Now() const { return now_; }
    void Advance(int64_t ms);

    bool IsOpen() const { return open_; }
    const QString& Device() const { return device_; }
    int OpenCount() const { return openCount_; }
    const QList<QByteArray>& Writes() const { return writes_; }
    // When each write was handed to the responder, on this port's clock.
    const QList<int64_t>& WriteTimes() const { return writeTimes_; }
    bool XonXoff() const { return xonXoff_; }
    bool Dtr() const { return dtr_; }
    bool Rts() const { return rts_; }
    uint32_t InputQueueSize() const { return inputQueue_; }
    // Set when a wait without limit found nothing scheduled: a real port would have hung there.
    bool Stalled() const { return stalled_; }

    // Faults: while non-zero, every call of that operation fails with this code.
    int openError = 0;
    int queueSizesError = 0;
    int configureError = 0;
    int flowControlError = 0;
    int modemLinesError = 0;
    int writeError = 0;
    int readError = 0;
    // The driver's answer to the low-latency request (ENOTTY: a driver without the setting).
    int lowLatencyError = 0;
    // Time a write takes on the clock before the responder sees it.
    int64_t writeDelayMs = 0;
    // What the port tells of its adapter: the latency timer, and the holder after an open
    // refused with EBUSY.
    std::optional<int> latencyTimer;
    std::optional<PortHolder> holder;

    // The low-latency setting the driver took (not after a refusal).
    bool LowLatency() const { return lowLatency_; }
    int LowLatencyRequests() const { return lowLatencyRequests_; }

    // SerialBackend
    int Open(const QString& device) override;
    void Close() override;
    int SetQueueSizes(uint32_t inputBytes, uint32_t outputBytes) override;
    int Configure(const ::LineFormat& format) override;
    ::LineFormat LineFormat() const override { return format_; }
    int SetFlowControl(bool xonXoff) override;
    int SetModemLines(bool dtr, bool rts) override;
    int Write(const uint8_t* data, int count, int64_t waitLimitMs, int* written) override;
    int64_t ClockMs() override { return now_; }
    int TakeInput(uint8_t* into, int max, int* taken) override;
    int64_t InputAvailable() override { return received_.size(); }
    bool InputContains(uint8_t c) override;
    int WaitForInput(int64_t ms, bool* arrived) override;
    void Pause(int ms) override { Advance(ms); }
    int SetLowLatency() override;
    std::optional<int> LatencyTimerMs() const override {
        return open_ ? latencyTimer : std::nullopt;
    }
    std::optional<PortHolder> Holder() const override { return holder; }

private:
    struct Delivery {
        int64_t at;
        QByteArray bytes;
    };

    void TakeArrivals();

    Responder responder_;
    std::deque<Delivery> scheduled_;
    QByteArray received_;
    int64_t now_ = 0;
    bool open_ = false;
    QString device_;
    int openCount_ = 0;
    ::LineFormat format_;
    bool xonXoff_ = false;
    bool dtr_ = false;
    bool rts_ = false;
    uint32_t inputQueue_ = 0;
    bool stalled_ = false;
    bool lowLatency_ = false;
    int lowLatencyRequests_ = 0;
    QList<QByteArray> writes_;
    QList<int64_t> writeTimes_;
};

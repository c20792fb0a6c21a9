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
// once. Later or piecemeal replies are scheduled with deliver(), also from inside the responder.
// Time passes only when the port waits (a read's time-outs, a pause, a write's wire time) or on
// advance(), so time-out behaviour is exact and costs no real time.
class MemorySerialBackend : public SerialBackend {
public:
    using Responder = std::function<QByteArray(QByteArrayView written)>;

    // The device side.
    void setResponder(Responder responder) { responder_ = std::move(responder); }
    // The device side as set, for a test that puts its own faults in front of it.
    const Responder& responder() const { return responder_; }
    // Makes `bytes` readable `delayMs` from now, after anything scheduled for the same moment.
    void deliver(QByteArrayView bytes, int64_t delayMs = 0);
    int64_t now() const { return now_; }
    void advance(int64_t ms);

    bool isOpen() const { return open_; }
    const QString& device() const { return device_; }
    int openCount() const { return openCount_; }
    const QList<QByteArray>& writes() const { return writes_; }
    // When each write was handed to the responder, on this port's clock.
    const QList<int64_t>& writeTimes() const { return writeTimes_; }
    bool xonXoff() const { return xonXoff_; }
    bool dtr() const { return dtr_; }
    bool rts() const { return rts_; }
    uint32_t inputQueueSize() const { return inputQueue_; }
    // Set when a wait without limit found nothing scheduled: a real port would have hung there.
    bool stalled() const { return stalled_; }

    // Faults: while non-zero, every call of that operation fails with this code.
    int openError = 0;
    int queueSizesError = 0;
    int configureError = 0;
    int flowControlError = 0;
    int modemLinesError = 0;
    int writeError = 0;
    int readError = 0;
    // Time a write takes on the clock before the responder sees it.
    int64_t writeDelayMs = 0;

    // SerialBackend
    int open(const QString& device) override;
    void close() override;
    int setQueueSizes(uint32_t inputBytes, uint32_t outputBytes) override;
    int configure(const LineFormat& format) override;
    LineFormat lineFormat() const override { return format_; }
    int setFlowControl(bool xonXoff) override;
    int setModemLines(bool dtr, bool rts) override;
    int write(const uint8_t* data, int count, int64_t waitLimitMs, int* written) override;
    int64_t clockMs() override { return now_; }
    int takeInput(uint8_t* into, int max, int* taken) override;
    int64_t inputAvailable() override { return received_.size(); }
    bool inputContains(uint8_t c) override;
    int waitForInput(int64_t ms, bool* arrived) override;
    void pause(int ms) override { advance(ms); }

private:
    struct Delivery {
        int64_t at;
        QByteArray bytes;
    };

    void takeArrivals();

    Responder responder_;
    std::deque<Delivery> scheduled_;
    QByteArray received_;
    int64_t now_ = 0;
    bool open_ = false;
    QString device_;
    int openCount_ = 0;
    LineFormat format_;
    bool xonXoff_ = false;
    bool dtr_ = false;
    bool rts_ = false;
    uint32_t inputQueue_ = 0;
    bool stalled_ = false;
    QList<QByteArray> writes_;
    QList<int64_t> writeTimes_;
};

#include "link/MemorySerialBackend.h"

#include <algorithm>
#include <cerrno>

void MemorySerialBackend::Deliver(QByteArrayView bytes, int64_t delayMs) {
    const int64_t at = now_ + std::max<int64_t>(delayMs, 0);
    const auto after = std::upper_bound(scheduled_.begin(), scheduled_.end(), at,
                                        [](int64_t t, const Delivery& d) { return t < d.at; });
    scheduled_.insert(after, Delivery{at, bytes.toByteArray()});
    TakeArrivals();
}

void MemorySerialBackend::Advance(int64_t ms) {
    now_ += std::max<int64_t>(ms, 0);
    TakeArrivals();
}

void MemorySerialBackend::TakeArrivals() {
    while (!scheduled_.empty() && scheduled_.front().at <= now_) {
        received_ += scheduled_.front().bytes;
        scheduled_.pop_front();
    }
}

int MemorySerialBackend::Open(const QString& device) {
    if (openError != 0) {
        return openError;
    }
    open_ = true;
    device_ = device;
    ++openCount_;
    return 0;
}

int MemorySerialBackend::SetLowLatency() {
    ++lowLatencyRequests_;
    if (lowLatencyError != 0) {
        return lowLatencyError;
    }
    lowLatency_ = true;
    return 0;
}

void MemorySerialBackend::Close() {
    // Closing a port drops whatever was received or still on its way; the driver forgets the
    // low-latency setting.
    open_ = false;
    lowLatency_ = false;
    received_.clear();
    scheduled_.clear();
}

int MemorySerialBackend::SetQueueSizes(uint32_t inputBytes, uint32_t /*outputBytes*/) {
    if (queueSizesError != 0) {
        return queueSizesError;
    }
    inputQueue_ = inputBytes;
    return 0;
}

int MemorySerialBackend::Configure(const ::LineFormat& format) {
    if (configureError != 0) {
        return configureError;
    }
    format_ = format;
    return 0;
}

int MemorySerialBackend::SetFlowControl(bool xonXoff) {
    if (flowControlError != 0) {
        return flowControlError;
    }
    xonXoff_ = xonXoff;
    return 0;
}

int MemorySerialBackend::SetModemLines(bool dtr, bool rts) {
    if (modemLinesError != 0) {
        return modemLinesError;
    }
    dtr_ = dtr;
    rts_ = rts;
    return 0;
}

int MemorySerialBackend::Write(const uint8_t* data, int count, int64_t waitLimitMs, int* written) {
    *written = 0;
    if (writeError != 0) {
        return writeError;
    }
    if (waitLimitMs >= 0 && waitLimitMs < writeDelayMs) {
        Advance(waitLimitMs);
        return kWaitLimitPassed;
    }
    Advance(writeDelayMs);
    const QByteArrayView bytes(data, count);
    writes_.append(bytes.toByteArray());
    writeTimes_.append(now_);
    *written = count;
    if (responder_) {
        const QByteArray reply = responder_(bytes);
        if (!reply.isEmpty()) {
            Deliver(reply);
        }
    }
    return 0;
}

int MemorySerialBackend::TakeInput(uint8_t* into, int max, int* taken) {
    *taken = 0;
    if (readError != 0) {
        return readError;
    }
    const int n = std::min<int>(max, static_cast<int>(received_.size()));
    std::copy_n(received_.constData(), n, reinterpret_cast<char*>(into));
    received_.remove(0, n);
    *taken = n;
    return 0;
}

bool MemorySerialBackend::InputContains(uint8_t c) {
    return received_.contains(static_cast<char>(c));
}

int MemorySerialBackend::WaitForInput(int64_t ms, bool* arrived) {
    *arrived = false;
    if (readError != 0) {
        return readError;
    }
    const bool due = !scheduled_.empty() && (ms < 0 || scheduled_.front().at <= now_ + ms);
    if (due) {
        Advance(scheduled_.front().at - now_);
        *arrived = true;
        return 0;
    }
    if (ms < 0) {
        // Nothing will ever arrive: report it instead of hanging the test.
        stalled_ = true;
        return EDEADLK;
    }
    Advance(ms);
    return 0;
}

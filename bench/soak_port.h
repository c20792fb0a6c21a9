#pragma once

// The soak's serial port: the simulated drive on an in-memory port, watched for the longest
// stretch in which the link neither sent nor received, on the port's clock (the time a real line
// would take, time-outs included) and on the wall clock (the program's own work). A watchdog
// thread ends the process when the link stays silent too long in wall time: a hang.

#include "link/MemorySerialBackend.h"
#include "sim/SimulatedDrive.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

// Line noise: with probability `rate` a reply has one bit flipped, anywhere in it (data, frame
// characters or check value), a fault the drive's own damage (the check value only) leaves out.
// A refusal '!' is spared: the one-character answers to command writes carry no check value, and
// one flipped bit turns '!' (0x21) into an acceptance '%' (0x25) that no client can tell from a
// real one. (The other way round a write is merely tried again.)
class LineNoise {
public:
    LineNoise(double rate, uint32_t seed) : rate_(rate), random_(seed) {}
    void Damage(QByteArray& reply) {
        const bool hit = std::uniform_real_distribution<double>(0, 1)(random_) < rate_;
        if (!hit || reply.isEmpty() || reply == "!") {
            return;
        }
        const auto at = std::uniform_int_distribution<qsizetype>(0, reply.size() - 1)(random_);
        reply[at] = static_cast<char>(reply[at] ^ (1 << (random_() % 8)));
        ++flipped;
    }
    uint64_t flipped = 0;

private:
    double rate_;
    std::mt19937 random_;
};

// The drive behind an in-memory port, as AttachToMemoryPort does it, with line noise on the
// replies.
inline void AttachWithNoise(SimulatedDrive& drive, MemorySerialBackend& port, LineNoise& noise) {
    port.SetResponder([&drive, &port, &noise](QByteArrayView written) {
        const auto ms = [](std::chrono::microseconds us) { return (us.count() + 999) / 1000; };
        std::chrono::microseconds lineFreeAt{0};
        const uint64_t damaged = drive.Counts().corrupted;
        std::vector<SimulatedDrive::TimedReply> replies = drive.Process(written);
        // One fault a reply: two, such as a check value one too high and a digit one too high,
        // can cancel out in a byte sum.
        const bool spare = drive.Counts().corrupted != damaged;
        for (SimulatedDrive::TimedReply& reply : replies) {
            if (!spare) {
                noise.Damage(reply.bytes);
            }
            const std::chrono::microseconds start = lineFreeAt + reply.delay;
            for (qsizetype i = 0; i < reply.bytes.size(); ++i) {
                port.Deliver(reply.bytes.sliced(i, 1), ms(start + reply.byteTime * (i + 1)));
            }
            lineFreeAt = start + reply.byteTime * reply.bytes.size();
        }
        return QByteArray();
    });
}

class WatchedPort : public SerialBackend {
public:
    WatchedPort(SimulatedDrive& drive, LineNoise& noise) : drive_(drive), noise_(noise) { Renew(); }

    // A fresh in-memory port in place of the old one, open and set up as it was, its clock
    // carried on. The memory port keeps every write it saw; renewing bounds that over hours.
    void Renew() {
        auto fresh = std::make_unique<MemorySerialBackend>();
        if (inner_) {
            base_ += inner_->Now();
            if (inner_->IsOpen()) {
                fresh->Open(inner_->Device());
                fresh->Configure(inner_->LineFormat());
            }
        }
        AttachWithNoise(drive_, *fresh, noise_);
        inner_ = std::move(fresh);
    }

    // Gaps are measured from the first activity after this call.
    void StartGaps() { started_ = false; }
    double LongestLinkGapMs() const { return longestLinkMs_; }
    double LongestWallGapMs() const { return longestWallNs_ / 1e6; }

    // Nanoseconds on the steady clock of the last activity, for the watchdog.
    static std::atomic<int64_t>& LastActivity() {
        static std::atomic<int64_t> last{WallNs()};
        return last;
    }
    static int64_t WallNs() {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }

    // SerialBackend
    int Open(const QString& device) override { return inner_->Open(device); }
    void Close() override { inner_->Close(); }
    int SetQueueSizes(uint32_t in, uint32_t out) override { return inner_->SetQueueSizes(in, out); }
    int Configure(const ::LineFormat& format) override { return inner_->Configure(format); }
    ::LineFormat LineFormat() const override { return inner_->LineFormat(); }
    int SetFlowControl(bool xonXoff) override { return inner_->SetFlowControl(xonXoff); }
    int SetModemLines(bool dtr, bool rts) override { return inner_->SetModemLines(dtr, rts); }
    int Write(const uint8_t* data, int count, int64_t waitLimitMs, int* written) override {
        const int result = inner_->Write(data, count, waitLimitMs, written);
        if (*written > 0) {
            Mark();
        }
        return result;
    }
    int64_t ClockMs() override { return base_ + inner_->ClockMs(); }
    int TakeInput(uint8_t* into, int max, int* taken) override {
        const int result = inner_->TakeInput(into, max, taken);
        if (*taken > 0) {
            Mark();
        }
        return result;
    }
    int64_t InputAvailable() override { return inner_->InputAvailable(); }
    bool InputContains(uint8_t c) override { return inner_->InputContains(c); }
    int WaitForInput(int64_t ms, bool* arrived) override {
        return inner_->WaitForInput(ms, arrived);
    }
    void Pause(int ms) override { inner_->Pause(ms); }

private:
    void Mark() {
        const int64_t link = ClockMs();
        const int64_t wall = WallNs();
        if (started_) {
            longestLinkMs_ = std::max(longestLinkMs_, static_cast<double>(link - lastLink_));
            longestWallNs_ = std::max(longestWallNs_, wall - lastWall_);
        }
        started_ = true;
        lastLink_ = link;
        lastWall_ = wall;
        LastActivity().store(wall);
    }

    SimulatedDrive& drive_;
    LineNoise& noise_;
    std::unique_ptr<MemorySerialBackend> inner_;
    int64_t base_ = 0;
    bool started_ = false;
    int64_t lastLink_ = 0;
    int64_t lastWall_ = 0;
    double longestLinkMs_ = 0;
    int64_t longestWallNs_ = 0;
};

// Ends the process with status 3 when the link has been silent for `limit` of wall time.
class Watchdog {
public:
    explicit Watchdog(std::chrono::seconds limit)
        : thread_([this, limit] {
              std::unique_lock lock(mutex_);
              while (!wake_.wait_for(lock, std::chrono::seconds(1), [this] { return stop_; })) {
                  const int64_t silent = WatchedPort::WallNs() - WatchedPort::LastActivity();
                  if (silent > std::chrono::nanoseconds(limit).count()) {
                      std::fprintf(stderr, "soak: no request or reply for %lld s: hung\n",
                                   static_cast<long long>(limit.count()));
                      std::fflush(stdout);
                      std::_Exit(3);
                  }
              }
          }) {}
    ~Watchdog() {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }

private:
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    std::thread thread_;
};

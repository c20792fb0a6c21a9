#pragma once

#include <functional>
#include <memory>

// A periodic tick: the drive session's poll and the parameter editor's link check. The program's
// ticks come from Qt timers; tests make tickers they advance themselves, so that a window test
// steps through the ticks instead of waiting for them.
class Ticker {
public:
    virtual ~Ticker() = default;
    virtual void Start() = 0;
    virtual void Stop() = 0;
    virtual bool Running() const = 0;
};

// Makes the tickers of the windows; each calls `onTick` every `periodMs` while running.
class TickerSource {
public:
    virtual ~TickerSource() = default;
    virtual std::unique_ptr<Ticker> MakeTicker(int periodMs, std::function<void()> onTick) = 0;
};

// The program's tickers: one QTimer each, ticking from the event loop.
class QtTickerSource : public TickerSource {
public:
    std::unique_ptr<Ticker> MakeTicker(int periodMs, std::function<void()> onTick) override;
};

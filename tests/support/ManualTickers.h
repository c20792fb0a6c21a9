#pragma once

// Tickers that tick only when the test advances them, so a window test steps through the 400 ms
// ticks instead of waiting for them.

#include "base/Ticker.h"

#include <QCoreApplication>

#include <algorithm>
#include <vector>

class ManualTickers : public TickerSource {
public:
    std::unique_ptr<Ticker> MakeTicker(int periodMs, std::function<void()> onTick) override {
        (void)periodMs; // the program's tickers share one period: each step is one tick of each
        return std::make_unique<ManualTicker>(*this, std::move(onTick));
    }

    // `ticks` times: every running ticker ticks once, then the event loop runs what the ticks
    // posted. A ticker made or deleted by a tick takes part from the next step.
    void Advance(int ticks = 1) {
        for (int i = 0; i < ticks; ++i) {
            const std::vector<ManualTicker*> now = tickers_;
            for (ManualTicker* ticker : now) {
                if (std::find(tickers_.begin(), tickers_.end(), ticker) != tickers_.end() &&
                    ticker->Running())
                    ticker->onTick();
            }
            QCoreApplication::processEvents();
        }
    }

private:
    class ManualTicker : public Ticker {
    public:
        ManualTicker(ManualTickers& owner, std::function<void()> tick)
            : owner(owner), onTick(std::move(tick)) {
            owner.tickers_.push_back(this);
        }
        ~ManualTicker() override { std::erase(owner.tickers_, this); }
        void Start() override { running = true; }
        void Stop() override { running = false; }
        bool Running() const override { return running; }

        ManualTickers& owner;
        std::function<void()> onTick;
        bool running = false;
    };

    std::vector<ManualTicker*> tickers_;
};

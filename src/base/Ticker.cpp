#include "base/Ticker.h"

#include <QTimer>

namespace {

class QtTicker : public Ticker {
public:
    QtTicker(int periodMs, std::function<void()> onTick) {
        timer_.setInterval(periodMs);
        QObject::connect(&timer_, &QTimer::timeout, &timer_, std::move(onTick));
    }
    void Start() override { timer_.start(); }
    void Stop() override { timer_.stop(); }
    bool Running() const override { return timer_.isActive(); }

private:
    QTimer timer_;
};

} // namespace

std::unique_ptr<Ticker> QtTickerSource::MakeTicker(int periodMs, std::function<void()> onTick) {
    return std::make_unique<QtTicker>(periodMs, std::move(onTick));
}

#include "trace/ui/TraceWaitDialogs.h"

#include "base/Ticker.h"
#include "widgets/WindowPlacement.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kTickMs = 100;

} // namespace

CTraceStartDialog::CTraceStartDialog(int32_t intervalUs, int32_t points, TickerSource& tickers,
                                     Check check, QWidget* parent)
    : QDialog(parent), wait_(intervalUs, points), check_(std::move(check)) {
    setWindowTitle(QStringLiteral("处理中..."));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("请稍候..."), this));
    time_ = new QLabel(this);
    time_->setObjectName(QStringLiteral("waitTime"));
    time_->setMinimumWidth(220);
    layout->addWidget(time_);
    layout->addWidget(new QLabel(QStringLiteral("若想停止，可按\"取消\"键。"), this));
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* cancel = buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::rejected, this, &CTraceStartDialog::reject);
    layout->addWidget(buttons);
    CentreOverOwner(*this, parent);
    ticker_ = tickers.MakeTicker(kTickMs, [this] { OnTick(); });
    ticker_->Start();
}

CTraceStartDialog::~CTraceStartDialog() = default;

QString CTraceStartDialog::TimeText() const {
    return time_->text();
}

void CTraceStartDialog::OnTick() {
    if (cancelled_ || !isVisible()) {
        return;
    }
    const bool look = wait_.Tick();
    const QString text = wait_.Text();
    if (!text.isEmpty()) {
        time_->setText(text);
    }
    if (!look) {
        return;
    }
    switch (check_()) {
    case DriveTrace::Recording::Finished:
        ticker_->Stop();
        accept();
        break;
    case DriveTrace::Recording::Failed:
        ticker_->Stop();
        QDialog::reject();
        break;
    case DriveTrace::Recording::Waiting: break;
    }
}

void CTraceStartDialog::reject() {
    ticker_->Stop();
    cancelled_ = true;
    QDialog::reject();
}

CTraceReadDialog::CTraceReadDialog(QWidget* parent)
    : CTransferProgressWindow(QStringLiteral("正在读取伺服驱动器资料中..."), parent) {
    setWindowTitle(QStringLiteral("正在读取伺服驱动器资料中..."));
}

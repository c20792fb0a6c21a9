#include "tuning/ui/JogDialog.h"

#include "base/Messenger.h"
#include "base/Ticker.h"
#include "drive/DriveProfile.h"
#include "frame/DialogButton.h"
#include "tuning/JogControl.h"
#include "tuning/ui/JogButton.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kLinkCheckMs = 400;

} // namespace

CJogDialog::CJogDialog(std::unique_ptr<JogControl> control, const DriveProfile& profile,
                       Messenger& messenger, TickerSource& tickers, QWidget* parent)
    : QDialog(parent), control_(std::move(control)), profile_(profile), messenger_(messenger),
      speed_(JogShownSpeed(control_->EntrySpeed(), profile.maxMotorSpeed)) {
    setModal(false);
    setWindowTitle(QString::fromUtf8("点动模式 (dn-05)"));

    speedEdit_ = new QSpinBox(this);
    speedEdit_->setObjectName(QStringLiteral("speedEdit"));
    // The edit takes four digits; a value above N goes back to the previous one.
    speedEdit_->setRange(0, 9999);
    speedEdit_->setValue(speed_);
    connect(speedEdit_, &QSpinBox::valueChanged, this, &CJogDialog::TakeSpeed);

    forward_ = new CJogButtonCtrl(CJogButtonCtrl::Direction::Forward,
                                  QString::fromUtf8("正转"), this);
    forward_->setObjectName(QStringLiteral("forwardButton"));
    reverse_ = new CJogButtonCtrl(CJogButtonCtrl::Direction::Reverse,
                                  QString::fromUtf8("反转"), this);
    reverse_->setObjectName(QStringLiteral("reverseButton"));
    stop_ = MakeDialogButton("停止", "stopButton", this);
    close_ = MakeDialogButton("关闭(&C)", "closeButton", this);
    connect(forward_, &QAbstractButton::clicked, this, [this] { Turn(true); });
    connect(reverse_, &QAbstractButton::clicked, this, [this] { Turn(false); });
    connect(stop_, &QPushButton::clicked, this,
            [this] { control_->Post(JogRequest::Stop, 0); });
    connect(close_, &QPushButton::clicked, this, [this] { reject(); });

    linkWarning_ = new QLabel(JogNotReachedText(), this);
    linkWarning_->setObjectName(QStringLiteral("linkWarning"));
    linkWarning_->setStyleSheet(QStringLiteral("color: rgb(200, 0, 0); font-weight: bold;"));
    linkWarning_->setWordWrap(true);
    linkWarning_->hide();

    auto* speedRow = new QHBoxLayout;
    speedRow->addWidget(new QLabel(QString::fromUtf8("速度:"), this));
    speedRow->addWidget(speedEdit_);
    speedRow->addWidget(new QLabel(QStringLiteral("rpm"), this));
    speedRow->addStretch();
    auto* directions = new QHBoxLayout;
    directions->addWidget(forward_);
    directions->addWidget(reverse_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(stop_);
    buttons->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(speedRow);
    layout->addLayout(directions);
    layout->addWidget(linkWarning_);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    control_->SetListeners([this] { ShowLinkState(); },
                           [this](int32_t speed) { speedEdit_->setValue(JogShownSpeed(speed, profile_.maxMotorSpeed)); });
    // The poll may find the link gone between two presses.
    linkCheck_ = tickers.MakeTicker(kLinkCheckMs, [this] { ShowLinkState(); });
    linkCheck_->Start();
}

CJogDialog::~CJogDialog() {
    control_->SetListeners({}, {});
}

void CJogDialog::Present() {
    show();
    raise();
    activateWindow();
}

void CJogDialog::TakeSpeed(int value) {
    const std::optional<int32_t> accepted =
        AcceptJogSpeed(QString::number(value), profile_.maxMotorSpeed);
    if (!accepted) {
        auto* edit = speedEdit_->findChild<QLineEdit*>();
        const int cursor = std::max(0, edit->cursorPosition() - 1);
        const QSignalBlocker blocker(speedEdit_);
        speedEdit_->setValue(speed_);
        edit->setCursorPosition(std::min(cursor, static_cast<int>(edit->text().size())));
        return;
    }
    speed_ = *accepted;
}

void CJogDialog::Turn(bool forward) {
    control_->Post(forward ? JogRequest::Forward : JogRequest::Reverse,
                   JogArgument(forward, speed_));
}

void CJogDialog::Exit() {
    if (closing_) {
        return;
    }
    closing_ = true;
    linkCheck_->Stop();
    control_->Post(JogRequest::Exit, control_->EntrySpeed());
}

void CJogDialog::reject() {
    Exit();
    if (finished_)
        QDialog::reject();
}

void CJogDialog::closeEvent(QCloseEvent* event) {
    Exit();
    if (!finished_) {
        event->ignore(); // closed when the exit has run
        return;
    }
    QDialog::closeEvent(event);
}

void CJogDialog::keyPressEvent(QKeyEvent* event) {
    // Enter in the speed edit only takes the value; it presses no button.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        speedEdit_->interpretText();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CJogDialog::ShowLinkState() {
    linkWarning_->setVisible(!control_->DriveReached());
    if (finished_ || !control_->Ended())
        return;
    finished_ = true;
    linkCheck_->Stop();
    if (closing_ && !control_->DriveReached()) {
        Message message;
        message.text = JogNotReachedText();
        message.caption = windowTitle();
        message.icon = MessageIcon::Warning;
        messenger_.Show(message);
    }
    QDialog::reject();
}

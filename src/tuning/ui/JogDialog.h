#pragma once

#include <QDialog>

#include <cstdint>
#include <memory>

class CJogButtonCtrl;
class JogControl;
class Messenger;
class QLabel;
class QPushButton;
class QSpinBox;
class Ticker;
class TickerSource;
struct DriveProfile;

// "点动模式 (dn-05)": the JOG speed and the buttons that turn the motor forward or in reverse,
// stop it and leave JOG. The window never talks to the drive: each button posts its request,
// and the view runs it. It stays open when the link drops, and then says that the drive is not
// reached, so that nobody takes a stop that was not sent for a stopped motor. Closing waits for
// the exit request: when it did not reach the drive, the warning is shown as a message before
// the window goes. A JOG ended from outside (the program's quit, the lost link) closes it.
class CJogDialog : public QDialog {
    Q_OBJECT
public:
    // `control` has entered JOG already.
    CJogDialog(std::unique_ptr<JogControl> control, const DriveProfile& profile,
               Messenger& messenger, TickerSource& tickers, QWidget* parent = nullptr);
    ~CJogDialog() override;

    void Present();

    int32_t Speed() const { return speed_; }
    QSpinBox* SpeedEdit() const { return speedEdit_; }
    CJogButtonCtrl* ForwardButton() const { return forward_; }
    CJogButtonCtrl* ReverseButton() const { return reverse_; }
    QPushButton* StopButton() const { return stop_; }
    QPushButton* CloseButton() const { return close_; }
    // The warning shown while the drive is not reached (hidden otherwise).
    QLabel* LinkWarning() const { return linkWarning_; }

    void reject() override; // Escape

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void TakeSpeed(int value);
    void Turn(bool forward);
    // Posts the exit request once, whatever closes the window.
    void Exit();
    // After each request and every 400 ms: the warning, and the close once JOG has ended.
    void ShowLinkState();

    std::unique_ptr<JogControl> control_;
    const DriveProfile& profile_;
    Messenger& messenger_;
    int32_t speed_ = 0;
    bool closing_ = false;  // the exit request is posted
    bool finished_ = false; // JOG has ended: the window may go
    QSpinBox* speedEdit_ = nullptr;
    CJogButtonCtrl* forward_ = nullptr;
    CJogButtonCtrl* reverse_ = nullptr;
    QPushButton* stop_ = nullptr;
    QPushButton* close_ = nullptr;
    QLabel* linkWarning_ = nullptr;
    std::unique_ptr<Ticker> linkCheck_;
};

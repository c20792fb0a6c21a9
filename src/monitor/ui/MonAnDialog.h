#pragma once

#include <QDialog>

#include <array>

class MonitorPoll;
class QLabel;

// "异常警报履历参数": the current alarm and the nine before it, newest first, each with its code
// and description. Read when the window opens and on "更新(&R)"; "清除(&L)" asks for the drive's
// history to be cleared.
class CMonAnDialog : public QDialog {
    Q_OBJECT
public:
    CMonAnDialog(MonitorPoll& monitors, QWidget* parent = nullptr);
    ~CMonAnDialog() override;

    // Shows the window; the next tick reads the history again.
    void Present();

    QString CodeText(int row) const;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void Refresh();

    MonitorPoll& monitors_;
    std::array<QLabel*, 10> codes_{};
    std::array<QLabel*, 10> descriptions_{};
};

#pragma once

#include <QDialog>

#include <array>

class QCheckBox;
class QLabel;
class StatusMonitor;

// "状态表示参数 (Un-xx)": a check box, name, value and unit per status value Un-01..Un-19. The
// poll fills the values of the ticked ones; the window itself never talks to the drive.
class CMonUnDialog : public QDialog {
    Q_OBJECT
public:
    CMonUnDialog(StatusMonitor& monitor, QWidget* parent = nullptr);
    ~CMonUnDialog() override;

    void Present();

    // The texts as shown, for Un-`number`.
    QString ValueText(int number) const;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void Refresh();

    StatusMonitor& monitor_;
    std::array<QCheckBox*, 19> boxes_{};
    std::array<QLabel*, 19> names_{};
    std::array<QLabel*, 19> values_{};
};

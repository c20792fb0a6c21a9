#pragma once

#include <QDialog>

#include <array>

class DiagnosticsMonitor;
class QLabel;

// "诊断参数 (dn-xx)": control mode, output and input contacts with a lamp and a label per
// contact, software version; filled by the poll on every tick.
class CMonDnDialog : public QDialog {
    Q_OBJECT
public:
    CMonDnDialog(DiagnosticsMonitor& monitor, QWidget* parent = nullptr);
    ~CMonDnDialog() override;

    // Shows the window; the next tick reads the contact parameters for the labels again.
    void Present();

    QString ValueText(int number) const;
    QString InputLampText(int n) const;
    QString InputLabelText(int n) const;
    QString OutputLabelText(int n) const;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void Refresh();

    DiagnosticsMonitor& monitor_;
    std::array<QLabel*, 4> values_{};
    std::array<QLabel*, 13> inputLabels_{};
    std::array<QLabel*, 13> inputLamps_{};
    std::array<QLabel*, 8> outputLabels_{};
    std::array<QLabel*, 8> outputLamps_{};
};

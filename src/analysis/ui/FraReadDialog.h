#pragma once

#include "analysis/FraMeasurement.h"

#include <QDialog>
#include <QElapsedTimer>

class QLabel;
class QProgressBar;

// "正在读取伺服驱动器资料中...": shown while one half of the record is read, with the word count
// and the last value below the bar. Enter and Escape do not close it; its cancel button ends the
// measurement without a further message.
class CFRAReadDialog : public QDialog, public FraReadProgress {
    Q_OBJECT
public:
    explicit CFRAReadDialog(QWidget* parent = nullptr);

    bool Open(int words) override;
    void SetText(const QString& text) override;
    void Step() override;
    bool ExchangeDone() override;
    void Close() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;

private:
    QLabel* text_ = nullptr;
    QProgressBar* bar_ = nullptr;
    static constexpr int kPumpIntervalMs = 20;
    bool cancelled_ = false;
    QElapsedTimer sincePump_;
};

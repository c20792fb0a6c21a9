#pragma once

#include "frame/TransferProgressDialog.h"
#include "trace/DriveTrace.h"

#include <QDialog>

#include <functional>
#include <memory>

class QLabel;
class Ticker;
class TickerSource;

// "处理中...": the wait while the drive records. Every 100 ms tick shows the time passed against
// the recording time; every fourth tick (and whenever the count starts again) looks at the drive.
// Accepted once the drive has finished; rejected when a look failed or the user pressed "取消"
// or Escape, which sends nothing more to the drive.
class CTraceStartDialog : public QDialog {
    Q_OBJECT
public:
    using Check = std::function<DriveTrace::Recording()>;
    CTraceStartDialog(int32_t intervalUs, int32_t points, TickerSource& tickers, Check check,
                      QWidget* parent = nullptr);
    ~CTraceStartDialog() override;

    QString TimeText() const;
    bool Cancelled() const { return cancelled_; }

protected:
    void reject() override;

private:
    void OnTick();

    TraceWait wait_;
    Check check_;
    std::unique_ptr<Ticker> ticker_;
    QLabel* time_ = nullptr;
    bool cancelled_ = false;
};

// "正在读取伺服驱动器资料中...": the read-back's progress bar and text. Enter and Escape do not
// close it while it reads.
class CTraceReadDialog : public CTransferProgressWindow {
    Q_OBJECT
public:
    explicit CTraceReadDialog(QWidget* parent = nullptr);
};

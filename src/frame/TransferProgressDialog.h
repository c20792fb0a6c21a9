#pragma once

#include "params/ParameterTransfer.h"

#include <QDialog>
#include <QPointer>

class QLabel;
class QProgressBar;

// A transfer's progress window: a text line naming the parameter in transfer and a bar. It is
// modal to the whole program while open, cannot be closed by the user, and lets the event loop
// run after every exchange so that the program keeps drawing (the view's Busy flag keeps the
// status poll out meanwhile).
class CTransferProgressWindow : public QDialog, public TransferProgress {
    Q_OBJECT
public:
    void Open(const QString& caption, int steps) override;
    void SetText(const QString& text) override;
    void Step() override;
    void Close() override;
    void ExchangeDone() override;

    QString Text() const;
    int Value() const;
    int Maximum() const;

protected:
    CTransferProgressWindow(const QString& heading, QWidget* parent);
    void reject() override; // Escape does not end a transfer
    void closeEvent(QCloseEvent* event) override;

private:
    QLabel* text_ = nullptr;
    QProgressBar* bar_ = nullptr;
};

// The small window of group and custom-list transfers.
class CProgressDialog : public CTransferProgressWindow {
    Q_OBJECT
public:
    explicit CProgressDialog(QWidget* parent = nullptr);
};

// "等待中....": the window of whole-set transfers, titled "读取" or "写入".
class CWaitingDialog : public CTransferProgressWindow {
    Q_OBJECT
public:
    explicit CWaitingDialog(QWidget* parent = nullptr);
};

// What the view gives ParameterTransfer::SetProgress: transfers that open without a caption
// (groups, custom list) show CProgressDialog, those with one (whole set) CWaitingDialog.
class CTransferProgress : public TransferProgress {
public:
    explicit CTransferProgress(QWidget* parent = nullptr);
    ~CTransferProgress() override;

    void Open(const QString& caption, int steps) override;
    void SetText(const QString& text) override;
    void Step() override;
    void Close() override;
    void ExchangeDone() override;

    CProgressDialog& ProgressWindow() { return *progress_; }
    CWaitingDialog& WaitingWindow() { return *waiting_; }
    // The window of the transfer in progress; null between transfers.
    CTransferProgressWindow* Active() const { return active_; }

private:
    QPointer<CProgressDialog> progress_;
    QPointer<CWaitingDialog> waiting_;
    QPointer<CTransferProgressWindow> active_;
};

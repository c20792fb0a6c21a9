#include "frame/TransferProgressDialog.h"

#include "widgets/WindowPlacement.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

CTransferProgressWindow::CTransferProgressWindow(const QString& heading, QWidget* parent)
    : QDialog(parent) {
    setWindowModality(Qt::ApplicationModal);
    // A title bar with the caption and no close button (the user cannot end a transfer).
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    auto* layout = new QVBoxLayout(this);
    if (!heading.isEmpty()) {
        layout->addWidget(new QLabel(heading, this));
    }
    text_ = new QLabel(this);
    text_->setObjectName(QStringLiteral("progressText"));
    text_->setMinimumWidth(280);
    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("progressBar"));
    bar_->setTextVisible(false);
    layout->addWidget(text_);
    layout->addWidget(bar_);
}

void CTransferProgressWindow::Open(const QString& caption, int steps) {
    if (!caption.isEmpty()) {
        setWindowTitle(caption);
    }
    text_->clear();
    bar_->setRange(0, steps);
    bar_->setValue(0);
    // Over the window that started the transfer, whatever the window system would choose.
    CentreOverOwner(*this, parentWidget());
    show();
    raise();
    QCoreApplication::processEvents();
}

void CTransferProgressWindow::SetText(const QString& text) {
    text_->setText(text);
}

void CTransferProgressWindow::Step() {
    if (bar_->value() < bar_->maximum()) {
        bar_->setValue(bar_->value() + 1);
    }
}

void CTransferProgressWindow::Close() {
    hide();
}

void CTransferProgressWindow::ExchangeDone() {
    // Paint, move, keep the desktop answered; input to other windows is held off by modality.
    QCoreApplication::processEvents();
}

QString CTransferProgressWindow::Text() const {
    return text_->text();
}

int CTransferProgressWindow::Value() const {
    return bar_->value();
}

int CTransferProgressWindow::Maximum() const {
    return bar_->maximum();
}

void CTransferProgressWindow::reject() {}

void CTransferProgressWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
}

CProgressDialog::CProgressDialog(QWidget* parent) : CTransferProgressWindow(QString(), parent) {
    setWindowTitle(QString::fromUtf8("参数传输"));
}

CWaitingDialog::CWaitingDialog(QWidget* parent)
    : CTransferProgressWindow(QString::fromUtf8("等待中...."), parent) {
    setWindowTitle(QString::fromUtf8("等待中...."));
}

CTransferProgress::CTransferProgress(QWidget* parent)
    : progress_(new CProgressDialog(parent)), waiting_(new CWaitingDialog(parent)) {}

CTransferProgress::~CTransferProgress() {
    delete progress_.data();
    delete waiting_.data();
}

void CTransferProgress::Open(const QString& caption, int steps) {
    if (active_ != nullptr) {
        active_->Close();
    }
    active_ = caption.isEmpty() ? static_cast<CTransferProgressWindow*>(progress_.data())
                                : static_cast<CTransferProgressWindow*>(waiting_.data());
    if (active_ != nullptr) {
        active_->Open(caption, steps);
    }
}

void CTransferProgress::SetText(const QString& text) {
    if (active_ != nullptr) {
        active_->SetText(text);
    }
}

void CTransferProgress::Step() {
    if (active_ != nullptr) {
        active_->Step();
    }
}

void CTransferProgress::Close() {
    if (active_ != nullptr) {
        active_->Close();
    }
    active_ = nullptr;
}

void CTransferProgress::ExchangeDone() {
    if (active_ != nullptr) {
        active_->ExchangeDone();
    }
}

#include "analysis/ui/FraReadDialog.h"

#include "widgets/WindowPlacement.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

CFRAReadDialog::CFRAReadDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8("正在读取伺服驱动器资料中..."));
    setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QString::fromUtf8("正在读取伺服驱动器资料中。"), this));
    layout->addWidget(new QLabel(QString::fromUtf8("请稍候..."), this));
    layout->addWidget(new QLabel(QString::fromUtf8("读取中..."), this));
    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("progressBar"));
    bar_->setTextVisible(false);
    layout->addWidget(bar_);
    text_ = new QLabel(this);
    text_->setObjectName(QStringLiteral("progressText"));
    text_->setMinimumWidth(260);
    layout->addWidget(text_);
    auto* cancel = new QPushButton(QString::fromUtf8("取消"), this);
    cancel->setObjectName(QStringLiteral("cancel"));
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, [this] {
        cancelled_ = true;
        hide();
    });
    layout->addWidget(cancel, 0, Qt::AlignRight);
}

bool CFRAReadDialog::Open(int words) {
    cancelled_ = false;
    text_->clear();
    bar_->setRange(0, words);
    bar_->setValue(0);
    CentreOverOwner(*this, parentWidget());
    show();
    raise();
    sincePump_.invalidate();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QApplication::processEvents();
    return !cancelled_;
}

void CFRAReadDialog::SetText(const QString& text) {
    text_->setText(text);
}

void CFRAReadDialog::Step() {
    bar_->setValue(std::min(bar_->value() + 1, bar_->maximum()));
}

bool CFRAReadDialog::ExchangeDone() {
    // Drawing after every word would cost more than the word itself on a fast link; a few dozen
    // turns a second keep the window alive and the count moving.
    if (!sincePump_.isValid() || sincePump_.elapsed() >= kPumpIntervalMs) {
        QApplication::processEvents();
        sincePump_.restart();
    }
    return !cancelled_;
}

void CFRAReadDialog::Close() {
    QApplication::restoreOverrideCursor();
    hide();
}

void CFRAReadDialog::keyPressEvent(QKeyEvent* event) {
    // Enter and Escape belong to the focused control; they do not end the read.
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return ||
        event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CFRAReadDialog::reject() {}

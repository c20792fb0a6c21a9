#include "monitor/ui/MonDnDialog.h"

#include "frame/DialogButton.h"
#include "monitor/DiagnosticsMonitor.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kLampOn = QStringLiteral("color: rgb(0, 0, 0); background: rgb(250, 0, 0);");
const QString kLampOff = QStringLiteral("color: rgb(255, 255, 255); background: rgb(0, 0, 0);");

QLabel* MakeLamp(const QString& name, QWidget* parent) {
    auto* lamp = new QLabel(parent);
    lamp->setObjectName(name);
    lamp->setAlignment(Qt::AlignCenter);
    lamp->setMinimumWidth(lamp->fontMetrics().horizontalAdvance(QStringLiteral("OFF")) + 16);
    return lamp;
}

void ShowLamp(QLabel* lamp, bool on) {
    const QString text = on ? QStringLiteral("ON") : QStringLiteral("OFF");
    if (lamp->text() == text) {
        return; // restyling a lamp costs more than the rest of the tick's drawing
    }
    lamp->setText(text);
    lamp->setStyleSheet(on ? kLampOn : kLampOff);
}

template <size_t N> QString TextAt(const std::array<QLabel*, N>& labels, int n) {
    return n >= 1 && n <= static_cast<int>(N) ? labels[static_cast<size_t>(n - 1)]->text()
                                              : QString();
}

} // namespace

CMonDnDialog::CMonDnDialog(DiagnosticsMonitor& monitor, QWidget* parent)
    : QDialog(parent), monitor_(monitor) {
    setModal(false);
    setWindowTitle(QString::fromUtf8("诊断参数 (dn-xx)"));
    monitor_.Reset();

    auto* valuesGrid = new QGridLayout;
    const int valueWidth = fontMetrics().horizontalAdvance(QStringLiteral("0000000000000")) + 16;
    for (int number = 1; number <= DiagnosticsMonitor::kValueCount; ++number) {
        const auto i = static_cast<size_t>(number - 1);
        const QString code = QString::asprintf("dn-%02d", number);
        values_[i] = new QLabel(this);
        values_[i]->setObjectName(QStringLiteral("value") + code);
        values_[i]->setMinimumWidth(valueWidth);
        values_[i]->setFrameShape(QFrame::StyledPanel);
        values_[i]->setStyleSheet(
            QStringLiteral("color: rgb(0, 0, 255); background: transparent;"));
        valuesGrid->addWidget(new QLabel(code, this), number - 1, 0);
        valuesGrid->addWidget(new QLabel(DiagnosticName(number), this), number - 1, 1);
        valuesGrid->addWidget(values_[i], number - 1, 2);
    }

    auto* inputs = new QGroupBox(this);
    auto* inputGrid = new QGridLayout(inputs);
    for (int n = 1; n <= DiagnosticsMonitor::kInputCount; ++n) {
        const auto i = static_cast<size_t>(n - 1);
        inputLabels_[i] = new QLabel(inputs);
        inputLamps_[i] = MakeLamp(QString::asprintf("inputLamp%d", n), inputs);
        inputGrid->addWidget(inputLabels_[i], n - 1, 0);
        inputGrid->addWidget(inputLamps_[i], n - 1, 1);
    }
    auto* outputs = new QGroupBox(this);
    auto* outputGrid = new QGridLayout(outputs);
    for (int n = 1; n <= DiagnosticsMonitor::kOutputCount; ++n) {
        const auto i = static_cast<size_t>(n - 1);
        outputLabels_[i] = new QLabel(outputs);
        outputLamps_[i] = MakeLamp(QString::asprintf("outputLamp%d", n), outputs);
        outputGrid->addWidget(outputLabels_[i], n - 1, 0);
        outputGrid->addWidget(outputLamps_[i], n - 1, 1);
    }
    outputGrid->setRowStretch(DiagnosticsMonitor::kOutputCount, 1);

    auto* close = MakeDialogButton("关闭(&C)", "closeButton", this);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(&monitor_, &DiagnosticsMonitor::changed, this, &CMonDnDialog::Refresh);

    auto* lamps = new QHBoxLayout;
    lamps->addWidget(inputs);
    lamps->addWidget(outputs);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(valuesGrid);
    layout->addLayout(lamps);
    layout->addLayout(buttons);
    Refresh();
}

CMonDnDialog::~CMonDnDialog() {
    monitor_.SetActive(false);
}

void CMonDnDialog::Present() {
    monitor_.RequestContactRead();
    show();
    raise();
    activateWindow();
}

QString CMonDnDialog::ValueText(int number) const {
    return TextAt(values_, number);
}

QString CMonDnDialog::InputLampText(int n) const {
    return TextAt(inputLamps_, n);
}

QString CMonDnDialog::InputLabelText(int n) const {
    return TextAt(inputLabels_, n);
}

QString CMonDnDialog::OutputLabelText(int n) const {
    return TextAt(outputLabels_, n);
}

void CMonDnDialog::Refresh() {
    for (int number = 1; number <= DiagnosticsMonitor::kValueCount; ++number) {
        values_[static_cast<size_t>(number - 1)]->setText(monitor_.Text(number));
    }
    for (int n = 1; n <= DiagnosticsMonitor::kInputCount; ++n) {
        inputLabels_[static_cast<size_t>(n - 1)]->setText(monitor_.InputLabel(n));
        ShowLamp(inputLamps_[static_cast<size_t>(n - 1)], monitor_.InputOn(n));
    }
    for (int n = 1; n <= DiagnosticsMonitor::kOutputCount; ++n) {
        outputLabels_[static_cast<size_t>(n - 1)]->setText(monitor_.OutputLabel(n));
        ShowLamp(outputLamps_[static_cast<size_t>(n - 1)], monitor_.OutputOn(n));
    }
}

void CMonDnDialog::showEvent(QShowEvent* event) {
    monitor_.SetActive(true);
    QDialog::showEvent(event);
}

void CMonDnDialog::hideEvent(QHideEvent* event) {
    if (!event->spontaneous()) {
        monitor_.SetActive(false);
    }
    QDialog::hideEvent(event);
}

#include "planning/ui/InOutParaDialog.h"

#include "drive/ParameterCatalogue.h"
#include "planning/ui/ContactBitmaps.h"
#include "widgets/WindowPlacement.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

// Client pixels of the matrix: the first cell's corner and the cells' sizes.
constexpr int kCellLeft = 120;
constexpr int kCellTop = 83;
constexpr int kInputCellWidth = 51;
constexpr int kOutputCellWidth = 153;
constexpr int kCellHeight = 21;
// Identifiers of the first input cell and the first output cell.
constexpr int kFirstInputCellId = 1127;
constexpr int kFirstOutputCellId = kFirstInputCellId + kInputContacts * kInputFunctions;

constexpr int kLegendTop = kCellTop + kInputFunctions * kCellHeight + 10;
constexpr int kMatrixWidth = kCellLeft + kInputContacts * kInputCellWidth + 24;
constexpr int kMatrixHeight = kLegendTop + 2 * 26 + 8;
constexpr int kButtonStripHeight = 44;

bool IsOutput(int contact) {
    return contact >= kInputContacts;
}

QRect CellRect(int contact, int row) {
    const int top = kCellTop + kCellHeight * row;
    if (IsOutput(contact)) {
        const int o = contact - kInputContacts;
        return {kCellLeft + kOutputCellWidth * o, top, kOutputCellWidth, kCellHeight};
    }
    return {kCellLeft + kInputCellWidth * contact, top, kInputCellWidth, kCellHeight};
}

QLabel* MakeLabel(QWidget* parent, const QRect& rect, Qt::Alignment alignment) {
    auto* label = new QLabel(parent);
    label->setGeometry(rect);
    label->setAlignment(alignment | Qt::AlignVCenter);
    return label;
}

QPushButton* MakeButton(QWidget* parent, const QString& text, const char* name, int left) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(left, 8, 100, 26);
    button->setAutoDefault(false); // Enter goes by the focus (keyPressEvent)
    return button;
}

QLabel* MakeLegend(QWidget* parent, int top, ContactBitmap bitmap) {
    auto* picture =
        MakeLabel(parent, {kCellLeft, top, kInputCellWidth, kCellHeight}, Qt::AlignHCenter);
    picture->setPixmap(ContactBitmapPixmap(bitmap));
    return MakeLabel(parent, {kCellLeft + kInputCellWidth + 6, top, 600, kCellHeight},
                     Qt::AlignLeft);
}

} // namespace

CInOutParaDialog::CInOutParaDialog(const ContactValues& values, QWidget* parent)
    : QDialog(parent), plan_(values) {
    setWindowTitle(QStringLiteral("输入/输出接点规划参数"));
    // The matrix is taller than a small screen: it scrolls, the buttons below it stay in view.
    matrix_ = new QWidget;
    matrix_->setFixedSize(kMatrixWidth, kMatrixHeight);
    // First, so that everything else lies above it.
    group_ = new QGroupBox(matrix_);
    group_->setGeometry(8, 8, kMatrixWidth - 16, kMatrixHeight - 8);
    MakeLabels();
    MakeCells();
    closedLegend_ = MakeLegend(matrix_, kLegendTop, ContactBitmap::NormallyClosed);
    openLegend_ = MakeLegend(matrix_, kLegendTop + 26, ContactBitmap::NormallyOpen);
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("matrixScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(matrix_);

    auto* strip = new QWidget(this);
    strip->setFixedSize(kMatrixWidth, kButtonStripHeight);
    back_ = MakeButton(strip, QStringLiteral("< 返回(&B)"), "backButton", kMatrixWidth - 440);
    next_ = MakeButton(strip, QStringLiteral("下一步(&N) >"), "nextButton", kMatrixWidth - 336);
    finish_ = MakeButton(strip, QStringLiteral("完成(&F)"), "finishButton", kMatrixWidth - 336);
    cancel_ = MakeButton(strip, QStringLiteral("取消"), "cancelButton", kMatrixWidth - 116);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(scroll, 1);
    layout->addWidget(strip, 0, Qt::AlignLeft);
    FitOnScreen(*this, QSize(kMatrixWidth, kMatrixHeight + kButtonStripHeight),
                scroll->verticalScrollBar()->sizeHint().width(), parent);
    connect(back_, &QPushButton::clicked, this, &CInOutParaDialog::OnBack);
    connect(next_, &QPushButton::clicked, this, &CInOutParaDialog::OnNext);
    connect(finish_, &QPushButton::clicked, this, &CInOutParaDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &CInOutParaDialog::reject);
    OnBack();
}

void CInOutParaDialog::MakeLabels() {
    for (int contact = 0; contact < kPlannedContacts; ++contact) {
        const QRect cell = CellRect(contact, 0);
        auto& code = codeHeads_[static_cast<size_t>(contact)];
        auto& name = contactHeads_[static_cast<size_t>(contact)];
        code = MakeLabel(matrix_, {cell.left(), kCellTop - 42, cell.width(), 18}, Qt::AlignHCenter);
        name = MakeLabel(matrix_, {cell.left(), kCellTop - 22, cell.width(), 18}, Qt::AlignHCenter);
        code->setText(QString::asprintf("Hn5%02d", contact + 1));
        name->setText(IsOutput(contact) ? QString::asprintf(" DO-%d", contact - kInputContacts + 1)
                                        : QString::asprintf(" DI-%d", contact + 1));
    }
    for (int row = 0; row < kInputFunctions; ++row) {
        const int top = kCellTop + kCellHeight * row;
        rowNumbers_[static_cast<size_t>(row)] =
            MakeLabel(matrix_, {18, top, 24, kCellHeight}, Qt::AlignLeft);
        rowNames_[static_cast<size_t>(row)] =
            MakeLabel(matrix_, {44, top, kCellLeft - 48, kCellHeight}, Qt::AlignLeft);
    }
}

void CInOutParaDialog::MakeCells() {
    for (int contact = 0; contact < kPlannedContacts; ++contact) {
        for (int row = 0; row < kInputFunctions; ++row) {
            auto* cell = new QPushButton(matrix_);
            cell->setCheckable(true);
            cell->setAutoDefault(false);
            cell->setGeometry(CellRect(contact, row));
            cell->setIconSize(ContactBitmapPixmap(ContactBitmap::Unselected).size());
            const int first = IsOutput(contact) ? kFirstOutputCellId : kFirstInputCellId;
            const int column = IsOutput(contact) ? contact - kInputContacts : contact;
            cell->setProperty("controlId", first + kInputFunctions * column + row);
            cell->setAccessibleName(IsOutput(contact) ? QStringLiteral("X")
                                                      : QStringLiteral("CheckIn"));
            cells_[static_cast<size_t>(contact)][static_cast<size_t>(row)] = cell;
            // An output has 8 functions: the cells below them stay blank and without a handler.
            if (row < FunctionRows(contact)) {
                connect(cell, &QPushButton::clicked, this,
                        [this, contact, row] { OnCell(contact, row); });
            }
        }
        ShowColumn(contact);
    }
}

QPushButton* CInOutParaDialog::Cell(int contact, int row) const {
    return cells_.at(static_cast<size_t>(contact)).at(static_cast<size_t>(row));
}

void CInOutParaDialog::OnCell(int contact, int row) {
    plan_.Click(contact, row);
    ShowColumn(contact);
}

void CInOutParaDialog::ShowColumn(int contact) {
    const int shown = plan_.ShownRow(contact);
    const bool closed = plan_.Column(contact).mode == ContactMode::NormallyClosed;
    for (int row = 0; row < FunctionRows(contact); ++row) {
        QPushButton* cell = Cell(contact, row);
        ContactBitmap bitmap = ContactBitmap::Unselected;
        if (row == shown) {
            bitmap = closed ? ContactBitmap::NormallyClosed : ContactBitmap::NormallyOpen;
        }
        cell->setIcon(ContactBitmapPixmap(bitmap));
        cell->setChecked(row == shown && closed);
    }
}

void CInOutParaDialog::OnNext() {
    page_ = 1;
    ShowPage();
    finish_->setFocus();
}

void CInOutParaDialog::OnBack() {
    page_ = 0;
    ShowPage();
    next_->setFocus();
}

void CInOutParaDialog::ShowPage() {
    const bool outputs = page_ == 1;
    const QString side = outputs ? QStringLiteral("输出") : QStringLiteral("输入");
    group_->setTitle(side + QStringLiteral("接点信号设定"));
    closedLegend_->setText(QStringLiteral(": ") + side +
                           QStringLiteral("接点信号设为常闭。(当功能动作时，接点与IG24接点断开)"));
    openLegend_->setText(QStringLiteral(": ") + side +
                         QStringLiteral("接点信号设为常开。(当功能动作时，接点与IG24接点短接)"));
    const int functions = outputs ? kOutputFunctions : kInputFunctions;
    for (int row = 0; row < kInputFunctions; ++row) {
        const bool named = row < functions;
        rowNumbers_[static_cast<size_t>(row)]->setText(named ? QString::asprintf("%02X", row + 1)
                                                             : QString());
        rowNames_[static_cast<size_t>(row)]->setText(!named    ? QString()
                                                     : outputs ? DoFunctionName(row)
                                                               : DiFunctionName(row));
    }
    finish_->setVisible(outputs);
    finish_->setEnabled(outputs);
    next_->setVisible(!outputs);
    next_->setEnabled(!outputs);
    back_->setEnabled(outputs);
    for (int contact = 0; contact < kPlannedContacts; ++contact) {
        const bool onPage = IsOutput(contact) == outputs;
        codeHeads_[static_cast<size_t>(contact)]->setVisible(onPage);
        contactHeads_[static_cast<size_t>(contact)]->setVisible(onPage);
        for (int row = 0; row < kInputFunctions; ++row) {
            Cell(contact, row)->setVisible(onPage);
            Cell(contact, row)->setEnabled(onPage && row < FunctionRows(contact));
        }
    }
}

void CInOutParaDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        QDialog::keyPressEvent(event);
        return;
    }
    // Enter on a button is that button, so "下一步" and "< 返回" turn the page; on a cell it is
    // the dialog's OK, "完成", which ends it only on the output page.
    QWidget* focus = focusWidget();
    if (focus == back_ || focus == next_ || focus == cancel_ || focus == finish_) {
        static_cast<QPushButton*>(focus)->click();
    } else {
        accept();
    }
}

void CInOutParaDialog::accept() {
    if (page_ == 1) {
        QDialog::accept();
    }
}

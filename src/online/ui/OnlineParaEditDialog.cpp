#include "online/ui/OnlineParaEditDialog.h"

#include "frame/DialogButton.h"
#include "online/OnlineEditor.h"
#include "online/ui/OnlineParaSetupDialog.h"
#include "widgets/DigitDisplay.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kButtonHeight = 22;
// The grid of buttons and display has one column per display cell, six at most.
constexpr int kColumns = 6;

// The up and down buttons' arrow: a filled triangle.
QIcon ArrowIcon(bool up) {
    QPixmap pixmap(16, 12);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath arrow;
    if (up) {
        arrow.moveTo(8, 1);
        arrow.lineTo(15, 11);
        arrow.lineTo(1, 11);
    } else {
        arrow.moveTo(1, 1);
        arrow.lineTo(15, 1);
        arrow.lineTo(8, 11);
    }
    arrow.closeSubpath();
    painter.fillPath(arrow, up ? QColor(0x1F, 0x4E, 0x8C) : QColor(0xB7, 0x1C, 0x1C));
    painter.end();
    QIcon icon(pixmap);
    return icon;
}

QPushButton* MakeArrowButton(bool up, int panel, int digit, QWidget* parent) {
    auto* button = new QPushButton(parent);
    button->setObjectName(QStringLiteral("%1%2_%3")
                              .arg(up ? QStringLiteral("up") : QStringLiteral("down"))
                              .arg(panel + 1)
                              .arg(digit));
    button->setIcon(ArrowIcon(up));
    button->setFixedSize(DigitDisplay::kCellWidth, kButtonHeight);
    button->setAutoDefault(false);
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

QLabel* MakeLabel(QWidget* parent, const QString& name) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    return label;
}

} // namespace

COnlineParaEdit::COnlineParaEdit(OnlineEditor& editor, const DriveProfile& profile,
                                 Messenger& messenger, QWidget* parent)
    : QDialog(parent), editor_(editor), profile_(profile), messenger_(messenger) {
    setWindowTitle(QString::fromUtf8("在线参数设定"));
    auto* grid = new QGridLayout;
    for (int p = 0; p < kOnlinePanelCount; ++p) {
        grid->addWidget(MakePanel(p), p / 2, p % 2);
    }
    QPushButton* setup = MakeDialogButton("设定", "setupButton", this);
    QPushButton* close = MakeDialogButton("关闭", "closeButton", this);
    connect(setup, &QPushButton::clicked, this, &COnlineParaEdit::OnSetup);
    connect(close, &QPushButton::clicked, this, &COnlineParaEdit::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(setup);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    RefreshPanels();
}

QWidget* COnlineParaEdit::MakePanel(int p) {
    PanelWidgets& w = panels_[static_cast<size_t>(p)];
    const QString n = QString::number(p + 1);
    auto* box = new QGroupBox(this);
    w.code = MakeLabel(box, QStringLiteral("code") + n);
    QFont big = w.code->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    w.code->setFont(big);
    w.name = MakeLabel(box, QStringLiteral("name") + n);
    w.name->setWordWrap(true);
    w.name->setFixedWidth(kColumns * DigitDisplay::kCellWidth + 40);
    w.name->setMinimumHeight(2 * w.name->fontMetrics().height());
    w.name->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    w.unit = MakeLabel(box, QStringLiteral("unit") + n);
    w.range = MakeLabel(box, QStringLiteral("range") + n);
    auto* facts = new QGridLayout;
    facts->addWidget(new QLabel(QString::fromUtf8("单位"), box), 0, 0);
    facts->addWidget(w.unit, 0, 1);
    facts->addWidget(new QLabel(QString::fromUtf8("范围 (最小-最大)"), box), 1, 0);
    facts->addWidget(w.range, 1, 1);
    facts->setColumnStretch(1, 1);

    // Buttons of digit d sit in column kColumns - d, above and below the display's cell for it.
    w.display = new DigitDisplay(box);
    w.display->setObjectName(QStringLiteral("display") + n);
    auto* digits = new QGridLayout;
    digits->setHorizontalSpacing(0);
    for (int digit = 1; digit <= kDigitPairs; ++digit) {
        QPushButton* up = MakeArrowButton(true, p, digit, box);
        QPushButton* down = MakeArrowButton(false, p, digit, box);
        connect(up, &QPushButton::clicked, this, [this, p, digit] { OnUp(p, digit); });
        connect(down, &QPushButton::clicked, this, [this, p, digit] { OnDown(p, digit); });
        w.up[static_cast<size_t>(digit - 1)] = up;
        w.down[static_cast<size_t>(digit - 1)] = down;
        digits->addWidget(up, 0, kColumns - digit);
        digits->addWidget(down, 2, kColumns - digit);
    }
    for (int column = 0; column < kColumns; ++column) {
        digits->setColumnMinimumWidth(column, DigitDisplay::kCellWidth);
    }
    digits->addWidget(w.display, 1, 0, 1, kColumns, Qt::AlignRight);
    auto* centred = new QHBoxLayout;
    centred->addStretch();
    centred->addLayout(digits);
    centred->addStretch();

    auto* layout = new QVBoxLayout(box);
    layout->addWidget(w.code);
    layout->addWidget(w.name);
    layout->addLayout(facts);
    layout->addLayout(centred);
    return box;
}

QPushButton* COnlineParaEdit::UpButton(int panel, int digit) const {
    return panels_[static_cast<size_t>(panel)].up[static_cast<size_t>(digit - 1)];
}

QPushButton* COnlineParaEdit::DownButton(int panel, int digit) const {
    return panels_[static_cast<size_t>(panel)].down[static_cast<size_t>(digit - 1)];
}

DigitDisplay* COnlineParaEdit::Display(int panel) const {
    return panels_[static_cast<size_t>(panel)].display;
}

void COnlineParaEdit::RefreshPanels() {
    for (int p = 0; p < kOnlinePanelCount; ++p) {
        const OnlinePanel& panel = editor_.Panel(p);
        PanelWidgets& w = panels_[static_cast<size_t>(p)];
        w.code->setText(panel.codeText);
        w.name->setText(panel.nameText);
        w.unit->setText(panel.unitText);
        w.range->setText(panel.rangeText);
        w.display->SetPositions(panel.PanelWide ? 6 : 5);
        w.display->SetHex(panel.PanelHex);
        w.display->SetValue(panel.PanelValue);
        w.display->setEnabled(panel.PanelActive);
        for (int digit = 1; digit <= kDigitPairs; ++digit) {
            // An unused panel shows every pair, disabled.
            const bool shown = !panel.PanelActive || DigitPairShown(panel, digit);
            for (QPushButton* button : {UpButton(p, digit), DownButton(p, digit)}) {
                button->setVisible(shown);
                button->setEnabled(panel.PanelActive);
            }
        }
    }
}

void COnlineParaEdit::ShowValue(int panel) {
    DigitDisplay* display = Display(panel);
    display->SetValue(editor_.Panel(panel).PanelValue);
    // Drawn now: the drive exchanges that follow hold the event loop.
    display->repaint();
}

void COnlineParaEdit::OnUp(int panel, int digit) {
    OnPress(panel, digit, true);
}

void COnlineParaEdit::OnDown(int panel, int digit) {
    OnPress(panel, digit, false);
}

void COnlineParaEdit::OnPress(int panel, int digit, bool up) {
    // A press while the status poll reads runs after its tick: the window may have gone by then.
    const QPointer<COnlineParaEdit> self(this);
    editor_.RunPress([self, panel, digit, up] {
        if (self.isNull()) {
            return;
        }
        const PressOutcome outcome =
            self->editor_.Press(panel, digit, up, [self](int shown) { self->ShowValue(shown); });
        if (outcome == PressOutcome::LinkDown) {
            self->reject();
        }
    });
}

void COnlineParaEdit::OnSetup() {
    if (!editor_.CheckLink()) {
        reject();
        return;
    }
    COnlineParaSetupDialog setup(editor_.Codes(), profile_, messenger_, this);
    if (setup.exec() != QDialog::Accepted) {
        return;
    }
    editor_.TakeCodes(setup.Codes(), [this](int shown) { ShowValue(shown); });
    RefreshPanels();
}

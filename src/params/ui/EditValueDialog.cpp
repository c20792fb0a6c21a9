#include "params/ui/EditValueDialog.h"

#include "drive/ParameterCatalogue.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <QValidator>

namespace {

QString FromUtf8(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// Refuses every keystroke whose result the range does not accept: the line edit then keeps its
// previous text, cursor and selection.
class RangeValidator : public QValidator {
public:
    RangeValidator(int32_t min, int32_t max, QObject* parent)
        : QValidator(parent), min_(min), max_(max) {}

    State validate(QString& input, int&) const override {
        if (!ValueTextAcceptable(input, min_, max_)) {
            return Invalid;
        }
        return ParseValueText(input) ? Acceptable : Intermediate;
    }

private:
    int32_t min_;
    int32_t max_;
};

} // namespace

CEditValueDialog::CEditValueDialog(const QString& code, const QString& name,
                                   const QString& unitText, const QString& rangeText, int32_t min,
                                   int32_t max, int32_t value, QWidget* parent)
    : CValueEditorDialog(parent), min_(min), max_(max), value_(value) {
    setWindowTitle(EditorWindowTitle());

    auto* codeLabel = new QLabel(code, this);
    codeLabel->setObjectName(QStringLiteral("code"));
    auto* nameLabel = new QLabel(name, this);
    nameLabel->setObjectName(QStringLiteral("name"));

    // A value outside the range (a file's or the drive's) shows as OK would take it, not cut to
    // the field's length.
    field_ = new QLineEdit(QString::number(LimitToRange(value, min, max)), this);
    field_->setObjectName(QStringLiteral("valueEdit"));
    field_->setMaxLength(kValueEditMaxLength);
    field_->setValidator(new RangeValidator(min, max, field_));
    field_->setMaximumWidth(field_->fontMetrics().horizontalAdvance(QStringLiteral("-0000000")) +
                            12);
    up_ = new QToolButton(this);
    up_->setObjectName(QStringLiteral("spinUp"));
    up_->setArrowType(Qt::UpArrow);
    up_->setAutoRepeat(true);
    down_ = new QToolButton(this);
    down_->setObjectName(QStringLiteral("spinDown"));
    down_->setArrowType(Qt::DownArrow);
    down_->setAutoRepeat(true);
    for (QToolButton* button : {up_, down_}) {
        button->setFixedSize(16, 12);
        button->setFocusPolicy(Qt::NoFocus);
    }
    auto* spin = new QVBoxLayout;
    spin->setSpacing(0);
    spin->addWidget(up_);
    spin->addWidget(down_);

    auto* unitLabel = new QLabel(unitText, this);
    unitLabel->setObjectName(QStringLiteral("unit"));
    auto* rangeLabel = new QLabel(rangeText, this);
    rangeLabel->setObjectName(QStringLiteral("rangeText"));

    auto* grid = new QGridLayout;
    grid->addWidget(codeLabel, 0, 0);
    grid->addWidget(nameLabel, 0, 1, 1, 4);
    grid->addWidget(new QLabel(FromUtf8("设定值："), this), 1, 0);
    auto* fieldRow = new QHBoxLayout;
    fieldRow->setSpacing(0);
    fieldRow->addWidget(field_);
    fieldRow->addLayout(spin);
    fieldRow->addSpacing(6);
    fieldRow->addWidget(unitLabel);
    fieldRow->addStretch(1);
    grid->addLayout(fieldRow, 1, 1);
    grid->addWidget(new QLabel(FromUtf8("范围："), this), 2, 0);
    grid->addWidget(rangeLabel, 2, 1);
    grid->setColumnStretch(1, 1);

    modelButton_ = new QPushButton(Cn030Editor().modelButton, this);
    modelButton_->setObjectName(QStringLiteral("modelButton"));
    modelButton_->setAutoDefault(false);
    const bool hasModelButton = ValueEditorHasModelButton(code);
    modelButton_->setVisible(hasModelButton);
    modelButton_->setEnabled(hasModelButton);

    help_ = new QLabel(HelpText(ParamCode::FromText(code)), this);
    help_->setObjectName(QStringLiteral("helpText"));
    help_->setWordWrap(true);
    help_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    help_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    help_->setFrameShape(QFrame::StyledPanel);
    help_->setMinimumSize(360, 4 * fontMetrics().height());

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(FromUtf8("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(FromUtf8("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CEditValueDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CEditValueDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    auto* modelRow = new QHBoxLayout;
    modelRow->addWidget(modelButton_);
    modelRow->addStretch(1);
    layout->addLayout(modelRow);
    layout->addWidget(help_, 1);
    layout->addWidget(buttons);

    connect(up_, &QToolButton::clicked, this, [this] { Spin(1); });
    connect(down_, &QToolButton::clicked, this, [this] { Spin(-1); });
    connect(modelButton_, &QPushButton::clicked, this, &CEditValueDialog::OnChooseModel);
    field_->setFocus();
    field_->selectAll();
}

int32_t CEditValueDialog::FieldNumber() const {
    return ParseValueText(field_->text()).value_or(value_);
}

void CEditValueDialog::Spin(int steps) {
    field_->setText(QString::number(SpinValue(FieldNumber(), steps, min_, max_)));
    field_->selectAll();
}

void CEditValueDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
        Spin(event->key() == Qt::Key_Up ? 1 : -1);
        return;
    }
    CValueEditorDialog::keyPressEvent(event);
}

void CEditValueDialog::accept() {
    value_ = LimitToRange(FieldNumber(), min_, max_);
    CValueEditorDialog::accept();
}

void CEditValueDialog::OnChooseModel() {
    const std::optional<int32_t> chosen = RunModelTypeDialog(this, FieldNumber());
    if (chosen) {
        field_->setText(QString::number(AfterModelChoice(FieldNumber(), chosen)));
    }
}

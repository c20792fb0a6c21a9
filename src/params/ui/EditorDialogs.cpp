#include "params/ui/EditorDialogs.h"

#include "base/StringTable.h"

#include "params/ui/ModelTypeDialog.h"

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// List texts and captions end in a line break in the string table; a list line shows none.
QString Shown(const QString& text) {
    QString shown = text;
    while (shown.endsWith(QLatin1Char('\n'))) {
        shown.chop(1);
    }
    return shown;
}

QLabel* MakeLabel(const QString& text, QWidget* parent, const char* name = nullptr) {
    auto* label = new QLabel(Shown(text), parent);
    if (name) {
        label->setObjectName(QString::fromLatin1(name));
    }
    return label;
}

// Heading row common to the editors: the heading, "设定值：" with the read-only value field and
// "范围：" with the range text.
QLineEdit* AddHeading(QVBoxLayout* layout, QWidget* dialog, const QString& heading,
                      const QString& rangeText) {
    auto* title = MakeLabel(heading, dialog, "heading");
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    layout->addWidget(title);

    auto* row = new QHBoxLayout;
    row->addWidget(MakeLabel(U("设定值："), dialog));
    auto* field = new QLineEdit(dialog);
    field->setObjectName(QStringLiteral("valueField"));
    field->setReadOnly(true);
    field->setMaximumWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("00000000")));
    row->addWidget(field);
    row->addSpacing(16);
    row->addWidget(MakeLabel(U("范围："), dialog));
    row->addWidget(MakeLabel(rangeText, dialog, "rangeText"));
    row->addStretch(1);
    layout->addLayout(row);

    auto* line = new QFrame(dialog);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    layout->addWidget(line);
    return field;
}

void AddOkCancel(QVBoxLayout* layout, QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(U("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(U("取消"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addWidget(buttons);
}

QComboBox* MakeList(const QStringList& items, int selected, QWidget* parent) {
    auto* list = new QComboBox(parent);
    int widest = 0;
    for (const QString& item : items) {
        const QString text = Shown(item);
        list->addItem(text);
        list->setItemData(list->count() - 1, text, Qt::ToolTipRole);
        widest = std::max(widest, list->fontMetrics().horizontalAdvance(text));
    }
    list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    list->setMinimumContentsLength(24);
    // Some options are whole sentences: the open list is as wide as its longest one, and the
    // closed list tells its full choice on hovering.
    list->view()->setMinimumWidth(widest + 2 * list->view()->frameWidth() + 24);
    QObject::connect(list, &QComboBox::currentTextChanged, list,
                     [list](const QString& text) { list->setToolTip(text); });
    // A field whose value has no item shows no choice and keeps its value until one is made.
    list->setCurrentIndex(selected);
    list->setToolTip(list->currentText());
    return list;
}

} // namespace

// ---- Digit and contact mask editors ----

CEditFieldsDialog::CEditFieldsDialog(const FieldEditor& editor, int32_t value, QWidget* parent)
    : CValueEditorDialog(parent), editor_(editor), value_(value) {
    setWindowTitle(EditorWindowTitle());
    auto* layout = new QVBoxLayout(this);
    valueField_ = AddHeading(layout, this, editor.heading, editor.rangeText);

    const std::vector<int> selected = SelectedItems(editor, value);
    auto* grid = new QGridLayout;
    const bool masks = !editor.lists.empty() && editor.lists.front().caption.isEmpty();
    for (int i = 0; i < static_cast<int>(editor.lists.size()); ++i) {
        const FieldList& field = editor.lists[i];
        QComboBox* list = MakeList(field.items, selected[i], this);
        list->setObjectName(field.name);
        lists_.push_back(list);
        if (masks) {
            // Thirteen one-bit lists: two columns of "DI-n" and its list.
            const int row = i % 7;
            const int column = (i / 7) * 2;
            grid->addWidget(MakeLabel(field.name, this), row, column);
            grid->addWidget(list, row, column + 1);
        } else {
            const int row = i * 2;
            grid->addWidget(MakeLabel(field.name, this), row, 0);
            grid->addWidget(MakeLabel(field.caption, this), row, 1);
            grid->addWidget(MakeLabel(field.rangeText, this), row, 2);
            grid->addWidget(list, row + 1, 1, 1, 2);
        }
        connect(list, &QComboBox::currentIndexChanged, this,
                [this, i](int item) { OnChosen(i, item); });
    }
    grid->setColumnStretch(1, 1);
    layout->addLayout(grid);
    AddOkCancel(layout, this);
    valueField_->setText(ValueFieldText(editor.code, value_));
}

void CEditFieldsDialog::OnChosen(int listIndex, int item) {
    value_ = ChooseItem(editor_, value_, listIndex, item);
    valueField_->setText(ValueFieldText(editor_.code, value_));
}

// ---- Contact function editor ----

CEditHn501Dialog::CEditHn501Dialog(const QString& code, int32_t value, QWidget* parent)
    : CValueEditorDialog(parent), editor_(ContactEditorFor(code)), value_(value) {
    setWindowTitle(EditorWindowTitle());
    auto* layout = new QVBoxLayout(this);
    valueField_ = AddHeading(layout, this, editor_.heading, editor_.rangeText);

    auto* grid = new QGridLayout;
    function_ = MakeList(editor_.functionItems, ContactFunctionItem(editor_, value), this);
    function_->setObjectName(QStringLiteral("functionList"));
    level_ = MakeList(editor_.levelItems, ContactLevelItem(editor_, value), this);
    level_->setObjectName(QStringLiteral("levelList"));
    grid->addWidget(MakeLabel(ShownText(editor_.functionLabel), this), 0, 0);
    grid->addWidget(MakeLabel(editor_.functionCaption, this), 0, 1);
    grid->addWidget(MakeLabel(editor_.functionRangeText, this), 0, 2);
    grid->addWidget(function_, 1, 1, 1, 2);
    grid->addWidget(MakeLabel(editor_.levelLabel, this), 2, 0);
    grid->addWidget(MakeLabel(editor_.levelCaption, this), 2, 1);
    grid->addWidget(level_, 3, 1, 1, 2);
    grid->setColumnStretch(1, 1);
    layout->addLayout(grid);
    AddOkCancel(layout, this);

    connect(function_, &QComboBox::currentIndexChanged, this, [this](int item) {
        value_ = ChooseContactFunction(editor_, value_, item);
        ShowValue();
    });
    connect(level_, &QComboBox::currentIndexChanged, this, [this](int item) {
        value_ = ChooseContactLevel(editor_, value_, item);
        ShowValue();
    });
    ShowValue();
}

void CEditHn501Dialog::ShowValue() {
    valueField_->setText(ValueFieldText(editor_.code, value_));
}

// ---- Rigidity editor ----

CEditCn026Dialog::CEditCn026Dialog(int32_t value, QWidget* parent)
    : CValueEditorDialog(parent), value_(RigidityValueAtOpening(value)) {
    const RigidityEditor& editor = Cn026Editor();
    setWindowTitle(EditorWindowTitle());
    auto* layout = new QVBoxLayout(this);
    valueField_ = AddHeading(layout, this, editor.heading, editor.rangeText);

    auto* buttonsRow = new QHBoxLayout;
    buttonsRow->addWidget(MakeLabel(editor.code, this));
    buttonsRow->addWidget(MakeLabel(editor.hint, this));
    levels_ = new QButtonGroup(this);
    for (int i = 0; i < editor.buttons.size(); ++i) {
        auto* button = new QRadioButton(editor.buttons[i], this);
        button->setObjectName(QStringLiteral("level%1").arg(editor.buttons[i]));
        levels_->addButton(button, i);
        buttonsRow->addWidget(button);
    }
    buttonsRow->addStretch(1);
    layout->addLayout(buttonsRow);
    if (QAbstractButton* current = levels_->button(RigidityButton(value_))) {
        current->setChecked(true);
    }

    auto* explanation = MakeLabel(editor.explanation, this, "explanation");
    explanation->setWordWrap(true);
    layout->addWidget(explanation);

    // The gains of each level as a fixed table: a row per gain, a column per level.
    auto* table = new QGridLayout;
    table->setHorizontalSpacing(12);
    for (int i = 0; i < editor.buttons.size(); ++i) {
        table->addWidget(MakeLabel(editor.buttons[i], this), 0, i + 1, Qt::AlignRight);
    }
    for (int row = 0; row < editor.gainRowLabels.size(); ++row) {
        table->addWidget(MakeLabel(editor.gainRowLabels[row], this), row + 1, 0);
        for (int level = 0; level < kRigidityLevels; ++level) {
            const RigidityGains& gains = editor.gains[level];
            const int figure = row == 0   ? gains.positionLoopGain
                               : row == 1 ? gains.speedLoopGain
                                          : gains.speedIntegralTime;
            table->addWidget(MakeLabel(QString::number(figure), this), row + 1, level + 1,
                             Qt::AlignRight);
        }
    }
    layout->addLayout(table);
    AddOkCancel(layout, this);

    connect(levels_, &QButtonGroup::idClicked, this, [this](int button) {
        value_ = ChooseRigidityButton(value_, button);
        ShowValue();
    });
    ShowValue();
}

QRadioButton* CEditCn026Dialog::LevelButton(int button) const {
    return qobject_cast<QRadioButton*>(levels_->button(button));
}

int CEditCn026Dialog::CheckedButton() const {
    return levels_->checkedId();
}

void CEditCn026Dialog::ShowValue() {
    valueField_->setText(ValueFieldText(Cn026Editor().code, value_));
}

// ---- Model editor ----

CEditCn030Dialog::CEditCn030Dialog(int32_t value, QWidget* parent)
    : CValueEditorDialog(parent), value_(value) {
    const ModelEditor& editor = Cn030Editor();
    setWindowTitle(EditorWindowTitle());
    auto* layout = new QVBoxLayout(this);
    valueField_ = AddHeading(layout, this, editor.heading, editor.rangeText);

    auto* warning = MakeLabel(editor.warning, this, "warning");
    warning->setWordWrap(true);
    layout->addWidget(warning);
    modelButton_ = new QPushButton(editor.modelButton, this);
    modelButton_->setObjectName(QStringLiteral("modelButton"));
    modelButton_->setAutoDefault(false);
    auto* row = new QHBoxLayout;
    row->addWidget(modelButton_);
    row->addStretch(1);
    layout->addLayout(row);
    AddOkCancel(layout, this);

    connect(modelButton_, &QPushButton::clicked, this, &CEditCn030Dialog::OnChooseModel);
    ShowValue();
}

void CEditCn030Dialog::OnChooseModel() {
    value_ = AfterModelChoice(value_, RunModelTypeDialog(this, value_));
    ShowValue();
}

void CEditCn030Dialog::ShowValue() {
    valueField_->setText(ValueFieldText(Cn030Editor().code, value_));
}

std::optional<int32_t> RunModelTypeDialog(QWidget* parent, int32_t code) {
    CModelTypeDialog dialog(code, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.Code();
}

#pragma once

#include "params/BitFieldEditors.h"

#include <QDialog>

#include <cstdint>
#include <optional>
#include <vector>

class QButtonGroup;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The modal value editors of the parameter editor, titled "编辑". Each is given the current
// value and hands the edited one back through Value() after "确定"; none talks to the drive.
// What the lists hold and how a choice changes the value comes from params/BitFieldEditors.h.
class CValueEditorDialog : public QDialog {
    Q_OBJECT
public:
    using QDialog::QDialog;
    virtual int32_t Value() const = 0;
};

// The digit editors (Cn002, Cn006, Cn015, Cn037, Pn301, Pn316, Pn365) and the contact mask
// editors (Hn518, Hn519): one drop-down list per field of the editor's data, and the read-only
// value field refreshed after every choice.
class CEditFieldsDialog : public CValueEditorDialog {
    Q_OBJECT
public:
    CEditFieldsDialog(const FieldEditor& editor, int32_t value, QWidget* parent = nullptr);

    int32_t Value() const override { return value_; }
    int ListCount() const { return static_cast<int>(lists_.size()); }
    QComboBox* List(int index) const { return lists_.at(index); }
    QLineEdit* ValueField() const { return valueField_; }

private:
    void OnChosen(int listIndex, int item);

    const FieldEditor& editor_;
    int32_t value_;
    std::vector<QComboBox*> lists_;
    QLineEdit* valueField_ = nullptr;
};

// Contact function editor of Hn501..Hn517: the function number list and the active level list.
class CEditHn501Dialog : public CValueEditorDialog {
    Q_OBJECT
public:
    CEditHn501Dialog(const QString& code, int32_t value, QWidget* parent = nullptr);

    int32_t Value() const override { return value_; }
    QComboBox* FunctionList() const { return function_; }
    QComboBox* LevelList() const { return level_; }
    QLineEdit* ValueField() const { return valueField_; }

private:
    void ShowValue();

    ContactEditor editor_;
    int32_t value_;
    QComboBox* function_ = nullptr;
    QComboBox* level_ = nullptr;
    QLineEdit* valueField_ = nullptr;
};

// Rigidity editor of Cn026: level buttons "1".."9", "A" and the gains of every level. Opening
// keeps only the level digit, so the value may already differ from the one given.
class CEditCn026Dialog : public CValueEditorDialog {
    Q_OBJECT
public:
    explicit CEditCn026Dialog(int32_t value, QWidget* parent = nullptr);

    int32_t Value() const override { return value_; }
    QRadioButton* LevelButton(int button) const;
    // Button of the checked level, -1 when none is checked.
    int CheckedButton() const;
    QLineEdit* ValueField() const { return valueField_; }

private:
    void ShowValue();

    int32_t value_;
    QButtonGroup* levels_ = nullptr;
    QLineEdit* valueField_ = nullptr;
};

// Model editor of Cn030: the read-only model code and "设定型号(&S)...", which opens the model
// list with the code and takes the list's choice on "确定".
class CEditCn030Dialog : public CValueEditorDialog {
    Q_OBJECT
public:
    explicit CEditCn030Dialog(int32_t value, QWidget* parent = nullptr);

    int32_t Value() const override { return value_; }
    QPushButton* ModelButton() const { return modelButton_; }
    QLineEdit* ValueField() const { return valueField_; }

private:
    void OnChooseModel();
    void ShowValue();

    int32_t value_;
    QPushButton* modelButton_ = nullptr;
    QLineEdit* valueField_ = nullptr;
};

// Runs the model list modally over `parent` with `code`; the chosen code after "确定", nothing
// after "取消".
std::optional<int32_t> RunModelTypeDialog(QWidget* parent, int32_t code);

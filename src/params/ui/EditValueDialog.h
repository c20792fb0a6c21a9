#pragma once

#include "params/ui/EditorDialogs.h"

class QLabel;
class QToolButton;

// The value editor of every parameter without an editor of its own: code, name, unit, range,
// an edit field of at most six characters with a spin control over min..max, and the
// parameter's help text. Typing that leaves the range is refused at once (the text and the
// selection stay as they were); "确定" limits the value to min..max. For Cn030 the button
// "设定型号(&S)..." puts the code chosen in the model list into the field.
class CEditValueDialog : public CValueEditorDialog {
    Q_OBJECT
public:
    CEditValueDialog(const QString& code, const QString& name, const QString& unitText,
                     const QString& rangeText, int32_t min, int32_t max, int32_t value,
                     QWidget* parent = nullptr);

    // The value: the one given, after "确定" the field's number limited to the range.
    int32_t Value() const override { return value_; }
    QLineEdit* Field() const { return field_; }
    QToolButton* SpinUpButton() const { return up_; }
    QToolButton* SpinDownButton() const { return down_; }
    QPushButton* ModelButton() const { return modelButton_; }
    QLabel* HelpLabel() const { return help_; }

    // The spin control: the field's number moved by `steps`, held within the range.
    void Spin(int steps);

    void accept() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OnChooseModel();
    // The field's number; the last value when the field holds none.
    int32_t FieldNumber() const;

    int32_t min_;
    int32_t max_;
    int32_t value_;
    QLineEdit* field_ = nullptr;
    QToolButton* up_ = nullptr;
    QToolButton* down_ = nullptr;
    QPushButton* modelButton_ = nullptr;
    QLabel* help_ = nullptr;
};

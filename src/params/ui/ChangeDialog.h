#pragma once

#include "params/ChangeDialogState.h"

#include <QDialog>

#include <array>

class Messenger;
class QCheckBox;
class QPushButton;
class QRadioButton;

// "显示设定": which parameters the parameter editor lists. The window only shows what
// ChangeDialogState's rules say and passes the clicks on; after "确定" State() holds the
// confirmed settings.
class CChangeDialog : public QDialog {
    Q_OBJECT
public:
    CChangeDialog(const DisplaySettings& settings, const CustomTable& custom, Messenger& messenger,
                  QWidget* parent = nullptr);

    const ChangeDialogState& State() const { return state_; }

    void accept() override;

private:
    void Show(const ChangeDialogControls& controls);
    void OnAddRemove();

    ChangeDialogState state_;
    Messenger& messenger_;
    std::array<QRadioButton*, 3> modes_{};
    std::array<QCheckBox*, 7> groups_{};
    std::array<QCheckBox*, 4> controlModes_{};
    QPushButton* addRemove_ = nullptr;
};

#pragma once

#include "trace/TraceSettings.h"

#include <QDialog>

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QToolButton;

// "追踪设置": the two quantities, the contacts shown, their line colours, the sampling interval
// and the trigger. Each edit keeps the settings' rules as the user types: a value outside its
// range gives way to the one before it.
class CTraceSetupDialog : public QDialog {
    Q_OBJECT
public:
    using ContactFunctions = std::array<int32_t, TraceSettings::kContactCount>;
    CTraceSetupDialog(const TraceSettings& settings, const ContactFunctions& functions,
                      QWidget* parent = nullptr);

    // The settings as chosen, with the contact functions the lists were named from.
    const TraceSettings& Settings() const { return settings_; }

private:
    QComboBox* AddLineRow(QGridLayout* lines, const QString& title, QComboBox* list, int line);
    QWidget* MakeSpin(QLineEdit* edit, const QString& name, void (CTraceSetupDialog::*step)(int));
    void IntervalEdited(const QString& text);
    void LevelEdited(const QString& text);
    void StepInterval(int delta);
    void StepLevel(int delta);
    void ModeChosen(int mode);
    // The level's limit, unit and spin for the current mode; the level as it is.
    void ShowTriggerRange();
    void ShowInterval();
    void ShowLevel();

    TraceSettings settings_;
    QLineEdit* interval_ = nullptr;
    QLabel* intervalMs_ = nullptr;
    QLabel* totalMs_ = nullptr;
    QComboBox* mode_ = nullptr;
    QLineEdit* level_ = nullptr;
    QWidget* levelSpin_ = nullptr;
    QLabel* levelUnit_ = nullptr;
};

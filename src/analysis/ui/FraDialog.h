#pragma once

#include "analysis/FrequencyResponse.h"

#include <QDialog>

#include <optional>

class CFRAReadDialog;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class ResponsePlots;
struct CommandActionContext;

// The last measurement, kept for the whole run so that the window opens again on it.
struct FraRun {
    FraRecord record;
    FrequencyResponse response;
    bool dataValid = false; // a complete record was read and analysed
};

// "机械特性分析": starts a measurement on the drive, shows the response as the two plots with
// their scales and cursors, the resonance and anti-resonance in the result group, opens the
// resonance filter dialog and exports the measurement.
class CFRADlg : public QDialog {
    Q_OBJECT
public:
    // `run` holds the measurement shown and outlives the window.
    CFRADlg(CommandActionContext& context, FraRun& run, QWidget* parent = nullptr);
    ~CFRADlg() override;

    void OnStart();
    void OnFilterSetting();
    void OnExport();

    bool DataValid() const { return run_.dataValid; }
    ResponsePlots& Plots() { return *plots_; }

private:
    void StartNow();
    QWidget* BuildPlotArea();
    QWidget* BuildSidePanel();
    void ResetScales();
    void ApplyScales();
    void ShowAnalysis();
    void ShowCursorReadouts();
    void ShowColumn(int column, std::optional<int> bin);
    // A new run has begun: no curves, no results, nothing to export.
    void ClearResults();

    CommandActionContext& context_;
    FraRun& run_;
    std::optional<double> resonanceHz_;
    int gainOffset_ = 0;
    int phaseOffset_ = 0;

    ResponsePlots* plots_ = nullptr;
    CFRAReadDialog* reader_ = nullptr;
    QComboBox* gainScale_ = nullptr;
    QComboBox* phaseScale_ = nullptr;
    QLineEdit* results_[2][3] = {}; // column (resonance, anti-resonance) x row (Hz, dB, deg)
    QCheckBox* showCursors_ = nullptr;
    QPushButton* filter_ = nullptr;
    QPushButton* export_ = nullptr;
    QLineEdit* load_ = nullptr;
};

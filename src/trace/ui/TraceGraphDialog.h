#pragma once

#include "trace/TraceRecord.h"
#include "trace/TraceView.h"

#include <QDialog>

#include <array>
#include <functional>
#include <memory>

class FileChooser;
class Messenger;
class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QSlider;
class QToolButton;
class Ticker;
class TickerSource;
class TracePlotWidget;

// The trace as the program keeps it for the whole run: what the window showed last, whether
// the drive has been given settings, and the file it came from.
struct TraceRun {
    TraceRecord record;
    bool hasTrace = false;   // set up or opened: the display controls work
    bool configured = false; // "Trace Setting" succeeded: "START" may record
    QString path;            // the ".trd" it was opened from or saved to
    bool saved = false;
};

// What the window asks of the program: messages, file names, the link state and the sequences
// behind its drive buttons.
struct TraceWindowServices {
    Messenger& messenger;
    FileChooser& files;
    std::function<bool()> linkUp;
    // "Trace Setting" and "START": true when `record` took new settings or samples.
    std::function<bool(QWidget* parent, TraceRecord& record)> traceSetting;
    std::function<bool(QWidget* parent, TraceRecord& record)> traceStart;
    std::function<void(QWidget* parent)> onlineEditing;
    // The ticks on which the window looks at the link, so that the drive buttons follow it while
    // the window is open; none: they follow it only when the window acts.
    TickerSource* tickers = nullptr;
    // Runs a drive button's press now, or after the status poll's tick when the poll is reading;
    // none: the press runs at once.
    std::function<void(std::function<void()> press)> press;
};

// "追踪波形": the plot with its scales, offsets, time scale, scrolling, zoom, contact lanes and
// cursors; trace files; the copy to the clipboard; and the buttons that set up and start a
// recording in the drive.
class CTraceGraphDialog : public QDialog {
    Q_OBJECT
public:
    CTraceGraphDialog(TraceWindowServices services, TraceRun& run, QWidget* parent = nullptr);
    ~CTraceGraphDialog() override;

    const TraceView& View() const { return view_; }
    const TracePlotWidget& Plot() const { return *plot_; }

    void OnTraceSetting();
    void OnStart();
    void OnOpen();
    bool OnSaveAs();
    bool OnSave();
    void OnCopy();

private:
    // A drive button: its action runs through the program's press rule.
    void Press(void (CTraceGraphDialog::*action)());
    void BuildScaleColumn(int line);
    QWidget* BuildRightPanel();
    // Every control from the record, without their signals; then the plot.
    void ShowRecord();
    void Refresh();
    void EnableControls();
    bool LinkUp() const;
    void ShowTitle();
    void Warn(const QString& text);
    bool SaveTrace(const QString& path);
    bool ExportFile(const QString& path, const QByteArray& bytes);

    TraceWindowServices services_;
    TraceRun& run_;
    TraceView view_;
    TracePlotWidget* plot_ = nullptr;
    std::array<QComboBox*, 2> scales_{};
    std::array<QLabel*, 2> perDivision_{};
    std::array<QSlider*, 2> offsets_{};
    std::array<QToolButton*, 4> offsetArrows_{}; // line 1 up, down; line 2 up, down
    std::array<QToolButton*, 4> laneArrows_{};   // DI up, down; DO up, down
    QComboBox* timeScale_ = nullptr;
    QScrollBar* scroll_ = nullptr;
    QPushButton* zoomIn_ = nullptr;
    QPushButton* zoomOut_ = nullptr;
    QPushButton* copy_ = nullptr;
    QPushButton* saveAs_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* setting_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* online_ = nullptr;
    QLabel* triggerMode_ = nullptr;
    QLabel* triggerLevel_ = nullptr;
    QRadioButton* vertical_ = nullptr;
    QRadioButton* horizontal_ = nullptr;
    QCheckBox* showCursors_ = nullptr;
    std::array<std::array<QLabel*, 3>, 3> readouts_{}; // row, then A, B, B−A
    std::array<QLabel*, 3> readoutUnits_{};
    QLabel* frequency_ = nullptr;
    QWidget* cursorGroup_ = nullptr;
    QString baseTitle_;
    std::unique_ptr<Ticker> linkWatch_;
    bool linkShown_ = false; // the link state the drive buttons show
};

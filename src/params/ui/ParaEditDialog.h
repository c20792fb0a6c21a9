#pragma once

#include "params/ParaEditHost.h"
#include "params/ParameterEditorRows.h"

#include <QDialog>

#include <functional>
#include <memory>

struct CustomTable;
struct DisplaySettings;
struct DriveProfile;
class CNolvaServoDoc;
class Messenger;
class ParameterTransfer;
class QCheckBox;
class QLabel;
class QPushButton;
class QTableWidget;
class Ticker;
class TickerSource;

// "参数设定": the document's parameters in one checkable list (code, name, value, unit, range,
// default) for the display settings of the application, with edit, write, read, defaults,
// compare and display settings. Modeless; made once, then hidden and shown again, so the ticks
// and changed marks stay between openings. While shown, it checks the link every 400 ms and asks
// once per connection whether to read the whole drive.
class CParaEditDialog : public QDialog {
    Q_OBJECT
public:
    // All parts belong to the caller and outlive the window.
    CParaEditDialog(DisplaySettings& display, CustomTable& customTable, CNolvaServoDoc& document,
                    DriveProfile& profile, ParaEditHost& host, Messenger& messenger,
                    TickerSource& tickers, QWidget* parent = nullptr);
    ~CParaEditDialog() override;

    // The view's open command: shows the window and brings it to the front; the list is rebuilt
    // when the document's content was replaced (the flag is cleared then).
    void Present();
    // Builds the list again from the document and the display settings.
    void Rebuild();
    // The 400 ms check of the link (also run once when the window is first shown).
    void CheckLink();

    QTableWidget* List() const { return list_; }
    const EditorRowFlags& Flags() const { return flags_; }
    // The code of each row in list order.
    const QList<ParamCode>& Codes() const { return codes_; }
    int RowOf(ParamCode code) const;

    // The buttons' commands (also reached through the buttons).
    void OnSelectAll();
    void OnEdit();
    void OnWrite();
    void OnRead();
    void OnDefaults();
    void OnCompare();
    void OnChange();

    // Editing row `row`: the value editor gets the value, its range and the messenger and answers
    // whether the value was confirmed. EditParameterValue (the editor that suits the parameter)
    // unless replaced.
    using ValueEditor =
        std::function<bool(QWidget*, const ParamCode&, int32_t*, int32_t, int32_t, Messenger&)>;
    void SetValueEditor(ValueEditor editor) { valueEditor_ = std::move(editor); }
    void EditRow(int row);

    // Every row's texts from the document's values again (the list stays as it is).
    void RefreshValues();

signals:
    // The window was closed (hidden).
    void closed();

protected:
    bool event(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void FillRow(int row, const EditorRow& data);
    void RefreshRow(int row);
    void AdoptMaxSpeed();
    QList<ParamCode> TickedCodes() const;
    bool CheckTicked();
    bool CheckLinkForTransfer();
    void ReadWholeDrive(ParameterTransfer& transfer);
    // Values read from the drive (all, or those before a failure) into the document.
    void StoreReadValues(const QList<ParamCode>& codes, const QList<int32_t>& values);
    void ShowDisplayChoice();
    void OnItemChanged(int row, int column);

    DisplaySettings& display_;
    CustomTable& customTable_;
    CNolvaServoDoc& document_;
    DriveProfile& profile_;
    ParaEditHost& host_;
    Messenger& messenger_;
    EditorRowFlags flags_;
    EditorLinkWatch watch_;
    QList<ParamCode> codes_;
    int32_t lastMaxSpeed_ = 0;
    int32_t lastModelCode_ = 0;
    bool selectAll_ = false;
    bool filling_ = false;
    bool firstShow_ = true;
    ValueEditor valueEditor_;
    std::unique_ptr<Ticker> linkCheck_;
    QTableWidget* list_ = nullptr;
    QCheckBox* selectAllBox_ = nullptr;
    QLabel* displayChoice_ = nullptr;
};

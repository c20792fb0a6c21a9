#pragma once

#include "params/ParameterTable.h"
#include "params/ui/ParameterTableWindow.h"

class QPlainTextEdit;
struct CustomTable;

// The custom parameter table "自定参数": the user's own list of parameters (the first 80
// entries of the application's custom table that name a parameter) in one grid, with
// "写入(&W)", "读取所有(&R)", "写入所有(&A)", "默认值(&S)", "加入/移除(&E)..." and "关闭(&C)", and
// the help text of the focus row below the grid. Modeless; closing deletes it.
class CDefParaDialog : public CParameterTableWindow {
    Q_OBJECT
public:
    // `table` is the application's custom table: "加入/移除(&E)..." replaces its entries. All
    // parts belong to the caller and outlive the window.
    CDefParaDialog(CustomTable& table, CNolvaServoDoc& document, const DriveProfile& profile,
                   ParameterRequests& requests, Messenger& messenger, QWidget* parent = nullptr);

    const CustomParameterTable& Table() const { return table_; }

    // The view's open command: shows the window or brings it to the front, with every row
    // again from the custom table and the document.
    void Present();
    // After the view read the list: the value column from the document, failure marks cleared.
    void RefreshValues();
    // After a single write from this table failed (row 1-based, the request's argument).
    void MarkRowFailed(int row);

signals:
    // The add/remove dialog replaced the entries of the custom table.
    void customTableChanged();

private:
    std::optional<ParamGroup> RequestWindow() const override;
    bool AdoptMaxSpeed() override;
    void ShowTable() override;
    void Reload();
    void ShowHelp();
    void OnWrite();
    void OnDefaults();
    void OnAddRemove();
    void OnValueTyped(int row, const QString& text);

    CustomTable& customTable_;
    CustomParameterTable table_;
    QPlainTextEdit* help_ = nullptr;
    QPushButton* addRemove_ = nullptr;
};

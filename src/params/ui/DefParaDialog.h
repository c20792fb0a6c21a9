#pragma once

#include "params/ParameterTable.h"

#include <QDialog>

class CNolvaServoDoc;
class Messenger;
class ParameterGrid;
class ParameterRequests;
class QLabel;
class QPushButton;
struct CustomTable;
struct DriveProfile;

// The custom parameter table "自定参数": the user's own list of parameters (the first 80
// entries of the application's custom table that name a parameter) in one grid, with
// "写入(&W)", "读取所有(&R)", "写入所有(&A)", "默认值(&S)", "加入/移除(&E)..." and "关闭(&C)", and
// the help text of the focus row below the grid. Modeless; closing deletes it.
class CDefParaDialog : public QDialog {
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
    // On activation, and from the view whenever the link state changes: the drive buttons
    // follow the link; while linked, a new maximum motor speed updates ranges and defaults.
    void SyncWithDrive();

signals:
    // The add/remove dialog replaced the entries of the custom table.
    void customTableChanged();
    void closed();

protected:
    bool event(QEvent* event) override;
    void done(int result) override;

private:
    void Reload();
    void ShowTable();
    void ShowHelp();
    void OnWrite();
    void OnDefaults();
    void OnAddRemove();
    void OnValueTyped(int row, const QString& text);

    CustomTable& customTable_;
    CNolvaServoDoc& document_;
    const DriveProfile& profile_;
    ParameterRequests& requests_;
    Messenger& messenger_;
    CustomParameterTable table_;
    ParameterGrid* grid_ = nullptr;
    QLabel* help_ = nullptr;
    QPushButton* write_ = nullptr;
    QPushButton* readAll_ = nullptr;
    QPushButton* writeAll_ = nullptr;
    QPushButton* defaults_ = nullptr;
    QPushButton* addRemove_ = nullptr;
    QPushButton* close_ = nullptr;
    bool closing_ = false;
};

#pragma once

#include "online/OnlinePanels.h"

#include <QDialog>

#include <array>

class Messenger;
class QPushButton;
class QTreeWidget;
struct DriveProfile;

// "设定": which parameters sit on the online editor's four panels. One row per panel with the
// code, name, unit, range and default of its parameter; "设定 N" (or a double click on row N)
// chooses row N's parameter among those not yet on a panel, "清除 N" empties the row after asking.
// "确定" hands the four codes on; "取消" leaves them as they were given.
class COnlineParaSetupDialog : public QDialog {
    Q_OBJECT
public:
    COnlineParaSetupDialog(const OnlinePanelCodes& codes, const DriveProfile& profile,
                           Messenger& messenger, QWidget* parent = nullptr);

    const OnlinePanelCodes& Codes() const { return codes_; }
    QTreeWidget* List() const { return list_; }

    // "设定 N" and "清除 N" (row from 0).
    void OnSet(int row);
    void OnClear(int row);

private:
    void FillRow(int row);

    OnlinePanelCodes codes_;
    const DriveProfile& profile_;
    Messenger& messenger_;
    QTreeWidget* list_ = nullptr;
    std::array<QPushButton*, kOnlinePanelCount> clearButtons_{};
};

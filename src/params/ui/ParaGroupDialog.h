#pragma once

#include "params/ParameterTable.h"
#include "params/ui/ParameterTableWindow.h"

class QLabel;

// One of the four modeless parameter group windows: the first parameters of a group in a grid,
// with "写入(&W)", "读取所有(&R)", "写入所有(&A)", "默认值(&S)" and "关闭(&C)". Drive traffic is
// asked of the view through ParameterRequests; messages go through the Messenger. Closing the
// window deletes it (the view keeps a QPointer, or listens to closed()).
class CParaGroupDialog : public CParameterTableWindow {
    Q_OBJECT
public:
    // Everything passed belongs to the caller and outlives the window. The window adopts the
    // profile's maximum motor speed as the one its range texts were made for.
    CParaGroupDialog(ParamGroup group, CNolvaServoDoc& document, const DriveProfile& profile,
                     ParameterRequests& requests, Messenger& messenger, QWidget* parent = nullptr);

    ParamGroup Group() const { return table_.Group(); }
    const GroupTable& Table() const { return table_; }

    // The view's open command: shows the window or brings it to the front, then the value
    // column shows the document's values again.
    void Present();
    // After the view's group read: the value column from the document.
    void RefreshValues();

private:
    std::optional<ParamGroup> RequestWindow() const override;
    bool AdoptMaxSpeed() override;
    void ShowTable() override;
    void OnWrite();
    void OnDefaults();
    void OnValueTyped(int row, const QString& text);

    GroupTable table_;
    QLabel* note_ = nullptr;
};

// The control parameters Cn001..Cn016 (view command 151).
class CCtrlParaDialog : public CParaGroupDialog {
    Q_OBJECT
public:
    CCtrlParaDialog(CNolvaServoDoc& document, const DriveProfile& profile,
                    ParameterRequests& requests, Messenger& messenger, QWidget* parent = nullptr)
        : CParaGroupDialog(ParamGroup::Control, document, profile, requests, messenger, parent) {}
};

// The torque parameters Tn101..Tn107 (view command 152).
class CTorqueParaDialog : public CParaGroupDialog {
    Q_OBJECT
public:
    CTorqueParaDialog(CNolvaServoDoc& document, const DriveProfile& profile,
                      ParameterRequests& requests, Messenger& messenger, QWidget* parent = nullptr)
        : CParaGroupDialog(ParamGroup::Torque, document, profile, requests, messenger, parent) {}
};

// The speed parameters Sn201..Sn216 (view command 153).
class CSpeedParaDialog : public CParaGroupDialog {
    Q_OBJECT
public:
    CSpeedParaDialog(CNolvaServoDoc& document, const DriveProfile& profile,
                     ParameterRequests& requests, Messenger& messenger, QWidget* parent = nullptr)
        : CParaGroupDialog(ParamGroup::Speed, document, profile, requests, messenger, parent) {}
};

// The position parameters Pn301..Pn310 (view command 154).
class CPositionParaDialog : public CParaGroupDialog {
    Q_OBJECT
public:
    CPositionParaDialog(CNolvaServoDoc& document, const DriveProfile& profile,
                        ParameterRequests& requests, Messenger& messenger,
                        QWidget* parent = nullptr)
        : CParaGroupDialog(ParamGroup::Position, document, profile, requests, messenger, parent) {}
};

#pragma once

#include "params/ParameterTable.h"

#include <QDialog>

class CNolvaServoDoc;
class Messenger;
class ParameterGrid;
class ParameterRequests;
class QLabel;
class QPushButton;
struct DriveProfile;

// One of the four modeless parameter group windows: the first parameters of a group in a grid,
// with "写入(&W)", "读取所有(&R)", "写入所有(&A)", "默认值(&S)" and "关闭(&C)". Drive traffic is
// asked of the view through ParameterRequests; messages go through the Messenger. Closing the
// window deletes it (the view keeps a QPointer, or listens to closed()).
class CParaGroupDialog : public QDialog {
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
    // On activation, and from the view whenever the link state changes: the drive buttons follow
    // the link; while linked, a new maximum motor speed updates the range and default texts.
    void SyncWithDrive();

signals:
    void closed();

protected:
    bool event(QEvent* event) override;
    void done(int result) override;

private:
    void OnWrite();
    void OnDefaults();
    void OnValueTyped(int row, const QString& text);
    void ShowTable();

    CNolvaServoDoc& document_;
    const DriveProfile& profile_;
    ParameterRequests& requests_;
    Messenger& messenger_;
    GroupTable table_;
    ParameterGrid* grid_ = nullptr;
    QLabel* note_ = nullptr;
    QPushButton* write_ = nullptr;
    QPushButton* readAll_ = nullptr;
    QPushButton* writeAll_ = nullptr;
    QPushButton* defaults_ = nullptr;
    QPushButton* close_ = nullptr;
    bool closing_ = false;
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

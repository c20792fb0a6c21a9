#pragma once

#include "drive/ParamCode.h"

#include <QDialog>
#include <QList>

#include <optional>

class CNolvaServoDoc;
class Messenger;
class ParameterGrid;
class ParameterRequests;
class QPushButton;
struct DriveProfile;

// What the group windows and the custom table have in common: a modeless window with a
// parameter grid, "写入(&W)", "读取所有(&R)", "写入所有(&A)", "默认值(&S)" and "关闭(&C)". The
// drive buttons follow the link, the window adopts a new maximum motor speed while linked, and
// closing it emits closed() and deletes it. Drive traffic is asked of the view through
// ParameterRequests; messages go through the Messenger.
class CParameterTableWindow : public QDialog {
    Q_OBJECT
public:
    // On activation, and from the view whenever the link state changes: the drive buttons
    // follow the link; while linked, a new maximum motor speed updates ranges and defaults.
    void SyncWithDrive();

signals:
    void closed();

protected:
    // Makes the grid and the write, read-all, write-all and defaults buttons; the window
    // finishes with LayOut(). Everything passed belongs to the caller and outlives the window.
    CParameterTableWindow(CNolvaServoDoc& document, const DriveProfile& profile,
                          ParameterRequests& requests, Messenger& messenger, QWidget* parent);

    // Makes "关闭(&C)" and lays the window out: the grid, `belowGrid` under it, then the
    // buttons with `extraButtons` after "默认值(&S)" and "关闭(&C)" at the right.
    void LayOut(QWidget* belowGrid, const QList<QPushButton*>& extraButtons);

    // Shows the window or brings it to the front.
    void BringToFront();
    // Shows `text` as a warning once the grid has closed its editor.
    void WarnLater(const QString& text);

    // The window the read-all and write-all buttons' requests name: a group window's group, or
    // none for the custom table.
    virtual std::optional<ParamGroup> RequestWindow() const = 0;
    // The table's ranges and defaults for the profile's maximum motor speed; true when
    // something changed.
    virtual bool AdoptMaxSpeed() = 0;
    // The grid again from the table.
    virtual void ShowTable() = 0;

    bool event(QEvent* event) override;
    void done(int result) override;

    CNolvaServoDoc& document_;
    const DriveProfile& profile_;
    ParameterRequests& requests_;
    Messenger& messenger_;
    ParameterGrid* grid_ = nullptr;
    QPushButton* write_ = nullptr;
    QPushButton* readAll_ = nullptr;
    QPushButton* writeAll_ = nullptr;
    QPushButton* defaults_ = nullptr;
    QPushButton* close_ = nullptr;

private:
    bool closing_ = false;
};

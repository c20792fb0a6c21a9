#pragma once

#include "params/ParameterChannel.h"
#include "planning/PositionPlan.h"

class CNolvaServoDoc;
class DriveAccess;
class Messenger;
class TransferProgress;
struct DriveProfile;
struct LinkSettings;

// The position planner's 50 parameters (Pn316, Pn313, Pn317..Pn364 in item order) between the
// drive and the document's values. One progress step per parameter.
//
// A read takes each parameter by one Modbus register on RS-485, otherwise from its live copy on
// page '5' at the parameter's index. A write always runs the full mailbox store (index, value,
// store command, then the live copy), whatever the RS-485 setting, so that the drive uses the new
// commands at once and keeps them. The first failed exchange ends the loop with "错误:\n\n" + that
// parameter's progress text; what was written before it stays written. The caller holds Busy.
class PositionTransfer {
public:
    // All parts belong to the caller and outlive this object.
    PositionTransfer(DriveAccess& access, const LinkSettings& settings,
                     const DriveProfile& profile, CNolvaServoDoc& document, Messenger& messenger);

    void SetProgress(TransferProgress* progress) { channel_.SetProgress(progress); }

    // On success the 50 values become the document's (marked modified when they differ); a
    // failed read stores none. False without a message while the link is down.
    bool Read();
    // The document's 50 values, then "写入参数成功！！" with the restart reminder.
    bool Write();

private:
    CNolvaServoDoc& document_;
    Messenger& messenger_;
    ParameterChannel channel_;
};

// Progress texts of item `item`: "读取内部位置命令路径规划参数: Pn316" and
// "写入内部位置命令路径规划参数: Pn316".
QString PositionReadText(int item);
QString PositionWriteText(int item);

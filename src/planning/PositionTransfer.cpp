#include "planning/PositionTransfer.h"

#include "params/NolvaServoDoc.h"
#include "params/ParameterTransfer.h"

QString PositionReadText(int item) {
    return QStringLiteral("读取内部位置命令路径规划参数: ") +
           QString::asprintf("Pn3%02d", PlannerItemParameter(item).number);
}

QString PositionWriteText(int item) {
    return QString::asprintf("写入内部位置命令路径规划参数: Pn3%02d",
                             PlannerItemParameter(item).number);
}

PositionTransfer::PositionTransfer(DriveAccess& access, const LinkSettings& settings,
                                   const DriveProfile& profile, CNolvaServoDoc& document,
                                   Messenger& messenger)
    : document_(document), messenger_(messenger), channel_(access, settings, profile, messenger) {}

bool PositionTransfer::Read() {
    if (!channel_.LinkUp()) {
        return false;
    }
    channel_.Progress().Open(QString(), kPlannerItems);
    const ParameterRoute route = channel_.LinkRoute(ParameterRoute::LiveCopy);
    PlannerValues values{};
    for (int item = 0; item < kPlannerItems; ++item) {
        channel_.BeginParameter(PositionReadText(item), 1);
        if (!channel_.Read(PlannerItemParameter(item), route, &values[static_cast<size_t>(item)])) {
            return channel_.Fail();
        }
    }
    channel_.Progress().Close();
    if (PlannerValuesOf(document_.values) != values) {
        SetPlannerValues(document_.values, values);
        document_.modified = true;
    }
    return true;
}

bool PositionTransfer::Write() {
    if (!channel_.LinkUp()) {
        return false;
    }
    channel_.Progress().Open(QString(), kPlannerItems);
    const PlannerValues values = PlannerValuesOf(document_.values);
    for (int item = 0; item < kPlannerItems; ++item) {
        channel_.BeginParameter(PositionWriteText(item), 1);
        // The mailbox on RS-485 too, live copy included: used at once and kept.
        if (!channel_.Write(PlannerItemParameter(item), values[static_cast<size_t>(item)],
                            ParameterRoute::Mailbox, true)) {
            return channel_.Fail();
        }
    }
    channel_.Progress().Close();
    ShowWriteSuccess(messenger_, true); // Pn313 and Pn316 take effect at the drive's next start
    return true;
}

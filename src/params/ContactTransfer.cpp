#include "params/ContactTransfer.h"

#include "params/NolvaServoDoc.h"
#include "params/ParameterTransfer.h"

#include <array>

namespace {

QString ReadText(int number) {
    return QStringLiteral("读取输入/输出接点规划参数:") + QString::asprintf("Hn5%02d", number);
}

QString WriteText(int number) {
    return QString::asprintf("写入输入/输出接点规划参数: Hn5%02d", number);
}

} // namespace

ContactTransfer::ContactTransfer(DriveAccess& access, const LinkSettings& settings,
                                 DriveProfile& profile, CNolvaServoDoc& document,
                                 Messenger& messenger)
    : document_(document), messenger_(messenger), channel_(access, settings, profile, messenger) {}

bool ContactTransfer::Read() {
    if (!channel_.LinkUp()) {
        return false;
    }
    channel_.Progress().Open(QString(), kParameterCount);
    const ParameterRoute route = channel_.LinkRoute(ParameterRoute::LiveCopy);
    std::array<int32_t, 20> values{};
    for (int n = 1; n <= kParameterCount; ++n) {
        channel_.BeginParameter(ReadText(n), 1);
        if (!channel_.Read({'H', n}, route, &values[static_cast<size_t>(n - 1)])) {
            return channel_.Fail();
        }
    }
    channel_.Progress().Close();
    document_.contactsInDrive = values;
    return true;
}

bool ContactTransfer::Write() {
    if (!channel_.LinkUp()) {
        return false;
    }
    channel_.Progress().Open(QString(), kParameterCount);
    const ParameterRoute route = channel_.LinkRoute(ParameterRoute::Mailbox);
    for (int n = 1; n <= kParameterCount; ++n) {
        const ParamCode code{'H', n};
        channel_.BeginParameter(WriteText(n), 1);
        if (!channel_.Write(code, *document_.values.Slot(code), route, false)) {
            return channel_.Fail();
        }
    }
    channel_.Progress().Close();
    ShowWriteSuccess(messenger_, true); // the drive takes contact functions at its next start
    return true;
}

#include "link/PortDiagnosis.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace {

QString DeviceFolder(const QString& realPath, const QString& ttyClass) {
    return QDir(ttyClass).filePath(QFileInfo(realPath).fileName() + QStringLiteral("/device"));
}

bool MemberOf(gid_t group) {
    if (getegid() == group)
        return true;
    const int count = getgroups(0, nullptr);
    if (count <= 0)
        return false;
    std::vector<gid_t> groups(static_cast<size_t>(count));
    const int got = getgroups(count, groups.data());
    for (int i = 0; i < got; ++i) {
        if (groups[static_cast<size_t>(i)] == group)
            return true;
    }
    return false;
}

} // namespace

DeviceAccess CheckDeviceAccess(const QString& device) {
    DeviceAccess access;
    const QFileInfo info(device);
    access.exists = info.exists();
    if (!access.exists)
        return access;
    access.realPath = info.canonicalFilePath();
    struct stat st {};
    const QByteArray path = QFile::encodeName(access.realPath);
    if (stat(path.constData(), &st) != 0)
        return access;
    access.characterDevice = S_ISCHR(st.st_mode);
    access.readWrite = ::access(path.constData(), R_OK | W_OK) == 0;
    if (const group* g = getgrgid(st.st_gid))
        access.group = QString::fromLocal8Bit(g->gr_name);
    access.inGroup = MemberOf(st.st_gid);
    return access;
}

std::optional<int> ReadLatencyTimerMs(const QString& realPath, const QString& ttyClass) {
    QFile file(DeviceFolder(realPath, ttyClass) + QStringLiteral("/latency_timer"));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    bool ok = false;
    const int ms = file.read(32).trimmed().toInt(&ok);
    return ok && ms >= 0 ? std::optional<int>(ms) : std::nullopt;
}

AdapterFacts ReadAdapterFacts(const QString& realPath, const QString& ttyClass) {
    AdapterFacts facts;
    const QFileInfo driver(DeviceFolder(realPath, ttyClass) + QStringLiteral("/driver"));
    if (driver.isSymLink())
        facts.driver = QFileInfo(driver.symLinkTarget()).fileName();
    facts.latencyTimerMs = ReadLatencyTimerMs(realPath, ttyClass);
    return facts;
}

QString LatencyTimerFix(const QString& realPath, const QString& ttyClass) {
    return QStringLiteral("echo 1 | sudo tee %1/latency_timer")
        .arg(DeviceFolder(realPath, ttyClass));
}

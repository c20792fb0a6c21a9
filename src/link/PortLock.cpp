#include "link/PortLock.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// A lock file holds a few short lines; anything longer is no lock file of a serial device.
constexpr qint64 kLongestLockFile = 4096;

QByteArray ReadSmallFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.read(kLongestLockFile);
}

} // namespace

QStringList DefaultLockFolders() {
    return {QStringLiteral("/var/lock"),       QStringLiteral("/etc/locks"),
            QStringLiteral("/var/spool/locks"), QStringLiteral("/var/spool/uucp"),
            QStringLiteral("/tmp"),            QStringLiteral("/var/tmp"),
            QStringLiteral("/var/lock/lockdev"), QStringLiteral("/run/lock")};
}

QString LockFileName(const QString& location) {
    QString name = location;
    if (name.startsWith(QLatin1String("/dev/"))) {
        name.remove(0, 5);
    }
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    return QStringLiteral("LCK..") + name;
}

std::optional<PortHolder> FindPortHolder(const QString& location, const QStringList& folders,
                                         const QString& procRoot) {
    const QString name = LockFileName(location);
    for (const QString& folder : folders) {
        const QString path = QDir(folder).filePath(name);
        if (!QFileInfo::exists(path)) {
            continue;
        }
        const QList<QByteArray> lines = ReadSmallFile(path).split('\n');
        bool ok = false;
        const qint64 pid = lines.value(0).trimmed().toLongLong(&ok);
        if (!ok || pid <= 0) {
            continue;
        }
        const QString processFolder = QDir(procRoot).filePath(QString::number(pid));
        if (!QFileInfo(processFolder).isDir()) {
            continue; // a stale lock: its process has ended
        }
        PortHolder holder;
        holder.pid = pid;
        holder.program = QString::fromLocal8Bit(lines.value(1).trimmed());
        if (holder.program.isEmpty()) {
            holder.program = QString::fromLocal8Bit(
                ReadSmallFile(QDir(processFolder).filePath(QStringLiteral("comm"))).trimmed());
        }
        return holder;
    }
    return std::nullopt;
}

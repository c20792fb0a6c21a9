#include "link/SerialPortList.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>

#include <algorithm>

namespace {

// Where a path finally leads (links resolved); the path itself when it does not exist.
QString DeviceBehind(const QString& path) {
    const QString target = QFileInfo(path).canonicalFilePath();
    return target.isEmpty() ? QDir::cleanPath(path) : target;
}

} // namespace

bool DetectedPort::Described() const {
    return !(description + manufacturer + serialNumber).trimmed().isEmpty();
}

QString DetectedPort::AdapterText() const {
    QStringList parts;
    for (const QString& part : {description, manufacturer, serialNumber}) {
        if (!part.trimmed().isEmpty())
            parts << part.trimmed();
    }
    const QString where = QStringLiteral("(%1)").arg(systemLocation);
    return parts.isEmpty() ? where : parts.join(QStringLiteral(", ")) + QLatin1Char(' ') + where;
}

QList<DetectedPort> WithByIdPaths(QList<DetectedPort> ports, const QString& byIdFolder) {
    const QDir folder(byIdFolder);
    const QStringList links =
        folder.entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    for (DetectedPort& port : ports) {
        const QString device = DeviceBehind(port.systemLocation);
        for (const QString& link : links) {
            const QString path = folder.filePath(link);
            if (QFileInfo(path).isSymLink() && DeviceBehind(path) == device) {
                port.byIdPath = path;
                break;
            }
        }
    }
    return ports;
}

QList<DetectedPort> DetectSerialPorts(const QString& byIdFolder) {
    QList<DetectedPort> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        ports.append({info.systemLocation(), QString(), info.description(), info.manufacturer(),
                      info.serialNumber()});
    }
    std::sort(ports.begin(), ports.end(), [](const DetectedPort& a, const DetectedPort& b) {
        return a.systemLocation < b.systemLocation;
    });
    return WithByIdPaths(ports, byIdFolder);
}

const DetectedPort* FindDetectedPort(const QList<DetectedPort>& ports, const QString& path) {
    const QString device = DeviceBehind(path);
    for (const DetectedPort& port : ports) {
        if (port.systemLocation == path || (!port.byIdPath.isEmpty() && port.byIdPath == path) ||
            DeviceBehind(port.systemLocation) == device)
            return &port;
    }
    return nullptr;
}

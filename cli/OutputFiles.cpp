#include "cli/OutputFiles.h"

#include "base/AtomicFile.h"
#include "base/FileNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

namespace {

bool IsStandardOutput(const QString& path) {
    return path == QLatin1String("-");
}

} // namespace

QString OutputProblem(const QString& path, bool force) {
    if (IsStandardOutput(path)) {
        return {};
    }
    // Asked by the name's own bytes: it need not be UTF-8.
    const QFileInfo file(path);
    struct stat info {};
    const bool exists = ::stat(NativeFileName(path).constData(), &info) == 0;
    if (exists && S_ISDIR(info.st_mode)) {
        return QStringLiteral("is a folder");
    }
    // A device or FIFO is written into, not replaced: neither --force nor its folder matters.
    if (exists && (S_ISCHR(info.st_mode) || S_ISFIFO(info.st_mode))) {
        return {};
    }
    if (exists && !force) {
        return QStringLiteral("exists; use --force to replace it");
    }
    const QByteArray folder = NativeFileName(file.absolutePath());
    struct stat folderInfo {};
    if (::stat(folder.constData(), &folderInfo) != 0 || !S_ISDIR(folderInfo.st_mode)) {
        return QStringLiteral("no such folder %1").arg(QDir::toNativeSeparators(file.path()));
    }
    // The new file is written beside the old one and renamed over it: the folder must be writable.
    if (::access(folder.constData(), W_OK) != 0) {
        return QStringLiteral("the folder %1 is not writable")
            .arg(QDir::toNativeSeparators(file.path()));
    }
    return {};
}

bool WriteOutputs(const QList<OutputFile>& files, const QString& command, QTextStream& out,
                  QTextStream& err) {
    QStringList created;
    for (const OutputFile& file : files) {
        if (IsStandardOutput(file.path)) {
            continue; // last, once every file is written: printed text cannot be taken back
        }
        const bool existed = FileExists(file.path);
        QString reason;
        if (!WriteFileAtomically(file.path, file.content, &reason)) {
            err << command << ": cannot write " << file.path << ": " << reason << "\n";
            for (const QString& path : created) {
                RemoveFile(path);
            }
            return false;
        }
        if (!existed) {
            created << file.path;
        }
    }
    for (const OutputFile& file : files) {
        if (IsStandardOutput(file.path)) {
            out << QString::fromUtf8(file.content);
        }
    }
    return true;
}

#include "base/AtomicFile.h"

#include <QSaveFile>

#include <algorithm>

bool WriteFileAtomically(const QString& path, const QByteArray& content, QString* reason) {
    auto fail = [reason](const QString& why) {
        if (reason != nullptr) {
            *reason = why;
        }
        return false;
    };
    // Unbuffered, so that a write the disk takes only in part (no space left, file size limit)
    // shows in the count written: a buffered save file flushes at commit, where a short write
    // goes unnoticed and the cut file replaces the old one.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return fail(file.errorString());
    }
    const qint64 written = file.write(content);
    if (written != content.size()) {
        const QString why = file.error() != QFileDevice::NoError && written < 0
                                ? file.errorString()
                                : QStringLiteral("only %1 of %2 bytes could be written")
                                      .arg(std::max<qint64>(written, 0))
                                      .arg(content.size());
        file.cancelWriting();
        return fail(why);
    }
    if (!file.commit()) {
        return fail(file.errorString());
    }
    return true;
}

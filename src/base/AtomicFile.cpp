#include "base/AtomicFile.h"

#include "base/SystemErrors.h"

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
        return fail(FileErrorText(file));
    }
    const qint64 written = file.write(content);
    if (written != content.size()) {
        const QString why = file.error() != QFileDevice::NoError && written < 0
                                ? FileErrorText(file)
                                : QStringLiteral("只写入了 %1 字节（共 %2 字节），磁盘可能已满")
                                      .arg(std::max<qint64>(written, 0))
                                      .arg(content.size());
        file.cancelWriting();
        return fail(why);
    }
    if (!file.commit()) {
        return fail(FileErrorText(file));
    }
    return true;
}

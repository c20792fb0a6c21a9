#include "base/SystemErrors.h"


#include <cerrno>

namespace {

struct KnownError {
    int number;
    const char* text;
};

constexpr KnownError kKnownErrors[] = {
    {ENOENT, "文件或文件夹不存在"},
    {EACCES, "没有权限"},
    {EPERM, "没有权限"},
    {EROFS, "文件系统为只读"},
    {ENOSPC, "磁盘空间已满"},
    {EDQUOT, "磁盘配额已满"},
    {EFBIG, "文件太大"},
    {ENOTDIR, "路径中有一项不是文件夹"},
    {EISDIR, "这是一个文件夹，不是文件"},
    {EBUSY, "设备正被其他程序使用"},
    {ENAMETOOLONG, "文件名太长"},
    {EIO, "读写设备时出错"},
    {ENXIO, "设备不存在或未连接"},
    {ENODEV, "设备不存在或未连接"},
    {EPIPE, "读取的程序已关闭管道"},
};

// Qt's own reasons for a save that cannot start (QSaveFile), untranslated.
constexpr KnownError kQtReasons[] = {
    {EISDIR, "Filename refers to a directory"},
    {EACCES, "Existing file %1 is not writable"},
};

} // namespace

QString SystemErrorText(int errorNumber) {
    for (const KnownError& known : kKnownErrors) {
        if (known.number == errorNumber)
            return QString::fromUtf8(known.text);
    }
    return qt_error_string(errorNumber);
}

QString LocalSystemErrorText(const QString& systemText) {
    for (const KnownError& known : kKnownErrors) {
        if (systemText == qt_error_string(known.number))
            return QString::fromUtf8(known.text);
    }
    for (const KnownError& reason : kQtReasons) {
        const QString pattern = QString::fromLatin1(reason.text);
        const qsizetype hole = pattern.indexOf(QLatin1String("%1"));
        const bool matches = hole < 0 ? systemText == pattern
                                      : systemText.startsWith(pattern.left(hole)) &&
                                            systemText.endsWith(pattern.mid(hole + 2));
        if (matches)
            return SystemErrorText(reason.number);
    }
    return systemText;
}

#include "app/RecentFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

const QString kGroup = QStringLiteral("Recent File List");

QString KeyOf(int index) {
    return QStringLiteral("File%1").arg(index + 1);
}

// Two names of one file compare equal: relative parts and "." or ".." are resolved.
QString Normalised(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

void RecentFileList::Add(const QString& path) {
    if (path.isEmpty())
        return;
    const QString entry = Normalised(path);
    entries_.removeAll(entry);
    entries_.prepend(entry);
    while (entries_.size() > kMaxEntries)
        entries_.removeLast();
}

void RecentFileList::Remove(const QString& path) {
    entries_.removeAll(Normalised(path));
}

void RecentFileList::Load(QSettings& settings) {
    entries_.clear();
    settings.beginGroup(kGroup);
    for (int i = 0; i < kMaxEntries; ++i) {
        const QString path = settings.value(KeyOf(i)).toString();
        if (!path.isEmpty() && !entries_.contains(Normalised(path)))
            entries_.append(Normalised(path));
    }
    settings.endGroup();
}

void RecentFileList::Save(QSettings& settings) const {
    settings.beginGroup(kGroup);
    for (int i = 0; i < kMaxEntries; ++i) {
        if (i < entries_.size())
            settings.setValue(KeyOf(i), entries_[i]);
        else
            settings.remove(KeyOf(i));
    }
    settings.endGroup();
}

QString RecentFileList::MenuText(int index, const QString& path) {
    return QStringLiteral("&%1 %2").arg(index + 1).arg(QDir::toNativeSeparators(path));
}

#pragma once

#include <QString>
#include <QStringList>

class QSettings;

// The most recently used documents, newest first, as the File menu lists them. The list is kept
// with QSettings under the organisation "Orvan" (group "Recent File List", keys "File1".."File4").
class RecentFileList {
public:
    static constexpr int kMaxEntries = 4;

    // Puts `path` first; an entry naming the same file moves instead of being repeated, and the
    // oldest entry falls off when the list is full.
    void Add(const QString& path);
    void Remove(const QString& path);
    const QStringList& Entries() const { return entries_; }

    void Load(QSettings& settings);
    void Save(QSettings& settings) const;

    // The menu text of entry `index` (from 0): "&1 /path/name.nvp".
    static QString MenuText(int index, const QString& path);

private:
    QStringList entries_;
};

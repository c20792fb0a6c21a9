#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTextStream>

// The files one command writes. All are checked before the drive is touched, so that a capture
// is never spent on a file that cannot be made, and written all or none. "-" is the standard
// output.

// Why `path` cannot be written, or nothing: an existing file without `force`, a folder, a
// missing or read-only folder.
QString OutputProblem(const QString& path, bool force);

struct OutputFile {
    QString path;
    QByteArray content;
};

// Writes every file in turn, each whole or not at all. On a failure the files this run created
// are removed again and, after saying which file failed and why (`command` leads the line), false
// is returned.
bool WriteOutputs(const QList<OutputFile>& files, const QString& command, QTextStream& out,
                  QTextStream& err);

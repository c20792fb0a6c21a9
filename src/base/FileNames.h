#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// File names on Linux are bytes, most often UTF-8 but not always: a name copied from an old
// machine may hold Latin-1 bytes. Qt's own conversion turns such bytes into U+FFFD and cannot
// give them back, so the file could be neither found nor created under its name. These two keep
// every byte: what is valid UTF-8 is decoded as usual, and each byte that is not becomes the
// lone surrogate U+DC80..U+DCFF, which the encoding turns back into that byte.

QString FileNameFromNative(QByteArrayView bytes);
QByteArray NativeFileName(const QString& name);

// The program's arguments, each decoded as a file name, since any of them may be one.
QStringList ArgumentsFromNative(int argc, char** argv);

// The file system, asked with the bytes of the name.
bool FileExists(const QString& path);
bool RemoveFile(const QString& path);

// A name the file chooser gives back for a file whose name is not UTF-8 carries U+FFFD where the
// bytes were. When `chosen` does not exist, each part of it that does not is matched against the
// folder's own entries shown the same way; a single match gives its real name. Otherwise
// `chosen` is returned as it is.
QString ExistingFileName(const QString& chosen);

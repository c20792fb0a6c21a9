#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class CNolvaServoDoc;

// Parameter files (".nvp"): the version text, then 763 little-endian 32-bit integers: the status
// display and diagnostics snapshots, the alarm history position and ring, the six parameter
// groups (display values, in their table sizes) and the two reserved tables. Ranges and defaults
// are never stored: they come from the drive profile.

// Bytes of the document as Save writes them.
QByteArray StoreDocument(const CNolvaServoDoc& document);

// Loads a parameter file into the document. On any error the document is left exactly as it was
// and `error` says why. On success the content-replaced flag is set.
bool LoadDocument(QByteArrayView bytes, CNolvaServoDoc& document, QString* error);

// True when a path names a parameter file: its last four characters are ".NVP" in any case.
bool HasParameterFileExtension(const QString& path);

// Open: the extension test, then the file. The message explains what went wrong.
bool OpenDocumentFile(const QString& path, CNolvaServoDoc& document, QString* error);

// Save: the file is replaced only when the new one has been written completely. A name without
// the ".nvp" extension is refused, as Open refuses it.
bool SaveDocumentFile(const QString& path, const CNolvaServoDoc& document, QString* error);

// Copy to computer: a parameter file holding the document's version text, snapshots and
// reserved tables but the parameter values of the transfer buffers (what was read from the
// drive). The document itself is not changed.
QByteArray StoreTransferCopy(const CNolvaServoDoc& document);
bool SaveTransferCopyFile(const QString& path, const CNolvaServoDoc& document, QString* error);

// Copy to drive: reads a parameter file's values into the transfer buffers and its snapshots
// and reserved tables into the document; the file's version text goes to `versionText`.
// A short or damaged file changes nothing.
bool LoadTransferCopy(QByteArrayView bytes, CNolvaServoDoc& document, QString* versionText,
                      QString* error);
// Copy to drive from a path: the extension test, the file, then the version check (the version
// text must contain "Orvan Servo"). On success the transfer buffers are ready to be written; on
// any refusal the document is unchanged.
bool ReadTransferCopyFile(const QString& path, CNolvaServoDoc& document, QString* error);

// The message shown when a parameter file cannot be opened.
QString CannotOpenDocumentText(const QString& path, const QString& reason);

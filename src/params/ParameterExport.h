#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class CNolvaServoDoc;

// A parameter set as text for other tools.
//
// CSV: a header "code,name,value,unit,range,default", one row per parameter in group order with
// values, ranges and defaults formatted as the catalogue formats them (bit-field parameters in
// hexadecimal), then the rest of the file's content so that an import gives back the same file
// byte for byte: "version", the status display, diagnostics and alarm history snapshots, and any
// non-zero unused slot or reserved table entry.
QByteArray ExportCsv(const CNolvaServoDoc& document);

// JSON with the same content (not read back).
QByteArray ExportJson(const CNolvaServoDoc& document);

// Reads a CSV written by ExportCsv into the document's stored fields. Every parameter must be
// present exactly once and within the document's range; a bad row is refused with its line and
// the parameter named. On failure the document is unchanged.
bool ImportCsv(QByteArrayView csv, CNolvaServoDoc& document, QString* error);

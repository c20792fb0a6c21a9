#pragma once

#include "trace/TraceRecord.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Trace files (".trd"): two text lines ending in a line feed alone, the version line and
// "[Trace Data]", then little-endian 32-bit fields: the settings and display state, channels 1
// and 2, the contact choices and functions, channels 3 and 4, the trigger. Each channel block
// holds points + 1 values.

inline constexpr char kTraceVersionLine[] = ";  Orvan Servo v0.9.080331";
inline constexpr char kTraceSectionLine[] = "[Trace Data]";

// The bytes Save writes.
QByteArray StoreTrace(const TraceRecord& record);

// Reads a trace file into `record`. A short, foreign or damaged file, or one whose settings for
// the drive lie outside their ranges, leaves `record` exactly as it was and `error` says why.
// Out-of-range lane rows are brought back to their defaults, as the window would show them.
bool LoadTrace(QByteArrayView bytes, TraceRecord& record, QString* error);

// The name ends in ".trd" in any case.
bool HasTraceFileExtension(const QString& path);

// Open and Save with the extension test; the messages name the file and the reason.
bool OpenTraceFile(const QString& path, TraceRecord& record, QString* error);
bool SaveTraceFile(const QString& path, const TraceRecord& record, QString* error);

// The samples as CSV: one row per sample, the time in ms, data 1 and data 2 in their units, then
// the input and output contact words; the first line names the quantities and units.
QByteArray TraceCsv(const TraceRecord& record);

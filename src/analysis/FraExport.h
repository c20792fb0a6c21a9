#pragma once

#include "analysis/FrequencyResponse.h"

#include <QString>

// The files an export of a measurement writes, named after the one the user chose ("run.csv"):
// the response "run.csv", the record "run-record.csv" and the two plots "run-gain.png" and
// "run-phase.png" beside it.
struct FraExportPaths {
    QString response;
    QString record;
    QString gainImage;
    QString phaseImage;
};
FraExportPaths ExportPathsFor(const QString& chosen);

// Writes the response and record files, each whole or not at all; false with `reason` set when
// one could not be written (the response file may then stand alone).
bool ExportMeasurementCsv(const FraExportPaths& paths, const FraRecord& record,
                          const FrequencyResponse& response, QString* reason);

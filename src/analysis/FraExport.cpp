#include "analysis/FraExport.h"

#include "analysis/RecordCsv.h"
#include "base/AtomicFile.h"

#include <QFileInfo>

FraExportPaths ExportPathsFor(const QString& chosen) {
    const QFileInfo info(chosen);
    const QString base = info.suffix().compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0
                             ? chosen.left(chosen.size() - 4)
                             : chosen;
    return {base + QStringLiteral(".csv"), base + QStringLiteral("-record.csv"),
            base + QStringLiteral("-gain.png"), base + QStringLiteral("-phase.png")};
}

bool ExportMeasurementCsv(const FraExportPaths& paths, const FraRecord& record,
                          const FrequencyResponse& response, QString* reason) {
    return WriteFileAtomically(paths.response,
                               QByteArray::fromStdString(ResponseCsvText(response)), reason) &&
           WriteFileAtomically(paths.record, QByteArray::fromStdString(RecordCsvText(record)),
                               reason);
}

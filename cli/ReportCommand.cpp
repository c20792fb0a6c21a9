#include "cli/ReportCommand.h"

#include "cli/CliText.h"
#include "drive/ModelTable.h"
#include "params/NolvaServoDoc.h"
#include "params/NvpFile.h"
#include "print/ReportPainter.h"

#include <QDir>
#include <QFileInfo>

#include <cstring>

namespace {

const char* const kUsage = "usage: orvan-cli nvp report FILE -o REPORT.pdf [--max-speed N] "
                           "[--force]\n";

} // namespace

bool IsReportCommand(int argc, char* argv[]) {
    return argc > 2 && std::strcmp(argv[1], "nvp") == 0 && std::strcmp(argv[2], "report") == 0;
}

int RunReportCommand(const QStringList& args, QTextStream& err) {
    QString input;
    QString output;
    bool force = false;
    int32_t maxSpeed = DriveProfile{}.maxMotorSpeed;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if ((a == QLatin1String("-o") || a == QLatin1String("--max-speed")) &&
            i + 1 >= args.size()) {
            err << "nvp: " << a << " needs a value\n" << kUsage;
            return 2;
        }
        if (a == QLatin1String("-o")) {
            output = args[++i];
        } else if (a == QLatin1String("--max-speed")) {
            bool ok = false;
            maxSpeed = args[++i].toInt(&ok);
            if (!ok || maxSpeed <= 0) {
                err << "nvp: --max-speed must be a positive number of rpm, not \"" << args[i]
                    << "\"\n";
                return 2;
            }
        } else if (a == QLatin1String("--force")) {
            force = true;
        } else if (a.startsWith(QLatin1Char('-')) || !input.isEmpty()) {
            err << "nvp: unexpected argument " << a << "\n" << kUsage;
            return 2;
        } else {
            input = a;
        }
    }
    if (input.isEmpty() || output.isEmpty()) {
        err << kUsage;
        return 2;
    }
    if (!force && QFileInfo::exists(output)) {
        err << "nvp: " << output << " exists; use --force to replace it\n";
        return 1;
    }

    CNolvaServoDoc doc;
    QString error;
    if (!OpenDocumentFile(input, doc, &error)) {
        err << "nvp: " << OneLine(error) << "\n";
        return 1;
    }
    // Ranges and defaults for the drive the file describes (its Cn030) at the given speed.
    const int32_t model = doc.values.control[29];
    const DriveProfile profile{maxSpeed, EncoderPulsesForModel(model), model};
    FillParameterRanges(doc, profile);
    FillParameterDefaults(doc, profile);

    const ReportInput report{&doc, QDir::toNativeSeparators(QFileInfo(input).absoluteFilePath())};
    if (!WriteReportPdfFile(report, output, &error)) {
        err << "nvp: cannot write " << output << ": " << OneLine(error) << "\n";
        return 1;
    }
    return 0;
}

#include "cli/ReportCommand.h"

#include "base/FileNames.h"
#include "cli/CliText.h"
#include "cli/Invocation.h"
#include "cli/Numbers.h"
#include "drive/ModelTable.h"
#include "params/NolvaServoDoc.h"
#include "params/NvpFile.h"
#include "print/ReportPainter.h"

#include <QDir>
#include <QFileInfo>

#include <cstring>

bool IsReportCommand(int argc, char* argv[]) {
    return argc > 2 && std::strcmp(argv[1], "nvp") == 0 && std::strcmp(argv[2], "report") == 0;
}

int RunNvpReport(const Invocation& call) {
    const QString output = call.options.Value("-o").value_or(QString());
    if (call.words.size() != 1 || output.isEmpty()) {
        return call.Usage(QStringLiteral("nvp report takes a file and -o REPORT.pdf"));
    }
    const QString& input = call.words[0];
    int32_t maxSpeed = DriveProfile{}.maxMotorSpeed;
    if (const std::optional<QString> text = call.options.Value("--max-speed")) {
        const std::optional<int64_t> speed = ParseNumber(*text, NumberForm::Decimal, 1, INT32_MAX);
        if (!speed) {
            return call.Usage("nvp: --max-speed must be a positive number of rpm, not \"" + *text +
                              "\"");
        }
        maxSpeed = static_cast<int32_t>(*speed);
    }
    if (!call.options.Has("--force") && FileExists(output)) {
        ErrorLine(call.err) << "nvp: " << output << " exists; use --force to replace it\n";
        return 1;
    }

    CNolvaServoDoc doc;
    QString error;
    if (!OpenDocumentFile(input, doc, &error)) {
        ErrorLine(call.err) << "nvp: " << OneLine(error) << "\n";
        return 1;
    }
    // Ranges and defaults for the drive the file describes (its Cn030) at the given speed.
    const int32_t model = doc.values.control[29];
    const DriveProfile profile{maxSpeed, EncoderPulsesForModel(model), model};
    FillParameterRanges(doc, profile);
    FillParameterDefaults(doc, profile);

    const ReportInput report{&doc, QDir::toNativeSeparators(QFileInfo(input).absoluteFilePath())};
    if (!WriteReportPdfFile(report, output, &error)) {
        ErrorLine(call.err) << "nvp: cannot write " << output << ": " << OneLine(error) << "\n";
        return 1;
    }
    return 0;
}

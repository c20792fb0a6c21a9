#include "cli/NvpCommands.h"

#include "cli/CliText.h"
#include "cli/ReportCommand.h"
#include "drive/CatalogueTable.h"
#include "drive/ModelTable.h"
#include "drive/ParameterCatalogue.h"
#include "params/NolvaServoDoc.h"
#include "params/NvpFile.h"
#include "params/ParameterExport.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <optional>

namespace {

// A parameter table in CSV is a few hundred short rows; anything far larger is not one.
constexpr qint64 kMaxParameterCsvBytes = 4 * 1024 * 1024;

const char* const kUsage =
    "usage: orvan-cli nvp show FILE [--max-speed N]\n"
    "       orvan-cli nvp export FILE --csv|--json [--max-speed N]\n"
    "       orvan-cli nvp import CSV -o FILE [--max-speed N] [--force]\n"
    "       orvan-cli nvp new FILE [--max-speed N] [--model HEX] [--force]\n"
    "       orvan-cli nvp diff A B\n"
    "       orvan-cli nvp report FILE -o REPORT.pdf [--max-speed N] [--force]\n"
    "--max-speed is the drive's maximum motor speed in rpm (default 3000); it sets the ranges\n"
    "and defaults of speed parameters. A file's own Cn030 sets the encoder-dependent ones.\n";

struct Options {
    QStringList positional;
    QString output;
    bool csv = false;
    bool json = false;
    bool force = false;
    int32_t maxSpeed = DriveProfile{}.maxMotorSpeed;
    std::optional<int32_t> model;
};

std::optional<Options> ParseOptions(const QStringList& args, QTextStream& err) {
    Options o;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&](const char* name) -> std::optional<QString> {
            if (i + 1 >= args.size()) {
                err << "nvp: " << name << " needs a value\n";
                return std::nullopt;
            }
            return args[++i];
        };
        if (a == QLatin1String("--csv")) {
            o.csv = true;
        } else if (a == QLatin1String("--json")) {
            o.json = true;
        } else if (a == QLatin1String("--force")) {
            o.force = true;
        } else if (a == QLatin1String("-o")) {
            const auto v = value("-o");
            if (!v)
                return std::nullopt;
            o.output = *v;
        } else if (a == QLatin1String("--max-speed")) {
            const auto v = value("--max-speed");
            if (!v)
                return std::nullopt;
            bool ok = false;
            o.maxSpeed = v->toInt(&ok);
            if (!ok || o.maxSpeed <= 0) {
                err << "nvp: --max-speed must be a positive number of rpm, not \"" << *v << "\"\n";
                return std::nullopt;
            }
        } else if (a == QLatin1String("--model")) {
            const auto v = value("--model");
            if (!v)
                return std::nullopt;
            bool ok = false;
            const uint32_t code = QString(*v).remove(QLatin1String("0x")).toUInt(&ok, 16);
            if (!ok || code > 0xFFFF) {
                err << "nvp: --model must be a hexadecimal model code such as 0121, not \"" << *v
                    << "\"\n";
                return std::nullopt;
            }
            o.model = static_cast<int32_t>(code);
        } else if (a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            err << "nvp: unknown option " << a << "\n";
            return std::nullopt;
        } else {
            o.positional << a;
        }
    }
    return o;
}

DriveProfile ProfileFor(int32_t maxSpeed, int32_t modelCode) {
    return DriveProfile{maxSpeed, EncoderPulsesForModel(modelCode), modelCode};
}

// Loads a file and recomputes its ranges and defaults for the drive it describes.
bool LoadFile(const QString& path, const Options& o, CNolvaServoDoc* doc, QTextStream& err) {
    QString error;
    if (!OpenDocumentFile(path, *doc, &error)) {
        err << "nvp: " << OneLine(error) << "\n";
        return false;
    }
    const DriveProfile profile = ProfileFor(o.maxSpeed, doc->values.control[29]);
    FillParameterRanges(*doc, profile);
    FillParameterDefaults(*doc, profile);
    return true;
}

bool RefuseOverwrite(const QString& path, const Options& o, QTextStream& err) {
    if (!o.force && QFileInfo::exists(path)) {
        err << "nvp: " << path << " exists; use --force to replace it\n";
        return true;
    }
    return false;
}

// False, after saying so, when a file to be made would not open as a parameter file.
bool RefuseOtherExtension(const QString& path, QTextStream& err) {
    if (HasParameterFileExtension(path)) {
        return true;
    }
    err << "nvp: a parameter file's name must end in .nvp\n";
    return false;
}

// Terminal columns of a text: CJK characters take two.
int DisplayWidth(const QString& text) {
    int width = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const bool wide = (u >= 0x1100 && u <= 0x115F) || (u >= 0x2E80 && u <= 0xA4CF) ||
                          (u >= 0xAC00 && u <= 0xD7A3) || (u >= 0xF900 && u <= 0xFAFF) ||
                          (u >= 0xFE30 && u <= 0xFE4F) || (u >= 0xFF00 && u <= 0xFF60) ||
                          (u >= 0xFFE0 && u <= 0xFFE6);
        width += wide ? 2 : 1;
    }
    return width;
}

QString Pad(const QString& text, int width) {
    return text + QString(qMax(0, width - DisplayWidth(text)), QLatin1Char(' '));
}

int Show(const Options& o, QTextStream& out, QTextStream& err) {
    if (o.positional.size() != 1) {
        err << kUsage;
        return 2;
    }
    CNolvaServoDoc doc;
    if (!LoadFile(o.positional[0], o, &doc, err)) {
        return 1;
    }
    QList<QStringList> rows;
    rows.append({QStringLiteral("代码"), QStringLiteral("名称"), QStringLiteral("设定值"),
                 QStringLiteral("单位"), QStringLiteral("范围"), QStringLiteral("默认值")});
    for (const ParamSpec& p : AllParameters()) {
        const QString code = ParamCode{p.letter, p.number}.text();
        rows.append({code, ParameterName({p.letter, p.number}),
                     FormatValue(code, *doc.values.slot({p.letter, p.number}), false),
                     UnitText(code),
                     RangeText(code, *doc.minimums.slot({p.letter, p.number}),
                               *doc.maximums.slot({p.letter, p.number})),
                     FormatValue(code, *doc.defaults.slot({p.letter, p.number}), true)});
    }
    QList<int> widths(6, 0);
    for (const QStringList& row : rows) {
        for (int c = 0; c < 6; ++c) {
            widths[c] = qMax(widths[c], DisplayWidth(row[c]));
        }
    }
    for (const QStringList& row : rows) {
        QString line;
        for (int c = 0; c < 6; ++c) {
            line += c == 5 ? row[c] : Pad(row[c], widths[c]) + QStringLiteral("  ");
        }
        out << line << "\n";
    }
    return 0;
}

int Export(const Options& o, QTextStream& out, QTextStream& err) {
    if (o.positional.size() != 1 || o.csv == o.json) {
        err << kUsage;
        return 2;
    }
    CNolvaServoDoc doc;
    if (!LoadFile(o.positional[0], o, &doc, err)) {
        return 1;
    }
    out.flush();
    const QByteArray bytes = o.csv ? ExportCsv(doc) : ExportJson(doc);
    out << QString::fromUtf8(bytes);
    return 0;
}

int Import(const Options& o, QTextStream& err) {
    if (o.positional.size() != 1 || o.output.isEmpty()) {
        err << kUsage;
        return 2;
    }
    if (!RefuseOtherExtension(o.output, err)) {
        return 2;
    }
    if (RefuseOverwrite(o.output, o, err)) {
        return 1;
    }
    QByteArray text;
    FileReadError readError;
    if (!ReadFileWithLimit(o.positional[0], kMaxParameterCsvBytes, &text, &readError)) {
        err << "nvp: cannot read " << o.positional[0] << ": " << FileReadErrorEnglish(readError)
            << "\n";
        return 1;
    }
    // Only speed ranges depend on the drive: N comes from --max-speed.
    CNolvaServoDoc doc(ProfileFor(o.maxSpeed, DriveProfile{}.modelCode));
    QString error;
    if (!ImportCsv(text, doc, &error)) {
        err << "nvp: " << o.positional[0] << ": " << error << "\n";
        return 1;
    }
    if (!SaveDocumentFile(o.output, doc, &error)) {
        err << "nvp: " << OneLine(error) << "\n";
        return 1;
    }
    return 0;
}

int New(const Options& o, QTextStream& err) {
    if (o.positional.size() != 1) {
        err << kUsage;
        return 2;
    }
    const QString& path = o.positional[0];
    if (!RefuseOtherExtension(path, err)) {
        return 2;
    }
    if (RefuseOverwrite(path, o, err)) {
        return 1;
    }
    CNolvaServoDoc doc(ProfileFor(o.maxSpeed, o.model.value_or(DriveProfile{}.modelCode)));
    doc.OnNewDocument();
    QString error;
    if (!SaveDocumentFile(path, doc, &error)) {
        err << "nvp: " << OneLine(error) << "\n";
        return 1;
    }
    return 0;
}

int Diff(const Options& o, QTextStream& out, QTextStream& err) {
    if (o.positional.size() != 2) {
        err << kUsage;
        return 2;
    }
    CNolvaServoDoc a;
    CNolvaServoDoc b;
    if (!LoadFile(o.positional[0], o, &a, err) || !LoadFile(o.positional[1], o, &b, err)) {
        return 1;
    }
    int differences = 0;
    for (const ParamSpec& p : AllParameters()) {
        const int32_t va = *a.values.slot({p.letter, p.number});
        const int32_t vb = *b.values.slot({p.letter, p.number});
        if (va == vb) {
            continue;
        }
        const QString code = ParamCode{p.letter, p.number}.text();
        out << code << "  " << ParameterName({p.letter, p.number}) << "  "
            << FormatValue(code, va, false) << "  " << FormatValue(code, vb, false) << "\n";
        ++differences;
    }
    return differences == 0 ? 0 : 3;
}

} // namespace

int RunNvpCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    if (args.isEmpty()) {
        err << kUsage;
        return 2;
    }
    const QString command = args.front();
    if (command == QLatin1String("report")) {
        return RunReportCommand(args.mid(1), err);
    }
    const std::optional<Options> options = ParseOptions(args.mid(1), err);
    if (!options) {
        return 2;
    }
    if (command == QLatin1String("show")) {
        return Show(*options, out, err);
    }
    if (command == QLatin1String("export")) {
        return Export(*options, out, err);
    }
    if (command == QLatin1String("import")) {
        return Import(*options, err);
    }
    if (command == QLatin1String("new")) {
        return New(*options, err);
    }
    if (command == QLatin1String("diff")) {
        return Diff(*options, out, err);
    }
    err << "nvp: unknown command \"" << command << "\"\n" << kUsage;
    return 2;
}

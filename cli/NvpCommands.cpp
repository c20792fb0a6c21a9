#include "cli/NvpCommands.h"

#include "base/FileNames.h"
#include "cli/CliText.h"
#include "cli/Invocation.h"
#include "cli/Numbers.h"
#include "drive/CatalogueTable.h"
#include "drive/ModelTable.h"
#include "drive/ParameterCatalogue.h"
#include "params/NolvaServoDoc.h"
#include "params/NvpFile.h"
#include "params/ParameterExport.h"

#include <QFile>
#include <QFileInfo>

#include <optional>

namespace {

// A parameter table in CSV is a few hundred short rows; anything far larger is not one.
constexpr qint64 kMaxParameterCsvBytes = 4 * 1024 * 1024;

// The options the file commands share, read and checked.
struct Options {
    int32_t maxSpeed = DriveProfile{}.maxMotorSpeed;
    std::optional<int32_t> model;
    bool force = false;
};

// The options of `call`; nothing, after a usage error, when a number is wrong.
std::optional<Options> ReadOptions(const Invocation& call) {
    Options o;
    o.force = call.options.Has("--force");
    if (const std::optional<QString> text = call.options.Value("--max-speed")) {
        const std::optional<int64_t> speed = ParseNumber(*text, NumberForm::Decimal, 1, INT32_MAX);
        if (!speed) {
            call.Usage("nvp: --max-speed must be a positive number of rpm, not \"" + *text + "\"");
            return std::nullopt;
        }
        o.maxSpeed = static_cast<int32_t>(*speed);
    }
    if (const std::optional<QString> text = call.options.Value("--model")) {
        const std::optional<int64_t> code = ParseNumber(*text, NumberForm::Hex, 0, 0xFFFF);
        if (!code) {
            call.Usage("nvp: --model must be a hexadecimal model code such as 0121, not \"" +
                       *text + "\"");
            return std::nullopt;
        }
        o.model = static_cast<int32_t>(*code);
    }
    return o;
}

// The options when the words are `count` files; nothing after a usage error.
std::optional<Options> ReadArguments(const Invocation& call, int count) {
    if (call.words.size() != count) {
        call.Usage(QStringLiteral("%1 takes %2")
                       .arg(call.name,
                            count == 1 ? QStringLiteral("one file") : QStringLiteral("two files")));
        return std::nullopt;
    }
    return ReadOptions(call);
}

DriveProfile ProfileFor(int32_t maxSpeed, int32_t modelCode) {
    return DriveProfile{maxSpeed, EncoderPulsesForModel(modelCode), modelCode};
}

// Loads a file and recomputes its ranges and defaults for the drive it describes.
bool LoadFile(const QString& path, const Options& o, CNolvaServoDoc* doc, QTextStream& err) {
    QString error;
    if (!OpenDocumentFile(path, *doc, &error)) {
        ErrorLine(err) << "nvp: " << OneLine(error) << "\n";
        return false;
    }
    const DriveProfile profile = ProfileFor(o.maxSpeed, doc->values.control[29]);
    FillParameterRanges(*doc, profile);
    FillParameterDefaults(*doc, profile);
    return true;
}

bool RefuseOverwrite(const QString& path, const Options& o, QTextStream& err) {
    if (!o.force && FileExists(path)) {
        ErrorLine(err) << "nvp: " << path << " exists; use --force to replace it\n";
        return true;
    }
    return false;
}

// False, after saying so, when a file to be made would not open as a parameter file.
bool RefuseOtherExtension(const QString& path, QTextStream& err) {
    if (HasParameterFileExtension(path)) {
        return true;
    }
    ErrorLine(err) << "nvp: a parameter file's name must end in .nvp\n";
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

} // namespace

int RunNvpShow(const Invocation& call) {
    const std::optional<Options> o = ReadArguments(call, 1);
    if (!o) {
        return 2;
    }
    CNolvaServoDoc doc;
    if (!LoadFile(call.words[0], *o, &doc, call.err)) {
        return 1;
    }
    QList<QStringList> rows;
    rows.append({QStringLiteral("代码"), QStringLiteral("名称"), QStringLiteral("设定值"),
                 QStringLiteral("单位"), QStringLiteral("范围"), QStringLiteral("默认值")});
    for (const ParamSpec& p : AllParameters()) {
        const QString code = ParamCode{p.letter, p.number}.Text();
        rows.append(
            {code, ParameterName({p.letter, p.number}),
             FormatValue({p.letter, p.number}, *doc.values.Slot({p.letter, p.number}), false),
             UnitText({p.letter, p.number}),
             RangeText({p.letter, p.number}, *doc.minimums.Slot({p.letter, p.number}),
                       *doc.maximums.Slot({p.letter, p.number})),
             FormatValue({p.letter, p.number}, *doc.defaults.Slot({p.letter, p.number}), true)});
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
        call.out << line << "\n";
    }
    return 0;
}

int RunNvpExport(const Invocation& call) {
    const std::optional<Options> o = ReadArguments(call, 1);
    if (!o) {
        return 2;
    }
    const bool csv = call.options.Has("--csv");
    if (csv == call.options.Has("--json")) {
        return call.Usage(QStringLiteral("nvp export takes one of --csv and --json"));
    }
    CNolvaServoDoc doc;
    if (!LoadFile(call.words[0], *o, &doc, call.err)) {
        return 1;
    }
    call.out.flush();
    const QByteArray bytes = csv ? ExportCsv(doc) : ExportJson(doc);
    call.out << QString::fromUtf8(bytes);
    return 0;
}

int RunNvpImport(const Invocation& call) {
    const std::optional<Options> o = ReadArguments(call, 1);
    if (!o) {
        return 2;
    }
    const QString output = call.options.Value("-o").value_or(QString());
    if (output.isEmpty()) {
        return call.Usage(QStringLiteral("nvp import takes -o FILE"));
    }
    if (!RefuseOtherExtension(output, call.err)) {
        return 2;
    }
    if (RefuseOverwrite(output, *o, call.err)) {
        return 1;
    }
    const QString& input = call.words[0];
    QByteArray text;
    FileReadError readError;
    if (!ReadFileWithLimit(input, kMaxParameterCsvBytes, &text, &readError)) {
        ErrorLine(call.err) << "nvp: cannot read " << input << ": "
                            << FileReadErrorEnglish(readError) << "\n";
        return 1;
    }
    // Only speed ranges depend on the drive: N comes from --max-speed.
    CNolvaServoDoc doc(ProfileFor(o->maxSpeed, DriveProfile{}.modelCode));
    QString error;
    if (!ImportCsv(text, doc, &error)) {
        ErrorLine(call.err) << "nvp: " << input << ": " << error << "\n";
        return 1;
    }
    if (!SaveDocumentFile(output, doc, &error)) {
        ErrorLine(call.err) << "nvp: " << OneLine(error) << "\n";
        return 1;
    }
    return 0;
}

int RunNvpNew(const Invocation& call) {
    const std::optional<Options> o = ReadArguments(call, 1);
    if (!o) {
        return 2;
    }
    const QString& path = call.words[0];
    if (!RefuseOtherExtension(path, call.err)) {
        return 2;
    }
    if (RefuseOverwrite(path, *o, call.err)) {
        return 1;
    }
    CNolvaServoDoc doc(ProfileFor(o->maxSpeed, o->model.value_or(DriveProfile{}.modelCode)));
    doc.OnNewDocument();
    QString error;
    if (!SaveDocumentFile(path, doc, &error)) {
        ErrorLine(call.err) << "nvp: " << OneLine(error) << "\n";
        return 1;
    }
    return 0;
}

int RunNvpDiff(const Invocation& call) {
    const std::optional<Options> o = ReadArguments(call, 2);
    if (!o) {
        return 2;
    }
    CNolvaServoDoc a;
    CNolvaServoDoc b;
    if (!LoadFile(call.words[0], *o, &a, call.err) || !LoadFile(call.words[1], *o, &b, call.err)) {
        return 1;
    }
    int differences = 0;
    for (const ParamSpec& p : AllParameters()) {
        const int32_t va = *a.values.Slot({p.letter, p.number});
        const int32_t vb = *b.values.Slot({p.letter, p.number});
        if (va == vb) {
            continue;
        }
        const QString code = ParamCode{p.letter, p.number}.Text();
        call.out << code << "  " << ParameterName({p.letter, p.number}) << "  "
                 << FormatValue({p.letter, p.number}, va, false) << "  "
                 << FormatValue({p.letter, p.number}, vb, false) << "\n";
        ++differences;
    }
    return differences == 0 ? 0 : 3;
}

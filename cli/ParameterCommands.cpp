// Parameters by code between a drive and the command line or a parameter file.

#include "cli/ParameterCommands.h"

#include "cli/CliText.h"
#include "cli/DriveSession.h"
#include "cli/Invocation.h"
#include "cli/Numbers.h"
#include "cli/OutputFiles.h"
#include "drive/CatalogueTable.h"
#include "drive/ParameterCatalogue.h"
#include "params/NvpFile.h"
#include "params/ParameterCompare.h"
#include "params/ParameterTransfer.h"

#include <optional>
#include <unistd.h>

namespace {

std::optional<ParamCode> ParseCode(const QString& text) {
    const ParamCode code = ParamCode::FromText(text);
    if (text.size() != 5 || FindParam(code) == nullptr || code.Text() != text) {
        return std::nullopt;
    }
    return code;
}

// The codes of "read CODE..." or "write CODE=VALUE...", and the value texts of a write; false
// after a usage error.
bool ParseCodes(const Invocation& call, bool write, QList<ParamCode>* codes,
                QStringList* valueTexts) {
    for (const QString& word : call.words) {
        const QString codeText = write ? word.section('=', 0, 0) : word;
        const std::optional<ParamCode> code = ParseCode(codeText);
        if (!code) {
            call.Usage(
                QStringLiteral("\"%1\" is not a parameter code (such as Cn005)").arg(codeText));
            return false;
        }
        codes->append(*code);
        if (write) {
            if (!word.contains(QLatin1Char('='))) {
                call.Usage(QStringLiteral("write takes CODE=VALUE, not \"%1\"").arg(word));
                return false;
            }
            valueTexts->append(word.section('=', 1));
        }
    }
    return true;
}

// A value as the catalogue shows it: hexadecimal digits for the bit-field codes, else decimal;
// "0x" selects hexadecimal for any code.
std::optional<int32_t> ParseValue(const ParamCode& code, const QString& text) {
    const bool hexFormat = IsHexFormat(code);
    const std::optional<int64_t> value = ParseNumber(
        text, hexFormat ? NumberForm::Hex : NumberForm::DecimalOrHex, INT32_MIN, INT32_MAX);
    return value ? std::optional<int32_t>(static_cast<int32_t>(*value)) : std::nullopt;
}

// A progress line on a terminal; it also counts a parameter's exchanges so that a failure can
// say which one failed.
class CliProgress : public TransferProgress {
public:
    explicit CliProgress(QTextStream& err) : err_(err), terminal_(isatty(STDERR_FILENO) == 1) {}
    void Open(const QString&, int steps) override {
        total_ = steps / 3;
        done_ = 0;
    }
    void SetText(const QString& text) override {
        exchanges_ = 0;
        ++done_;
        if (terminal_) {
            err_ << "\r\033[K" << text << " (" << done_ << "/" << total_ << ")" << Qt::flush;
        }
    }
    void Step() override {}
    void Close() override {
        if (terminal_) {
            err_ << "\r\033[K" << Qt::flush;
        }
    }
    void ExchangeDone() override { ++exchanges_; }
    int Exchanges() const { return exchanges_; }

private:
    QTextStream& err_;
    bool terminal_;
    int total_ = 0;
    int done_ = 0;
    int exchanges_ = 0;
};

// The drive with its parameter ranges: speed parameters convert with the drive's own maximum
// speed, which the status read finds with the model code.
class ParameterDrive {
public:
    explicit ParameterDrive(const Invocation& call)
        : call_(call), session_(call.link, call.err), progress_(call.err) {}

    bool Connect() {
        if (!session_.ConnectWithStatus()) {
            return false;
        }
        FillParameterDefaults(session_.document, session_.profile);
        FillParameterRanges(session_.document, session_.profile);
        session_.document.OnNewDocument();
        Transfer().SetProgress(&progress_);
        return true;
    }

    // Says which exchange of the parameter in progress failed. Returns exit code 1.
    int Failed() {
        ErrorLine(call_.err) << call_.name << " stopped: exchange " << progress_.Exchanges()
                             << " of that parameter got no accepted reply\n";
        return 1;
    }

    // A file error once the port is open. Returns exit code 1.
    int FileFailed(const QString& error) {
        session_.Close();
        ErrorLine(call_.err) << OneLine(error) << "\n";
        return 1;
    }

    ParameterTransfer& Transfer() { return session_.connection.Transfer(); }
    CNolvaServoDoc& Document() { return session_.document; }

private:
    const Invocation& call_;
    DriveSession session_;
    CliProgress progress_;
};

// A parameter file named by the only word, read before the port is opened: a file error never
// looks like a link one. Returns 0 when it reads, else the exit code.
int CheckParameterFile(const Invocation& call, bool transferCopy) {
    if (call.words.size() != 1) {
        return call.Usage(QStringLiteral("%1 takes one parameter file").arg(call.name));
    }
    CNolvaServoDoc file;
    QString error;
    const bool read = transferCopy ? ReadTransferCopyFile(call.words[0], file, &error)
                                   : OpenDocumentFile(call.words[0], file, &error);
    if (!read) {
        ErrorLine(call.err) << OneLine(error) << "\n";
        return 1;
    }
    return 0;
}

} // namespace

bool IsCodeRead(const QStringList& words) {
    // "read 5 0x10" reads a word (the page is one character); "read Cn005" a parameter, and
    // anything longer that starts with a letter is meant as one.
    return !words.isEmpty() && words[0].size() > 1 && words[0].front().isLetter();
}

bool IsCodeWrite(const QStringList& words) {
    return !words.isEmpty() && words[0].contains(QLatin1Char('='));
}

int RunReadCodes(const Invocation& call) {
    QList<ParamCode> codes;
    if (!ParseCodes(call, false, &codes, nullptr)) {
        return 2;
    }
    ParameterDrive drive(call);
    if (!drive.Connect()) {
        return 1;
    }
    QList<int32_t> values;
    if (!drive.Transfer().ReadCodes(codes, &values)) {
        return drive.Failed();
    }
    for (qsizetype i = 0; i < codes.size(); ++i) {
        call.out << codes[i].Text() << "=" << FormatValue(codes[i], values[i], false) << "\n";
    }
    return 0;
}

int RunWriteCodes(const Invocation& call) {
    QList<ParamCode> codes;
    QStringList valueTexts;
    if (!ParseCodes(call, true, &codes, &valueTexts)) {
        return 2;
    }
    ParameterDrive drive(call);
    if (!drive.Connect()) {
        return 1;
    }
    // Ranges follow the drive's maximum speed, known only now.
    QList<int32_t> values;
    for (qsizetype i = 0; i < codes.size(); ++i) {
        const ParamCode& code = codes[i];
        const std::optional<int32_t> value = ParseValue(code, valueTexts[i]);
        const int32_t min = *drive.Document().minimums.Slot(code);
        const int32_t max = *drive.Document().maximums.Slot(code);
        if (!value || *value < min || *value > max) {
            ErrorLine(call.err) << code.Text() << "=" << valueTexts[i]
                                << ": the value must be within " << RangeText(code, min, max)
                                << "\n";
            return 2;
        }
        values.append(*value);
    }
    if (!drive.Transfer().WriteCodes(codes, values)) {
        return drive.Failed();
    }
    return 0;
}

int RunReadAll(const Invocation& call) {
    const QString output = call.options.Value("-o").value_or(QString());
    if (!call.words.isEmpty() || output.isEmpty()) {
        return call.Usage(QStringLiteral("read-all takes -o FILE.nvp"));
    }
    if (!output.endsWith(QLatin1String(".nvp"), Qt::CaseInsensitive)) {
        return call.Usage(QStringLiteral("a parameter file's name must end in .nvp"));
    }
    const QString problem = OutputProblem(output, call.options.Has("--force"));
    if (!problem.isEmpty()) {
        ErrorLine(call.err) << "cannot write " << output << ": " << problem << "\n";
        return 1;
    }
    ParameterDrive drive(call);
    if (!drive.Connect()) {
        return 1;
    }
    drive.Document().transfer.Fill(0);
    if (!drive.Transfer().ReadAll()) {
        return drive.Failed();
    }
    QString error;
    if (!SaveTransferCopyFile(output, drive.Document(), &error)) {
        return drive.FileFailed(error);
    }
    return 0;
}

int RunWriteAll(const Invocation& call) {
    if (const int exitCode = CheckParameterFile(call, true)) {
        return exitCode;
    }
    ParameterDrive drive(call);
    if (!drive.Connect()) {
        return 1;
    }
    QString error;
    if (!ReadTransferCopyFile(call.words[0], drive.Document(), &error)) {
        return drive.FileFailed(error);
    }
    // Ranges follow the drive's maximum speed, known only now.
    const QList<RangeFault> faults = drive.Transfer().TransferValuesOutOfRange();
    if (!faults.isEmpty()) {
        ErrorLine(call.err) << call.words[0]
                            << " holds values outside their ranges; nothing was written:\n";
        for (const RangeFault& fault : faults) {
            call.err << "  " << fault.code.Text() << " = "
                     << FormatValue(fault.code, fault.value, false) << " (range "
                     << RangeText(fault.code, fault.min, fault.max) << ")\n";
        }
        return 1;
    }
    if (!drive.Transfer().WriteAll()) {
        return drive.Failed();
    }
    return 0;
}

int RunCompare(const Invocation& call) {
    if (const int exitCode = CheckParameterFile(call, false)) {
        return exitCode;
    }
    ParameterDrive drive(call);
    if (!drive.Connect()) {
        return 1;
    }
    QString error;
    if (!OpenDocumentFile(call.words[0], drive.Document(), &error)) {
        return drive.FileFailed(error);
    }
    // The file's values against all 161 of the drive: the differing ones, in group order.
    const QList<ParamCode> compared = CompareCodes();
    QList<int32_t> values;
    if (!drive.Transfer().ReadCodes(compared, &values)) {
        return drive.Failed();
    }
    const QList<CompareRow> rows = DifferingParameters(drive.Document(), compared, values);
    for (const CompareRow& row : rows) {
        call.out << row.codeText << "\t" << row.name << "\t" << row.documentText << "\t"
                 << row.driveText << "\n";
    }
    return rows.isEmpty() ? 0 : 3;
}

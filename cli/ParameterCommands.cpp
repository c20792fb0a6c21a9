// Parameters by code between a drive and the command line or a parameter file.

#include "cli/LinkCommands.h"

#include "base/Messenger.h"
#include "cli/CliText.h"
#include "cli/OutputFiles.h"
#include "drive/CatalogueTable.h"
#include "drive/ParameterCatalogue.h"
#include "link/DriveOperations.h"
#include "params/DriveConnection.h"
#include "params/NolvaServoDoc.h"
#include "params/NvpFile.h"
#include "params/ParameterCompare.h"
#include "params/ParameterTransfer.h"

#include <optional>
#include <unistd.h>

namespace {

std::optional<ParamCode> ParseCode(const QString& text) {
    const ParamCode code = ParamCode::fromText(text);
    if (text.size() != 5 || FindParam(code) == nullptr || code.text() != text) {
        return std::nullopt;
    }
    return code;
}

// A value as the catalogue shows it: hexadecimal digits for the bit-field codes, else decimal;
// "0x" selects hexadecimal for any code.
std::optional<int32_t> ParseValue(const ParamCode& code, const QString& text) {
    bool ok = false;
    const bool hexFormat = (ParamAttributes(code.text()) & 0x20) != 0;
    qlonglong value = 0;
    if (text.startsWith(QLatin1String("0x")) || text.startsWith(QLatin1String("0X"))) {
        value = text.mid(2).toLongLong(&ok, 16);
    } else {
        value = text.toLongLong(&ok, hexFormat ? 16 : 10);
    }
    if (!ok || value < INT32_MIN || value > INT32_MAX) {
        return std::nullopt;
    }
    return static_cast<int32_t>(value);
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
        text_ = text;
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
    int exchanges() const { return exchanges_; }

private:
    QTextStream& err_;
    bool terminal_;
    QString text_;
    int total_ = 0;
    int done_ = 0;
    int exchanges_ = 0;
};

} // namespace

bool IsParameterCommand(const QStringList& command) {
    if (command.isEmpty()) {
        return false;
    }
    const QString& name = command[0];
    if (name == QLatin1String("read-all") || name == QLatin1String("write-all") ||
        name == QLatin1String("compare")) {
        return true;
    }
    if (command.size() < 2) {
        return false;
    }
    // "read 5 0x10" reads a word (the page is one character); "read Cn005" a parameter, and
    // anything longer that starts with a letter is meant as one.
    if (name == QLatin1String("read")) {
        return command[1].size() > 1 && command[1].front().isLetter();
    }
    if (name == QLatin1String("write")) {
        return command[1].contains(QLatin1Char('='));
    }
    return false;
}

int RunParameterCommand(const LinkOptions& o, QTextStream& out, QTextStream& err) {
    const QString& name = o.command[0];
    const QStringList args = o.command.mid(1);
    auto usage = [&](const QString& why) {
        err << "orvan-cli: " << why << "\n" << kLinkUsage;
        return 2;
    };

    // Everything the command needs is checked before the port is touched.
    QList<ParamCode> codes;
    QList<QString> valueTexts;
    if (name == QLatin1String("read-all")) {
        if (!args.isEmpty() || o.output.isEmpty()) {
            return usage("read-all takes -o FILE.nvp");
        }
        if (!o.output.endsWith(QLatin1String(".nvp"), Qt::CaseInsensitive)) {
            return usage("a parameter file's name must end in .nvp");
        }
        const QString problem = OutputProblem(o.output, o.force);
        if (!problem.isEmpty()) {
            err << "orvan-cli: cannot write " << o.output << ": " << problem << "\n";
            return 1;
        }
    } else if (name == QLatin1String("write-all") || name == QLatin1String("compare")) {
        if (args.size() != 1) {
            return usage(QStringLiteral("%1 takes one parameter file").arg(name));
        }
        // The file is read before the port is opened: a file error never looks like a link one.
        CNolvaServoDoc file;
        QString error;
        const bool read = name == QLatin1String("write-all")
                              ? ReadTransferCopyFile(args[0], file, &error)
                              : OpenDocumentFile(args[0], file, &error);
        if (!read) {
            err << "orvan-cli: " << OneLine(error) << "\n";
            return 1;
        }
    } else {
        for (const QString& arg : args) {
            const QString codeText = name == QLatin1String("write") ? arg.section('=', 0, 0) : arg;
            const std::optional<ParamCode> code = ParseCode(codeText);
            if (!code) {
                return usage(
                    QStringLiteral("\"%1\" is not a parameter code (such as Cn005)").arg(codeText));
            }
            codes.append(*code);
            if (name == QLatin1String("write")) {
                if (!arg.contains(QLatin1Char('='))) {
                    return usage(QStringLiteral("write takes CODE=VALUE, not \"%1\"").arg(arg));
                }
                valueTexts.append(arg.section('=', 1));
            }
        }
    }

    ConsoleMessenger messenger;
    DriveProfile profile;
    CNolvaServoDoc document(profile);
    DriveOperations operations;
    DriveConnection connection(o.settings, profile, document, messenger, operations);
    if (!OpenPort(connection, o, err) || !ProbeDrive(connection, err)) {
        return 1;
    }
    // Speed parameters convert with the drive's own maximum speed: the program's status read
    // finds it, with the model code.
    DriveStatus status;
    if (!connection.ReadStatus(status)) {
        err << "orvan-cli: reading the drive's status failed: no accepted reply\n";
        connection.Close();
        return 1;
    }
    // Defaults and ranges follow the drive's maximum speed and model.
    FillParameterDefaults(document, profile);
    FillParameterRanges(document, profile);
    document.OnNewDocument();
    ParameterTransfer& transfer = connection.Transfer();
    CliProgress progress(err);
    transfer.SetProgress(&progress);
    auto failed = [&](const char* what) {
        err << "orvan-cli: " << what << " stopped: exchange " << progress.exchanges()
            << " of that parameter got no accepted reply\n";
        connection.Close();
        return 1;
    };

    int exitCode = 0;
    if (name == QLatin1String("read-all")) {
        document.transfer.fill(0);
        if (!transfer.ReadAll()) {
            return failed("read-all");
        }
        connection.Close();
        QString error;
        if (!SaveTransferCopyFile(o.output, document, &error)) {
            err << "orvan-cli: " << OneLine(error) << "\n";
            return 1;
        }
        return 0;
    } else if (name == QLatin1String("write-all")) {
        QString error;
        if (!ReadTransferCopyFile(args[0], document, &error)) {
            connection.Close();
            err << "orvan-cli: " << OneLine(error) << "\n";
            return 1;
        }
        // Ranges follow the drive's maximum speed, known only now.
        const QList<RangeFault> faults = transfer.TransferValuesOutOfRange();
        if (!faults.isEmpty()) {
            connection.Close();
            err << "orvan-cli: " << args[0] << " holds values outside their ranges; nothing was "
                << "written:\n";
            for (const RangeFault& fault : faults) {
                err << "  " << fault.code.text() << " = "
                    << FormatValue(fault.code.text(), fault.value, false) << " (range "
                    << RangeText(fault.code.text(), fault.min, fault.max) << ")\n";
            }
            return 1;
        }
        if (!transfer.WriteAll()) {
            return failed("write-all");
        }
    } else if (name == QLatin1String("compare")) {
        // The file's values against all 161 of the drive: the differing ones, in group order.
        QString error;
        if (!OpenDocumentFile(args[0], document, &error)) {
            connection.Close();
            err << "orvan-cli: " << OneLine(error) << "\n";
            return 1;
        }
        const QList<ParamCode> compared = CompareCodes();
        QList<int32_t> values;
        if (!transfer.ReadCodes(compared, &values)) {
            return failed("compare");
        }
        const QList<CompareRow> rows = DifferingParameters(document, compared, values);
        for (const CompareRow& row : rows) {
            out << row.codeText << "\t" << row.name << "\t" << row.documentText << "\t"
                << row.driveText << "\n";
        }
        exitCode = rows.isEmpty() ? 0 : 3;
    } else if (name == QLatin1String("read")) {
        QList<int32_t> values;
        if (!transfer.ReadCodes(codes, &values)) {
            return failed("read");
        }
        for (qsizetype i = 0; i < codes.size(); ++i) {
            out << codes[i].text() << "=" << FormatValue(codes[i].text(), values[i], false) << "\n";
        }
    } else {
        QList<int32_t> values;
        for (qsizetype i = 0; i < codes.size(); ++i) {
            const ParamCode& code = codes[i];
            const std::optional<int32_t> value = ParseValue(code, valueTexts[i]);
            const int32_t min = *document.minimums.slot(code);
            const int32_t max = *document.maximums.slot(code);
            if (!value || *value < min || *value > max) {
                connection.Close();
                err << "orvan-cli: " << code.text() << "=" << valueTexts[i]
                    << ": the value must be within " << RangeText(code.text(), min, max) << "\n";
                return 2;
            }
            values.append(*value);
        }
        if (!transfer.WriteCodes(codes, values)) {
            return failed("write");
        }
    }
    connection.Close();
    return exitCode;
}

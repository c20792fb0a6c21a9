// orvan-cli's command line: the table of subcommands, the options each one takes, the numbers
// and the help made from the table.

#include "cli/CommandHelp.h"
#include "cli/CommandTable.h"
#include "cli/Numbers.h"
#include "support/CliTestSupport.h"

#include <gtest/gtest.h>

namespace {

using clitest::Cli;
using clitest::CliRun;

// Refused before any file or port is touched: exit 2, and the first line says exactly why. An
// option the subcommand does not take is that one line alone.
TEST(CommandLine, RefusesWhatTheSubcommandDoesNotTake) {
    const QStringList port{"--port", "/dev/orvan-none"};
    const struct {
        QStringList args;
        QString firstLine;
        bool alone;
    } cases[] = {
        // Unknown options.
        {port + QStringList{"probe", "--frob"}, "orvan-cli: unknown option --frob for probe", true},
        {{"nvp", "show", "a.nvp", "--port", "x"},
         "orvan-cli: unknown option --port for nvp show",
         true},
        // Options of another subcommand.
        {port + QStringList{"read", "Cn001", "--load", "50"},
         "orvan-cli: read does not take --load (an option of fra)", true},
        {port + QStringList{"diag", "--count", "2"},
         "orvan-cli: diag does not take --count (an option of monitor)", true},
        {port + QStringList{"read", "5", "1", "--force"},
         "orvan-cli: read does not take --force (an option of read-all, monitor, trace, fra)",
         true},
        {{"fra-analyse", "r.csv", "--port", "/dev/orvan-none"},
         "orvan-cli: fra-analyse does not take --port (an option of the drive commands)",
         true},
        {{"nvp", "diff", "a.nvp", "b.nvp", "--max-speed", "5000"},
         "orvan-cli: nvp diff does not take --max-speed (an option of nvp show, nvp export, nvp "
         "import, nvp new, nvp report)",
         true},
        {{"trd", "show", "a.trd", "--csv"},
         "orvan-cli: trd show does not take --csv (an option of trd export)",
         true},
        // A value missing at the end.
        {port + QStringList{"monitor", "--interval"}, "orvan-cli: --interval needs a value", false},
        {{"nvp", "import", "a.csv", "-o"}, "orvan-cli: -o needs a value", false},
        // Numbers out of range or of the wrong form.
        {port + QStringList{"--baud", "fast", "probe"},
         "orvan-cli: --baud needs a rate in bits per second", false},
        {port + QStringList{"monitor", "--count", "0x10"},
         "orvan-cli: --count needs a number of samples, 1 or more", false},
        {port + QStringList{"fra", "--load", "101"},
         "orvan-cli: fra: --load must be a whole percentage 1..100, not \"101\"", false},
        {{"fra-analyse", "r.csv", "--model", "12G"},
         "orvan-cli: fra-analyse: --model must be a hexadecimal model code such as 0121, not "
         "\"12G\"",
         false},
        {{"nvp", "show", "a.nvp", "--max-speed", "fast"},
         "orvan-cli: nvp: --max-speed must be a positive number of rpm, not \"fast\"",
         false},
        // Commands that are none.
        {port + QStringList{"dance"}, "orvan-cli: unknown command \"dance\"", false},
        {{"nvp", "frobnicate"}, "orvan-cli: nvp: unknown command \"frobnicate\"", false},
    };
    for (const auto& c : cases) {
        const CliRun run = Cli(c.args);
        const std::string args = c.args.join(' ').toStdString();
        EXPECT_EQ(run.exitCode, 2) << args;
        EXPECT_EQ(run.err.section('\n', 0, 0), c.firstLine) << args;
        EXPECT_EQ(!run.err.contains('\n'), c.alone) << args << ": " << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty()) << args;
    }
}

// "read" and "write" are two subcommands each, told apart by their first argument.
TEST(CommandLine, ReadAndWriteGoToTheSubcommandTheirArgumentsFit) {
    const struct {
        QStringList words;
        const char* synopsis;
    } cases[] = {
        {{"read", "5", "0x10"}, "read PAGE LOC"},
        {{"read", "Cn005", "Sn201"}, "read CODE..."},
        {{"read"}, "read PAGE LOC"},
        {{"write", "5", "16", "1"}, "write PAGE LOC VALUE"},
        {{"write", "Cn001"}, "write PAGE LOC VALUE"},
        {{"write", "Sn201=100"}, "write CODE=VALUE..."},
    };
    for (const auto& c : cases) {
        const Subcommand* command = FindSubcommand(QString(), c.words);
        ASSERT_NE(command, nullptr) << c.words.join(' ').toStdString();
        EXPECT_STREQ(command->synopsis, c.synopsis) << c.words.join(' ').toStdString();
    }
    EXPECT_EQ(FindSubcommand(QStringLiteral("nvp"), {"read", "Cn005"}), nullptr);
}

// The help is the table's: every subcommand with its synopsis, and in its lines every option it
// takes; the tool prints exactly that.
TEST(CommandLine, HelpListsEveryTableRowWithItsOptions) {
    const QString help = HelpText();
    for (const Subcommand& command : Subcommands()) {
        const QString group = QLatin1String(command.group);
        const QString synopsis = QStringLiteral("\n  ") +
                                 (group.isEmpty() ? group : group + QLatin1Char(' ')) +
                                 QLatin1String(command.synopsis);
        EXPECT_TRUE(help.contains(synopsis)) << synopsis.toStdString();
        const QString usage = UsageText(command);
        for (const OptionSpec& option : command.options) {
            EXPECT_TRUE(usage.contains(QLatin1String(option.name)))
                << command.synopsis << ": " << option.name;
        }
    }
    const CliRun run = Cli({"--help"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, help.trimmed());
    EXPECT_TRUE(run.out.startsWith("usage: orvan-cli "));
    const CliRun nvp = Cli({"nvp", "--help"});
    EXPECT_EQ(nvp.exitCode, 0);
    EXPECT_EQ(nvp.out, GroupHelpText(QStringLiteral("nvp")).trimmed());
}

TEST(CommandLine, NumbersInEachForm) {
    const struct {
        const char* text;
        NumberForm form;
        int64_t min;
        int64_t max;
        std::optional<int64_t> value;
    } cases[] = {
        {"1500", NumberForm::Decimal, 0, 3000, 1500},
        {"-3", NumberForm::Decimal, -5, 5, -3},
        {"0x10", NumberForm::Decimal, 0, 100, std::nullopt},
        {"3001", NumberForm::Decimal, 0, 3000, std::nullopt},
        {"", NumberForm::Decimal, 0, 3000, std::nullopt},
        {"0x10", NumberForm::DecimalOrHex, 0, 255, 16},
        {"0X1f", NumberForm::DecimalOrHex, 0, 255, 31},
        {"-1", NumberForm::DecimalOrHex, -32768, 65535, -1},
        {"0x10000", NumberForm::DecimalOrHex, 0, 65535, std::nullopt},
        {"10", NumberForm::Hex, 0, 0xFFFF, 16},
        {"0x121", NumberForm::Hex, 0, 0xFFFF, 0x121},
        {"12G", NumberForm::Hex, 0, 0xFFFF, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseNumber(QString::fromLatin1(c.text), c.form, c.min, c.max), c.value)
            << c.text;
    }
}

} // namespace

#include "app/ProgramOptions.h"

#include <gtest/gtest.h>

namespace {

using Outcome = ParsedProgramOptions::Outcome;

ParsedProgramOptions Parse(std::initializer_list<const char*> arguments) {
    QStringList list;
    for (const char* a : arguments)
        list << QString::fromUtf8(a);
    return ParseProgramOptions(list);
}

TEST(ProgramOptions, EveryOptionIsRead) {
    const ParsedProgramOptions p =
        Parse({"--port", "/dev/ttyS3", "--settings", "/tmp/o.ini", "--connect", "--report-startup",
               "--report-status-after", "1500", "axis.nvp"});
    ASSERT_EQ(p.outcome, Outcome::Run) << p.text.toStdString();
    EXPECT_EQ(p.options.port, QStringLiteral("/dev/ttyS3"));
    EXPECT_EQ(p.options.settingsPath, QStringLiteral("/tmp/o.ini"));
    EXPECT_TRUE(p.options.connect);
    EXPECT_TRUE(p.options.reportStartup);
    EXPECT_EQ(p.options.reportStatusAfterMs, 1500);
    EXPECT_EQ(p.options.documentPath, QStringLiteral("axis.nvp"));

    const ParsedProgramOptions s = Parse({"--simulate"});
    ASSERT_EQ(s.outcome, Outcome::Run);
    EXPECT_TRUE(s.options.simulate);
}

TEST(ProgramOptions, BadCommandLinesAreRefusedWithAReason) {
    const std::initializer_list<const char*> bad[] = {
        {"--frobnicate"},
        {"--port"},
        {"--port", ""},
        {"--settings", ""},
        {"--simulate", "--port", "/dev/ttyS0"},
        {"--report-status-after", "soon"},
        {"--report-status-after", "-5"},
        {"a.nvp", "b.nvp"},
    };
    for (const auto& arguments : bad) {
        const ParsedProgramOptions p = Parse(arguments);
        EXPECT_EQ(p.outcome, Outcome::Error) << *arguments.begin();
        EXPECT_FALSE(p.text.isEmpty()) << *arguments.begin();
    }
}

TEST(ProgramOptions, HelpListsTheOptions) {
    const ParsedProgramOptions p = Parse({"--help"});
    ASSERT_EQ(p.outcome, Outcome::ShowHelp);
    for (const char* option : {"--simulate", "--port", "--settings", "--connect",
                               "--report-startup", "--report-status-after"})
        EXPECT_TRUE(p.text.contains(QLatin1String(option))) << option;
    EXPECT_TRUE(p.text.contains(QLatin1String("orvan-servo")));
}

TEST(ProgramOptions, DisplayIsFoundInTheEnvironmentOrThePlatformArgument) {
    const QString none;
    const QString x = QStringLiteral(":0");
    EXPECT_FALSE(HasDisplayPlatform(none, none, none, {}));
    EXPECT_FALSE(HasDisplayPlatform(none, none, none, {QStringLiteral("--simulate")}));
    EXPECT_TRUE(HasDisplayPlatform(x, none, none, {}));
    EXPECT_TRUE(HasDisplayPlatform(none, QStringLiteral("wayland-0"), none, {}));
    EXPECT_TRUE(HasDisplayPlatform(none, none, QStringLiteral("offscreen"), {}));
    EXPECT_TRUE(HasDisplayPlatform(none, none, none,
                                   {QStringLiteral("-platform"), QStringLiteral("offscreen")}));
    EXPECT_TRUE(HasDisplayPlatform(none, none, none,
                                   {QStringLiteral("--platform"), QStringLiteral("vnc")}));
}

} // namespace

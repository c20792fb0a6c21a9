#include "app/ProgramOptions.h"

#include <QCommandLineParser>

namespace {

void AddOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription(QStringLiteral(
        "Orvan Servo: parameters, status and commissioning of one AC servo drive on a serial "
        "link."));
    parser.addHelpOption();
    // Answered before the options are read (src/app/ui/main.cpp); listed for the help.
    parser.addOption({QStringLiteral("version"),
                      QStringLiteral("Print the program's name and version and exit.")});
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("A parameter file (.nvp) to open."),
                                 QStringLiteral("[FILE.nvp]"));
    parser.addOptions({
        {QStringLiteral("simulate"),
         QStringLiteral("Start a simulated drive inside the program and connect to it.")},
        {QStringLiteral("port"),
         QStringLiteral("Serial device the current COM entry stands for in this run."),
         QStringLiteral("DEVICE")},
        {QStringLiteral("settings"),
         QStringLiteral("Settings file to read and write instead of OrvanServo.ini in the "
                        "configuration folder."),
         QStringLiteral("FILE")},
        {QStringLiteral("connect"), QStringLiteral("Connect to the drive at start-up.")},
        {QStringLiteral("report-startup"),
         QStringLiteral("Print a line on standard output when the main window is first drawn "
                        "(for the start-up benchmark).")},
        {QStringLiteral("report-status-after"),
         QStringLiteral("After MS milliseconds print the status bar panes and the state of every "
                        "menu command on standard output (for tests)."),
         QStringLiteral("MS")},
    });
}

} // namespace

ParsedProgramOptions ParseProgramOptions(const QStringList& arguments) {
    ParsedProgramOptions parsed;
    QCommandLineParser parser;
    AddOptions(parser);
    QStringList all = arguments;
    all.prepend(QStringLiteral("orvan-servo"));
    if (!parser.parse(all)) {
        parsed.outcome = ParsedProgramOptions::Outcome::Error;
        parsed.text = parser.errorText();
        return parsed;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        parsed.outcome = ParsedProgramOptions::Outcome::ShowHelp;
        // The usage line names the program, whichever process (a test's) parses the options.
        parsed.text = parser.helpText();
        const QString usage = QStringLiteral("Usage: ");
        const qsizetype name = parsed.text.indexOf(usage) + usage.size();
        const qsizetype nameEnd = parsed.text.indexOf(QLatin1Char(' '), name);
        if (name >= usage.size() && nameEnd > name)
            parsed.text.replace(name, nameEnd - name, QStringLiteral("orvan-servo"));
        return parsed;
    }
    ProgramOptions& o = parsed.options;
    o.simulate = parser.isSet(QStringLiteral("simulate"));
    o.connect = parser.isSet(QStringLiteral("connect"));
    o.port = parser.value(QStringLiteral("port"));
    o.settingsPath = parser.value(QStringLiteral("settings"));
    o.reportStartup = parser.isSet(QStringLiteral("report-startup"));
    auto fail = [&parsed](const QString& text) {
        parsed.outcome = ParsedProgramOptions::Outcome::Error;
        parsed.text = text;
        return parsed;
    };
    if (parser.isSet(QStringLiteral("port")) && o.port.isEmpty())
        return fail(QStringLiteral("--port needs a device"));
    if (parser.isSet(QStringLiteral("settings")) && o.settingsPath.isEmpty())
        return fail(QStringLiteral("--settings needs a file name"));
    if (o.simulate && !o.port.isEmpty())
        return fail(QStringLiteral("--simulate and --port cannot be used together"));
    if (parser.isSet(QStringLiteral("report-status-after"))) {
        bool ok = false;
        const QString text = parser.value(QStringLiteral("report-status-after"));
        o.reportStatusAfterMs = text.toInt(&ok);
        if (!ok || o.reportStatusAfterMs < 0)
            return fail(QStringLiteral("--report-status-after: bad value \"%1\"").arg(text));
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1)
        return fail(QStringLiteral("only one parameter file can be opened"));
    if (!files.isEmpty())
        o.documentPath = files.first();
    return parsed;
}

bool HasDisplayPlatform(const QString& display, const QString& waylandDisplay,
                        const QString& qpaPlatform, const QStringList& arguments) {
    if (!display.isEmpty() || !waylandDisplay.isEmpty() || !qpaPlatform.isEmpty())
        return true;
    for (const QString& argument : arguments) {
        if (argument == QLatin1String("-platform") || argument == QLatin1String("--platform") ||
            argument.startsWith(QLatin1String("-platform=")) ||
            argument.startsWith(QLatin1String("--platform=")))
            return true;
    }
    return false;
}

QString HeadlessHint() {
    return QStringLiteral(
        "orvan-servo: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
        "Run it under a virtual display:\n"
        "    xvfb-run -a orvan-servo --simulate\n"
        "or without any screen:\n"
        "    QT_QPA_PLATFORM=offscreen orvan-servo --simulate\n");
}

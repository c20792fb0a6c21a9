// orvan-servo: the desktop program.

#include "app/ProgramOptions.h"
#include "app/QtTranslations.h"
#include "app/ui/NolvaServoApp.h"
#include "base/FileNames.h"

#include <QApplication>
#include <QFont>

#include <cstdio>

namespace {

QString Environment(const char* name) {
    return QString::fromLocal8Bit(qgetenv(name));
}

} // namespace

int main(int argc, char* argv[]) {
    QStringList rawArguments;
    for (int i = 1; i < argc; ++i)
        rawArguments << QString::fromLocal8Bit(argv[i]);

    // Help, version and the display check come before the application object: without a
    // display Qt would abort while creating it.
    if (rawArguments.contains(QLatin1String("--version"))) {
        std::fputs("orvan-servo " ORVAN_VERSION "\n", stdout);
        return 0;
    }
    if (rawArguments.contains(QLatin1String("--help")) ||
        rawArguments.contains(QLatin1String("-h"))) {
        const ParsedProgramOptions parsed = ParseProgramOptions({QStringLiteral("--help")});
        std::fputs(qPrintable(parsed.text), stdout);
        return 0;
    }
    if (!HasDisplayPlatform(Environment("DISPLAY"), Environment("WAYLAND_DISPLAY"),
                            Environment("QT_QPA_PLATFORM"), rawArguments)) {
        std::fputs(qPrintable(HeadlessHint()), stderr);
        return 2;
    }

    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Orvan"));
    QApplication::setApplicationName(QStringLiteral("OrvanServo"));
    // Lets a Wayland desktop match the windows to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.orvan.OrvanServo"));
    QApplication::setApplicationVersion(QStringLiteral(ORVAN_VERSION));

    const ParsedProgramOptions parsed = ParseProgramOptions(ArgumentsFromNative(argc, argv).mid(1));
    if (parsed.outcome == ParsedProgramOptions::Outcome::Error) {
        std::fprintf(stderr, "orvan-servo: %s\n", qPrintable(parsed.text));
        return 2;
    }

    InstallQtTranslations(application);

    // Simplified Chinese needs a CJK face; without WenQuanYi Micro Hei Qt falls back to a
    // Japanese one.
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), font.family()});
    QApplication::setFont(font);

    CNolvaServoApp servo(parsed.options);
    QObject::connect(&servo, &CNolvaServoApp::terminated, &application,
                     [] { QCoreApplication::exit(0); });
    if (!servo.InitInstance())
        return 1;
    // A stop signal handled by a message box's loop during start-up has closed everything.
    if (servo.Terminated())
        return 0;
    return QApplication::exec();
}

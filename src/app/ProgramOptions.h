#pragma once

#include <QString>
#include <QStringList>

// What the desktop program's command line asks for.
struct ProgramOptions {
    bool simulate = false;        // a simulated drive in the program, on a pseudo-terminal
    QString port;                 // device the current COM entry stands for in this run
    QString settingsPath;         // settings file instead of the located one
    bool connect = false;         // ask for the link at start-up ("连线")
    QString documentPath;         // a parameter file to open instead of a new document
    bool reportStartup = false;   // print when the main window is first drawn
    int reportStatusAfterMs = -1; // print the status panes and commands once, after this time
};

struct ParsedProgramOptions {
    ProgramOptions options;
    enum class Outcome { Run, ShowHelp, Error } outcome = Outcome::Run;
    QString text; // the help text or the error
};

// Reads the arguments after the program name (Qt's own options already taken out).
ParsedProgramOptions ParseProgramOptions(const QStringList& arguments);

// Whether a windowing system can be reached: an X or Wayland display in the environment, a
// platform chosen with QT_QPA_PLATFORM, or a "-platform" argument.
bool HasDisplayPlatform(const QString& display, const QString& waylandDisplay,
                        const QString& qpaPlatform, const QStringList& arguments);

// What to tell a user who started the program without a display.
QString HeadlessHint();

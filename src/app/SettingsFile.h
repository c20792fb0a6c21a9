#pragma once

#include "app/AppSettings.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>

// "OrvanServo.ini": the program's settings, a text file of lines in a fixed order with CR LF line
// ends. It is read once at start-up and rewritten whenever the main window closes. After the
// frame format line, where older readers stop, come the serial device of each COM number
// ("COM1=/dev/ttyUSB0") and the online editor's panels ("OnlinePanel1=Sn211").

inline constexpr char kSettingsFileName[] = "OrvanServo.ini";
inline constexpr char kSettingsVersionLine[] = "Version=v0.9.080331";

// Reads settings file content. The reader walks the lines in their fixed order and stops at the
// first line that is out of place; whatever it read up to there is kept and everything else keeps
// its default, so any content gives complete settings. Lines may end in CR LF or LF.
AppSettings ParseSettings(const QByteArray& content);

// Reads the file at `path`. A file that is missing or cannot be read gives the defaults; no
// message is shown for it.
AppSettings ReadSettingsFile(const QString& path);

// The complete file content for `settings`, CR LF line ends.
QByteArray FormatSettings(const AppSettings& settings);

// Writes the file at `path`, creating its folder when missing. The content goes to a temporary
// file beside the target that replaces it only once it is complete, so a failed write leaves the
// previous file as it was. On failure returns false and, when `errorText` is given, sets it to a
// message that names the path.
bool WriteSettingsFile(const QString& path, const AppSettings& settings,
                       QString* errorText = nullptr);

// Which settings file this run uses: `overridePath` when not empty (the "--settings" option);
// else the file in `programFolder` when one exists there (a portable install); else the file in
// `configFolder`, the user's configuration folder; the program folder again when no
// configuration folder is known.
QString ResolveSettingsPath(const QString& overridePath, const QString& programFolder,
                            const QString& configFolder);

// ResolveSettingsPath with the executable's folder and the application's configuration location.
// Needs the application object, whose organisation and application names name that location.
QString LocateSettingsFile(const QString& overridePath);

// A decimal number read the way the settings file has always been read (C's text-to-integer):
// leading white space, an optional sign, then the digits up to the first non-digit. No digits
// give 0; a value beyond 32 bits saturates at the nearest limit.
int32_t DecimalPrefixValue(QByteArrayView text);

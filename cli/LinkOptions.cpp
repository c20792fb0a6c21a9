#include "cli/LinkOptions.h"

#include "cli/Invocation.h"
#include "cli/Numbers.h"

namespace {

// The option's number when it was given; false, after naming the problem, when it is no number
// within min..max.
bool ReadNumber(const ParsedOptions& given, const char* name, int64_t min, int64_t max,
                const QString& need, int64_t* value, QString* why) {
    const std::optional<QString> text = given.Value(name);
    if (!text) {
        return true;
    }
    const std::optional<int64_t> number = ParseNumber(*text, NumberForm::DecimalOrHex, min, max);
    if (!number) {
        *why = QStringLiteral("%1 needs %2").arg(QLatin1String(name), need);
        return false;
    }
    *value = *number;
    return true;
}

} // namespace

bool ReadLinkOptions(const ParsedOptions& given, LinkOptions* link, QString* why,
                     bool portRequired) {
    int64_t baud = link->baud;
    int64_t station = link->settings.StationID;
    int64_t format = -1;
    if (!ReadNumber(given, "--baud", 1, 4000000, QStringLiteral("a rate in bits per second"), &baud,
                    why) ||
        !ReadNumber(given, "--station", 0, 255, QStringLiteral("a number 0..255"), &station, why) ||
        !ReadNumber(given, "--frame-format", 0, 8, QStringLiteral("a number 0..8"), &format, why)) {
        return false;
    }
    if (const std::optional<QString> echo = given.Value("--echo")) {
        if (*echo == QLatin1String("off")) {
            link->settings.Echo = EchoMode::Off;
        } else if (*echo == QLatin1String("on")) {
            link->settings.Echo = EchoMode::On;
        } else if (*echo == QLatin1String("auto")) {
            link->settings.Echo = EchoMode::Automatic;
        } else {
            *why = QStringLiteral("--echo needs off, on or auto");
            return false;
        }
    }
    link->device = given.Value("--port").value_or(QString());
    if (link->device.isEmpty() && (portRequired || given.Has("--port"))) {
        *why = given.Has("--port") ? QStringLiteral("--port needs a device")
                                   : QStringLiteral("--port DEVICE is required");
        return false;
    }
    link->baud = static_cast<uint32_t>(baud);
    link->settings.RS485Port = given.Has("--rs485");
    link->settings.StationID = static_cast<int32_t>(station);
    if (format >= 0) {
        link->settings.FrameFormat = static_cast<int32_t>(format);
        link->settings.AsciiMode = format < 6;
    }
    return true;
}

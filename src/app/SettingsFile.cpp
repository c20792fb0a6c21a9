#include "app/SettingsFile.h"

#include "base/AtomicFile.h"
#include "base/BoundedRead.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringDecoder>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <optional>

namespace {

// A settings file is a few hundred short lines; anything far larger is not one.
constexpr qint64 kMaxSettingsFileBytes = 4 * 1024 * 1024;

constexpr QByteArrayView kFirstLine = "[Orvan Servo]";
constexpr QByteArrayView kSystemSection = "[System]";
constexpr QByteArrayView kCustomSection = "[Definite Parameter]";
constexpr QByteArrayView kDisplaySection = "[Display Setting]";
constexpr QByteArrayView kComPortKey = "ComPort=";
constexpr QByteArrayView kStationKey = "StationID=";
constexpr QByteArrayView kRs485Key = "RS485Port=";
constexpr QByteArrayView kBaudKey = "BaudRateIndex=";
constexpr QByteArrayView kFrameFormatKey = "RTUMode=";
constexpr QByteArrayView kEchoKey = "Echo=";

constexpr int kHighestFrameFormat = 8;
constexpr int kFirstRtuFrameFormat = 6;

// Hands out the content line by line. A line ends at LF; a CR right before the LF belongs to the
// line end (files written on Windows), any other CR stays in the line. The text after the last LF
// is a line of its own when it is not empty.
class LineReader {
public:
    explicit LineReader(QByteArrayView content) : rest_(content) {}

    std::optional<QByteArrayView> Next() {
        if (rest_.isEmpty())
            return std::nullopt;
        QByteArrayView line = rest_;
        const qsizetype lf = rest_.indexOf('\n');
        if (lf < 0) {
            rest_ = {};
        } else {
            line = rest_.first(lf);
            rest_ = rest_.sliced(lf + 1);
            if (line.endsWith('\r'))
                line.chop(1);
        }
        return line;
    }

private:
    QByteArrayView rest_;
};

// The value of a "Key=value" line: the text after the key's length, wherever the key was found
// in the line (a key preceded by other text therefore reads a shifted, usually zero, value).
int32_t ValueAfter(QByteArrayView line, QByteArrayView key) {
    return line.size() > key.size() ? DecimalPrefixValue(line.sliced(key.size())) : 0;
}

// A line of the sections or keys that follow the custom list: a custom list whose count claims
// more entries than the file holds ends there instead of swallowing the rest of the file.
bool EndsCustomList(QByteArrayView line) {
    const QByteArrayView text = line.trimmed();
    return text.startsWith('[') || text.contains('=');
}

// "COMn=device" with n from 1 to the number of COM entries; anything else is passed over.
void ReadDeviceLine(QByteArrayView line, ComDeviceMap& devices) {
    if (line.size() < 5 || !line.startsWith("COM") || line[4] != '=')
        return;
    const int number = line[3] - '0';
    if (number < 1 || number > kComPortCount)
        return;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString device = utf8(line.sliced(5));
    if (utf8.hasError() || !IsUsableDeviceName(device))
        return;
    devices[static_cast<size_t>(number - 1)] = device;
}

// "Echo=N": 0 off, 1 on, 2 automatic; anything else reads as automatic. False for another line.
bool ReadEchoLine(QByteArrayView line, EchoMode& echo) {
    if (!line.startsWith(kEchoKey))
        return false;
    const QByteArrayView value = line.sliced(kEchoKey.size()).trimmed();
    echo = value == "0" ? EchoMode::Off : value == "1" ? EchoMode::On : EchoMode::Automatic;
    return true;
}

// "OnlinePanelN=code" with N from 1 to 4: the parameter on the online editor's panel N. What the
// editor could not show (another group, a repeated code, a twin) leaves its panel unused.
constexpr QByteArrayView kOnlinePanelKey = "OnlinePanel";

bool ReadOnlinePanelLine(QByteArrayView line, OnlinePanelCodes& codes) {
    const qsizetype keyLength = kOnlinePanelKey.size();
    if (line.size() < keyLength + 2 || !line.startsWith(kOnlinePanelKey) ||
        line[keyLength + 1] != '=')
        return false;
    const int panel = line[keyLength] - '1';
    if (panel < 0 || panel >= kOnlinePanelCount)
        return false;
    const QByteArrayView text = line.sliced(keyLength + 2);
    if (text.size() == 5)
        codes[static_cast<size_t>(panel)] = ParamCode::FromText(QString::fromLatin1(text));
    return true;
}

void AppendLine(QByteArray& out, QByteArrayView text) {
    out.append(text);
    out.append("\r\n");
}

void AppendNumberLine(QByteArray& out, int32_t value) {
    AppendLine(out, QByteArray::number(value));
}

QString PathForMessage(const QString& path) {
    return QDir::toNativeSeparators(path);
}

} // namespace

int32_t DecimalPrefixValue(QByteArrayView text) {
    qsizetype pos = 0;
    auto isSpace = [](char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
    };
    while (pos < text.size() && isSpace(text[pos]))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
        negative = text[pos++] == '-';
    // Accumulated as a negative number so that the lowest 32-bit value fits.
    constexpr int64_t lowest = std::numeric_limits<int32_t>::min();
    int64_t value = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        value = value * 10 - (text[pos] - '0');
        if (value < lowest) {
            value = lowest - 1; // saturated; the remaining digits change nothing
            break;
        }
    }
    if (negative)
        return static_cast<int32_t>(std::max(value, lowest));
    return static_cast<int32_t>(std::min(-value, int64_t{std::numeric_limits<int32_t>::max()}));
}

AppSettings ParseSettings(const QByteArray& content) {
    AppSettings settings;
    LinkSettings& link = settings.link;
    DisplaySettings& display = settings.display;
    LineReader in(content);

    std::optional<QByteArrayView> line = in.Next();
    if (!line || *line != kFirstLine)
        return settings;
    if (!in.Next()) // the version line, whatever it says
        return settings;
    line = in.Next();
    if (!line || !line->contains(kSystemSection))
        return settings;
    line = in.Next();
    if (!line || !line->contains(kComPortKey))
        return settings;
    link.ComPort = ValueAfter(*line, kComPortKey);
    if (link.ComPort < 0 || link.ComPort >= kComPortCount)
        link.ComPort = 0;

    // The custom list. The line read here is consumed whether or not it is the section header:
    // a file without the section loses its next line (normally the display header) to this read.
    line = in.Next();
    if (!line)
        return settings;
    std::optional<QByteArrayView> handedOn; // a line that ended the list early
    if (line->contains(kCustomSection)) {
        line = in.Next();
        if (!line)
            return settings;
        // The list keeps every entry the file holds, more than 180 included; a negative count
        // gives no entries. When the count claims more entries than follow it, the list ends at
        // the first section or key line (or the end of the file), a group line left without its
        // index line is dropped, and the line that ended the list is the one the display block
        // looks at. Taken strictly line by line, the surplus count would swallow the display
        // block and the link keys as entries and lose them all. A count below the entries
        // present leaves the surplus lines where the display header is expected, and the reading
        // ends there as with any line out of order.
        const int32_t count = DecimalPrefixValue(*line);
        for (int32_t i = 0; i < count; ++i) {
            const std::optional<QByteArrayView> group = in.Next();
            if (!group)
                return settings;
            if (EndsCustomList(*group)) {
                handedOn = group;
                break;
            }
            const std::optional<QByteArrayView> index = in.Next();
            if (!index)
                return settings;
            if (EndsCustomList(*index)) {
                handedOn = index;
                break;
            }
            settings.customTable.Entries.append(
                {DecimalPrefixValue(*group), DecimalPrefixValue(*index)});
        }
    }

    line = handedOn ? handedOn : in.Next();
    if (line && line->contains(kDisplaySection)) {
        // Thirteen numbers in the order written; a flag is on for any number but 0. A file that
        // ends inside the block keeps the values read so far.
        auto number = [&in](int32_t& target) {
            const std::optional<QByteArrayView> text = in.Next();
            if (text)
                target = DecimalPrefixValue(*text);
            return text.has_value();
        };
        auto flag = [&in](bool& target) {
            const std::optional<QByteArrayView> text = in.Next();
            if (text)
                target = DecimalPrefixValue(*text) != 0;
            return text.has_value();
        };
        if (!number(display.DisplayMode))
            return settings;
        for (bool& on : display.groupFlags) {
            if (!flag(on))
                return settings;
        }
        if (!number(display.controlModeMask))
            return settings;
        for (bool& on : display.controlModeFlags) {
            if (!flag(on))
                return settings;
        }
    }

    // The link keys: station, RS-485 and baud rate may each be missing; the frame format line
    // must come last.
    line = in.Next();
    if (!line)
        return settings;
    if (line->contains(kStationKey)) {
        link.StationID = ValueAfter(*line, kStationKey);
        if (!(line = in.Next()))
            return settings;
    }
    if (line->contains(kRs485Key)) {
        link.RS485Port = ValueAfter(*line, kRs485Key) != 0;
        if (!(line = in.Next()))
            return settings;
    }
    if (line->contains(kBaudKey)) {
        // Not range-checked here: connecting checks the index.
        link.BaudRateIndex = ValueAfter(*line, kBaudKey);
        if (!(line = in.Next()))
            return settings;
    }
    if (!line->contains(kFrameFormatKey))
        return settings;
    link.FrameFormat = ValueAfter(*line, kFrameFormatKey);
    if (link.FrameFormat < 0 || link.FrameFormat > kHighestFrameFormat)
        link.FrameFormat = 0;
    link.AsciiMode = link.FrameFormat < kFirstRtuFrameFormat;

    // The echo, the serial device of each COM number, one "COMn=device" line each, and the
    // online editor's panels, after the frame format line. Entries without a usable line keep
    // their defaults.
    OnlinePanelCodes onlineCodes{};
    while ((line = in.Next())) {
        if (!ReadEchoLine(*line, link.Echo) && !ReadOnlinePanelLine(*line, onlineCodes))
            ReadDeviceLine(*line, settings.comDevices);
    }
    settings.onlineCodes = UsablePanelCodes(onlineCodes);
    return settings;
}

AppSettings ReadSettingsFile(const QString& path) {
    QByteArray bytes;
    if (!ReadFileWithLimit(path, kMaxSettingsFileBytes, &bytes, nullptr))
        return {};
    return ParseSettings(bytes);
}

QByteArray FormatSettings(const AppSettings& settings) {
    const LinkSettings& link = settings.link;
    const DisplaySettings& display = settings.display;
    QByteArray out;
    AppendLine(out, kFirstLine);
    AppendLine(out, kSettingsVersionLine);
    AppendLine(out, kSystemSection);
    AppendLine(out, kComPortKey.toByteArray() + QByteArray::number(link.ComPort));

    AppendLine(out, kCustomSection);
    AppendNumberLine(out, settings.customTable.Count());
    for (const CustomEntry& entry : settings.customTable.Entries) {
        AppendNumberLine(out, entry.Group);
        char index[16];
        std::snprintf(index, sizeof index, "%02d", static_cast<int>(entry.Index));
        AppendLine(out, index);
    }

    AppendLine(out, kDisplaySection);
    AppendNumberLine(out, display.DisplayMode);
    for (const bool on : display.groupFlags)
        AppendNumberLine(out, on ? 1 : 0);
    AppendNumberLine(out, display.controlModeMask);
    for (const bool on : display.controlModeFlags)
        AppendNumberLine(out, on ? 1 : 0);

    AppendLine(out, kStationKey.toByteArray() + QByteArray::number(link.StationID));
    AppendLine(out, kRs485Key.toByteArray() + QByteArray::number(link.RS485Port ? 1 : 0));
    AppendLine(out, kBaudKey.toByteArray() + QByteArray::number(link.BaudRateIndex));
    AppendLine(out, kFrameFormatKey.toByteArray() + QByteArray::number(link.FrameFormat));
    AppendLine(out, kEchoKey.toByteArray() + QByteArray::number(static_cast<int>(link.Echo)));

    // A device name that could not be read back (empty, or one that would break the line) is
    // left out; that COM number then reads its default device.
    for (int i = 0; i < kComPortCount; ++i) {
        const QString& device = settings.comDevices[static_cast<size_t>(i)];
        if (IsUsableDeviceName(device))
            AppendLine(out, "COM" + QByteArray::number(i + 1) + '=' + device.toUtf8());
    }
    for (int p = 0; p < kOnlinePanelCount; ++p) {
        const ParamCode code = settings.onlineCodes[static_cast<size_t>(p)];
        if (code.letter != 0)
            AppendLine(out, kOnlinePanelKey.toByteArray() + QByteArray::number(p + 1) + '=' +
                                code.Text().toLatin1());
    }
    return out;
}

bool WriteSettingsFile(const QString& path, const AppSettings& settings, QString* errorText) {
    auto fail = [&](const QString& reason) {
        if (errorText) {
            *errorText =
                QStringLiteral("无法写入设定文件 \"%1\"：%2").arg(PathForMessage(path), reason);
        }
        return false;
    };
    if (path.isEmpty())
        return fail(QStringLiteral("没有文件名"));
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return fail(QStringLiteral("无法建立文件夹 \"%1\"").arg(PathForMessage(folder)));

    QString reason;
    if (!WriteFileAtomically(path, FormatSettings(settings), &reason))
        return fail(reason);
    return true;
}

QString ResolveSettingsPath(const QString& overridePath, const QString& programFolder,
                            const QString& configFolder) {
    if (!overridePath.isEmpty())
        return overridePath;
    const QString portable = QDir(programFolder).filePath(QLatin1String(kSettingsFileName));
    if (!programFolder.isEmpty() && QFileInfo(portable).isFile())
        return portable;
    if (!configFolder.isEmpty())
        return QDir(configFolder).filePath(QLatin1String(kSettingsFileName));
    return portable;
}

QString LocateSettingsFile(const QString& overridePath) {
    return ResolveSettingsPath(overridePath, QCoreApplication::applicationDirPath(),
                               QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
}

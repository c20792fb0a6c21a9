#include "app/SettingsFile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <functional>
#include <limits>

#include <sys/resource.h>
#include <unistd.h>

// Failures show the settings as the file they would make.
static void PrintTo(const AppSettings& s, std::ostream* os) {
    *os << FormatSettings(s).replace("\r\n", "|").toStdString();
}

namespace {

// Settings that differ from the defaults in every field the file holds.
AppSettings Sample() {
    AppSettings s;
    s.link = {3, 7, true, 4, 7, false};        // COM4, station 7, RS-485, 57600 bps, RTU
    s.customTable.Entries = {{1, 9}, {4, 15}}; // Cn010, Pn316
    s.link.Echo = EchoMode::On;
    s.display.DisplayMode = 1;
    s.display.groupFlags = {false, true, false, true, true, false, true};
    s.display.controlModeMask = 0x0110;
    s.display.controlModeFlags = {false, true, true, false};
    s.comDevices[2] = QStringLiteral("/dev/ttyS2");
    return s;
}

const QByteArray kSampleFile = "[Orvan Servo]\r\n"
                               "Version=v0.9.080331\r\n"
                               "[System]\r\n"
                               "ComPort=3\r\n"
                               "[Definite Parameter]\r\n"
                               "2\r\n1\r\n09\r\n4\r\n15\r\n"
                               "[Display Setting]\r\n"
                               "1\r\n"
                               "0\r\n1\r\n0\r\n1\r\n1\r\n0\r\n1\r\n"
                               "272\r\n"
                               "0\r\n1\r\n1\r\n0\r\n"
                               "StationID=7\r\n"
                               "RS485Port=1\r\n"
                               "BaudRateIndex=4\r\n"
                               "RTUMode=7\r\n"
                               "Echo=1\r\n"
                               "COM1=/dev/ttyUSB0\r\n"
                               "COM2=/dev/ttyUSB1\r\n"
                               "COM3=/dev/ttyS2\r\n"
                               "COM4=/dev/ttyUSB3\r\n"
                               "COM5=/dev/ttyUSB4\r\n"
                               "COM6=/dev/ttyUSB5\r\n"
                               "COM7=/dev/ttyUSB6\r\n"
                               "COM8=/dev/ttyUSB7\r\n";

// Line numbers (from 0) in kSampleFile.
enum SampleLine {
    kVersion = 1,
    kSystem = 2,
    kComPort = 3,
    kCustomHeader = 4,
    kCount = 5,
    kFirstEntry = 6,
    kDisplayHeader = 10,
    kFirstGroupFlag = 12,
    kMask = 19,
    kFirstModeFlag = 20,
    kStation = 24,
    kRs485 = 25,
    kBaud = 26,
    kRtuMode = 27,
    kEcho = 28,
    kCom1 = 29,
    kCom3 = 31
};

QList<QByteArray> SampleLines() {
    QList<QByteArray> lines = kSampleFile.split('\n');
    lines.removeLast();
    for (QByteArray& line : lines)
        line.chop(1);
    return lines;
}

QByteArray Join(const QList<QByteArray>& lines, const QByteArray& end = "\r\n") {
    QByteArray out;
    for (const QByteArray& line : lines)
        out += line + end;
    return out;
}

// The sample file changed by `edit`.
QByteArray SampleWith(const std::function<void(QList<QByteArray>&)>& edit) {
    QList<QByteArray> lines = SampleLines();
    edit(lines);
    return Join(lines);
}

QByteArray SampleWithLine(int line, const QByteArray& text) {
    return SampleWith([&](QList<QByteArray>& lines) { lines[line] = text; });
}

QByteArray SampleWithout(int first, int count) {
    return SampleWith([&](QList<QByteArray>& lines) { lines.remove(first, count); });
}

QByteArray SampleUpTo(int lineCount) {
    return SampleWith([&](QList<QByteArray>& lines) { lines.resize(lineCount); });
}

// Only the lines before `lineCount` of the sample were read.
AppSettings SampleReadUpTo(int lineCount) {
    AppSettings s;
    const AppSettings full = Sample();
    if (lineCount > kComPort)
        s.link.ComPort = full.link.ComPort;
    if (lineCount > kFirstEntry + 1)
        s.customTable.Entries.append(full.customTable.Entries[0]);
    if (lineCount > kFirstEntry + 3)
        s.customTable.Entries.append(full.customTable.Entries[1]);
    return s;
}

template <typename Change> AppSettings SampleChanged(Change change) {
    AppSettings s = Sample();
    change(s);
    return s;
}

AppSettings SampleWithFrameFormat(int32_t format, bool ascii) {
    return SampleChanged([&](AppSettings& s) {
        s.link.FrameFormat = format;
        s.link.AsciiMode = ascii;
    });
}

struct ReadCase {
    const char* name;
    QByteArray content;
    AppSettings expected;
};

void PrintTo(const ReadCase& c, std::ostream* os) {
    *os << c.name;
}

class SettingsRead : public testing::TestWithParam<ReadCase> {};

TEST_P(SettingsRead, KeepsWhatIsReadUpToTheFirstLineOutOfOrder) {
    EXPECT_EQ(ParseSettings(GetParam().content), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    SettingsQuirks, SettingsRead,
    testing::Values(
        ReadCase{"CrLf", kSampleFile, Sample()},
        ReadCase{"Lf", Join(SampleLines(), "\n"), Sample()},
        ReadCase{"LastLineWithoutLineEnd", kSampleFile.chopped(2), Sample()},
        ReadCase{"Empty", "", AppSettings{}},
        // Line 1 is compared whole: a trailing blank or a stray CR makes the file ignored.
        ReadCase{"FirstLineTrailingBlank", SampleWithLine(0, "[Orvan Servo] "), AppSettings{}},
        ReadCase{"FirstLineExtraCr", SampleWithLine(0, "[Orvan Servo]\r"), AppSettings{}},
        ReadCase{"VersionNotChecked", SampleWithLine(kVersion, "Version=v1.0"), Sample()},
        ReadCase{"SystemSectionMissing", SampleWithLine(kSystem, "[Sys]"), AppSettings{}},
        ReadCase{"SystemFoundInsideLine", SampleWithLine(kSystem, " [System] x"), Sample()},
        ReadCase{"ComPortMissing", SampleWithout(kComPort, 1), AppSettings{}},
        ReadCase{"ComPort8", SampleWithLine(kComPort, "ComPort=8"),
                 SampleChanged([](AppSettings& s) { s.link.ComPort = 0; })},
        ReadCase{"ComPort7", SampleWithLine(kComPort, "ComPort=7"),
                 SampleChanged([](AppSettings& s) { s.link.ComPort = 7; })},
        ReadCase{"ComPortNegative", SampleWithLine(kComPort, "ComPort=-1"),
                 SampleChanged([](AppSettings& s) { s.link.ComPort = 0; })},
        // The value is taken after the key's length from the line start: here "=5".
        ReadCase{"ComPortKeyIndented", SampleWithLine(kComPort, " ComPort=5"),
                 SampleChanged([](AppSettings& s) { s.link.ComPort = 0; })},
        // Without the custom block its missing header's read takes the display header, the
        // display block is passed over and the link keys are looked for on display lines.
        ReadCase{"CustomBlockMissing", SampleWithout(kCustomHeader, kDisplayHeader - kCustomHeader),
                 SampleReadUpTo(kCustomHeader)},
        ReadCase{"CountAboveEntries", SampleWithLine(kCount, "5"), Sample()},
        ReadCase{"CountEndsAfterGroupLine", SampleWith([](QList<QByteArray>& lines) {
                     lines[kCount] = "3";
                     lines.insert(kDisplayHeader, "6");
                 }),
                 Sample()},
        ReadCase{"CountAboveEntriesAtEnd", SampleWith([](QList<QByteArray>& lines) {
                     lines[kCount] = "2147483647";
                     lines.resize(kDisplayHeader);
                 }),
                 SampleReadUpTo(kDisplayHeader)},
        ReadCase{"CountBelowEntries", SampleWithLine(kCount, "1"), SampleReadUpTo(kFirstEntry + 2)},
        ReadCase{"CountNegative", SampleWith([](QList<QByteArray>& lines) {
                     lines[kCount] = "-2";
                     lines.remove(kFirstEntry, 4);
                 }),
                 SampleChanged([](AppSettings& s) { s.customTable.Entries.clear(); })},
        ReadCase{"EndsAfterCount", SampleUpTo(kFirstEntry), SampleReadUpTo(kFirstEntry)},
        ReadCase{"DisplayBlockMissing", SampleWithout(kDisplayHeader, kStation - kDisplayHeader),
                 SampleChanged([](AppSettings& s) {
                     s.display = {};
                     s.link.StationID = 1; // its line was read where the header was expected
                 })},
        ReadCase{"EndsInsideDisplayBlock", SampleUpTo(kFirstGroupFlag + 4),
                 [] {
                     AppSettings s = SampleReadUpTo(kDisplayHeader);
                     s.display.DisplayMode = 1;
                     s.display.groupFlags = {false, true, false, true, true, true, true};
                     return s;
                 }()},
        ReadCase{"DisplayFlagsAnyNonZeroIsOn", SampleWith([](QList<QByteArray>& lines) {
                     lines[kFirstGroupFlag] = "2";
                     lines[kFirstGroupFlag + 1] = "x";
                     lines[kFirstModeFlag] = "-1";
                     lines[kMask] = "4097";
                 }),
                 SampleChanged([](AppSettings& s) {
                     s.display.groupFlags[0] = true;
                     s.display.groupFlags[1] = false;
                     s.display.controlModeFlags[0] = true;
                     s.display.controlModeMask = 0x1001;
                 })},
        ReadCase{"StationMissing", SampleWithout(kStation, 1),
                 SampleChanged([](AppSettings& s) { s.link.StationID = 1; })},
        ReadCase{"StationAtoi", SampleWithLine(kStation, "StationID=12abc"),
                 SampleChanged([](AppSettings& s) { s.link.StationID = 12; })},
        ReadCase{"Rs485Missing", SampleWithout(kRs485, 1),
                 SampleChanged([](AppSettings& s) { s.link.RS485Port = false; })},
        ReadCase{"Rs485AnyNonZero", SampleWithLine(kRs485, "RS485Port=2"), Sample()},
        ReadCase{"BaudMissing", SampleWithout(kBaud, 1),
                 SampleChanged([](AppSettings& s) { s.link.BaudRateIndex = 1; })},
        ReadCase{"BaudNotChecked", SampleWithLine(kBaud, "BaudRateIndex=9"),
                 SampleChanged([](AppSettings& s) { s.link.BaudRateIndex = 9; })},
        ReadCase{"KeysOutOfOrder",
                 SampleWith([](QList<QByteArray>& lines) { lines.swapItemsAt(kStation, kBaud); }),
                 SampleChanged([](AppSettings& s) {
                     s.link = {3, 1, false, 4, 0, true}; // baud read, then RTUMode not found
                     s.comDevices = DefaultComDevices();
                 })},
        // The device lines come after the frame format line and are not reached without it.
        ReadCase{"RtuModeMissing", SampleWithout(kRtuMode, 1), SampleChanged([](AppSettings& s) {
                     s.link.FrameFormat = 0;
                     s.link.AsciiMode = true;
                     s.link.Echo = EchoMode::Automatic;
                     s.comDevices = DefaultComDevices();
                 })},
        ReadCase{"RtuMode9", SampleWithLine(kRtuMode, "RTUMode=9"), SampleWithFrameFormat(0, true)},
        ReadCase{"RtuMode8", SampleWithLine(kRtuMode, "RTUMode=8"),
                 SampleWithFrameFormat(8, false)},
        ReadCase{"RtuMode5", SampleWithLine(kRtuMode, "RTUMode=5"), SampleWithFrameFormat(5, true)},
        ReadCase{"EchoOff", SampleWithLine(kEcho, "Echo=0"),
                 SampleChanged([](AppSettings& s) { s.link.Echo = EchoMode::Off; })},
        // A value the program does not know reads as automatic, the safe choice on any line.
        ReadCase{"EchoBadValue", SampleWithLine(kEcho, "Echo=3"),
                 SampleChanged([](AppSettings& s) { s.link.Echo = EchoMode::Automatic; })},
        ReadCase{"EchoMissing", SampleWithout(kEcho, 1),
                 SampleChanged([](AppSettings& s) { s.link.Echo = EchoMode::Automatic; })},
        ReadCase{"DeviceLinesMissing", SampleUpTo(kCom1),
                 SampleChanged([](AppSettings& s) { s.comDevices = DefaultComDevices(); })},
        ReadCase{"DeviceLinesAnyOrderLastWins", SampleWith([](QList<QByteArray>& lines) {
                     lines.resize(kCom1);
                     lines << "Future=1"
                           << "COM8=/dev/ttyACM0"
                           << "COM3=/dev/ttyS9"
                           << "COM3=/dev/ttyS2";
                 }),
                 SampleChanged([](AppSettings& s) {
                     s.comDevices = DefaultComDevices();
                     s.comDevices[2] = "/dev/ttyS2";
                     s.comDevices[7] = "/dev/ttyACM0";
                 })},
        ReadCase{"DeviceUtf8", SampleWithLine(kCom3, "COM3=/dev/serial/by-id/usb-Ä_2303"),
                 SampleChanged([](AppSettings& s) {
                     s.comDevices[2] = QString::fromUtf8("/dev/serial/by-id/usb-Ä_2303");
                 })}),
    [](const testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

// A malformed device line is passed over: that COM number keeps its default device.
TEST(SettingsReadDevice, MalformedLineKeepsTheDefault) {
    const QByteArray malformed[] = {
        "COM3=",           "COM3= /dev/ttyS2",  "COM3=/dev/ttyS2 ",   "com3=/dev/ttyS2",
        "COM3:/dev/ttyS2", "COM 3=/dev/ttyS2",  "COM0=/dev/ttyS2",    "COM9=/dev/ttyS2",
        "COM33=/dev/ttyS", "COM3=/dev/\x01tty", "COM3=/dev/\xff\xfe", "COM3",
    };
    for (const QByteArray& line : malformed) {
        const AppSettings read = ParseSettings(SampleWithLine(kCom3, line));
        EXPECT_EQ(read.comDevices, DefaultComDevices()) << line.toStdString();
        EXPECT_EQ(read.link, Sample().link) << line.toStdString();
    }
}

TEST(SettingsReadDecimal, ReadsLikeTheCLibrary) {
    constexpr int32_t max = std::numeric_limits<int32_t>::max();
    constexpr int32_t min = std::numeric_limits<int32_t>::min();
    const struct {
        const char* text;
        int32_t value;
    } cases[] = {
        {"12abc", 12},       {"  -5", -5},        {"+8", 8},
        {"\t\v\f 3x", 3},    {"abc", 0},          {"", 0},
        {"+-3", 0},          {"0x1F", 0},         {"007", 7},
        {"2147483647", max}, {"2147483648", max}, {"-2147483649", min},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecimalPrefixValue(c.text), c.value) << '"' << c.text << '"';
}

TEST(SettingsWrite, UnusableDeviceIsLeftOutAndReadsItsDefault) {
    AppSettings s = Sample();
    s.comDevices[4].clear();
    s.comDevices[5] = QStringLiteral("/dev/tty\r\nRTUMode=0");
    const QByteArray text = FormatSettings(s);
    EXPECT_FALSE(text.contains("COM5="));
    EXPECT_FALSE(text.contains("COM6="));
    const AppSettings read = ParseSettings(text);
    EXPECT_EQ(read.comDevices[4], "/dev/ttyUSB4");
    EXPECT_EQ(read.comDevices[5], "/dev/ttyUSB5");
    EXPECT_EQ(read.link, s.link);
}

TEST(SettingsOnlinePanels, ReadBackAndWhatAPanelCannotShowLeavesItUnused) {
    AppSettings s = Sample();
    s.onlineCodes = {ParamCode{'S', 11}, ParamCode{}, ParamCode{'P', 8}, ParamCode{'q', 5}};
    const QByteArray text = FormatSettings(s);
    EXPECT_TRUE(text.endsWith("COM8=/dev/ttyUSB7\r\nOnlinePanel1=Sn211\r\nOnlinePanel3=Pn308\r\n"
                              "OnlinePanel4=qn405\r\n"));
    EXPECT_EQ(ParseSettings(text), s);

    // A contact parameter, a twin of an earlier panel, a panel that does not exist, a short code.
    const AppSettings read = ParseSettings(kSampleFile + "OnlinePanel1=qn401\r\nOnlinePanel2=Sn211\r\n"
                                                         "OnlinePanel3=Hn501\r\nOnlinePanel5=Cn003\r\n"
                                                         "OnlinePanel4=Cn3\r\n");
    EXPECT_EQ(read.onlineCodes,
              (OnlinePanelCodes{ParamCode{'q', 1}, ParamCode{}, ParamCode{}, ParamCode{}}));
    EXPECT_EQ(read.comDevices, Sample().comDevices);
}

TEST(SettingsWrite, SampleIsWrittenByteForByteAndEverythingReadsBack) {
    AppSettings other;
    other.link = {7, 247, false, 12, 0, true};
    other.customTable.Entries = {{6, 18}, {0, 0}, {5, -1}};
    other.display.DisplayMode = 2;
    other.display.groupFlags.fill(false);
    other.display.controlModeMask = -1;
    other.display.controlModeFlags.fill(false);
    other.comDevices[0] = QStringLiteral("/dev/pts/7");
    other.comDevices[7] = QStringLiteral("ttyS0");

    AppSettings many = Sample(); // beyond the 180 slots the list once had
    many.customTable.Entries.clear();
    for (int i = 0; i < 250; ++i)
        many.customTable.Entries.append({1 + i % 6, i % 70});

    EXPECT_EQ(FormatSettings(Sample()), kSampleFile);
    for (const AppSettings& s : {AppSettings{}, Sample(), other, many})
        EXPECT_EQ(ParseSettings(FormatSettings(s)), s);
    EXPECT_EQ(ParseSettings(FormatSettings(many)).customTable.Count(), 250);
}

class SettingsFileIo : public testing::Test {
protected:
    QString PathOf(const QString& name) const { return dir.filePath(name); }

    static QByteArray Contents(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }

    static void Put(const QString& path, const QByteArray& content) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    QTemporaryDir dir;
};

TEST_F(SettingsFileIo, ReadsTheFileOrDefaultsWhenThereIsNone) {
    Put(PathOf(kSettingsFileName), kSampleFile);
    EXPECT_EQ(ReadSettingsFile(PathOf(kSettingsFileName)), Sample());
    EXPECT_EQ(ReadSettingsFile(PathOf("missing.ini")), AppSettings{});
    EXPECT_EQ(ReadSettingsFile(dir.path()), AppSettings{});
}

TEST_F(SettingsFileIo, WriteCreatesTheFolderAndReplacesTheOldFile) {
    const QString path = PathOf("new/folder/OrvanServo.ini");
    QString error;
    ASSERT_TRUE(WriteSettingsFile(path, Sample(), &error)) << error.toStdString();
    EXPECT_EQ(Contents(path), kSampleFile);

    AppSettings many = Sample();
    many.customTable.Entries.fill({1, 1}, 200);
    ASSERT_TRUE(WriteSettingsFile(path, many));
    ASSERT_TRUE(WriteSettingsFile(path, AppSettings{}));
    EXPECT_EQ(Contents(path), FormatSettings(AppSettings{}));
    EXPECT_EQ(QDir(PathOf("new/folder")).entryList(QDir::Files), QStringList{kSettingsFileName});
}

// A write that fails leaves what was there before and no temporary file beside it.
TEST_F(SettingsFileIo, FailedWriteLeavesTheOldFileIntact) {
    const QByteArray old = "[Orvan Servo]\r\nold\r\n";

    // The target is a folder.
    ASSERT_TRUE(QDir(dir.path()).mkpath("asFolder/OrvanServo.ini/inside"));
    QString error;
    EXPECT_FALSE(WriteSettingsFile(PathOf("asFolder/OrvanServo.ini"), Sample(), &error));
    EXPECT_TRUE(error.contains(PathOf("asFolder/OrvanServo.ini"))) << error.toStdString();
    EXPECT_TRUE(QFileInfo(PathOf("asFolder/OrvanServo.ini/inside")).isDir());
    EXPECT_EQ(QDir(PathOf("asFolder")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{kSettingsFileName});

    // The folder cannot be made: a file stands in its place.
    Put(PathOf("plain"), old);
    error.clear();
    EXPECT_FALSE(WriteSettingsFile(PathOf("plain/OrvanServo.ini"), Sample(), &error));
    EXPECT_TRUE(error.contains(PathOf("plain/OrvanServo.ini"))) << error.toStdString();
    EXPECT_EQ(Contents(PathOf("plain")), old);

    // The disk refuses the content part way (a file size limit, which holds even for root).
    ASSERT_TRUE(QDir(dir.path()).mkdir("full"));
    const QString path = PathOf("full/OrvanServo.ini");
    Put(path, old);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto savedHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    error.clear();
    const bool written = WriteSettingsFile(path, Sample(), &error);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, savedHandler);
    EXPECT_FALSE(written);
    EXPECT_TRUE(error.contains(path)) << error.toStdString();
    EXPECT_EQ(Contents(path), old);
    EXPECT_EQ(QDir(PathOf("full")).entryList(QDir::Files), QStringList{kSettingsFileName});
}

TEST_F(SettingsFileIo, PathResolution) {
    const QString portable = PathOf("portable");
    const QString installed = PathOf("installed");
    const QString folderNamedLikeTheFile = PathOf("odd");
    QDir(dir.path()).mkpath("portable");
    QDir(dir.path()).mkpath("installed");
    QDir(dir.path()).mkpath("odd/OrvanServo.ini");
    Put(portable + "/OrvanServo.ini", kSampleFile);
    const QString config = PathOf("config");

    const struct {
        QString overridePath, programFolder, configFolder, expected;
    } cases[] = {
        {"/elsewhere/my.ini", portable, config, "/elsewhere/my.ini"},
        {"", portable, config, portable + "/OrvanServo.ini"},
        {"", installed, config, config + "/OrvanServo.ini"},
        {"", folderNamedLikeTheFile, config, config + "/OrvanServo.ini"},
        {"", installed, "", installed + "/OrvanServo.ini"},
        {"", "", config, config + "/OrvanServo.ini"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ResolveSettingsPath(c.overridePath, c.programFolder, c.configFolder), c.expected)
            << c.programFolder.toStdString() << " | " << c.configFolder.toStdString();
    }
}

} // namespace

// The main view's link session against the simulated drive: the timer's connect, re-probe and
// poll, the port dialog's connect on RS-232 and RS-485 and the status bar texts. The drive sits on
// an in-memory port, so every time-out passes on the port's own clock; only the pulled cable is
// tried on the system's port against orvan-drive-sim.

#include "app/DriveSession.h"

#include "base/Messenger.h"
#include "link/DriveOperations.h"
#include "link/MemorySerialBackend.h"
#include "params/NolvaServoDoc.h"
#include "sim/MemoryPortDrive.h"
#include "sim/SimulatedDrive.h"
#include "support/CliTestSupport.h"
#include "support/CoreApplication.h"
#include "support/SimTestSupport.h"
#include "support/TransferRig.h"
#include "trace/DriveTrace.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>
#include <vector>

namespace {

using simtest::Cmd;

const QString kLinkLostText = QStringLiteral("通讯错误！！\n\n断开 !!");
const QString kCannotOpenText = QStringLiteral("通讯错误！！\n\n无法打开COM端口！");
const QString kNoAnswerText = QStringLiteral("计算机和伺服驱动器之间通讯错误。");
const QString kCaption = QStringLiteral("通讯信息");

// The six status reads of one poll, in order.
const QStringList kPollReads{Cmd("R510"), Cmd("R666"), Cmd("R5E2"),
                             Cmd("R50C"), Cmd("R547"), Cmd("R660")};
const QString kProbe = Cmd("R6CB");

// Everything the session tells the windows, in order.
class RecordingObserver : public SessionObserver {
public:
    void PaneChanged(int pane) override { panes.push_back(pane); }
    void LinkStateChanged() override { ++stateChanges; }
    void LinkDropped() override { ++drops; }
    bool PollMonitors() override {
        ++monitorPolls;
        return true;
    }

    std::vector<int> panes;
    int stateChanges = 0;
    int drops = 0;
    int monitorPolls = 0;
};

class DriveSessionTest : public ::testing::Test {
protected:
    explicit DriveSessionTest(DriveLinkOptions options = {}) : drive({}, options) {
        AttachToMemoryPort(drive, *port);
        settings.link.RS485Port = options.rs485;
        settings.link.StationID = options.station;
        settings.link.FrameFormat = options.frameFormat;
        settings.link.AsciiMode = options.AsciiMode();
        session.SetObserver(&observer);
    }

    // Ticks while the link is not wanted, so that the next wanted tick connects at once.
    void LetConnectBecomeDue() {
        while (session.TickCount() < DriveSession::kTicksBetweenConnects) {
            session.OnTimerTick();
        }
    }

    // "连线(&C)" and the tick that connects (and polls).
    void ConnectByTimer() {
        LetConnectBecomeDue();
        session.RequestLink();
        session.OnTimerTick();
    }

    void DialogChoose(PortChoice choice) {
        session.DialogConnect([choice](const PortChoice&, bool) { return choice; });
    }

    QStringList Texts(int first = 0) const {
        QStringList texts;
        for (const Message& m : messenger.messages.mid(first)) {
            texts << m.text;
        }
        return texts;
    }

    QStringList PaneTexts() const {
        QStringList texts;
        for (int pane = 0; pane < 8; ++pane) {
            texts << session.PaneText(pane);
        }
        return texts;
    }

    SimulatedDrive drive;
    MemorySerialBackend* port = new MemorySerialBackend;
    AppSettings settings;
    DriveProfile profile;
    DriveStatus status;
    CNolvaServoDoc document;
    RecordingMessenger messenger;
    RecordingObserver observer;
    DriveSession session{settings, profile,   status,
                         document, messenger, std::unique_ptr<SerialBackend>(port)};
};

TEST_F(DriveSessionTest, TimerConnectProbesThenPollsAndNamesThePortByItsComNumber) {
    drive.SetInputContacts(0x0015);
    LetConnectBecomeDue();
    EXPECT_TRUE(port->Writes().isEmpty()) << "nothing is sent while the link is not wanted";

    session.RequestLink();
    session.OnTimerTick();

    EXPECT_TRUE(session.LinkUp());
    EXPECT_EQ(session.TickCount(), 0);
    EXPECT_EQ(port->Device(), "/dev/ttyUSB0");
    EXPECT_EQ(session.Link().DeviceName(), "COM1");
    EXPECT_EQ(port->LineFormat(), (LineFormat{9600, 8, 0, 0}));
    EXPECT_EQ(document.diagnosticsSnapshot[2], 0x0015) << "the probe stores dn-03";
    EXPECT_EQ(drive.RequestLog(), QStringList{kProbe} + kPollReads);
    EXPECT_EQ(observer.monitorPolls, 1);

    session.Disconnect();
    EXPECT_FALSE(session.LinkUp());
    EXPECT_FALSE(port->IsOpen());
    const qsizetype writes = port->Writes().size();
    for (int i = 0; i < 25; ++i) {
        session.OnTimerTick();
    }
    EXPECT_EQ(port->Writes().size(), writes);
    EXPECT_TRUE(messenger.messages.isEmpty()) << "closing an open port says nothing";
}

TEST_F(DriveSessionTest, FirstConnectWaitsUntilTenTicksHavePassedSinceTheLastAttempt) {
    session.RequestLink();
    int ticks = 0;
    while (!session.LinkUp() && ticks < 50) {
        session.OnTimerTick();
        ++ticks;
    }
    EXPECT_EQ(ticks, 11) << "ten ticks count up from the start, the eleventh connects";

    // A live link is probed again once ten more ticks have passed, and polled on every tick.
    drive.ClearRequestLog();
    for (int i = 0; i < 10; ++i) {
        session.OnTimerTick();
    }
    EXPECT_FALSE(drive.RequestLog().contains(kProbe));
    EXPECT_EQ(drive.RequestLog().size(), 10 * kPollReads.size());
    drive.ClearRequestLog();
    session.OnTimerTick();
    EXPECT_EQ(drive.RequestLog(), QStringList{kProbe} + kPollReads);
}

TEST_F(DriveSessionTest, DriveThatStopsAnsweringIsDroppedAtTheNextProbeWithTopmostMessage) {
    ConnectByTimer();
    ASSERT_TRUE(session.LinkUp());
    drive.SetHungUp(true);
    drive.ClearRequestLog();
    observer.panes.clear();

    int ticks = 0;
    while (session.LinkRequested() && ticks < 30) {
        session.OnTimerTick();
        ++ticks;
        EXPECT_TRUE(messenger.messages.isEmpty() || !session.LinkRequested())
            << "failed polls are silent";
    }
    EXPECT_LE(ticks, DriveSession::kTicksBetweenConnects + 1);
    // Ten silent polls each gave up after three attempts at the first read; then three probes.
    const QStringList log = drive.RequestLog();
    ASSERT_GE(log.size(), 3);
    EXPECT_EQ(log.mid(log.size() - 3), (QStringList{kProbe, kProbe, kProbe}));
    EXPECT_EQ(log.count(Cmd("R510")), 3 * (ticks - 1));

    ASSERT_EQ(messenger.messages.size(), 1);
    const Message& m = messenger.messages[0];
    EXPECT_EQ(m.text, kLinkLostText);
    EXPECT_TRUE(m.topmost);

    EXPECT_FALSE(session.LinkUp());
    EXPECT_FALSE(port->IsOpen());
    EXPECT_EQ(observer.drops, 1);
    // Pane 3 first, then every pane that shows the link's absence.
    ASSERT_GE(observer.panes.size(), 8u);
    EXPECT_EQ(std::vector<int>(observer.panes.end() - 8, observer.panes.end()),
              (std::vector<int>{3, 0, 1, 2, 4, 5, 6, 7}));
}

// A trace read-back or a whole-set read that fails because the drive went away tells its own
// failure; the probe that then drops the link adds no second box. Once a probe is answered again,
// a later loss is told.
TEST_F(DriveSessionTest, FailedReadBackIsTheOnlyMessageWhenTheProbeThenFindsTheDriveGone) {
    ConnectByTimer();
    ASSERT_TRUE(session.LinkUp());
    DriveTrace trace(session.Connection(), profile, messenger);
    TraceData data;
    const auto dropLink = [&] {
        int ticks = 0;
        while (session.LinkRequested() && ticks < 30) {
            session.OnTimerTick();
            ++ticks;
        }
    };

    drive.SetHungUp(true);
    EXPECT_FALSE(trace.ReadBack(TraceSettings{}, data, nullptr));
    dropLink();
    EXPECT_FALSE(session.LinkUp());
    EXPECT_EQ(Texts(), QStringList{QStringLiteral("错误:\n\n1/2048--->(0000H)")});

    // The same for a whole-set read, whose failure the parameter path tells.
    drive.SetHungUp(false);
    ConnectByTimer();
    ASSERT_TRUE(session.LinkUp());
    drive.SetHungUp(true);
    EXPECT_FALSE(session.Connection().Transfer().ReadAll());
    dropLink();
    ASSERT_EQ(messenger.messages.size(), 2);
    EXPECT_TRUE(messenger.messages[1].text.startsWith(QStringLiteral("错误:\n\n")))
        << messenger.messages[1].text.toStdString();
    messenger.messages.clear();

    // A failure followed by an answered probe is forgotten.
    drive.SetHungUp(false);
    ConnectByTimer();
    ASSERT_TRUE(session.LinkUp());
    drive.SetHungUp(true);
    EXPECT_FALSE(trace.ReadBack(TraceSettings{}, data, nullptr));
    drive.SetHungUp(false);
    for (int i = 0; i <= DriveSession::kTicksBetweenConnects; ++i) {
        session.OnTimerTick();
    }
    ASSERT_TRUE(session.LinkUp()) << "the drive answered the probe again";
    drive.SetHungUp(true);
    dropLink();
    EXPECT_EQ(Texts(), (QStringList{QStringLiteral("错误:\n\n1/2048--->(0000H)"), kLinkLostText}));
}

TEST_F(DriveSessionTest, ProbeUnansweredOnFirstOpenClosesThePortAndStopsWanting) {
    drive.SetHungUp(true);
    ConnectByTimer();
    EXPECT_FALSE(session.LinkRequested());
    EXPECT_FALSE(session.PortOpen());
    EXPECT_FALSE(port->IsOpen());
    EXPECT_EQ(drive.RequestLog(), (QStringList{kProbe, kProbe, kProbe}));
    EXPECT_EQ(Texts(), QStringList{kLinkLostText});
}

TEST_F(DriveSessionTest, TimerKnowsFourBaudRowsAndTheDialogSix) {
    const struct {
        bool dialog;
        int index;
        uint32_t expectedBaud;
        int storedIndex;
    } cases[] = {
        {false, 3, 38400, 3}, {false, 4, 9600, 1}, {true, 5, 115200, 5}, {true, 6, 9600, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.dialog ? "dialog" : "timer") << " index " << c.index);
        if (c.dialog) {
            DialogChoose({0, c.index});
        } else {
            settings.link.BaudRateIndex = c.index;
            ConnectByTimer();
        }
        ASSERT_TRUE(session.LinkUp());
        EXPECT_EQ(port->LineFormat().baudRate, c.expectedBaud);
        EXPECT_EQ(settings.link.BaudRateIndex, c.storedIndex);
        session.Disconnect();
    }
}

class Rs485FrameFormatTest : public DriveSessionTest {
protected:
    Rs485FrameFormatTest() : DriveSessionTest(DriveLinkOptions{true, 1, 0}) {}
};

TEST_F(Rs485FrameFormatTest, OutOfRangeFormatBecomesZeroAndAsciiFollowsThePath) {
    const struct {
        bool dialog;
        int frameFormat;
        bool asciiBefore;
        int expectedFormat;
        bool expectedAscii;
        LineFormat line;
    } cases[] = {
        // The timer derives the mode from the format every time.
        {false, 12, false, 0, true, {9600, 7, 0, 2}},
        {false, 7, true, 7, false, {9600, 8, 2, 0}},
        {false, 2, false, 2, true, {9600, 7, 1, 0}},
        // The dialog turns ASCII on only when it replaces the format.
        {true, 12, false, 0, true, {9600, 7, 0, 2}},
        {true, 7, true, 7, true, {9600, 8, 2, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << (c.dialog ? "dialog" : "timer") << " format " << c.frameFormat);
        settings.link.FrameFormat = c.frameFormat;
        settings.link.AsciiMode = c.asciiBefore;
        if (c.dialog) {
            DialogChoose({0, 1});
        } else {
            ConnectByTimer();
        }
        EXPECT_TRUE(session.PortOpen());
        EXPECT_EQ(settings.link.FrameFormat, c.expectedFormat);
        EXPECT_EQ(settings.link.AsciiMode, c.expectedAscii);
        EXPECT_EQ(port->LineFormat(), c.line);
        session.Disconnect();
    }
}

TEST_F(DriveSessionTest, PortThatCannotBeOpenedIsRetriedSilentlyUntilItAppears) {
    port->openError = ENOENT;
    ConnectByTimer();
    EXPECT_TRUE(session.LinkRequested());
    EXPECT_FALSE(session.LinkUp());
    EXPECT_FALSE(session.PortOpen());
    EXPECT_EQ(session.PaneText(6), "信息: 通讯错误！！");
    EXPECT_EQ(observer.drops, 1);
    for (int i = 0; i < 22; ++i) {
        session.OnTimerTick();
    }
    EXPECT_EQ(port->OpenCount(), 0);
    EXPECT_TRUE(messenger.messages.isEmpty());
    EXPECT_TRUE(port->Writes().isEmpty());

    port->openError = 0;
    for (int i = 0; i < 11 && !session.LinkUp(); ++i) {
        session.OnTimerTick();
    }
    EXPECT_TRUE(session.LinkUp());
    EXPECT_EQ(session.PaneText(6), "信息: ");
}

struct DeviceProblem {
    int error;
    QString paragraph;
};

class DeviceProblemTest : public DriveSessionTest,
                          public ::testing::WithParamInterface<DeviceProblem> {};

TEST_P(DeviceProblemTest, TimerTellsOncePerRequestAndTheDialogAtOnceNamingTheDevice) {
    const DeviceProblem p = GetParam();
    settings.comDevices[0] = QStringLiteral("/dev/ttyACM3");
    port->openError = p.error;
    ConnectByTimer();
    for (int i = 0; i < 40; ++i) {
        session.OnTimerTick();
    }
    const QStringList once{kCannotOpenText + QStringLiteral("\n\n") + p.paragraph};
    EXPECT_EQ(Texts(), once);
    EXPECT_EQ(messenger.messages[0].caption, kCaption);
    EXPECT_EQ(messenger.messages[0].icon, MessageIcon::Error);
    EXPECT_TRUE(session.LinkRequested()) << "still wanted and retried";

    // Asking again is a new attempt that deserves the explanation again.
    session.Disconnect();
    ConnectByTimer();
    EXPECT_EQ(Texts(), once + once);

    session.Disconnect();
    settings.comDevices[2] = settings.comDevices[0];
    DialogChoose({2, 1});
    EXPECT_EQ(Texts(), once + once + once);
    EXPECT_FALSE(session.PortOpen());
    EXPECT_FALSE(session.LinkRequested());
}

const QString kNoPermission = QStringLiteral(
    "无法访问 /dev/ttyACM3：没有权限。请将当前用户加入 dialout 组，重新登录后再试：\n"
    "sudo usermod -aG dialout $USER");
const QString kNotADeviceFolder =
    QStringLiteral("无法打开 /dev/ttyACM3：这不是串口设备（是一个文件夹）。");
const QString kNotADevice = QStringLiteral("无法打开 /dev/ttyACM3：这不是串口设备。");

INSTANTIATE_TEST_SUITE_P(Errors, DeviceProblemTest,
                         ::testing::Values(DeviceProblem{EACCES, kNoPermission},
                                           DeviceProblem{EISDIR, kNotADeviceFolder},
                                           DeviceProblem{ENOTTY, kNotADevice}));

TEST_F(DriveSessionTest, ADetectedRs485LineSetsPortFormatAndStationBeforeTheDialogOpens) {
    session.DialogConnect([](const PortChoice&, bool) {
        return std::optional<PortChoice>(PortChoice{0, 2, DetectedLine{true, 7, 5}});
    });
    EXPECT_TRUE(settings.link.RS485Port);
    EXPECT_EQ(settings.link.FrameFormat, 7);
    EXPECT_FALSE(settings.link.AsciiMode);
    EXPECT_EQ(settings.link.StationID, 5);
    // The dialog's check went out as Modbus RTU to station 5, at the detected line.
    EXPECT_EQ(port->LineFormat(), (LineFormat{19200, 8, 2, 0}));
    ASSERT_FALSE(port->Writes().isEmpty());
    EXPECT_EQ(port->Writes().front().left(2), QByteArray::fromHex("0503"));
}

// Another program holds the port: the timer says so once per request and the dialog at once,
// naming the holder where its lock file does.
TEST_F(DriveSessionTest, PortInUseIsToldNamingTheHolder) {
    const QString text = QStringLiteral("通讯错误！！\n\n端口 /dev/ttyACM3 正被其他程序使用");
    settings.comDevices[0] = QStringLiteral("/dev/ttyACM3");
    port->openError = EBUSY;
    port->holder = PortHolder{4321, QStringLiteral("minicom")};
    ConnectByTimer();
    for (int i = 0; i < 25; ++i) {
        session.OnTimerTick();
    }
    session.Disconnect();
    port->holder.reset();
    DialogChoose({0, 1});
    // The detection of the port dialog opens the port too.
    port->holder = PortHolder{4321, QStringLiteral("minicom")};
    EXPECT_TRUE(session.Detect(QStringLiteral("/dev/ttyACM3"), {}).isEmpty());
    EXPECT_EQ(Texts(), (QStringList{text + QStringLiteral("（进程 4321，minicom）。"),
                                    text + QStringLiteral("。"),
                                    text + QStringLiteral("（进程 4321，minicom）。")}));
    EXPECT_EQ(messenger.messages[0].caption, kCaption);
}

TEST_F(DriveSessionTest, DialogOnRs232ProbesAndWantsTheLinkThenItsOkButtonDisconnects) {
    settings.link.ComPort = 1;
    PortChoice shown;
    bool shownRequested = true;
    session.DialogConnect([&](const PortChoice& current, bool requested) {
        shown = current;
        shownRequested = requested;
        EXPECT_TRUE(session.Busy());
        return std::optional<PortChoice>(PortChoice{2, 2});
    });
    EXPECT_EQ(shown.comPort, 1);
    EXPECT_EQ(shown.baudRateIndex, 1);
    EXPECT_FALSE(shownRequested);
    EXPECT_FALSE(session.Busy());

    EXPECT_TRUE(session.LinkUp());
    EXPECT_TRUE(session.LinkRequested());
    EXPECT_EQ(settings.link.ComPort, 2);
    EXPECT_EQ(settings.link.BaudRateIndex, 2);
    EXPECT_EQ(port->Device(), "/dev/ttyUSB2");
    EXPECT_EQ(session.Link().DeviceName(), "COM3");
    EXPECT_EQ(port->LineFormat(), (LineFormat{19200, 8, 0, 0}));
    EXPECT_EQ(drive.RequestLog(), QStringList{kProbe});
    EXPECT_GE(observer.stateChanges, 1);

    // OK now means "断开(&D)": the choice in the boxes is not taken.
    drive.ClearRequestLog();
    session.DialogConnect([&](const PortChoice&, bool requested) {
        shownRequested = requested;
        return std::optional<PortChoice>(PortChoice{5, 0});
    });
    EXPECT_TRUE(shownRequested);
    EXPECT_FALSE(session.LinkRequested());
    EXPECT_FALSE(port->IsOpen());
    EXPECT_EQ(settings.link.ComPort, 2);
    EXPECT_TRUE(drive.RequestLog().isEmpty());
}

TEST_F(DriveSessionTest, DialogCancelChangesNothing) {
    session.DialogConnect([](const PortChoice&, bool) { return std::optional<PortChoice>(); });
    EXPECT_EQ(port->OpenCount(), 0);
    EXPECT_EQ(settings.link.ComPort, 0);
    EXPECT_FALSE(session.LinkRequested());
    EXPECT_FALSE(session.Busy());
    EXPECT_TRUE(messenger.messages.isEmpty());
}

TEST_F(DriveSessionTest, DialogFailuresTellTheUserAndLeaveTheLinkOff) {
    // No drive answers: string 145.
    drive.SetHungUp(true);
    DialogChoose({0, 1});
    EXPECT_EQ(Texts(), QStringList{kNoAnswerText});
    EXPECT_FALSE(messenger.messages[0].topmost);
    EXPECT_FALSE(port->IsOpen());
    EXPECT_FALSE(session.LinkRequested());

    // A device that is not there: the plain open message.
    port->openError = ENOENT;
    DialogChoose({0, 1});
    EXPECT_EQ(Texts(1), QStringList{kCannotOpenText});
    EXPECT_FALSE(session.LinkUp());
}

TEST_F(DriveSessionTest, PortOverrideStandsForTheCurrentComNumberUntilAnotherIsChosen) {
    settings.link.ComPort = 3;
    session.SetPortOverride(QStringLiteral("/dev/pts/9"));
    EXPECT_EQ(session.DeviceOfComPort(3), "/dev/pts/9");
    EXPECT_EQ(session.DeviceOfComPort(2), "/dev/ttyUSB2");
    EXPECT_EQ(session.DeviceOfComPort(8), "");
    ConnectByTimer();
    EXPECT_EQ(port->Device(), "/dev/pts/9");
    EXPECT_EQ(session.Link().DeviceName(), "COM4");

    session.Disconnect();
    DialogChoose({5, 1});
    EXPECT_EQ(port->Device(), "/dev/ttyUSB5");
    EXPECT_EQ(session.DeviceOfComPort(3), "/dev/ttyUSB3");
}

// A drive on RS-485 and the Modbus check the dialog sends it: function 03, register 0, count 1.
// The check values were worked out apart from the frame builders (LRC by hand, CRC by a separate
// script).
struct Rs485Case {
    DriveLinkOptions options;
    const char* check;
};

class Rs485SessionTest : public DriveSessionTest, public ::testing::WithParamInterface<Rs485Case> {
protected:
    Rs485SessionTest() : DriveSessionTest(GetParam().options) {}
};

TEST_P(Rs485SessionTest, DialogChecksWithModbusAndLeavesThePortOpenForTheTimerToLink) {
    DialogChoose({0, 3});
    const QString check = QString::fromLatin1(GetParam().check);
    EXPECT_EQ(drive.RequestLog(), QStringList{check});
    EXPECT_TRUE(session.PortOpen());
    EXPECT_FALSE(session.LinkUp());
    EXPECT_FALSE(session.LinkRequested());
    EXPECT_EQ(port->LineFormat().baudRate, 38400u);
    EXPECT_TRUE(messenger.messages.isEmpty());

    // "连线(&C)" probes over the open port as it is set up: no second open, no new line format.
    settings.link.BaudRateIndex = 0;
    drive.ClearRequestLog();
    ConnectByTimer();
    EXPECT_TRUE(session.LinkUp());
    EXPECT_EQ(port->OpenCount(), 1);
    EXPECT_EQ(port->LineFormat().baudRate, 38400u);
    EXPECT_EQ(drive.RequestLog(), QStringList{kProbe} + kPollReads);
}

TEST_P(Rs485SessionTest, UnansweredChecksCloseThePort) {
    drive.SetHungUp(true);
    DialogChoose({0, 1});
    EXPECT_EQ(Texts(), QStringList{kNoAnswerText});
    EXPECT_FALSE(session.PortOpen());
    EXPECT_FALSE(port->IsOpen());

    // An open port whose drive then falls silent: the timer's probe drops it with the message.
    drive.SetHungUp(false);
    DialogChoose({0, 1});
    ASSERT_TRUE(session.PortOpen());
    drive.SetHungUp(true);
    ConnectByTimer();
    EXPECT_EQ(Texts(1), QStringList{kLinkLostText});
    EXPECT_FALSE(session.PortOpen());
    EXPECT_FALSE(session.LinkRequested());
    EXPECT_FALSE(port->IsOpen());
}

INSTANTIATE_TEST_SUITE_P(
    Modes, Rs485SessionTest,
    ::testing::Values(Rs485Case{DriveLinkOptions{true, 3, 4}, ":030300000001F9"},
                      Rs485Case{DriveLinkOptions{true, 17, 6}, "11 03 00 00 00 01 86 9A"}));

TEST_F(DriveSessionTest, PollSendsTheSixStatusReadsAndRefreshesEachPane) {
    drive.SetWord('5', 0x10, 2);
    drive.SetServoOn(true);
    drive.SetSoftwareVersion(312);
    drive.SetModelCode(0x122);
    drive.SetMaxSpeed(5000);
    drive.SetAlarm(0x0100);
    ConnectByTimer();
    drive.ClearRequestLog();
    observer.panes.clear();
    observer.monitorPolls = 0;

    session.OnTimerTick();
    EXPECT_EQ(drive.RequestLog(), kPollReads);
    EXPECT_EQ(observer.panes, (std::vector<int>{1, 0, 2, 4, 5, 7}));
    EXPECT_EQ(observer.monitorPolls, 1);
    EXPECT_EQ(document.diagnosticsSnapshot[0], 2);
    EXPECT_EQ(document.diagnosticsSnapshot[3], 312);
    EXPECT_EQ(document.driveInfo[3], 0x122);
    EXPECT_TRUE(status.servoOn);
    EXPECT_EQ(status.alarmWord, 0x0100);
    EXPECT_EQ(profile.modelCode, 0x122);
    EXPECT_EQ(profile.encoderPulses, 8192);
    EXPECT_EQ(profile.maxMotorSpeed, 5000);
}

TEST_F(DriveSessionTest, StatusReadTurnsTheHookAfterEachReadAndARequestWaitsForItsEnd) {
    EnsureApplication();
    ConnectByTimer();
    drive.ClearRequestLog();
    observer.monitorPolls = 0;
    int ended = 0;
    QObject::connect(&session.Operations(), &DriveOperations::operationsEnded, [&] { ++ended; });
    QStringList seen;
    int turns = 0;
    session.SetExchangeHook([&] {
        if (++turns == 2) { // a window's click while the status read runs
            session.Operations().Post([&] {
                seen << QStringLiteral("%1 reads, %2 monitor polls")
                            .arg(drive.RequestLog().size())
                            .arg(observer.monitorPolls);
            });
        }
        QCoreApplication::processEvents();
    });
    session.OnTimerTick();
    EXPECT_EQ(turns, 6);
    EXPECT_EQ(seen, QStringList{"6 reads, 0 monitor polls"});
    EXPECT_EQ(ended, 1) << "the request's end is announced";
    session.OnTimerTick();
    EXPECT_EQ(ended, 1) << "a poll alone announces nothing";
    EXPECT_EQ(observer.monitorPolls, 2);
}

TEST_F(DriveSessionTest, PaneTextsWhileNotLinked) {
    const QStringList expected{"Servo 状态: Servo Off",
                               "--- 控制",
                               "版本: *.**",
                               "Servo 未连线",
                               "型号: ---------",
                               "电机型式:---------------------",
                               "信息: 断开",
                               ""};
    // Values read earlier do not show while the link is down.
    status.servoOn = true;
    status.alarmWord = 4;
    document.diagnosticsSnapshot[0] = 1;
    EXPECT_EQ(PaneTexts(), expected);
    port->openError = ENOENT;
    ConnectByTimer();
    EXPECT_EQ(session.PaneText(6), "信息: 通讯错误！！") << "wanted but down";
    session.Disconnect();
    EXPECT_EQ(session.PaneText(6), "信息: 断开");
}

TEST_F(DriveSessionTest, LinkedPanesShowTheValuesRead) {
    drive.SetServoOn(true);
    drive.SetWord('5', 0x10, 3);
    drive.SetSoftwareVersion(5);
    drive.SetModelCode(0x121);
    drive.SetAlarm(0x0006);
    ConnectByTimer();
    ASSERT_TRUE(session.LinkUp());
    EXPECT_EQ(PaneTexts(),
              (QStringList{"Servo 状态: Servo On", "Pe-S 控制", "版本: 0.05", "Servo 连线中",
                           "型号: MQRX-15A", "电机型式:300W 3000rpm 2500ppr",
                           "信息: ", "电源电压过高(回生异常)。"}));
    // A model the list does not know, read at the next poll.
    drive.SetModelCode(0x460);
    session.OnTimerTick();
    EXPECT_EQ(session.PaneText(4), "型号: ---------");
}

TEST_F(DriveSessionTest, FailedModelReadKeepsLaterPanesAndSkipsTheMonitors) {
    drive.SetModelCode(0x121);
    drive.SetAlarm(0);
    ConnectByTimer();
    ASSERT_EQ(session.PaneText(4), "型号: MQRX-15A");
    const QString motor = session.PaneText(5);
    const QString alarm = session.PaneText(7);

    // The drive changes, and from now on every read of page 5 0x0C goes unanswered.
    drive.SetModelCode(0x460);
    drive.SetAlarm(0x0004);
    drive.SetSoftwareVersion(5);
    drive.SetMaxSpeed(2000);
    port->SetResponder([this](QByteArrayView written) {
        const QByteArray reply = drive.Receive(written);
        return written.startsWith("R50C") ? QByteArray() : reply;
    });
    drive.ClearRequestLog();
    observer.panes.clear();
    observer.monitorPolls = 0;

    session.OnTimerTick();
    EXPECT_EQ(drive.RequestLog(), kPollReads.first(4) + QStringList(2, Cmd("R50C")));
    EXPECT_EQ(observer.panes, (std::vector<int>{1, 0, 2}));
    EXPECT_EQ(observer.monitorPolls, 0);
    EXPECT_EQ(session.PaneText(2), "版本: 0.05") << "values read before the failure are kept";
    EXPECT_EQ(session.PaneText(4), "型号: MQRX-15A");
    EXPECT_EQ(session.PaneText(5), motor);
    EXPECT_EQ(session.PaneText(7), alarm);
    EXPECT_EQ(profile.maxMotorSpeed, 3000);
    EXPECT_TRUE(session.LinkUp()) << "a failed poll is not a lost link";
    EXPECT_TRUE(messenger.messages.isEmpty());
}

TEST_F(DriveSessionTest, BusyKeepsTheTickFromConnectingAndPollingButTheCountAdvances) {
    LetConnectBecomeDue();
    session.RequestLink();
    session.SetBusy(true);
    const int before = session.TickCount();
    session.OnTimerTick();
    session.OnTimerTick();
    EXPECT_EQ(session.TickCount(), before + 2);
    EXPECT_EQ(port->OpenCount(), 0);

    session.SetBusy(false);
    session.OnTimerTick();
    ASSERT_TRUE(session.LinkUp());
    drive.ClearRequestLog();
    session.SetBusy(true);
    for (int i = 0; i < 15; ++i) {
        session.OnTimerTick();
    }
    EXPECT_TRUE(drive.RequestLog().isEmpty());
    EXPECT_EQ(session.TickCount(), 15);
    EXPECT_TRUE(session.Busy()) << "the tick leaves someone else's Busy alone";
    for (int i = 15; i < 1000; ++i) // the count wraps at one thousand
        session.OnTimerTick();
    EXPECT_EQ(session.TickCount(), 0);
}

TEST_F(DriveSessionTest, NothingIsWrittenWhileTheLinkIsDownEvenWithThePortOpen) {
    // Open-unlinked: an RS-232 port is opened by hand, as an RS-485 dialog connect would leave it.
    ASSERT_EQ(session.Link().Open(QStringLiteral("/dev/ttyUSB0")), 0u);
    ASSERT_FALSE(session.LinkUp());
    EXPECT_FALSE(session.StatusRead());
    EXPECT_FALSE(session.Poll());
    for (int i = 0; i < 12; ++i) {
        session.OnTimerTick();
    }
    EXPECT_FALSE(session.Access().WriteDriveWord('5', 0x10, 1, true));
    EXPECT_TRUE(port->Writes().isEmpty());
    EXPECT_EQ(observer.monitorPolls, 0);
}

// A port that reports its close to the test after the session that owns it is gone.
class WatchedPort : public MemorySerialBackend {
public:
    explicit WatchedPort(int* closes) : closes_(closes) {}
    void Close() override {
        ++*closes_;
        MemorySerialBackend::Close();
    }

private:
    int* closes_;
};

TEST(DriveSessionEnd, DestructorClosesAnOpenPortOnly) {
    for (const bool connect : {true, false}) {
        int closes = 0;
        SimulatedDrive drive;
        AppSettings settings;
        DriveProfile profile;
        DriveStatus status;
        CNolvaServoDoc document;
        RecordingMessenger messenger;
        {
            auto* port = new WatchedPort(&closes);
            AttachToMemoryPort(drive, *port);
            DriveSession session(settings, profile, status, document, messenger,
                                 std::unique_ptr<SerialBackend>(port));
            if (connect) {
                session.DialogConnect([](const PortChoice&, bool) { return PortChoice{0, 1}; });
                ASSERT_TRUE(session.LinkUp());
            }
        }
        EXPECT_EQ(closes, connect ? 1 : 0);
        EXPECT_TRUE(messenger.messages.isEmpty()) << "no complaint about a closed port";
    }
}

// Pulls the simulated drive's cable once the copy has made 60 exchanges.
struct PullingProgress : RecordingProgress {
    explicit PullingProgress(QProcess& drive) : drive(drive) {}
    void ExchangeDone() override {
        if (++exchanges == 60) {
            drive.write("unplug\n");
            drive.waitForBytesWritten(1000);
            pulled.start();
        }
    }
    QProcess& drive;
    QElapsedTimer pulled;
};

// On the system's port against orvan-drive-sim, whose cable is pulled during "复制至计算机": the
// copy ends at once with the device's message and no file; once plugged back, "连线" links by the
// same path and the copy succeeds.
TEST(DriveSessionUnplug, CopyToComputerEndsAtOnceAndTheSamePathLinksAgainAfterReplug) {
    EnsureApplication();
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("usb-adapter"));
    clitest::DriveSim drive({"--link", link});
    ASSERT_FALSE(drive.path.isEmpty());

    AppSettings settings;
    settings.comDevices[0] = link;
    DriveProfile profile;
    DriveStatus status;
    CNolvaServoDoc document;
    RecordingMessenger messenger;
    DriveSession session(settings, profile, status, document, messenger);
    const auto connect = [&session] {
        while (session.TickCount() < DriveSession::kTicksBetweenConnects) {
            session.OnTimerTick();
        }
        session.RequestLink();
        session.OnTimerTick();
    };
    connect();
    ASSERT_TRUE(session.LinkUp());

    const QString file = dir.filePath(QStringLiteral("copy.nvp"));
    PullingProgress progress(drive.process);
    ParameterTransfer& transfer = session.Connection().Transfer();
    transfer.SetProgress(&progress);
    bool copied = true;
    session.Operations().RunExclusive([&] { copied = transfer.CopyDriveToFile(file); });
    ASSERT_TRUE(progress.pulled.isValid()) << "the copy ended before the cable was pulled";
    EXPECT_LT(progress.pulled.elapsed(), 500);
    EXPECT_FALSE(copied);
    EXPECT_FALSE(QFileInfo::exists(file));
    // The copy's own failure, then the device's message; no read failure of the port.
    ASSERT_EQ(messenger.messages.size(), 2);
    EXPECT_TRUE(messenger.messages[0].text.startsWith(QStringLiteral("错误:\n\n读取")));
    EXPECT_EQ(messenger.messages[1].text,
              QStringLiteral("通讯错误！！\n\n串口设备已移除：") + link);
    EXPECT_FALSE(session.PortOpen());

    drive.process.write("replug\n");
    ASSERT_TRUE(drive.process.waitForReadyRead(10000));
    ASSERT_TRUE(QFileInfo::exists(link));
    connect();
    ASSERT_TRUE(session.LinkUp());
    transfer.SetProgress(nullptr);
    session.Operations().RunExclusive([&] { copied = transfer.CopyDriveToFile(file); });
    EXPECT_TRUE(copied);
    EXPECT_GT(QFileInfo(file).size(), 154);
    EXPECT_EQ(messenger.messages.size(), 2);
}

} // namespace

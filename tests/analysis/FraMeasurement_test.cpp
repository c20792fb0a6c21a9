// The measurement against the simulated drive in process: its machine moves on the port's clock,
// one millisecond per request.

#include "analysis/FraMeasurement.h"
#include "base/Messenger.h"
#include "drive/ParameterCatalogue.h"
#include "link/DriveOperations.h"
#include "link/MemorySerialBackend.h"
#include "params/DriveConnection.h"
#include "params/NolvaServoDoc.h"
#include "sim/ControlLines.h"
#include "sim/MemoryPortDrive.h"
#include "sim/SimulatedDrive.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

struct ReadWindow : FraReadProgress {
    bool Open(int words) override {
        ++opened;
        EXPECT_EQ(words, 1024);
        if (onOpen)
            onOpen();
        return true;
    }
    void SetText(const QString& text) override {
        lastText = text;
        if (onText)
            onText(text);
    }
    void Step() override { ++steps; }
    bool ExchangeDone() override {
        if (onExchange)
            onExchange(steps);
        return true;
    }
    void Close() override {
        if (onClose)
            onClose();
    }
    int opened = 0;
    int steps = 0;
    QString lastText;
    std::function<void()> onOpen;
    std::function<void(const QString&)> onText;
    std::function<void()> onClose;
    std::function<void(int word)> onExchange; // after each word, where the window's loop runs
};

struct FraRig {
    FraRig() {
        AttachToMemoryPort(drive, *port, true);
        // A request the test swallows gets no answer.
        port->SetResponder([this, drive = port->CurrentResponder()](QByteArrayView written) {
            return swallow && swallow(written.toByteArray()) ? QByteArray() : drive(written);
        });
        port->writeDelayMs = 1;
        EXPECT_EQ(connection.Link().Open(QStringLiteral("/dev/sim")), 0u);
        connection.Access().AssumeLinkUp();
        measurement.SetReadProgress(&window);
    }
    SimulatedDrive drive;
    MemorySerialBackend* port = new MemorySerialBackend;
    LinkSettings settings;
    DriveProfile profile;
    CNolvaServoDoc document{profile};
    RecordingMessenger messenger;
    DriveOperations operations;
    DriveConnection connection{settings,  profile,    document,
                               messenger, operations, std::unique_ptr<SerialBackend>(port)};
    ReadWindow window;
    FraMeasurement measurement{connection, profile, messenger};
    FraRecord record;
    std::function<bool(const QByteArray&)> swallow;
};

int Torque(uint16_t word) {
    return RawToDisplay({'R', 2}, static_cast<int16_t>(word), 3000);
}
int Speed(uint16_t word) {
    return RawToDisplay({'R', 1}, static_cast<int16_t>(word), 3000);
}

} // namespace

TEST(FraMeasurement, RunsTheHandshakeAndPlacesBothHalves) {
    FraRig rig;
    int firstTorque = 0, firstSpeed = 0;
    rig.window.onOpen = [&] {
        if (rig.window.opened == 1) {
            firstTorque = Torque(rig.drive.Word('0', 0));
            firstSpeed = Speed(rig.drive.Word('0', 1));
        }
    };
    ASSERT_TRUE(rig.measurement.Start(QStringLiteral(" 50%"), rig.record));
    EXPECT_TRUE(rig.messenger.messages.isEmpty());
    EXPECT_FALSE(rig.operations.Busy());

    const QStringList& log = rig.drive.RequestLog();
    ASSERT_GT(log.size(), 2048 + 8);
    // Speed 100 rpm (546 of 16384 at N 3000), the clears, load 50 % (2048), start.
    EXPECT_EQ(log.mid(0, 5),
              (QStringList{"WA9C0222DA", "WA9E0000D6", "WA9A0000D2", "WA920800CB", "WA980001CA"}));
    EXPECT_EQ(log.mid(log.size() - 3), (QStringList{"WA990000CA", "WA9E0000D6", "WA980000C9"}));
    EXPECT_EQ(log.count("WA990001CB"), 1) << "the first half acknowledged once";
    EXPECT_EQ(log.filter(QRegularExpression("^R[0-3]")).size(), 2048);
    EXPECT_EQ(rig.window.opened, 2);
    EXPECT_EQ(rig.window.lastText.left(11), QStringLiteral("1024/1024--"));

    // Pair 0 of the first half is sample 1; pair 511 of the second half, still in the buffer, is
    // sample 1024.
    EXPECT_EQ(rig.record.torque[1], firstTorque);
    EXPECT_EQ(rig.record.speed[1], firstSpeed);
    EXPECT_EQ(rig.record.torque[1024], Torque(rig.drive.Word('3', 254)));
    EXPECT_EQ(rig.record.speed[1024], Speed(rig.drive.Word('3', 255)));
    double peak = 0;
    for (int k = 1; k <= 1024; ++k)
        peak = std::max(peak, std::abs(rig.record.torque[k]));
    EXPECT_GT(peak, 25.0) << "the run excites with the load torque";
    EXPECT_NEAR(rig.record.speed[512], 100.0, 30.0) << "about the speed setting";
}

TEST(FraMeasurement, RefusesBadLoadsAndReportsTheStepThatFailed) {
    FraRig rig;
    for (const char* text : {"", "0", "101", "abc"})
        EXPECT_FALSE(rig.measurement.Start(QString::fromLatin1(text), rig.record)) << text;
    ASSERT_EQ(rig.messenger.messages.size(), 4);
    EXPECT_EQ(rig.messenger.messages[0].text, QString::fromUtf8("请输入加载转矩的相对大小！"));
    EXPECT_EQ(rig.messenger.messages[3].text, QString::fromUtf8("加载转矩不在设定的范围内！"));
    EXPECT_TRUE(rig.drive.RequestLog().isEmpty());

    // The drive falls silent while the run is polled, then while the third buffer word is read.
    rig.messenger.messages.clear();
    FaultSettings silent;
    silent.hangUpAfter = 20;
    rig.drive.SetFaults(silent);
    EXPECT_FALSE(rig.measurement.Start(QStringLiteral("100"), rig.record));
    ASSERT_EQ(rig.messenger.messages.size(), 1);
    // Silent for good: the run's end does not reach it either.
    EXPECT_EQ(rig.messenger.messages[0].text,
              QString::fromUtf8("错误:\n\n追踪设定资料至伺服驱动器。\n\n") + FraNotEndedText());
    EXPECT_EQ(rig.messenger.messages[0].caption, QString::fromUtf8("通讯信息"));

    FraRig second;
    second.window.onOpen = [&] {
        FaultSettings f;
        f.hangUpAfter = static_cast<int>(second.drive.RequestLog().size()) + 2;
        second.drive.SetFaults(f);
    };
    EXPECT_FALSE(second.measurement.Start(QStringLiteral("100"), second.record));
    ASSERT_EQ(second.messenger.messages.size(), 1);
    EXPECT_EQ(second.messenger.messages[0].text,
              QString::fromUtf8("错误:\n\n") +
                  QString::asprintf("3/1024--->(%04XH)", static_cast<unsigned>(static_cast<int>(
                                                             second.record.speed[1]))) +
                  QStringLiteral("\n\n") + FraNotEndedText());
    EXPECT_EQ(second.window.opened, 1);
}

TEST(FraMeasurement, FindsTheMachinesResonanceWithinTwoBins) {
    for (const int hz : {150, 500, 1000}) {
        FraRig rig;
        RunControlLine(rig.drive, QStringLiteral("resonance %1").arg(hz));
        ASSERT_TRUE(rig.measurement.Start(QStringLiteral("50"), rig.record)) << hz;
        const FrequencyResponse response = AnalyseResponse(rig.record, rig.profile.modelCode);
        ASSERT_TRUE(response.resonanceBin.has_value()) << hz;
        const int expected = static_cast<int>(std::lround(hz / kBinWidthHz)) + 1;
        EXPECT_LE(std::abs(*response.resonanceBin - expected), 2)
            << hz << " Hz measured at " << BinFrequency(*response.resonanceBin) << " Hz";
        EXPECT_LT(response.antiResonanceBin, *response.resonanceBin) << hz;
    }
}

namespace {

const QString kEndWrites[] = {QStringLiteral("WA9E0000D6"), QStringLiteral("WA980000C9")};

// The requests after the last one that starts with `prefix`.
QStringList After(const QStringList& log, const QString& prefix) {
    for (qsizetype i = log.size() - 1; i >= 0; --i) {
        if (log[i].startsWith(prefix))
            return log.mid(i + 1);
    }
    return {};
}

} // namespace

TEST(FraMeasurement, EveryFailureAfterTheStartEndsTheDrivesRunAndSaysWhenThatFailedToo) {
    const QString runFailed = QString::fromUtf8("错误:\n\n追踪设定资料至伺服驱动器。");
    struct Case {
        const char* what;
        std::function<void(FraRig&)> arrange;
        QString message; // empty: the read word's progress text
        bool endReached;
    };
    const Case cases[] = {
        {"the third buffer word goes unanswered",
         [](FraRig& rig) {
             rig.window.onText = [&rig](const QString& text) {
                 if (text.startsWith(QLatin1String("3/1024")))
                     rig.drive.SetHungUp(true);
             };
             rig.window.onClose = [&rig] { rig.drive.SetHungUp(false); };
         },
         {},
         true},
        {"the handshake of the second half goes unanswered",
         [](FraRig& rig) {
             rig.window.onClose = [&rig] {
                 rig.swallow = [](const QByteArray& request) { return request.startsWith("RA99"); };
             };
         },
         runFailed, true},
        {"the drive stops answering the poll after the first half",
         [](FraRig& rig) {
             rig.window.onClose = [&rig] {
                 rig.swallow = [](const QByteArray& request) { return request.startsWith("RA98"); };
             };
         },
         runFailed, true},
        {"the drive falls silent for good after the first half",
         [](FraRig& rig) { rig.window.onClose = [&rig] { rig.drive.SetHungUp(true); }; },
         runFailed + QStringLiteral("\n\n") + FraNotEndedText(), false},
    };
    for (const Case& c : cases) {
        FraRig rig;
        c.arrange(rig);
        EXPECT_FALSE(rig.measurement.Start(QStringLiteral("50"), rig.record)) << c.what;
        ASSERT_EQ(rig.messenger.messages.size(), 1) << c.what;
        const QString expected =
            c.message.isEmpty() ? QString::fromUtf8("错误:\n\n") + rig.window.lastText : c.message;
        EXPECT_EQ(rig.messenger.messages[0].text, expected) << c.what;
        // Whatever failed, the run's end was sent last: both writes, even after a failed one.
        const QStringList log = rig.drive.RequestLog();
        if (c.endReached) {
            ASSERT_GE(log.size(), 2) << c.what;
            EXPECT_EQ(log.mid(log.size() - 2), (QStringList{kEndWrites[0], kEndWrites[1]}))
                << c.what;
            EXPECT_EQ(rig.drive.Word('A', 0x98), 0) << c.what;
        }
        EXPECT_FALSE(rig.connection.Motions().Active()) << c.what;
    }
}

TEST(FraMeasurement, CancelEndsTheRunSilentlyUnlessTheEndFails) {
    struct CancellingWindow : ReadWindow {
        bool Open(int words) override {
            ReadWindow::Open(words);
            return false;
        }
    };
    for (const bool driveAnswers : {true, false}) {
        FraRig rig;
        CancellingWindow window;
        window.onOpen = [&rig, driveAnswers] { rig.drive.SetHungUp(!driveAnswers); };
        rig.measurement.SetReadProgress(&window);
        EXPECT_FALSE(rig.measurement.Start(QStringLiteral("50"), rig.record));
        if (driveAnswers) {
            EXPECT_TRUE(rig.messenger.messages.isEmpty());
            EXPECT_EQ(rig.drive.RequestLog().mid(rig.drive.RequestLog().size() - 2),
                      (QStringList{kEndWrites[0], kEndWrites[1]}));
        } else {
            ASSERT_EQ(rig.messenger.messages.size(), 1);
            EXPECT_TRUE(rig.messenger.messages[0].text.endsWith(FraNotEndedText()));
        }
    }
}

TEST(FraMeasurement, TheProgramsQuitDuringTheReadEndsTheRunOnceAndTheMeasurementStopsQuietly) {
    FraRig rig;
    QStringList notEnded{QStringLiteral("not run")};
    rig.window.onExchange = [&](int word) {
        if (word == 100) // a stop signal arrives while the read window draws
            notEnded = rig.connection.Motions().EndAll();
    };
    EXPECT_FALSE(rig.measurement.Start(QStringLiteral("50"), rig.record));
    EXPECT_TRUE(notEnded.isEmpty());
    EXPECT_TRUE(rig.messenger.messages.isEmpty());
    const QStringList log = rig.drive.RequestLog();
    EXPECT_EQ(log.count(kEndWrites[1]), 1);
    EXPECT_EQ(After(log, QStringLiteral("WA9E0000")), QStringList{kEndWrites[1]})
        << "nothing is read after the end";
    EXPECT_EQ(rig.drive.Word('A', 0x98), 0);
}

TEST(FraMeasurement, AStartWhoseAnswerIsLostIsEndedAsCancelEndsIt) {
    // The drive takes the start and begins its run, but its answers never come back.
    FraRig rig;
    const auto passOn = rig.port->CurrentResponder();
    rig.port->SetResponder([passOn, &rig](QByteArrayView written) {
        if (!written.startsWith("WA980001"))
            return passOn(written);
        rig.drive.Process(written); // taken, its reply lost on the line
        return QByteArray();
    });
    EXPECT_FALSE(rig.measurement.Start(QStringLiteral("50"), rig.record));
    ASSERT_EQ(rig.messenger.messages.size(), 1);
    EXPECT_EQ(rig.messenger.messages[0].text,
              QString::fromUtf8("错误:\n\n追踪设定资料至伺服驱动器。"));
    const QStringList log = rig.drive.RequestLog();
    ASSERT_GE(log.size(), 2);
    EXPECT_EQ(log.mid(log.size() - 2), (QStringList{kEndWrites[0], kEndWrites[1]}));
    EXPECT_EQ(rig.drive.Word('A', 0x98), 0) << "the drive's run is over";

    // Set-up writes that fail leave nothing started, so nothing is ended either.
    FraRig refused;
    refused.swallow = [](const QByteArray& request) { return request.startsWith("WA92"); };
    EXPECT_FALSE(refused.measurement.Start(QStringLiteral("50"), refused.record));
    EXPECT_EQ(refused.drive.RequestLog().filter(QStringLiteral("WA98")).size(), 0);
}

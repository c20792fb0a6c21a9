// JOG against the simulated drive with every request recorded: the entry and exit sequences, the
// signed speed of the direction buttons, the speed edit's limit, and the motor turning.

#include "drive/DriveMap.h"
#include "support/CoreApplication.h"
#include "support/SimTestSupport.h"
#include "support/TransferRig.h"
#include "sim/ControlLines.h"
#include "tuning/JogControl.h"

#include <chrono>

namespace {

using simtest::Cmd;
using namespace std::chrono_literals;

struct Jog : ::testing::Test {
    Jog() { rig.drive.SetWord('5', 0x36, 2731); } // Sn201: 500 rpm at N = 3000

    QStringList Requests() const { return rig.drive.RequestLog(); }
    int32_t MotorSpeed() {
        EXPECT_TRUE(rig.access.ReadDriveWord(DriveMap::kMotorSpeed));
        return rig.access.LastValue;
    }

    TransferRig rig{DriveLinkOptions{}};
};

TEST_F(Jog, EntryWritesTheSpeedOnceConvertedAndTheDirectionsSendTheSignedSpeed) {
    ASSERT_EQ(EnterJog(rig.access), 500);
    // Mode on, the entry value 500 rpm as 2731 (not converted a second time), speed 0, enable.
    EXPECT_EQ(Requests(), (QStringList{Cmd("R536"), Cmd("W60A0001"), Cmd("W60B0AAB"),
                                       Cmd("W5360000"), Cmd("W63E0001")}));
    rig.drive.ClearRequestLog();
    EXPECT_TRUE(RunJogRequest(rig.access, JogRequest::Forward, JogArgument(true, 500)));
    EXPECT_TRUE(RunJogRequest(rig.access, JogRequest::Reverse, JogArgument(false, -500)));
    EXPECT_TRUE(RunJogRequest(rig.access, JogRequest::Stop, 0));
    // -2731 and +2731.
    EXPECT_EQ(Requests(), (QStringList{Cmd("W536F555"), Cmd("W5360AAB"), Cmd("W5360000")}));

    EXPECT_EQ(AcceptJogSpeed(QStringLiteral("3000"), 3000), 3000);
    EXPECT_EQ(AcceptJogSpeed(QStringLiteral("5000"), 3000), std::nullopt);
    EXPECT_EQ(AcceptJogSpeed(QStringLiteral("3001"), 3000), std::nullopt);
}

TEST_F(Jog, EntryAndExitStopAtTheirFirstFailure) {
    rig.refuse = [](const QString& request) { return request.startsWith(QLatin1String("W60B")); };
    EXPECT_EQ(EnterJog(rig.access), std::nullopt);
    EXPECT_FALSE(Requests().join(' ').contains(QLatin1String("W536")));
    EXPECT_EQ(rig.drive.Word('6', 0x0A), 1) << "what was written stays written";

    // Exit while jogging: the enable first, then Sn201 back, the JOG mode last.
    rig.refuse = {};
    rig.drive.ClearRequestLog();
    EXPECT_TRUE(RunJogRequest(rig.access, JogRequest::Exit, 500));
    EXPECT_EQ(Requests(), (QStringList{Cmd("W63E0000"), Cmd("W5360AAB"), Cmd("W60A0000")}));

    rig.refuse = [](const QString& request) { return request.startsWith(QLatin1String("W63E")); };
    rig.drive.ClearRequestLog();
    rig.drive.SetWord('6', 0x0A, 1);
    EXPECT_FALSE(RunJogRequest(rig.access, JogRequest::Exit, 1000));
    for (const QString& request : Requests())
        EXPECT_TRUE(request.startsWith(QLatin1String("W63E"))) << request.toStdString();
    EXPECT_EQ(rig.drive.Word('6', 0x0A), 1);
    EXPECT_EQ(rig.drive.Word('5', 0x36), 2731);
}

TEST_F(Jog, MotorTurnsAtTheJogSpeedOnlyWhileTheServoIsOnAndALostLinkIsReported) {
    EnsureApplication();
    JogControl control(rig.connection);
    int changes = 0;
    control.SetListeners([&changes] { ++changes; }, {});
    ASSERT_TRUE(control.Enter());
    control.Post(JogRequest::Forward, JogArgument(true, 500));
    QCoreApplication::processEvents();
    EXPECT_EQ(changes, 1);
    rig.drive.Advance(300ms);
    EXPECT_EQ(MotorSpeed(), 0) << "servo off";

    RunControlLine(rig.drive, QStringLiteral("servo on"));
    rig.drive.Advance(300ms);
    EXPECT_NEAR(MotorSpeed(), -500, 10) << "Un-01";
    control.Post(JogRequest::Reverse, JogArgument(false, 500));
    QCoreApplication::processEvents();
    rig.drive.Advance(400ms);
    EXPECT_NEAR(MotorSpeed(), 500, 10);
    EXPECT_TRUE(control.DriveReached());

    // The stop does not reach the drive: the motor turns on, and the control says so.
    rig.swallow = [](const QByteArray&) { return true; };
    control.Post(JogRequest::Stop, 0);
    QCoreApplication::processEvents();
    EXPECT_FALSE(control.DriveReached());
    rig.swallow = {};
    rig.drive.Advance(100ms);
    EXPECT_NEAR(MotorSpeed(), 500, 10);

    control.Post(JogRequest::Exit, control.EntrySpeed());
    QCoreApplication::processEvents();
    EXPECT_TRUE(control.DriveReached());
    rig.drive.Advance(400ms);
    EXPECT_EQ(MotorSpeed(), 0) << "JOG disabled";
}

} // namespace

// The speed edit shows what the buttons send: the magnitude, held to 0..N, also for a drive value
// beyond N (the drive's N read after Sn201 was set) or at the edge of 32 bits.
TEST(JogControl, ShownSpeedIsTheMagnitudeWithinTheEditsRange) {
    EXPECT_EQ(JogShownSpeed(-1000, 3000), 1000);
    EXPECT_EQ(JogShownSpeed(3000, 3000), 3000);
    EXPECT_EQ(JogShownSpeed(-3500, 3000), 3000);
    EXPECT_EQ(JogShownSpeed(std::numeric_limits<int32_t>::min(), 5000), 5000);
    EXPECT_EQ(JogArgument(true, JogShownSpeed(-3500, 3000)), -3000);
}

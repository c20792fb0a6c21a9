// Automatic gain tuning and offset adjustment against the simulated drive: the Cn002 bits over
// an off-line run, the run's steps, the pattern's range checks, the settled ratio stored in
// Cn025, and the offset question.

#include "drive/ParameterCatalogue.h"
#include "params/ParameterChannel.h"
#include "sim/ControlLines.h"
#include "support/CoreApplication.h"
#include "support/SimTestSupport.h"
#include "support/TransferRig.h"
#include "tuning/AutoOffset.h"
#include "tuning/AutoTuning.h"

#include <chrono>

namespace {

using simtest::Cmd;
using namespace std::chrono_literals;

struct AutoTuning : ::testing::Test {
    AutoTuning() { EnsureApplication(); }

    int32_t Live(char letter, int number) const {
        return rig.drive.State().LiveRaw(letter, number) & 0xFFFF;
    }
    void SetCn002(uint16_t value) { rig.drive.SetWord('5', ParameterIndexOf({'C', 2}), value); }
    QString LastMessage() const {
        return rig.messenger.messages.isEmpty() ? QString() : rig.messenger.messages.last().text;
    }

    TransferRig rig{DriveLinkOptions{}};
};

TEST_F(AutoTuning, OfflineRunSetsTheTuningBitsUntilItEndsAndStoresTheSettledRatio) {
    // Next: 0012h -> 0112h -> 0012h; the ratio settles from Cn025's 4.0 toward the true 3.0.
    SetCn002(0x0012);
    AutoTuningDialogs dialogs;
    dialogs.chooseMode = [] { return TuningMode::OffLine; };
    dialogs.pattern = [](const PatternValues& current, PatternWriter&) {
        EXPECT_EQ(current.maxSpeed, 1000);
        EXPECT_EQ(current.holdTime, 2000);
        return true;
    };
    dialogs.run = [this](const std::shared_ptr<TuningRun>& run) {
        EXPECT_EQ(Live('C', 2), 0x0112);
        EXPECT_EQ(rig.drive.State().StoredRaw('C', 2), 0x0112);
        EXPECT_EQ(rig.drive.Word('5', 0xDC), 1);
        EXPECT_FALSE(run->Waiting());
        run->Step();
        EXPECT_FALSE(run->ServoSeenOn()) << "servo still off";
        RunControlLine(rig.drive, QStringLiteral("servo on"));
        run->Step();
        EXPECT_TRUE(run->Waiting());
        for (int step = 0; step < 80; ++step) {
            rig.drive.Advance(100ms);
            run->Step();
            EXPECT_FALSE(run->NextEnabled()) << "while the servo is on";
        }
        RunControlLine(rig.drive, QStringLiteral("servo off"));
        run->Step();
        EXPECT_TRUE(run->NextEnabled());
        return true;
    };
    int32_t offered = 0;
    dialogs.storeResult = [&offered](int32_t ratio) {
        offered = ratio;
        return true;
    };
    RunAutoTuning(rig.connection, rig.profile, rig.messenger, dialogs);
    EXPECT_NEAR(offered, 30, 1);
    EXPECT_EQ(rig.drive.State().StoredRaw('C', 25), offered);
    EXPECT_EQ(Live('C', 2), 0x0012);
    EXPECT_EQ(rig.drive.State().StoredRaw('C', 2), 0x0012);
    EXPECT_EQ(rig.drive.Word('5', 0xDC), 0);
    ASSERT_EQ(rig.messenger.messages.size(), 1);
    EXPECT_EQ(rig.messenger.messages[0].text, QString::fromUtf8("写入参数成功！！"));
    EXPECT_EQ(rig.messenger.messages[0].caption, QString::fromUtf8("调适完成"));

    // Quit: 0312h stays 0312h at the start and is 0012h at the end; with the servo already on,
    // the first step reads the ratio.
    SetCn002(0x0312);
    RunControlLine(rig.drive, QStringLiteral("servo on"));
    dialogs.run = [this](const std::shared_ptr<TuningRun>& run) {
        EXPECT_EQ(Live('C', 2), 0x0312);
        EXPECT_TRUE(run->Waiting());
        rig.drive.ClearRequestLog();
        run->Step();
        EXPECT_EQ(rig.drive.RequestLog(), (QStringList{Cmd("R844"), Cmd("R666")}));
        EXPECT_EQ(run->LastRatio(), run->Ratio());
        return false;
    };
    dialogs.storeResult = [](int32_t) -> bool {
        ADD_FAILURE() << "no result after a quit";
        return false;
    };
    RunAutoTuning(rig.connection, rig.profile, rig.messenger, dialogs);
    EXPECT_EQ(Live('C', 2), 0x0012);
    EXPECT_EQ(LastMessage(), QString::fromUtf8("取消自动增益调适。"));

    // On-line: bit 8 set, told to the user.
    dialogs.chooseMode = [] { return TuningMode::OnLine; };
    RunAutoTuning(rig.connection, rig.profile, rig.messenger, dialogs);
    EXPECT_EQ(rig.drive.State().StoredRaw('C', 2), 0x0112);
    EXPECT_EQ(LastMessage(),
              QString::fromUtf8("在 Servo On 之后，将开始运转 On-line 自动增益调适。"));
}

TEST_F(AutoTuning, RunLeftWithTheLinkLostSaysWhatStaysInTuningMode) {
    SetCn002(0x0012);
    AutoTuningDialogs dialogs;
    dialogs.chooseMode = [] { return TuningMode::OffLine; };
    dialogs.pattern = [](const PatternValues&, PatternWriter&) { return true; };
    dialogs.run = [this](const std::shared_ptr<TuningRun>&) {
        rig.access.DropLink(); // the poll found the drive gone
        return false;          // "离开(&Q)"
    };
    dialogs.storeResult = [](int32_t) { return true; };
    RunAutoTuning(rig.connection, rig.profile, rig.messenger, dialogs);
    EXPECT_EQ(Live('C', 2), 0x0112);
    ASSERT_EQ(rig.messenger.messages.size(), 1) << "no \"取消自动增益调适。\" either";
    EXPECT_EQ(rig.messenger.messages[0].text,
              QString::fromUtf8("驱动器未回应：自动增益调谐的设定未能恢复，驱动器仍处于调谐模式"
                                "（Cn002 = 0112h，Off-line 调谐开关 (5-DCh) = 1）。"
                                "请在连线后选择 \"取消自动增益调谐\"。"));
    EXPECT_EQ(rig.messenger.messages[0].caption, QString::fromUtf8("自动增益调适信息"));

    // The restore that reaches the drive for one of the two names only the other.
    rig.access.AssumeLinkUp();
    int stores = 0;
    rig.drive.ClearRequestLog();
    EXPECT_EQ(RestoreAfterRun(rig.access, 0x0112), QString());
    stores = static_cast<int>(rig.drive.RequestLog().size());
    rig.swallow = [&stores, this](const QByteArray&) {
        return rig.drive.RequestLog().size() >= stores - 1;
    };
    rig.drive.ClearRequestLog();
    EXPECT_EQ(RestoreAfterRun(rig.access, 0x0112),
              QString::fromUtf8(
                  "驱动器未回应：自动增益调谐的设定未能恢复，驱动器仍处于调谐模式"
                  "（Off-line 调谐开关 (5-DCh) = 1）。请在连线后选择 \"取消自动增益调谐\"。"));
}

TEST_F(AutoTuning, QuitDuringARunRestoresTheDriveOnceAndTheCommandEndsQuietly) {
    SetCn002(0x0012);
    AutoTuningDialogs dialogs;
    dialogs.chooseMode = [] { return TuningMode::OffLine; };
    dialogs.pattern = [](const PatternValues&, PatternWriter&) { return true; };
    QStringList notEnded{QStringLiteral("not run")};
    dialogs.run = [&](const std::shared_ptr<TuningRun>&) {
        EXPECT_TRUE(rig.connection.Motions().Active());
        notEnded = rig.connection.Motions().EndAll(); // the program closes meanwhile
        EXPECT_EQ(Live('C', 2), 0x0012);
        EXPECT_EQ(rig.drive.Word('5', 0xDC), 0);
        rig.drive.ClearRequestLog();
        return false;
    };
    dialogs.storeResult = [](int32_t) { return true; };
    RunAutoTuning(rig.connection, rig.profile, rig.messenger, dialogs);
    EXPECT_TRUE(notEnded.isEmpty());
    EXPECT_TRUE(rig.drive.RequestLog().isEmpty()) << "restored once";
    EXPECT_TRUE(rig.messenger.messages.isEmpty());
    EXPECT_FALSE(rig.connection.Motions().Active());
}

TEST_F(AutoTuning, PatternWritesOutOfRangeAreRefusedWithTheirRangeAndNothingIsSent) {
    PatternWriter writer(rig.connection, rig.profile, rig.messenger);
    std::map<int, int32_t> shown;
    writer.SetListener([&shown](int group, int32_t value) { shown[group] = value; });
    EXPECT_FALSE(writer.Press(1, QStringLiteral("3500")));
    EXPECT_FALSE(writer.Press(2, QStringLiteral("1999")));
    EXPECT_FALSE(writer.Press(3, QStringLiteral("10001")));
    QCoreApplication::processEvents();
    EXPECT_TRUE(rig.drive.RequestLog().isEmpty());
    ASSERT_EQ(rig.messenger.messages.size(), 3);
    EXPECT_EQ(rig.messenger.messages[0].text, QString::fromUtf8("超出范围！！\n\n范围值: 0~3000"));
    EXPECT_EQ(rig.messenger.messages[1].text,
              QString::fromUtf8("超出范围！！\n\n范围值: 2000~90000"));
    EXPECT_EQ(rig.messenger.messages[1].caption, QString::fromUtf8("错误信息"));

    // In range: stored, read back, shown, then the success.
    EXPECT_TRUE(writer.Press(1, QStringLiteral("3000")));
    EXPECT_TRUE(writer.Press(2, QStringLiteral("90000"))); // 49 in the drive's scale
    EXPECT_TRUE(writer.Press(3, QStringLiteral("500")));
    QCoreApplication::processEvents();
    EXPECT_EQ(shown, (std::map<int, int32_t>{{1, 3000}, {2, 89722}, {3, 500}}));
    EXPECT_EQ(rig.drive.State().StoredWord(0xD4), 16384);
    EXPECT_EQ(rig.messenger.messages.size(), 6);
    EXPECT_EQ(LastMessage(), QString::fromUtf8("写入参数成功！！"));
}

// The pattern words O6..O8 at page '5' 0xD4, 0xD3, 0xD2: read from their live copies; a write is
// the store with its live copy, the live copy once more, and the read back.
TEST_F(AutoTuning, PatternWordsTravelAsTheDriveIsUsedToThem) {
    ParameterChannel& parameters = rig.connection.Parameters();
    ASSERT_TRUE(ReadPattern(parameters).has_value());
    EXPECT_EQ(rig.drive.RequestLog(), (QStringList{Cmd("R5D4"), Cmd("R5D3"), Cmd("R5D2")}));
    rig.drive.ClearRequestLog();
    EXPECT_EQ(WritePatternValue(parameters, 3, 500), 500);
    EXPECT_EQ(rig.drive.RequestLog(),
              (QStringList{Cmd("W57100D2"), Cmd("W57201F4"), Cmd("W5700001"), Cmd("W5D201F4"),
                           Cmd("W5D201F4"), Cmd("R5D2")}));
}

TEST_F(AutoTuning, OffsetAdjustmentSendsItsOneWriteOnlyOnYesAndWithADrive) {
    rig.messenger.answers = {MessageAnswer::No, MessageAnswer::Yes, MessageAnswer::Ok,
                             MessageAnswer::Yes};
    RunAutoOffset(rig.connection, rig.messenger);
    EXPECT_TRUE(rig.drive.RequestLog().isEmpty());
    RunAutoOffset(rig.connection, rig.messenger);
    EXPECT_EQ(rig.drive.RequestLog(), QStringList{Cmd("W5FC0001")});
    EXPECT_EQ(LastMessage(), QString::fromUtf8("成功！！"));
    rig.access.DropLink();
    RunAutoOffset(rig.connection, rig.messenger);
    EXPECT_EQ(rig.drive.RequestLog().size(), 1);
    EXPECT_EQ(LastMessage(), QString::fromUtf8("通讯错误！！"));
    EXPECT_EQ(rig.messenger.messages.last().caption, QString::fromUtf8("自动偏移调整 (dn-07)"));
}

} // namespace

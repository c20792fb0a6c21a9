// The online editor: digit steps at their limits, the button pairs a panel shows, what the
// selection offers, and presses against the simulated drive with the exact requests they send.

#include "online/OnlineEditor.h"

#include "drive/ParameterCatalogue.h"
#include "support/SimTestSupport.h"
#include "support/TransferRig.h"

namespace {

using simtest::Cmd;

TEST(OnlineSteps, DecimalAndHexadecimalDigitsStopAtTheirLimits) {
    // 0..300 at 295: units up, tens up cut to 300, then nothing more.
    EXPECT_EQ(StepUp(295, 1, 300, false, 1), 296);
    EXPECT_EQ(StepUp(296, 10, 300, false, 2), 300);
    EXPECT_EQ(StepUp(300, 1, 300, false, 1), std::nullopt);
    // Negative values go down to the minimum and no further.
    EXPECT_EQ(StepDown(-50, 100, -100, false, 3), -100);
    EXPECT_EQ(StepDown(-100, 1, -100, false, 1), std::nullopt);
    EXPECT_EQ(StepUp(-100, 1000, 100, false, 4), 100);
    // Hexadecimal: each digit is limited by the maximum's digit in its place.
    EXPECT_EQ(StepUp(0x0101, 0x10, 0x0111, true, 2), 0x0111);
    EXPECT_EQ(StepUp(0x0111, 0x10, 0x0111, true, 2), std::nullopt);
    EXPECT_EQ(StepUp(0x0101, 0x1, 0x0111, true, 1), std::nullopt);
    // A digit that would pass its limit takes the limit's digit, the others kept.
    EXPECT_EQ(StepUp(0x0030, 0x10, 0x0111, true, 2), 0x0010);
    EXPECT_EQ(StepUp(0x0512, 0x100, 0x0311, true, 3), 0x0312);
    EXPECT_EQ(StepDown(0x0210, 0x100, 0x0300, true, 3), 0x0310);
    EXPECT_EQ(StepUp(0x0000, 0x100, 0x0066, true, 3), std::nullopt);
    EXPECT_EQ(StepUp(0x0004, 0x1, 0x0006, true, 1), 0x0005);
    EXPECT_EQ(StepDown(0x1234, 0x1000, 0x0000, true, 4), 0x0234);
    EXPECT_EQ(StepDown(0x0234, 0x1000, 0x0000, true, 4), std::nullopt);
    EXPECT_EQ(StepDown(0x0035, 0x10, 0x0020, true, 2), 0x0025);
    EXPECT_EQ(StepDown(0x0025, 0x10, 0x0020, true, 2), std::nullopt);
    EXPECT_EQ(DigitStep(5, true), 0);
    EXPECT_EQ(DigitStep(4, false), 1000);
}

TEST(OnlinePanels, PairsShownFollowTheRangeAndTheNumberFormat) {
    OnlinePanel signedHundred;
    signedHundred.PanelActive = true;
    signedHundred.PanelMin = -100;
    signedHundred.PanelMax = 100;
    const std::vector<bool> hundred{true, true, true, false, false};
    for (int digit = 1; digit <= kDigitPairs; ++digit)
        EXPECT_EQ(DigitPairShown(signedHundred, digit), hundred[digit - 1]) << digit;

    const OnlinePanel analogMonitor = MakeOnlinePanel({'C', 6}, {}); // 0000~0066, hexadecimal
    EXPECT_TRUE(analogMonitor.PanelHex);
    EXPECT_FALSE(analogMonitor.PanelWide);
    const std::vector<bool> hex{true, true, false, false, false};
    for (int digit = 1; digit <= kDigitPairs; ++digit)
        EXPECT_EQ(DigitPairShown(analogMonitor, digit), hex[digit - 1]) << digit;

    const OnlinePanel offset = MakeOnlinePanel({'T', 4}, {});
    EXPECT_TRUE(offset.PanelWide && !offset.PanelHex);
    EXPECT_EQ(offset.rangeText, QStringLiteral("-10000~10000"));
    EXPECT_TRUE(DigitPairShown(offset, 5));
    // Speed ranges follow the drive's maximum speed.
    DriveProfile fast;
    fast.maxMotorSpeed = 5000;
    EXPECT_EQ(MakeOnlinePanel({'S', 1}, fast).PanelMax, 5000);
}

TEST(OnlinePanels, SelectionOffersEditableParametersWithoutPanelsOrTheirTwins) {
    const QList<ParamCode> all = OfferedParameters({});
    EXPECT_EQ(all.size(), 26 + 6 + 18 + 65 + 7);
    EXPECT_EQ(all.front(), (ParamCode{'C', 3}));
    EXPECT_EQ(all.back(), (ParamCode{'q', 7}));
    for (const ParamCode code : {ParamCode{'C', 2}, ParamCode{'C', 31}, ParamCode{'T', 2},
                                 ParamCode{'P', 16}, ParamCode{'H', 1}})
        EXPECT_FALSE(all.contains(code)) << code.Text().toStdString();

    const QList<ParamCode> withQuick = OfferedParameters({ParamCode{'q', 1}});
    EXPECT_FALSE(withQuick.contains(ParamCode{'S', 11}));
    EXPECT_FALSE(withQuick.contains(ParamCode{'q', 1}));
    EXPECT_TRUE(withQuick.contains(ParamCode{'S', 12}));
    const QList<ParamCode> withTwin =
        OfferedParameters({ParamCode{}, ParamCode{}, ParamCode{'P', 12}});
    EXPECT_FALSE(withTwin.contains(ParamCode{'q', 7}));
    EXPECT_EQ(withTwin.size(), all.size() - 2);

    EXPECT_EQ(OfferedEntryText({'S', 11}), QString::fromUtf8("Sn211 - 速度回路增益1"));
    EXPECT_EQ(CodeOfOfferedEntry(OfferedEntryText({'q', 5})), (ParamCode{'q', 5}));
    // A settings file's codes: no contact parameter, no repeat, no twin of an earlier panel.
    const OnlinePanelCodes read{ParamCode{'H', 1}, ParamCode{'S', 11}, ParamCode{'q', 1},
                                ParamCode{'S', 11}};
    EXPECT_EQ(UsablePanelCodes(read),
              (OnlinePanelCodes{ParamCode{}, ParamCode{'S', 11}, ParamCode{}, ParamCode{}}));
}

class OnlineEditorTest : public ::testing::Test, protected TransferRig {
protected:
    OnlineEditorTest() : TransferRig({}) {}

    PressOutcome Press(int panel, int digit, bool up) {
        return editor.Press(panel, digit, up, [this](int p) { shown.append(p); });
    }

    OnlinePanelCodes kept{};
    OnlineEditor editor{connection, profile, messenger, kept};
    QList<int> shown;
};

TEST_F(OnlineEditorTest, PressesWriteStoredAndLiveCopiesAtOnce) {
    drive.State().SetWord(DriveMap::kMaxMotorSpeed, 4500);
    ASSERT_TRUE(access.StoreParameter(ParameterIndexOf({'C', 8}), 0x00F6)); // brake mode 2
    drive.ClearRequestLog();
    editor.TakeCodes({ParamCode{'S', 11}, ParamCode{'C', 8}, ParamCode{'P', 8}, ParamCode{'q', 5}});
    EXPECT_EQ(kept[2], (ParamCode{'P', 8}));
    EXPECT_EQ(profile.maxMotorSpeed, 4500);
    EXPECT_EQ(editor.Panel(0).PanelValue, 40);
    EXPECT_EQ(editor.Panel(2).PanelValue, 50000);
    EXPECT_EQ(editor.Panel(3).PanelValue, 40);
    EXPECT_EQ(drive.RequestLog().front(), Cmd("R547"));

    drive.ClearRequestLog();
    EXPECT_EQ(Press(0, 2, true), PressOutcome::Written);
    EXPECT_EQ(drive.RequestLog(),
              (QStringList{Cmd("W5710030"), Cmd("W5720032"), Cmd("W5700001"), Cmd("W5300032")}));
    EXPECT_EQ(drive.State().LiveRaw('S', 11), 50);
    EXPECT_EQ(drive.State().StoredRaw('S', 11), 50);
    EXPECT_EQ(shown, QList<int>{0});

    // Two registers: 49000 pulses are 490000 raw, high word then low word.
    drive.ClearRequestLog();
    EXPECT_EQ(Press(2, 4, false), PressOutcome::Written);
    EXPECT_EQ(drive.RequestLog(),
              (QStringList{Cmd("W5710056"), Cmd("W5720007"), Cmd("W5700001"), Cmd("W5710057"),
                           Cmd("W5727A10"), Cmd("W5700001"), Cmd("W5560007"), Cmd("W5577A10")}));
    EXPECT_EQ(drive.State().LiveRaw('P', 8), 490000);

    // Brake mode is the low two bits of its word: the other bits stay as the drive has them.
    EXPECT_EQ(editor.Panel(1).PanelValue, 2);
    EXPECT_EQ(Press(1, 1, true), PressOutcome::Written);
    EXPECT_EQ(drive.State().LiveRaw('C', 8), 0x00F7);
    EXPECT_TRUE(messenger.messages.isEmpty());
}

TEST_F(OnlineEditorTest, LimitsFailuresAndALostLinkAreToldAndLeaveTheValue) {
    editor.TakeCodes({ParamCode{'S', 11}});
    drive.ClearRequestLog();
    // 40 Hz: down on the hundreds would pass 10, so it stops there; then nothing more.
    EXPECT_EQ(Press(0, 3, false), PressOutcome::Written);
    EXPECT_EQ(editor.Panel(0).PanelValue, 10);
    drive.ClearRequestLog();
    EXPECT_EQ(Press(0, 1, false), PressOutcome::AtLimit);
    EXPECT_TRUE(drive.RequestLog().isEmpty());
    ASSERT_EQ(messenger.messages.size(), 1);
    EXPECT_EQ(messenger.messages[0].text, QString::fromUtf8("超出范围！！\n\n"));
    EXPECT_EQ(messenger.messages[0].caption, QString::fromUtf8("错误信息"));
    EXPECT_EQ(messenger.messages[0].icon, MessageIcon::Warning);

    // The live write refused: the stored copy has the new value, the panel the old one.
    refuse = [](const QString& r) { return r.startsWith("W530"); };
    shown.clear();
    EXPECT_EQ(Press(0, 1, true), PressOutcome::WriteFailed);
    EXPECT_EQ(editor.Panel(0).PanelValue, 10);
    EXPECT_EQ(shown, (QList<int>{0, 0}));
    EXPECT_EQ(drive.State().StoredRaw('S', 11), 11);
    ASSERT_EQ(messenger.messages.size(), 2);
    EXPECT_EQ(messenger.messages[1].text, QString::fromUtf8("线上参数编辑失败！！"));
    EXPECT_EQ(messenger.messages[1].caption, QString::fromUtf8("通讯信息"));
    EXPECT_EQ(messenger.messages[1].icon, MessageIcon::Error);

    // A failed read during the refresh keeps the value shown.
    refuse = [](const QString& r) { return r.startsWith("R574"); };
    drive.State().SetWord(DriveState::kParameterPage, 0x30, 77);
    editor.RefreshFromDrive();
    EXPECT_EQ(editor.Panel(0).PanelValue, 10);
    EXPECT_EQ(messenger.messages.size(), 2);

    refuse = nullptr;
    access.DropLink();
    drive.ClearRequestLog();
    EXPECT_EQ(Press(0, 1, true), PressOutcome::LinkDown);
    EXPECT_TRUE(drive.RequestLog().isEmpty());
    EXPECT_EQ(messenger.messages.last().text, QString::fromUtf8("通讯错误！！"));
}

} // namespace

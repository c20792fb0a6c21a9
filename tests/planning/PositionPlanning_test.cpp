// The position planning command against the simulated drive: the 50 parameters read (page words
// on RS-232, Modbus registers on RS-485), planned, and written back through the full mailbox
// store in item order.

#include "planning/PositionPlanning.h"

#include "drive/ParameterCatalogue.h"
#include "support/SimTestSupport.h"
#include "support/TransferRig.h"

namespace {

int Index(int item) {
    return ParameterIndexOf(PlannerItemParameter(item));
}

QString Request(const char* format, int a = 0, int b = 0) {
    return QString::fromLatin1(simtest::Cmd(QString::asprintf(format, a, b).toStdString()));
}

struct PositionPlanning : ::testing::Test, TransferRig {
    explicit PositionPlanning(DriveLinkOptions options = {}) : TransferRig(options) {
        for (int item = 0; item < kPlannerItems; ++item) // distinct words; Pn316 with digit 2
            drive.State().SetWord(5, Index(item), static_cast<uint16_t>(item ? 200 + item : 0x0102));
    }
    // Plans with `change` applied to what the window is shown; no change: cancelled.
    bool Plan(std::function<void(PositionPlan&)> change) {
        shown.reset();
        return PlanPositions(connection, &progress, document, messenger, [&](PositionPlan plan) {
            shown = plan;
            if (change)
                change(plan);
            return change ? std::optional(plan) : std::nullopt;
        });
    }
    static void SetSpeeds(PositionPlan& plan) {
        for (int k = 0; k < kPositionCommands; ++k)
            plan.commands[static_cast<size_t>(k)].speed = 1000 + k;
    }
    bool Written() const { return drive.RequestLog().join(' ').contains("W57"); }
    std::optional<PositionPlan> shown;
};

TEST_F(PositionPlanning, ReadsPagesAndWritesFiftyFullStoresInItemOrder) {
    ASSERT_TRUE(Plan([](PositionPlan& plan) {
        plan.commands[4].pulses = -32767;
        plan.smoothingTime = 10000;
    }));
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->positionMode, 2);
    EXPECT_EQ(shown->smoothingTime, 201);
    EXPECT_EQ(shown->commands[15], (PositionCommand{247, 248, 249}));

    QStringList expected;
    for (int item = 0; item < kPlannerItems; ++item)
        expected << Request("R5%02X", Index(item));
    for (int item = 0; item < kPlannerItems; ++item) {
        const int raw = item == 0 ? 0x0002 : item == 1 ? 10000 : item == 15 ? 0x8001 : 200 + item;
        expected << Request("W571%04X", Index(item)) << Request("W572%04X", raw)
                 << Request("W5700001") << Request("W5%02X%04X", Index(item), raw);
    }
    EXPECT_EQ(drive.RequestLog(), expected);
    EXPECT_EQ(drive.State().StoredRaw('P', 16), 0x0002);
    EXPECT_EQ(drive.State().LiveRaw('P', 30), -32767) << "command 5's pulses";
    EXPECT_EQ(*document.values.Slot({'P', 30}), -32767);
    EXPECT_EQ(progress.steps, kPlannerItems);
    EXPECT_EQ(progress.texts.back(), QString::fromUtf8("写入内部位置命令路径规划参数: Pn364"));
    EXPECT_EQ(messenger.messages.back().text,
              QString::fromUtf8(
                  "写入参数成功！！\n\n请重新启动伺服驱动器！！\n(关闭电源后，再重新输入电源。)"));
}

TEST_F(PositionPlanning, FailuresNameTheirParameterAndCancelWritesNothing) {
    const PlannerValues before = PlannerValuesOf(document.values);
    refuse = [](const QString& r) { return r == Request("R5%02X", Index(5)); }; // Pn320
    EXPECT_FALSE(Plan(SetSpeeds));
    EXPECT_FALSE(shown) << "the planner does not open";
    EXPECT_EQ(PlannerValuesOf(document.values), before) << "a failed read stores nothing";
    ASSERT_EQ(messenger.messages.size(), 1);
    EXPECT_EQ(messenger.messages[0].text,
              QString::fromUtf8("错误:\n\n读取内部位置命令路径规划参数: Pn320"));
    EXPECT_TRUE(messenger.messages[0].caption == QString::fromUtf8("通讯信息") &&
                messenger.messages[0].icon == MessageIcon::Error && !progress.open);

    refuse = nullptr;
    document.modified = false;
    EXPECT_FALSE(Plan(nullptr));
    EXPECT_FALSE(Written());
    EXPECT_EQ(*document.values.Slot({'P', 13}), 201) << "the read stays in the document";
    EXPECT_TRUE(document.modified);

    // Command 4's speed (Pn328) is refused at its store: command 3's is in, none after it.
    refuse = [](const QString& r) { return r == Request("W571%04X", Index(13)); };
    EXPECT_FALSE(Plan(SetSpeeds));
    EXPECT_EQ(messenger.messages.back().text,
              QString::fromUtf8("错误:\n\n写入内部位置命令路径规划参数: Pn328"));
    EXPECT_EQ(drive.State().StoredRaw('P', 25), 1002);
    EXPECT_EQ(drive.State().LiveRaw('P', 28), 213);
    EXPECT_EQ(drive.State().LiveRaw('P', 31), 216);
    EXPECT_EQ(*document.values.Slot({'P', 31}), 1004) << "the document holds the plan";
}

class Rs485PositionPlanning : public PositionPlanning, public ::testing::WithParamInterface<int> {
protected:
    Rs485PositionPlanning() : PositionPlanning(DriveLinkOptions{true, 1, GetParam()}) {}
};

TEST_P(Rs485PositionPlanning, ReadsRegistersAndStillWritesThroughTheMailbox) {
    ASSERT_TRUE(Plan(SetSpeeds));
    EXPECT_EQ(shown->commands[0], (PositionCommand{202, 203, 204}));
    const QStringList log = drive.RequestLog();
    ASSERT_EQ(log.size(), kPlannerItems * 5);
    for (int item = 0; item < kPlannerItems; ++item) {
        // ":01 03 0310" in ASCII, "01 03 03 10" in RTU: function and register at known places.
        const QString& r = log[item];
        const QString reg = r.startsWith(':') ? r.mid(5, 4) : r.mid(6, 5).remove(' ');
        EXPECT_EQ(r.mid(3, 2) + reg,
                  QString::asprintf("03%04X", 0x300 + PlannerItemParameter(item).number));
    }
    EXPECT_EQ(log[kPlannerItems], Request("W571%04X", Index(0)));
    EXPECT_EQ(drive.State().LiveRaw('P', 64), 1015);
}

INSTANTIATE_TEST_SUITE_P(AsciiAndRtu, Rs485PositionPlanning, ::testing::Values(0, 6));

} // namespace

// One parameter through the channel against the simulated drive, on RS-232 (command protocol)
// and on RS-485 (Modbus ASCII and RTU): the requests of each route, the value both ways, the
// progress heard once per exchange, and the failure message.

#include "params/ParameterChannel.h"

#include "drive/ParameterCatalogue.h"
#include "support/SimTestSupport.h"
#include "support/TransferRig.h"

#include <ostream>

namespace {

using simtest::Cmd;

struct LinkKind {
    const char* name;
    DriveLinkOptions options;
};

void PrintTo(const LinkKind& kind, std::ostream* out) {
    *out << kind.name;
}

class ParameterChannelTest : public ::testing::TestWithParam<LinkKind>, protected TransferRig {
protected:
    ParameterChannelTest() : TransferRig(GetParam().options) { parameters.SetProgress(&progress); }

    bool OnModbus() const { return GetParam().options.rs485; }

    // The Modbus function of each request: "03" or "06" (":01 03 .." in ASCII, "01 03 .." in
    // RTU), "cmd" for a command-protocol request.
    QStringList Functions() const {
        QStringList functions;
        for (const QString& r : drive.RequestLog())
            functions << (r.startsWith('R') || r.startsWith('W') ? QStringLiteral("cmd")
                                                                 : r.mid(3, 2));
        return functions;
    }

    void SetDriveWord(char letter, int number, uint16_t raw) {
        drive.State().SetStoredWord(ParameterIndexOf({letter, number}), raw);
        drive.State().SetWord(5, ParameterIndexOf({letter, number}), raw);
    }
};

TEST_P(ParameterChannelTest, TheLinksRouteCarriesTheValueBothWays) {
    const ParameterRoute route = parameters.LinkRoute(ParameterRoute::Mailbox);
    EXPECT_EQ(route, OnModbus() ? ParameterRoute::Modbus : ParameterRoute::Mailbox);

    ASSERT_TRUE(parameters.Write({'C', 7}, 1000, route, true)); // raw 0x1555
    EXPECT_EQ(drive.State().StoredRaw('C', 7), 0x1555);
    EXPECT_EQ(drive.State().LiveRaw('C', 7), 0x1555);
    if (OnModbus()) {
        EXPECT_EQ(Functions(), QStringList{"06"});
    } else {
        EXPECT_EQ(drive.RequestLog(), (QStringList{Cmd("W5710015"), Cmd("W5721555"),
                                                   Cmd("W5700001"), Cmd("W5151555")}));
    }
    EXPECT_EQ(progress.exchanges, OnModbus() ? 1 : 4);

    drive.ClearRequestLog();
    progress.exchanges = 0;
    int32_t value = 0;
    ASSERT_TRUE(parameters.Read({'C', 7}, route, &value));
    EXPECT_EQ(value, 1000);
    if (OnModbus()) {
        EXPECT_EQ(Functions(), QStringList{"03"});
    } else {
        EXPECT_EQ(drive.RequestLog(), (QStringList{Cmd("W5730015"), Cmd("W5700002"), Cmd("R574")}));
    }
    EXPECT_EQ(progress.exchanges, OnModbus() ? 1 : 3);
}

TEST_P(ParameterChannelTest, TheLiveCopyIsOnePageRequestOnEitherPort) {
    SetDriveWord('C', 7, 0x1555);
    int32_t value = 0;
    ASSERT_TRUE(parameters.Read({'C', 7}, ParameterRoute::LiveCopy, &value));
    EXPECT_EQ(value, 1000);
    EXPECT_EQ(drive.RequestLog(), QStringList{Cmd("R515")});

    ASSERT_TRUE(parameters.Write({'C', 7}, 500, ParameterRoute::LiveCopy, true));
    EXPECT_EQ(drive.State().LiveRaw('C', 7), DisplayToRaw({'C', 7}, 500, profile.maxMotorSpeed));
    EXPECT_EQ(drive.State().StoredRaw('C', 7), 0x1555) << "the live copy only";
    EXPECT_EQ(progress.exchanges, 2);
}

TEST_P(ParameterChannelTest, AThirtyTwoBitParameterTakesTheMailboxEvenOnModbus) {
    ASSERT_TRUE(parameters.Write({'P', 9}, 50000, parameters.LinkRoute(ParameterRoute::Mailbox),
                                 true)); // raw -500000
    EXPECT_EQ(drive.RequestLog(),
              (QStringList{Cmd("W5710058"), Cmd("W572FFF8"), Cmd("W5700001"), Cmd("W5710059"),
                           Cmd("W5725EE0"), Cmd("W5700001"), Cmd("W558FFF8"), Cmd("W5595EE0")}));
    int32_t value = 0;
    ASSERT_TRUE(parameters.Read({'P', 9}, parameters.LinkRoute(ParameterRoute::Mailbox), &value));
    EXPECT_EQ(value, 50000);
    EXPECT_EQ(progress.exchanges, 8 + 6);
}

TEST_P(ParameterChannelTest, AFailedExchangeEndsWithTheTextOfTheParameterInProgress) {
    progress.Open(QString(), 3);
    parameters.BeginParameter(QString::fromUtf8("读取控制参数：Cn007"), 3);
    refuse = [](const QString&) { return true; };
    int32_t value = 0;
    EXPECT_FALSE(parameters.Read({'C', 7}, parameters.LinkRoute(ParameterRoute::Mailbox), &value));
    EXPECT_EQ(progress.exchanges, 1) << "one exchange, however often Modbus tried it";
    EXPECT_EQ(progress.stepped, 1) << "a refused exchange takes no step";

    EXPECT_FALSE(parameters.Fail());
    EXPECT_FALSE(progress.open);
    ASSERT_EQ(messenger.messages.size(), 1);
    EXPECT_EQ(messenger.messages[0].text, QString::fromUtf8("错误:\n\n读取控制参数：Cn007"));
    EXPECT_EQ(messenger.messages[0].caption, QString::fromUtf8("通讯信息"));
    EXPECT_EQ(messenger.messages[0].icon, MessageIcon::Error);

    EXPECT_FALSE(
        parameters.Write({'H', 3}, 7, parameters.LinkRoute(ParameterRoute::Mailbox), false));
    parameters.Fail(QStringLiteral("step"), QStringLiteral("caption"));
    EXPECT_EQ(messenger.messages[1].text, QString::fromUtf8("错误:\n\nstep"));
    EXPECT_EQ(messenger.messages[1].caption, QStringLiteral("caption"));
}

TEST_P(ParameterChannelTest, AParametersStepsFollowItsAcknowledgedExchanges) {
    parameters.BeginParameter(QStringLiteral("Cn007"), 3);
    EXPECT_EQ(progress.stepped, 1);
    int32_t value = 0;
    ASSERT_TRUE(parameters.Read({'C', 7}, parameters.LinkRoute(ParameterRoute::Mailbox), &value));
    // The mailbox's first two exchanges step; the one Modbus exchange steps once.
    EXPECT_EQ(progress.stepped, OnModbus() ? 2 : 3);
    parameters.EndParameter();
    EXPECT_EQ(progress.stepped, 3);
    EXPECT_EQ(progress.texts, QStringList{"Cn007"});

    parameters.BeginParameter(QStringLiteral("Hn501"), 1);
    ASSERT_TRUE(parameters.Write({'H', 1}, 0, ParameterRoute::Mailbox, true));
    parameters.EndParameter();
    EXPECT_EQ(progress.stepped, 4) << "one step for a parameter of one step";
}

TEST_P(ParameterChannelTest, TheWriteRulesHoldOnTheLinksRoute) {
    const ParameterRoute route = parameters.LinkRoute(ParameterRoute::Mailbox);
    SetDriveWord('C', 8, 0x00F6);
    ASSERT_TRUE(parameters.WriteByRule({'C', 8}, 1, route, true));
    EXPECT_EQ(drive.State().StoredRaw('C', 8), 0x00F5) << "the upper bits kept";
    int32_t value = 0;
    ASSERT_TRUE(parameters.ReadByRule({'C', 8}, route, &value));
    EXPECT_EQ(value, 1);

    drive.ClearRequestLog();
    ASSERT_TRUE(parameters.WriteByRule({'C', 12}, 100, route, true));
    EXPECT_EQ(drive.RequestLog().back(), Cmd("W7CE0001")) << "the commit write";
}

TEST_P(ParameterChannelTest, NothingGoesOutWhileTheLinkIsDown) {
    access.DropLink();
    int32_t value = 0;
    const ParameterRoute route = parameters.LinkRoute(ParameterRoute::Mailbox);
    EXPECT_FALSE(parameters.Read({'C', 7}, route, &value));
    EXPECT_FALSE(parameters.Write({'C', 7}, 1, route, true));
    EXPECT_FALSE(parameters.WriteByRule({'C', 8}, 1, route, true));
    EXPECT_TRUE(drive.RequestLog().isEmpty());
    EXPECT_EQ(progress.exchanges, 0);
}

TEST_P(ParameterChannelTest, WithoutAProgressWindowNobodyIsCalled) {
    ParameterChannel alone(access, settings, profile, messenger);
    int32_t value = 0;
    alone.BeginParameter(QStringLiteral("Cn007"), 3);
    EXPECT_TRUE(alone.Read({'C', 7}, ParameterRoute::Mailbox, &value));
    alone.EndParameter();

    parameters.SetProgress(nullptr);
    EXPECT_TRUE(parameters.Read({'C', 7}, ParameterRoute::Mailbox, &value));
    EXPECT_EQ(progress.exchanges, 0);
}

INSTANTIATE_TEST_SUITE_P(LinkKinds, ParameterChannelTest,
                         ::testing::Values(LinkKind{"Rs232", {}},
                                           LinkKind{"ModbusAscii", {true, 1, 0}},
                                           LinkKind{"ModbusRtu", {true, 1, 6}}),
                         [](const ::testing::TestParamInfo<LinkKind>& info) {
                             return std::string(info.param.name);
                         });

} // namespace

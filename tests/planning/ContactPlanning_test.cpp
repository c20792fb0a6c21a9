// The planning command against the simulated drive: read, plan, document, write back.

#include "planning/ContactPlanning.h"

#include "drive/ParameterCatalogue.h"
#include "support/TransferRig.h"

namespace {

struct ContactPlanning : ::testing::Test, TransferRig {
    ContactPlanning() : TransferRig({}) {}
    bool Plan(ContactPlanner planner) {
        return PlanContacts(connection, &progress, document, [&](const ContactValues& values) {
            EXPECT_FALSE(operations.Busy()) << "the window is up between the two operations";
            shown = values;
            return planner(values);
        });
    }
    std::optional<ContactValues> shown;
};

TEST_F(ContactPlanning, FinishedPlanGoesIntoTheDocumentAndAllNineteenToTheDrive) {
    drive.state().setWord(5, ParameterIndexOf({'H', 1}), 0x0101);  // SON normally closed
    drive.state().setWord(5, ParameterIndexOf({'H', 18}), 0x0042); // Hn518, Hn519: as read
    drive.state().setWord(5, ParameterIndexOf({'H', 19}), 0xFFFD);
    document.modified = false;
    ASSERT_TRUE(Plan([](ContactValues values) -> std::optional<ContactValues> {
        values[13] = 0x0108;
        return values;
    }));
    ASSERT_TRUE(shown);
    EXPECT_EQ((*shown)[0], 0x0101);
    EXPECT_EQ(document.contactsInDrive, *shown);
    EXPECT_EQ(document.values.contact[13], 0x0108);
    EXPECT_TRUE(document.modified);
    EXPECT_EQ(drive.requestLog().size(), 19 + 19 * 3);
    EXPECT_EQ(drive.state().storedRaw('H', 14), 0x0108);
    EXPECT_EQ(drive.state().storedRaw('H', 1), 0x0101);
    EXPECT_EQ(drive.state().storedRaw('H', 18), 0x0042);
    EXPECT_EQ(drive.state().storedRaw('H', 19), -3);
    EXPECT_TRUE(messenger.messages.back().text.startsWith(QString::fromUtf8("写入参数成功！！")));

    // Planning the document's values again writes them without making it modified.
    document.modified = false;
    ASSERT_TRUE(
        Plan([this](const ContactValues&) { return std::optional(document.values.contact); }));
    EXPECT_FALSE(document.modified);
}

TEST_F(ContactPlanning, CancelOrAFailedReadWritesNothing) {
    const ContactValues before = document.values.contact;
    EXPECT_FALSE(Plan([](const ContactValues&) { return std::nullopt; }));
    EXPECT_TRUE(shown);
    EXPECT_EQ(document.values.contact, before);
    EXPECT_FALSE(drive.requestLog().join(' ').contains("W57"));

    shown.reset();
    refuse = [](const QString& r) { return r.startsWith("R5C9"); }; // Hn510
    EXPECT_FALSE(Plan([](ContactValues values) { return std::optional(values); }));
    EXPECT_FALSE(shown) << "the planner does not open";
    EXPECT_EQ(messenger.messages.back().text,
              QString::fromUtf8("错误:\n\n读取输入/输出接点规划参数:Hn510"));
    EXPECT_FALSE(operations.Busy());
    EXPECT_FALSE(drive.requestLog().join(' ').contains("W57"));
}

} // namespace

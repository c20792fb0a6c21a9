// The planning command against the simulated drive: read, plan, document, write back.

#include "planning/ContactPlanning.h"

#include "drive/ParameterCatalogue.h"
#include "support/TransferRig.h"

namespace {

struct ContactPlanning : ::testing::Test, TransferRig {
    ContactPlanning() : TransferRig({}) {}
    // Plans with `change` applied to what the window is shown; no change: cancelled.
    bool Plan(std::function<void(ContactValues&)> change) {
        shown.reset();
        return PlanContacts(connection, &progress, document, [&](ContactValues values) {
            shown = values;
            if (change)
                change(values);
            return change ? std::optional(values) : std::nullopt;
        });
    }
    bool Written() const { return drive.RequestLog().join(' ').contains("W57"); }
    std::optional<ContactValues> shown;
};

TEST_F(ContactPlanning, OnlyAFinishedPlanReachesDocumentAndDrive) {
    refuse = [](const QString& r) { return r.startsWith("R5C9"); }; // Hn510
    EXPECT_FALSE(Plan([](ContactValues&) {}));
    EXPECT_FALSE(shown) << "the planner does not open";
    EXPECT_EQ(messenger.messages.back().text,
              QString::fromUtf8("错误:\n\n读取输入/输出接点规划参数:Hn510"));
    refuse = nullptr;
    const ContactValues before = document.values.contact;
    EXPECT_FALSE(Plan(nullptr));
    EXPECT_TRUE(shown && document.values.contact == before && !Written());

    drive.State().SetWord(5, ParameterIndexOf({'H', 18}), 0x0042); // Hn518, Hn519: as read
    drive.State().SetWord(5, ParameterIndexOf({'H', 19}), 0xFFFD);
    document.modified = false;
    ASSERT_TRUE(Plan([](ContactValues& values) { values[13] = 0x0108; }));
    EXPECT_TRUE(document.modified);
    EXPECT_EQ(drive.State().StoredRaw('H', 14), 0x0108);
    EXPECT_EQ(drive.State().StoredRaw('H', 18), 0x0042);
    EXPECT_EQ(drive.State().StoredRaw('H', 19), -3);

    // The document's own values planned again: written, the document not marked modified.
    document.modified = false;
    drive.ClearRequestLog();
    ASSERT_TRUE(Plan([this](ContactValues& values) { values = document.values.contact; }));
    EXPECT_TRUE(Written());
    EXPECT_FALSE(document.modified);
}

} // namespace

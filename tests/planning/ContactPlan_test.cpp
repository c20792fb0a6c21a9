// The planner's matrix: how clicks select and switch a contact's function, and which values it
// gives back, also for values that name no function row.

#include "planning/ContactPlan.h"

#include <gtest/gtest.h>

namespace {

ContactValues Filled(int32_t value) {
    ContactValues values;
    values.fill(value);
    return values;
}

TEST(ContactPlan, ClicksSelectNormallyClosedThenSwitchTheContact) {
    ContactPlan plan(Filled(0x0003)); // PCNT, normally open, on every contact
    plan.Click(0, 5);                 // another row: normally closed
    EXPECT_EQ(plan.Column(0), (ContactColumn{5, ContactMode::NormallyClosed}));
    std::vector<int32_t> cycle;
    for (int i = 0; i < 3; ++i) {
        plan.Click(0, 5);
        cycle.push_back(plan.Values()[0]);
    }
    EXPECT_EQ(cycle, (std::vector<int32_t>{0x0006, 0x0106, 0x0006}));
    plan.Click(0, 1); // from normally open to another function: normally closed again
    EXPECT_EQ(plan.Values()[0], 0x0102);

    // The selected cell of a normally open contact closes it.
    plan.Click(1, 2);
    EXPECT_EQ(plan.Values()[1], 0x0103);
    // Columns are independent; an output has eight rows.
    plan.Click(13, 1);
    plan.Click(14, 8);
    EXPECT_EQ(plan.Values()[13], 0x0102);
    EXPECT_EQ(plan.Values()[14], 0x0003);
    EXPECT_EQ(plan.Values()[2], 0x0003);
}

TEST(ContactPlan, ValuesComeBackUnchangedWhetherOrNotTheyNameARow) {
    EXPECT_EQ(DecodeContact(0x0101), (ContactColumn{0, ContactMode::NormallyClosed}));
    EXPECT_EQ(DecodeContact(0x001C), (ContactColumn{27, ContactMode::NormallyOpen}));
    for (int32_t code = 1; code <= 28; ++code) {
        for (const int32_t value : {code, code + 0x0100}) {
            ContactPlan plan(Filled(value));
            EXPECT_EQ(plan.ShownRow(0), code - 1);
            EXPECT_EQ(plan.ShownRow(13), code <= 8 ? code - 1 : -1) << value;
            EXPECT_EQ(plan.Values(), Filled(value)) << value;
        }
    }
    // Nothing shown and kept: no function, a code beyond the page's rows, the bits above.
    ContactValues odd = Filled(0);
    odd[1] = 256;
    odd[2] = 0x001D;
    odd[3] = 0x0200;
    odd[4] = -1;
    odd[13] = 0x0009;
    odd[14] = 0x0109;
    odd[17] = 0x1234; // Hn518, Hn519 and the spare pass through
    odd[18] = -7;
    odd[19] = 99;
    ContactPlan plan(odd);
    for (const int contact : {0, 1, 2, 3, 4, 13, 14})
        EXPECT_EQ(plan.ShownRow(contact), -1) << contact;
    EXPECT_EQ(plan.Values(), odd);
    // A click makes it a function, normally closed, whatever it held.
    for (const int contact : {0, 1, 14})
        plan.Click(contact, 3);
    EXPECT_EQ(plan.Values()[0], 0x0104);
    EXPECT_EQ(plan.Values()[1], 0x0104);
    EXPECT_EQ(plan.Values()[14], 0x0104);
    EXPECT_EQ(plan.Values()[2], 0x001D);
}

} // namespace

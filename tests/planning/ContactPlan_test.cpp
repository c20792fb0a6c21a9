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
    std::vector<int32_t> clicks;
    for (const int row : {5, 5, 5, 5, 1}) { // another row first: normally closed
        plan.Click(0, row);
        clicks.push_back(plan.Values()[0]);
    }
    EXPECT_EQ(clicks, (std::vector<int32_t>{0x0106, 0x0006, 0x0106, 0x0006, 0x0102}));
    plan.Click(1, 2); // the selected cell of a normally open contact closes it
    plan.Click(13, 1);
    plan.Click(14, 8); // an output has eight rows
    const ContactValues values = plan.Values();
    EXPECT_EQ(std::vector<int32_t>(values.begin() + 1, values.begin() + 3),
              (std::vector<int32_t>{0x0103, 0x0003}));
    EXPECT_EQ(values[13], 0x0102);
    EXPECT_EQ(values[14], 0x0003);
}

TEST(ContactPlan, ValuesComeBackUnchangedWhetherOrNotTheyNameARow) {
    EXPECT_EQ(DecodeContact(0x0101), (ContactColumn{0, ContactMode::NormallyClosed}));
    for (int32_t code = 1; code <= 28; ++code) {
        for (const int32_t value : {code, code + 0x0100}) {
            ContactPlan plan(Filled(value));
            EXPECT_EQ(plan.ShownRow(0), code - 1);
            EXPECT_EQ(plan.ShownRow(13), code <= 8 ? code - 1 : -1) << value;
            EXPECT_EQ(plan.Values(), Filled(value)) << value;
        }
    }
    // Nothing shown and kept: no function, a code beyond the page's rows, other bits; Hn518,
    // Hn519 and the spare slot pass through.
    ContactValues odd = Filled(0);
    for (const auto& [slot, value] : std::vector<std::pair<int, int32_t>>{
             {1, 256}, {2, 0x1D}, {3, 0x200}, {4, -1}, {13, 9}, {14, 0x109}, {17, 0x1234}, {19, 9}})
        odd[static_cast<size_t>(slot)] = value;
    ContactPlan plan(odd);
    for (const int contact : {0, 1, 2, 3, 4, 13, 14})
        EXPECT_EQ(plan.ShownRow(contact), -1) << contact;
    EXPECT_EQ(plan.Values(), odd);
    // A click makes it a function, normally closed, whatever it held.
    for (const int contact : {0, 1, 14})
        plan.Click(contact, 3);
    const ContactValues values = plan.Values();
    EXPECT_EQ((std::vector<int32_t>{values[0], values[1], values[14], values[2]}),
              (std::vector<int32_t>{0x0104, 0x0104, 0x0104, 0x001D}));
}

} // namespace

// The position planner's items, the mode word's two digits, and what its fields accept.

#include "planning/PositionPlan.h"

#include <gtest/gtest.h>

namespace {

TEST(PositionPlan, ModeDigitsDecodeAndEncode) {
    EXPECT_EQ(PlannerItemParameter(0), (ParamCode{'P', 16}));
    EXPECT_EQ(PlannerItemParameter(1), (ParamCode{'P', 13}));
    EXPECT_EQ(PlannerItemParameter(2), (ParamCode{'P', 17}));
    EXPECT_EQ(PlannerItemParameter(49), (ParamCode{'P', 64}));

    PlannerValues values{};
    for (int item = 0; item < kPlannerItems; ++item)
        values[static_cast<size_t>(item)] = 100 + item;
    values[0] = 0x0011;
    PositionPlan plan = DecodePositionPlan(values);
    EXPECT_TRUE(ShowsRelative(plan) && ShowsImmediatePhold(plan));
    EXPECT_EQ(plan.smoothingTime, 101);
    EXPECT_EQ(plan.commands[0], (PositionCommand{102, 103, 104}));
    EXPECT_EQ(plan.commands[15], (PositionCommand{147, 148, 149}));
    EXPECT_EQ(EncodePositionPlan(plan), values);

    // A positioning digit of 2 shows the first choice but goes back as 2; the third digit is
    // dropped.
    values[0] = 0x0102;
    plan = DecodePositionPlan(values);
    EXPECT_FALSE(ShowsRelative(plan) || ShowsImmediatePhold(plan));
    EXPECT_EQ(EncodePositionPlan(plan)[0], 0x0002);
}

TEST(PositionPlan, TypingOutsideAFieldIsRefused) {
    using F = PlannerField;
    const struct {
        F field;
        const char* text;
        bool accepted;
    } cases[] = {
        {F::Revolutions, "30000", true},   {F::Revolutions, "30001", false},
        {F::Revolutions, "-30000", true},  {F::Revolutions, "-30001", false},
        {F::Revolutions, "-", true},       {F::Revolutions, "", true},
        {F::Revolutions, "0000001", false}, // a seventh character
        {F::Pulses, "32767", true},        {F::Pulses, "32768", false},
        {F::Pulses, "-32767", true},       {F::Pulses, "-32768", false},
        {F::Speed, "3000", true},          {F::Speed, "3001", false},
        {F::Speed, "-", false},            {F::Speed, "00001", false},
        {F::SmoothingTime, "10000", true}, {F::SmoothingTime, "10001", false},
        {F::SmoothingTime, "000010", false},
        {F::Pulses, "1a", false},          {F::Pulses, " 5", false},
        {F::Pulses, "+5", false},          {F::Pulses, "5-", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TypingAcceptable(c.field, QString::fromLatin1(c.text)), c.accepted)
            << c.text << " in field " << static_cast<int>(c.field);
}

TEST(PositionPlan, OkHoldsEachFieldWithinItsRange) {
    using F = PlannerField;
    EXPECT_EQ(FieldValueOnOk(F::Pulses, "40000"), 32767);
    EXPECT_EQ(FieldValueOnOk(F::Pulses, "-32768"), -32767);
    EXPECT_EQ(FieldValueOnOk(F::Revolutions, "-99999"), -30000);
    EXPECT_EQ(FieldValueOnOk(F::Revolutions, "-"), 0);
    EXPECT_EQ(FieldValueOnOk(F::Speed, ""), 0);
    EXPECT_EQ(FieldValueOnOk(F::Speed, "-5"), 0);
    EXPECT_EQ(FieldValueOnOk(F::Speed, "3000"), 3000);
    EXPECT_EQ(FieldValueOnOk(F::SmoothingTime, "99999999999"), 10000);
}

} // namespace

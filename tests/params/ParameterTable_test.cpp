// The grids of the group windows and the custom parameter table: rows, columns and unit tables,
// the texts after a change of the maximum motor speed, defaults, typed values, failed rows.

#include "params/ParameterTable.h"

#include "drive/ParameterCatalogue.h"
#include "params/NolvaServoDoc.h"

#include <gtest/gtest.h>

namespace {

using Col = TableColumn;

CNolvaServoDoc NewDocument(const DriveProfile& profile = {}) {
    CNolvaServoDoc document(profile);
    document.OnNewDocument();
    document.modified = false;
    return document;
}

QStringList Column(const ParameterTable& table, Col column) {
    QStringList texts;
    for (int row = 1; row <= table.RowCount(); ++row) {
        texts.append(table.Text(row, column));
    }
    return texts;
}

struct GroupCase {
    ParamGroup group;
    const char* title;
    int rows;
    const char* firstCode;
    const char* lastCode;
};

TEST(GroupTableLayout, RowsCodesNamesAndTheWindowsOwnUnits) {
    const GroupCase cases[] = {
        {ParamGroup::Control, "控制参数", 16, "Cn001", "Cn016"},
        {ParamGroup::Torque, "转矩参数", 7, "Tn101", "Tn107"},
        {ParamGroup::Speed, "速度参数", 16, "Sn201", "Sn216"},
        {ParamGroup::Position, "位置参数", 10, "Pn301", "Pn310"},
    };
    const CNolvaServoDoc document = NewDocument();
    for (const GroupCase& c : cases) {
        SCOPED_TRACE(c.title);
        const GroupTable table(c.group, document, 3000);
        EXPECT_EQ(table.Title(), QString::fromUtf8(c.title));
        ASSERT_EQ(table.RowCount(), c.rows);
        EXPECT_EQ(table.Text(1, Col::Code), c.firstCode);
        EXPECT_EQ(table.Text(c.rows, Col::Code), c.lastCode);
        for (int row = 1; row <= c.rows; ++row) {
            const ParamCode code = table.CodeOfRow(row);
            EXPECT_EQ(code.Text(), table.Text(row, Col::Code));
            EXPECT_EQ(table.Text(row, Col::Name), ParameterName(code));
            EXPECT_FALSE(table.Text(row, Col::Name).isEmpty()) << row;
        }
        EXPECT_EQ(table.CodeOfRow(0).letter, 0);
        EXPECT_EQ(table.CodeOfRow(c.rows + 1).letter, 0);
        EXPECT_TRUE(table.Text(c.rows + 1, Col::Code).isEmpty());
    }
    // The speed window's units are its own: the catalogue gives Sn209 "ms" and Sn214 "*0.2ms".
    EXPECT_EQ(UnitText(ParamCode::FromText("Sn209")), "ms");
    EXPECT_EQ(GroupTable::UnitOfRow(ParamGroup::Speed, 9), "rpm");
    EXPECT_TRUE(GroupTable::UnitOfRow(ParamGroup::Quick, 1).isEmpty());
}

TEST(GroupTableLayout, ValuesRangesAndDefaultsComeFromTheDocument) {
    CNolvaServoDoc document = NewDocument();
    document.values.control[2] = -1234; // Cn003
    document.minimums.control[3] = 7;   // Cn004: no range when minimum and maximum are equal
    document.maximums.control[3] = 7;
    document.defaults.control[11] = 99; // Cn012
    const GroupTable table(ParamGroup::Control, document, 3000);
    EXPECT_EQ(table.Text(3, Col::Value), "-1234");
    EXPECT_EQ(table.Text(3, Col::Range), "-2000~2000");
    EXPECT_EQ(table.Text(4, Col::Range), "");
    EXPECT_EQ(table.Text(12, Col::Default), "99");
    EXPECT_EQ(table.Text(2, Col::Value), "0"); // Cn002 is a bit field, still shown in decimal
}

TEST(GroupTableMaxSpeed, SpeedWindowShowsTheNewSpeedInItsRangesAndDefaults) {
    CNolvaServoDoc document = NewDocument();
    GroupTable table(ParamGroup::Speed, document, 3000);
    ASSERT_EQ(table.Text(1, Col::Range), "-3000~3000");
    EXPECT_EQ(table.Text(16, Col::Default), "3000");

    EXPECT_FALSE(table.AdoptMaxSpeed(document, DriveProfile{3000, 2500, 0x121}));
    EXPECT_EQ(table.Text(9, Col::Range), "0~5000"); // unchanged: the catalogue's 0..5000 ms

    const DriveProfile profile{5000, 2500, 0x121};
    ASSERT_TRUE(table.AdoptMaxSpeed(document, profile));
    EXPECT_EQ(table.LastMaxSpeed(), 5000);
    for (int row : {1, 2, 3}) {
        EXPECT_EQ(table.Text(row, Col::Range), "-5000~5000") << row;
    }
    EXPECT_EQ(table.Text(14, Col::Range), "100~5000");
    EXPECT_EQ(table.Text(14, Col::Default), "100");
    EXPECT_EQ(table.Text(10, Col::Default), "200");
    EXPECT_EQ(document.maximums.speed[0], 5000);  // the document's ranges were computed again
    EXPECT_EQ(document.defaults.speed[15], 5000); // and its defaults: Sn216 is N
    EXPECT_EQ(table.Text(16, Col::Default), "5000");

    // A second drive with 2000 rpm: the rows stated in terms of N follow again.
    ASSERT_TRUE(table.AdoptMaxSpeed(document, DriveProfile{2000, 2500, 0x121}));
    for (int row : {9, 10, 13}) {
        EXPECT_EQ(table.Text(row, Col::Range), "0~2000") << row;
    }
    EXPECT_EQ(table.Text(2, Col::Range), "-2000~2000");
}

TEST(GroupTableMaxSpeed, ControlTorqueAndPositionWindows) {
    const DriveProfile fast{5000, 2500, 0x121};
    {
        CNolvaServoDoc document = NewDocument();
        GroupTable control(ParamGroup::Control, document, 3000);
        ASSERT_TRUE(control.AdoptMaxSpeed(document, fast));
        EXPECT_EQ(control.Text(7, Col::Range), "0~5000");
        EXPECT_EQ(control.Text(3, Col::Range), "-2000~2000");
        // The control window computes ranges only: Cn007's default (N / 3) stays.
        EXPECT_EQ(document.defaults.control[6], 1000);
    }
    {
        CNolvaServoDoc document = NewDocument();
        GroupTable torque(ParamGroup::Torque, document, 3000);
        ASSERT_EQ(torque.Text(5, Col::Range), "0~3000");
        ASSERT_TRUE(torque.AdoptMaxSpeed(document, fast));
        for (int row : {5, 6, 7}) {
            EXPECT_EQ(torque.Text(row, Col::Range), "0~5000") << row;
        }
    }
    {
        CNolvaServoDoc document = NewDocument();
        const CNolvaServoDoc before = document;
        GroupTable position(ParamGroup::Position, document, 3000);
        const QStringList ranges = Column(position, Col::Range);
        EXPECT_FALSE(position.AdoptMaxSpeed(document, fast));
        EXPECT_EQ(position.LastMaxSpeed(), 5000);
        EXPECT_EQ(Column(position, Col::Range), ranges);
        EXPECT_EQ(document.maximums, before.maximums);
    }
}

TEST(GroupTableDefaults, ControlWindowResetsAllFortyControlParameters) {
    CNolvaServoDoc document = NewDocument();
    for (int32_t& v : document.values.control) {
        v = 12345;
    }
    document.values.torque[0] = 777;
    GroupTable table(ParamGroup::Control, document, 3000);
    table.ResetToDefaults(document);
    EXPECT_TRUE(document.modified);
    EXPECT_EQ(document.values.control, document.defaults.control);
    // Cn017..Cn040 are not rows of the window but are reset all the same.
    EXPECT_EQ(document.values.control[16], document.defaults.control[16]);
    EXPECT_EQ(document.values.control[39], document.defaults.control[39]);
    EXPECT_EQ(document.values.torque[0], 777); // another group is left alone
    EXPECT_EQ(table.Text(1, Col::Value), QString::number(document.defaults.control[0]));
    EXPECT_EQ(table.Text(12, Col::Value), "60");

    // The position window likewise resets all seventy slots.
    document.values.position.fill(-5);
    GroupTable(ParamGroup::Position, document, 3000).ResetToDefaults(document);
    EXPECT_EQ(document.values.position, document.defaults.position);
}

TEST(TypedValues, AcceptedInsideTheRangeRefusedOutsideOrWhenNotANumber) {
    CNolvaServoDoc document = NewDocument();
    GroupTable table(ParamGroup::Control, document, 3000);
    // Cn003: -2000..2000.
    EXPECT_EQ(table.TakeTypedValue(document, 3, " -2000 "), TypedValue::Accepted);
    EXPECT_EQ(document.values.control[2], -2000);
    EXPECT_TRUE(document.modified);
    EXPECT_EQ(table.Text(3, Col::Value), "-2000");

    document.modified = false;
    EXPECT_EQ(table.TakeTypedValue(document, 3, "2001"), TypedValue::Invalid);
    EXPECT_EQ(table.TakeTypedValue(document, 3, "12ab"), TypedValue::Invalid);
    EXPECT_EQ(table.TakeTypedValue(document, 3, ""), TypedValue::Invalid);
    EXPECT_EQ(document.values.control[2], -2000);
    EXPECT_FALSE(document.modified);
    EXPECT_EQ(table.Text(3, Col::Value), "-2000"); // the refused text is not kept
    EXPECT_EQ(table.InvalidValueText(document, 3),
              QString::fromUtf8("Cn003 的设定值必须是 -2000 到 2000 之间的整数。"));

    EXPECT_EQ(table.TakeTypedValue(document, 17, "1"), TypedValue::Invalid); // no such row
    // Retyping the same value changes nothing.
    EXPECT_EQ(table.TakeTypedValue(document, 3, "-2000"), TypedValue::Accepted);
    EXPECT_FALSE(document.modified);
}

TEST(CustomTable, RowsFollowTheListWithCatalogueUnits) {
    CNolvaServoDoc document = NewDocument();
    document.values.quick[0] = 55;
    CustomParameterTable table(3000);
    table.Fill({{4, 15}, {1, 9}, {5, 0}, {6, 18}, {7, 0}, {2, 8}}, document);
    ASSERT_EQ(table.RowCount(), 4); // {7, 0} and Tn109 name no parameter
    EXPECT_EQ(Column(table, Col::Code), QStringList({"Pn316", "Cn010", "qn401", "Hn519"}));
    EXPECT_EQ(table.Text(2, Col::Unit), UnitText(ParamCode::FromText("Cn010")));
    EXPECT_EQ(table.Text(2, Col::Name), ParameterName({'C', 10}));
    EXPECT_EQ(table.Text(3, Col::Value), "55");
    EXPECT_EQ(table.Text(2, Col::Range), "0~300");
}

TEST(CustomTable, SingleWritesExistForControlTorqueSpeedAndPositionRowsOnly) {
    CustomParameterTable table(3000);
    table.Fill({{1, 0}, {2, 3}, {3, 17}, {4, 68}, {5, 6}, {6, 0}}, NewDocument());
    QList<std::optional<ParameterRequest>> requests; // rows 0 and 7 are outside the table
    for (int row = 0; row <= 7; ++row) {
        requests << table.WriteOneRequestOfRow(row);
    }
    using R = ParameterRequest;
    EXPECT_EQ(requests, (QList<std::optional<ParameterRequest>>{
                            std::nullopt, R::WriteCustomRow(1, ParamGroup::Control),
                            R::WriteCustomRow(2, ParamGroup::Torque),
                            R::WriteCustomRow(3, ParamGroup::Speed),
                            R::WriteCustomRow(4, ParamGroup::Position), std::nullopt, std::nullopt,
                            std::nullopt}));
}

TEST(CustomTable, DefaultsResetOnlyTheListedParameters) {
    CNolvaServoDoc document = NewDocument();
    document.values.control.fill(9);
    document.values.quick.fill(9);
    CustomParameterTable table(3000);
    table.Fill({{1, 11}, {5, 1}}, document); // Cn012, qn402
    table.ResetToDefaults(document);
    EXPECT_TRUE(document.modified);
    EXPECT_EQ(document.values.control[11], 60);
    EXPECT_EQ(document.values.quick[1], document.defaults.quick[1]);
    EXPECT_EQ(document.values.control[10], 9);
    EXPECT_EQ(document.values.quick[0], 9);
    EXPECT_EQ(table.Text(1, Col::Value), "60");
}

TEST(CustomTable, FailedRowsStayMarkedUntilTheValuesAreShownAgain) {
    const CNolvaServoDoc document = NewDocument();
    CustomParameterTable table(3000);
    table.Fill({{1, 0}, {1, 1}}, document);
    table.MarkFailed(2);
    table.MarkFailed(3); // no such row
    EXPECT_EQ(
        (QList<bool>{table.IsMarkedFailed(1), table.IsMarkedFailed(2), table.IsMarkedFailed(3)}),
        (QList<bool>{false, true, false}));
    table.RefreshAfterRead(document);
    EXPECT_FALSE(table.IsMarkedFailed(2));
    table.MarkFailed(1);
    table.ClearMark(1);
    EXPECT_FALSE(table.IsMarkedFailed(1));
    table.MarkFailed(1);
    table.Fill({{1, 0}}, document);
    EXPECT_FALSE(table.IsMarkedFailed(1));
}

TEST(CustomTable, NewMaximumSpeedRecomputesRangesAndDefaults) {
    CNolvaServoDoc document = NewDocument();
    CustomParameterTable table(3000);
    table.Fill({{3, 0}, {3, 15}, {1, 0}}, document); // Sn201, Sn216, Cn001
    EXPECT_FALSE(table.AdoptMaxSpeed(document, DriveProfile{}));
    ASSERT_TRUE(table.AdoptMaxSpeed(document, DriveProfile{4000, 2500, 0x121}));
    EXPECT_EQ(table.Text(1, Col::Range), "-4000~4000");
    EXPECT_EQ(table.Text(2, Col::Default), "4000");
    EXPECT_EQ(table.Text(3, Col::Range), "0~6");
}

} // namespace

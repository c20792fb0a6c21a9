// The add/remove lists of the custom parameter table: contents and ordering, where additions
// and removals land, where the selections go, which buttons are enabled, the 80-entry limit.

#include "params/CustomListEditor.h"

#include "drive/ParameterCatalogue.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

using Result = CustomListEditor::Result;
using Buttons = CustomListEditor::Buttons;

// Code texts of a list: "Cn010", ...
QStringList Codes(const QList<CustomEntry>& entries) {
    QStringList codes;
    for (const CustomEntry& e : entries) {
        codes.append(CustomEntryText(e).section(':', 0, 0));
    }
    return codes;
}

int RowOf(const QList<CustomEntry>& list, CustomEntry entry) {
    return static_cast<int>(list.indexOf(entry));
}

// Selects `entry` in "所有参数" and adds it.
Result AddEntry(CustomListEditor& editor, CustomEntry entry) {
    editor.SelectAvailable(RowOf(editor.Available(), entry));
    return editor.Add();
}

TEST(CustomListOpening, ListsTheTableAndEveryOtherParameterInCatalogueOrder) {
    const CustomListEditor editor({{4, 15}, {1, 9}});
    EXPECT_EQ(Codes(editor.Custom()), QStringList({"Pn316", "Cn010"}));
    ASSERT_EQ(editor.Available().size(), 159);
    EXPECT_EQ(editor.Available().front(), (CustomEntry{1, 0}));
    EXPECT_EQ(editor.Available().back(), (CustomEntry{6, 18}));
    EXPECT_EQ(editor.AvailableTexts()[8], "Cn009:" + ParameterName({'C', 9}));
    EXPECT_EQ(editor.AvailableTexts()[9], "Cn011:" + ParameterName({'C', 11}));
    EXPECT_EQ(editor.CustomTexts()[0], "Pn316:" + ParameterName({'P', 16}));
    EXPECT_FALSE(editor.IsAvailable({4, 15}));
    EXPECT_TRUE(editor.IsAvailable({4, 14}));
    // Group after group: the last control parameter comes before the first torque parameter.
    const QStringList codes = Codes(editor.Available());
    EXPECT_EQ(codes.indexOf("Tn101"), codes.indexOf("Cn040") + 1);
    EXPECT_EQ(codes.indexOf("Hn501"), codes.indexOf("qn407") + 1);
}

TEST(CustomListOpening, EntriesThatNameNoParameterAndRepeatsAreDropped) {
    const CustomListEditor editor({{1, 0}, {0, 0}, {2, 8}, {7, 1}, {1, -1}, {1, 0}, {6, 18}});
    EXPECT_EQ(Codes(editor.Custom()), QStringList({"Cn001", "Hn519"}));
    EXPECT_EQ(editor.Available().size(), 159);
}

TEST(CustomListAdd, WithNothingSelectedEntriesGoToTheEndInTheOrderAdded) {
    CustomListEditor editor({});
    EXPECT_EQ(AddEntry(editor, {4, 15}), Result::Done);
    EXPECT_EQ(AddEntry(editor, {1, 9}), Result::Done);
    EXPECT_EQ(Codes(editor.Custom()), QStringList({"Pn316", "Cn010"}));
    EXPECT_EQ(editor.Entries(), (QList<CustomEntry>{{4, 15}, {1, 9}}));
    EXPECT_FALSE(editor.IsAvailable({1, 9}));
    EXPECT_EQ(editor.Available().size(), 159);
}

TEST(CustomListAdd, GoesBeforeTheSelectedEntryWhichStaysSelected) {
    CustomListEditor editor({{1, 0}, {1, 1}, {1, 2}});
    editor.SelectCustom(1); // Cn002
    ASSERT_EQ(AddEntry(editor, {3, 0}), Result::Done);
    ASSERT_EQ(AddEntry(editor, {3, 1}), Result::Done);
    EXPECT_EQ(Codes(editor.Custom()), QStringList({"Cn001", "Sn201", "Sn202", "Cn002", "Cn003"}));
    EXPECT_EQ(editor.CustomSelection(), 3);
}

TEST(CustomListAdd, SelectionInAllParametersMovesToTheNextRowOrTheLast) {
    CustomListEditor editor({});
    editor.SelectAvailable(5);
    const CustomEntry next = editor.Available()[6];
    ASSERT_EQ(editor.Add(), Result::Done);
    EXPECT_EQ(editor.AvailableSelection(), 5);
    EXPECT_EQ(editor.Available()[5], next);

    const int last = static_cast<int>(editor.Available().size()) - 1;
    editor.SelectAvailable(last);
    ASSERT_EQ(editor.Add(), Result::Done);
    EXPECT_EQ(editor.AvailableSelection(), last - 1);
    EXPECT_EQ(editor.Custom().back(), (CustomEntry{6, 18}));

    EXPECT_EQ(editor.Add(), Result::Done); // the selection still names a row
    editor.SelectAvailable(-1);
    EXPECT_EQ(editor.Add(), Result::Nothing);
    editor.SelectAvailable(1000);
    EXPECT_EQ(editor.AvailableSelection(), -1);
}

TEST(CustomListRemove, ReturnsTheEntryToItsCataloguePlace) {
    CustomListEditor editor({{4, 15}, {1, 9}, {6, 0}});
    editor.SelectAvailable(RowOf(editor.Available(), {1, 10})); // Cn011
    editor.SelectCustom(1);                                     // Cn010
    ASSERT_EQ(editor.Remove(), Result::Done);
    EXPECT_EQ(Codes(editor.Custom()), QStringList({"Pn316", "Hn501"}));
    EXPECT_EQ(RowOf(editor.Available(), {1, 9}), 9);
    // The selection in "所有参数" stays on Cn011, now one row further down.
    EXPECT_EQ(editor.Available()[editor.AvailableSelection()], (CustomEntry{1, 10}));
    // The selection in "自定义参数" moved to the row that took Cn010's place.
    EXPECT_EQ(editor.CustomSelection(), 1);
    ASSERT_EQ(editor.Remove(), Result::Done); // Hn501, the last row
    EXPECT_EQ(editor.CustomSelection(), 0);
    EXPECT_EQ(RowOf(editor.Available(), {6, 0}), 141); // after C, T, S, P (but Pn316), q
    ASSERT_EQ(editor.Remove(), Result::Done);
    EXPECT_EQ(editor.CustomSelection(), -1);
    EXPECT_EQ(editor.Remove(), Result::Nothing);
    EXPECT_EQ(editor.Available().size(), 161);
}

TEST(CustomListRemove, RemoveAllRestoresEveryParameter) {
    CustomListEditor editor({{4, 15}, {1, 9}});
    editor.SelectCustom(0);
    editor.SelectAvailable(3);
    ASSERT_EQ(editor.RemoveAll(), Result::Done);
    EXPECT_TRUE(editor.Custom().isEmpty());
    EXPECT_EQ(editor.Available().size(), 161);
    EXPECT_EQ(editor.Available()[9], (CustomEntry{1, 9}));
    EXPECT_EQ(editor.CustomSelection(), -1);
    EXPECT_EQ(editor.AvailableSelection(), -1);
    EXPECT_TRUE(editor.IsAvailable({4, 15}));
    EXPECT_FALSE(editor.EnabledButtons().removeAll);
    EXPECT_EQ(editor.RemoveAll(), Result::Nothing);
}

TEST(CustomListMove, SwapsWithTheNeighbourAndKeepsTheSelection) {
    CustomListEditor editor({{1, 0}, {1, 1}, {1, 2}});
    editor.SelectCustom(0);
    EXPECT_EQ(editor.MoveUp(), Result::Nothing);
    ASSERT_EQ(editor.MoveDown(), Result::Done);
    EXPECT_EQ(Codes(editor.Custom()), QStringList({"Cn002", "Cn001", "Cn003"}));
    EXPECT_EQ(editor.CustomSelection(), 1);
    ASSERT_EQ(editor.MoveDown(), Result::Done);
    EXPECT_EQ(editor.CustomSelection(), 2);
    EXPECT_EQ(editor.MoveDown(), Result::Nothing);
    ASSERT_EQ(editor.MoveUp(), Result::Done);
    EXPECT_EQ(editor.Entries(), (QList<CustomEntry>{{1, 1}, {1, 0}, {1, 2}}));
}

TEST(CustomListMove, MoveButtonsFollowTheSelection) {
    CustomListEditor editor({{1, 0}, {1, 1}, {1, 2}});
    const auto removeUpDown = [](const CustomListEditor& e) {
        const Buttons b = e.EnabledButtons();
        return std::tuple(b.remove, b.moveUp, b.moveDown);
    };
    const std::tuple<int, bool, bool, bool> cases[] = {{0, true, false, true},
                                                       {1, true, true, true},
                                                       {2, true, true, false},
                                                       {-1, false, false, false}};
    for (const auto& [row, remove, up, down] : cases) {
        editor.SelectCustom(row);
        EXPECT_EQ(removeUpDown(editor), std::tuple(remove, up, down)) << row;
    }
    CustomListEditor single({{1, 0}});
    single.SelectCustom(0);
    EXPECT_EQ(removeUpDown(single), std::tuple(true, false, false));
}

TEST(CustomListLimit, TheEightyFirstEntryIsRefused) {
    CustomListEditor editor({});
    for (int i = 0; i < 80; ++i) {
        editor.SelectAvailable(0);
        ASSERT_EQ(editor.Add(), Result::Done) << i;
    }
    const QList<CustomEntry> before = editor.Entries();
    editor.SelectAvailable(0);
    EXPECT_EQ(editor.Add(), Result::Full);
    EXPECT_EQ(editor.Entries(), before);
    EXPECT_EQ(editor.Available().size(), 81);
    EXPECT_EQ(editor.AddAll(), Result::Full);
    EXPECT_EQ(editor.Entries(), before);
    // Still enabled, so that pressing it says why nothing happens.
    EXPECT_TRUE(editor.EnabledButtons().add);
    EXPECT_EQ(CustomListEditor::FullMessageText(),
              QString::fromUtf8("自定义参数表最多只能加入 80 个参数。"));
    // After a removal there is room again.
    editor.SelectCustom(0);
    ASSERT_EQ(editor.Remove(), Result::Done);
    editor.SelectAvailable(0);
    EXPECT_EQ(editor.Add(), Result::Done);
}

TEST(CustomListLimit, AddAllStopsAtTheLimitInCatalogueOrder) {
    CustomListEditor editor({{6, 18}});
    EXPECT_EQ(editor.AddAll(), Result::Full);
    ASSERT_EQ(editor.Custom().size(), 80);
    EXPECT_EQ(editor.Custom()[1], (CustomEntry{1, 0}));
    EXPECT_EQ(editor.Custom()[79], (CustomEntry{4, 12})); // Hn519, then 40 + 8 + 18 + 13
    EXPECT_EQ(editor.Available().size(), 81);
}

TEST(CustomListLimit, ALongerTableFromTheSettingsFileIsKeptButNotExtended) {
    QList<CustomEntry> entries;
    for (int i = 0; i < 40; ++i) {
        entries.append({1, i});
    }
    for (int i = 0; i < 50; ++i) {
        entries.append({4, i});
    }
    CustomListEditor editor(entries);
    EXPECT_EQ(editor.Custom().size(), 90);
    editor.SelectAvailable(0);
    EXPECT_EQ(editor.Add(), Result::Full);
    EXPECT_EQ(editor.Entries(), entries);
}

TEST(CustomTableWindow, ShowsTheFirstEightyEntriesThatNameAParameter) {
    CustomTable table;
    table.Entries.append({9, 9});
    for (int i = 0; i < 90; ++i) {
        table.Entries.append({i < 40 ? 1 : 4, i < 40 ? i : i - 40});
    }
    const QList<CustomEntry> rows = CustomTableWindowRows(table);
    ASSERT_EQ(rows.size(), 80);
    EXPECT_EQ(rows.front(), (CustomEntry{1, 0}));
    EXPECT_EQ(rows.back(), (CustomEntry{4, 39}));
    EXPECT_EQ(table.Entries.size(), 91); // the table itself keeps everything
    EXPECT_TRUE(CustomTableWindowRows(CustomTable{}).isEmpty());
}

} // namespace

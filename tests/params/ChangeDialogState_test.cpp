// The display-settings dialog's rules: how its controls follow the display mode, how clicks
// change the flags, what OK fills in, and what the editor takes back.

#include "params/ChangeDialogState.h"

#include <gtest/gtest.h>

namespace {

constexpr std::array<bool, 7> kAllSeven{true, true, true, true, true, true, true};
constexpr std::array<bool, 7> kNoGroup{};
constexpr std::array<bool, 4> kAllFour{true, true, true, true};
constexpr std::array<bool, 4> kNoMode{};

ChangeDialogState StateWith(int mode, std::array<bool, 7> groups, std::array<bool, 4> modes) {
    ChangeDialogState state;
    state.displayMode = mode;
    state.groupFlags = groups;
    state.controlModeFlags = modes;
    return state;
}

TEST(ChangeDialog, GroupModeWithAllParametersChecksEverythingAndLocksTheGroups) {
    ChangeDialogState state =
        StateWith(0, {true, false, true, false, false, false, false}, {true, false, false, true});
    const ChangeDialogControls controls = UpdateControls(state);
    EXPECT_EQ(state.groupFlags, kAllSeven) << "all parameters turns the six groups on";
    EXPECT_EQ(controls, (ChangeDialogControls{{true, false, false},
                                              kAllSeven,
                                              {true, false, false, false, false, false, false},
                                              kNoMode,
                                              kNoMode,
                                              false}));
    EXPECT_EQ(state.controlModeFlags, (std::array<bool, 4>{true, false, false, true}))
        << "unchecking the boxes keeps the flags";
}

TEST(ChangeDialog, UntickingAllParametersFreesTheGroupsAsTheyWere) {
    ChangeDialogState state = StateWith(0, kAllSeven, kAllFour);
    const ChangeDialogControls controls = ClickAllParameters(state);
    EXPECT_FALSE(state.groupFlags[0]);
    EXPECT_EQ(controls.groupChecked,
              (std::array<bool, 7>{false, true, true, true, true, true, true}));
    EXPECT_EQ(controls.groupEnabled, kAllSeven);
}

TEST(ChangeDialog, TickingTheSixthGroupTurnsAllParametersOn) {
    ChangeDialogState state = StateWith(0, kNoGroup, kAllFour);
    for (int group = 1; group <= 5; ++group) {
        const ChangeDialogControls controls = ClickGroup(state, group);
        EXPECT_FALSE(state.groupFlags[0]) << group;
        EXPECT_FALSE(controls.groupChecked[0]) << group;
        EXPECT_TRUE(controls.groupChecked[group]) << group;
        EXPECT_TRUE(controls.groupEnabled[group]) << group;
    }
    const ChangeDialogControls controls = ClickGroup(state, 6);
    EXPECT_EQ(state.groupFlags, kAllSeven);
    EXPECT_EQ(controls.groupChecked, kAllSeven);
    EXPECT_FALSE(controls.groupEnabled[6]) << "the groups are locked again";
}

TEST(ChangeDialog, OkTurnsAllSevenGroupsOnWhenNoneIsLeftButKeepsAPartialChoice) {
    ChangeDialogState state = StateWith(0, kAllSeven, kAllFour);
    ClickAllParameters(state);
    for (int group = 1; group <= 6; ++group) {
        ClickGroup(state, group);
    }
    EXPECT_EQ(state.groupFlags, kNoGroup);
    ConfirmChangeDialog(state);
    EXPECT_EQ(state.groupFlags, kAllSeven);

    constexpr std::array<bool, 7> partial{false, false, true, false, false, false, true};
    state = StateWith(0, partial, kNoMode);
    ConfirmChangeDialog(state);
    EXPECT_EQ(state.groupFlags, partial);
    EXPECT_EQ(state.controlModeFlags, kNoMode) << "control modes are filled only in mode 1";
}

TEST(ChangeDialog, ControlModeShowsTheModesAndLocksTheGroups) {
    ChangeDialogState state =
        StateWith(0, {false, true, true, true, true, true, true}, {true, false, true, false});
    const ChangeDialogControls controls = ClickDisplayMode(state, 1);
    EXPECT_EQ(state.displayMode, 1);
    EXPECT_TRUE(state.groupFlags[0]) << "six set groups set all parameters";
    EXPECT_EQ(controls, (ChangeDialogControls{{false, true, false},
                                              kNoGroup,
                                              kNoGroup,
                                              {true, false, true, false},
                                              kAllFour,
                                              false}));

    const ChangeDialogControls after = ClickControlMode(state, 3);
    EXPECT_EQ(after.controlModeChecked, (std::array<bool, 4>{true, false, true, true}));
}

TEST(ChangeDialog, ControlModeLeavesAPartialGroupChoiceAlone) {
    ChangeDialogState state = StateWith(1, {false, true, false, true, true, true, true}, kAllFour);
    UpdateControls(state);
    EXPECT_FALSE(state.groupFlags[0]);
}

TEST(ChangeDialog, NoControlModeThenOkTurnsAllFourOn) {
    ChangeDialogState state = StateWith(1, kAllSeven, kAllFour);
    for (int mode = 0; mode < 4; ++mode) {
        ClickControlMode(state, mode);
    }
    EXPECT_EQ(state.controlModeFlags, kNoMode);
    ConfirmChangeDialog(state);
    EXPECT_EQ(state.controlModeFlags, kAllFour);
}

TEST(ChangeDialog, CustomModeOffersOnlyAddRemove) {
    ChangeDialogState state = StateWith(0, {false, true, true, true, true, true, true}, kAllFour);
    const ChangeDialogControls controls = ClickDisplayMode(state, 2);
    EXPECT_TRUE(state.groupFlags[0]);
    EXPECT_EQ(controls, (ChangeDialogControls{
                            {false, false, true}, kNoGroup, kNoGroup, kNoMode, kNoMode, true}));
}

TEST(ChangeDialog, EditorTakesTheSettingsAndTheMaskAndTheListOnlyInCustomMode) {
    CustomTable custom;
    custom.Entries = {{1, 0}};
    const QList<CustomEntry> edited = {{4, 1}, {2, 3}};
    struct Case {
        int mode;
        std::array<bool, 4> modes;
        int32_t mask;
        bool takesList;
    };
    const Case cases[] = {
        {0, {true, true, false, false}, 0x1100, false},
        {1, {false, false, false, true}, 0x0001, false},
        {2, {false, false, true, false}, 0x0010, true},
    };
    for (const Case& c : cases) {
        DisplaySettings settings;
        CustomTable table = custom;
        ChangeDialogState state = OpenChangeDialog(settings, table);
        ClickDisplayMode(state, c.mode);
        state.controlModeFlags = c.modes;
        ReplaceCustomList(state, edited);
        ConfirmChangeDialog(state);
        ApplyChangeDialog(state, settings, table);
        EXPECT_EQ(settings.DisplayMode, c.mode);
        EXPECT_EQ(settings.controlModeFlags, c.modes);
        EXPECT_EQ(settings.controlModeMask, c.mask) << c.mode;
        EXPECT_EQ(table.Entries, c.takesList ? edited : custom.Entries) << c.mode;
    }
}

} // namespace

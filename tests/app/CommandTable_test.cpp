// The command table: which open windows disable or refuse which commands, what needs the link,
// and the checks of the link commands.

#include "app/CommandTable.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace Command;

CommandState Linked(std::set<int> openWindows = {}) {
    CommandState state;
    state.linkUp = true;
    state.linkRequested = true;
    state.openWindows = std::move(openWindows);
    return state;
}

bool Lists(const std::vector<int>& windows, int window) {
    return std::find(windows.begin(), windows.end(), window) != windows.end();
}

TEST(CommandTable, RowsAreUniqueAndEveryOpenWindowActsExactlyAsTheRowsSay) {
    std::set<int> ids;
    for (const CommandRow& row : CommandRows()) {
        EXPECT_TRUE(ids.insert(row.id).second) << row.id << " twice";
        EXPECT_FALSE(CommandText(row).isEmpty()) << row.id;
        for (int window : row.blockedBy)
            EXPECT_NE(FindCommand(window), nullptr) << row.id << " blocked by " << window;
        for (int window : row.refusedBy)
            EXPECT_NE(FindCommand(window), nullptr) << row.id << " refused by " << window;
    }
    for (const CommandRow& row : CommandRows()) {
        const bool linkCommand = row.id == Connect; // disabled while the link is wanted
        EXPECT_EQ(IsCommandEnabled(row.id, Linked()), !linkCommand) << row.id;
        EXPECT_TRUE(MayOpenWindow(row.id, Linked())) << row.id;
        for (int window : ids) {
            const CommandState state = Linked({window});
            const bool blocked = Lists(row.blockedBy, window);
            EXPECT_EQ(IsCommandEnabled(row.id, state), !blocked && !linkCommand)
                << row.id << " with " << window;
            EXPECT_EQ(MayOpenWindow(row.id, state), !blocked && !Lists(row.refusedBy, window))
                << row.id << " with " << window;
        }
    }
}

TEST(CommandTable, JogAndMonitorsKeepTheParameterWindowsOutWhichExcludeEachOther) {
    const int groups[] = {ControlParameters, TorqueParameters, SpeedParameters, PositionParameters};
    for (int tool : {Jog, StatusMonitor, Diagnostics, AlarmHistory}) {
        for (int window :
             {ControlParameters, PositionParameters, CustomParameters, ParameterEditor})
            EXPECT_FALSE(MayOpenWindow(window, Linked({tool}))) << window << " with " << tool;
        EXPECT_FALSE(IsCommandEnabled(FileNew, Linked({tool})));
    }
    for (int group : groups) {
        EXPECT_FALSE(MayOpenWindow(CustomParameters, Linked({group}))) << group;
        EXPECT_FALSE(MayOpenWindow(group, Linked({CustomParameters}))) << group;
        // Refused only: the item stays enabled.
        EXPECT_TRUE(IsCommandEnabled(group, Linked({CustomParameters}))) << group;
        EXPECT_TRUE(MayOpenWindow(group, Linked({ParameterEditor, ControlParameters}))) << group;
    }
    EXPECT_FALSE(MayOpenWindow(ParameterEditor, Linked({CustomParameters})));
    for (int window : {ControlParameters, CustomParameters}) {
        EXPECT_FALSE(MayOpenWindow(OnlineEditing, Linked({window}))) << window;
        EXPECT_TRUE(IsCommandEnabled(OnlineEditing, Linked({window}))) << window;
    }
    EXPECT_TRUE(IsCommandEnabled(ParameterEditor, Linked({CustomParameters})));
    EXPECT_FALSE(IsCommandEnabled(FileOpen, Linked({CustomParameters})));
    EXPECT_TRUE(IsCommandEnabled(FileOpen, Linked({ParameterEditor})));
    for (int command : {OnlineEditing, StatusMonitor, Trace, Jog, ContactPlanning, MachineAnalysis})
        EXPECT_FALSE(IsCommandEnabled(command, Linked({ParameterEditor}))) << command;
}

TEST(CommandTable, LinkCommandsFollowTheWishAndDriveCommandsNeedTheLink) {
    const CommandState off;
    const CommandState on = Linked();
    EXPECT_TRUE(IsCommandEnabled(Connect, off));
    EXPECT_FALSE(IsCommandChecked(Connect, off));
    EXPECT_FALSE(IsCommandEnabled(Disconnect, off));
    EXPECT_TRUE(IsCommandChecked(Disconnect, off));
    EXPECT_TRUE(IsCommandChecked(Connect, on));
    EXPECT_TRUE(IsCommandEnabled(Disconnect, on));
    EXPECT_FALSE(IsCommandChecked(Disconnect, on));
    for (const CommandRow& row : CommandRows()) {
        EXPECT_EQ(IsCommandEnabled(row.id, off), row.needs != Needs::Link && row.id != Disconnect)
            << row.id;
        if (row.id != Connect && row.id != Disconnect) {
            EXPECT_FALSE(IsCommandChecked(row.id, off) || IsCommandChecked(row.id, on)) << row.id;
        }
    }
    for (int command : {CopyToDrive, CopyToComputer, OnlineEditing, StatusMonitor, Jog})
        EXPECT_EQ(FindCommand(command)->needs, Needs::Link) << command;
    for (int command : {FileNew, ParameterEditor, ControlParameters, PortSettings, Trace})
        EXPECT_NE(FindCommand(command)->needs, Needs::Link) << command;
}

} // namespace

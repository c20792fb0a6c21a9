// What the parameter windows' requests ask the view to do: message codes, requests and their
// arguments, including the ones that must do nothing.

#include "params/ParameterRequests.h"

#include <gtest/gtest.h>

namespace {

using Kind = ParameterAction::Kind;

ParameterAction WriteOneOf(char letter, int number, ParamGroup group, int customRow = 0) {
    ParameterAction a;
    a.kind = Kind::WriteOne;
    a.group = group;
    a.code = ParamCode{letter, number};
    a.customRow = customRow;
    return a;
}

TEST(GroupRequests, ReadWriteAndWriteOne) {
    const QList<CustomEntry> none;
    // Each of the four windows has a message of its own, which decodes to its group.
    for (ParamGroup g :
         {ParamGroup::Control, ParamGroup::Torque, ParamGroup::Speed, ParamGroup::Position}) {
        EXPECT_EQ(DecodeParameterRequest(GroupRequestMessage(g), 2, 0, none).group, g);
    }
    EXPECT_EQ(GroupRequestMessage(ParamGroup::Quick), 0);
    EXPECT_EQ(GroupRequestMessage(ParamGroup::Contact), 0);
    EXPECT_EQ(DecodeParameterRequest(0x52C, 2, 0, none).kind, Kind::ReadGroup);
    EXPECT_EQ(DecodeParameterRequest(0x5F4, 3, 0, none).kind, Kind::WriteGroup);
    EXPECT_EQ(DecodeParameterRequest(0x5F4, 3, 0, none).group, ParamGroup::Position);
    EXPECT_EQ(DecodeParameterRequest(0x4C8, 1, 16, none), WriteOneOf('C', 16, ParamGroup::Control));
    EXPECT_EQ(DecodeParameterRequest(0x590, 1, 1, none), WriteOneOf('S', 1, ParamGroup::Speed));
    // Only the window's rows (not Cn017, Tn108 or row 0), and no other request or message.
    const int nothing[][3] = {{0x4C8, 1, 17}, {0x52C, 1, 8},  {0x52C, 1, 0},  {0x4C8, 0, 1},
                              {0x4C8, 4, 1},  {0x4C8, 11, 1}, {0x4C8, -1, 1}, {0x4C9, 2, 0}};
    for (const auto& [message, request, argument] : nothing) {
        EXPECT_EQ(DecodeParameterRequest(message, request, argument, none).kind, Kind::None)
            << std::hex << message << std::dec << " request " << request << " " << argument;
    }
}

TEST(CustomRequests, WholeListAndSingleWritesByRow) {
    const QList<CustomEntry> rows{{4, 15}, {1, 9}, {5, 0}, {2, 7}, {3, 17}};
    EXPECT_EQ(DecodeParameterRequest(0x658, 2, 0, rows).kind, Kind::ReadCustomList);
    EXPECT_EQ(DecodeParameterRequest(0x658, 3, 0, rows).kind, Kind::WriteCustomList);
    EXPECT_EQ(DecodeParameterRequest(0x658, 14, 1, rows),
              WriteOneOf('P', 16, ParamGroup::Position, 1));
    EXPECT_EQ(DecodeParameterRequest(0x658, 11, 2, rows),
              WriteOneOf('C', 10, ParamGroup::Control, 2));
    EXPECT_EQ(DecodeParameterRequest(0x658, 12, 4, rows),
              WriteOneOf('T', 8, ParamGroup::Torque, 4));
    EXPECT_EQ(DecodeParameterRequest(0x658, 13, 5, rows),
              WriteOneOf('S', 18, ParamGroup::Speed, 5));
}

TEST(CustomRequests, RequestsThatDoNothing) {
    const QList<CustomEntry> rows{{4, 15}, {1, 9}, {5, 0}};
    // A request whose group is not the row's, rows outside the table, the group-window request
    // and requests beyond 14.
    for (const auto& [request, row] :
         {std::pair{11, 1}, {11, 0}, {11, 4}, {1, 2}, {15, 3}, {16, 3}}) {
        EXPECT_EQ(DecodeParameterRequest(0x658, request, row, rows).kind, Kind::None)
            << request << " row " << row;
    }
    // An index outside the group does not reach the transfer.
    EXPECT_EQ(DecodeParameterRequest(0x658, 11, 1, {{1, 40}}).kind, Kind::None);
}

} // namespace

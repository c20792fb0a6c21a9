// What the parameter windows' requests ask the view to do, including the ones that must do
// nothing because the window's row no longer names what the user chose.

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
    for (ParamGroup g :
         {ParamGroup::Control, ParamGroup::Torque, ParamGroup::Speed, ParamGroup::Position}) {
        EXPECT_EQ(DecodeParameterRequest(ParameterRequest::ReadAll(g), none).kind, Kind::ReadGroup);
        EXPECT_EQ(DecodeParameterRequest(ParameterRequest::ReadAll(g), none).group, g);
        EXPECT_EQ(DecodeParameterRequest(ParameterRequest::WriteAll(g), none).kind,
                  Kind::WriteGroup);
        EXPECT_EQ(DecodeParameterRequest(ParameterRequest::WriteAll(g), none).group, g);
    }
    EXPECT_EQ(
        DecodeParameterRequest(ParameterRequest::WriteGroupRow(ParamGroup::Control, 16), none),
        WriteOneOf('C', 16, ParamGroup::Control));
    EXPECT_EQ(DecodeParameterRequest(ParameterRequest::WriteGroupRow(ParamGroup::Speed, 1), none),
              WriteOneOf('S', 1, ParamGroup::Speed));
    // Only the window's rows (not Cn017, Tn108 or row 0), and no window for quick or contact.
    const ParameterRequest nothing[] = {ParameterRequest::WriteGroupRow(ParamGroup::Control, 17),
                                        ParameterRequest::WriteGroupRow(ParamGroup::Torque, 8),
                                        ParameterRequest::WriteGroupRow(ParamGroup::Torque, 0),
                                        ParameterRequest::WriteGroupRow(ParamGroup::Quick, 1),
                                        ParameterRequest::ReadAll(ParamGroup::Quick),
                                        ParameterRequest::WriteAll(ParamGroup::Contact)};
    for (const ParameterRequest& request : nothing) {
        EXPECT_EQ(DecodeParameterRequest(request, none).kind, Kind::None) << "row " << request.row;
    }
}

TEST(CustomRequests, WholeListAndSingleWritesByRow) {
    const QList<CustomEntry> rows{{4, 15}, {1, 9}, {5, 0}, {2, 7}, {3, 17}};
    EXPECT_EQ(DecodeParameterRequest(ParameterRequest::ReadAll(std::nullopt), rows).kind,
              Kind::ReadCustomList);
    EXPECT_EQ(DecodeParameterRequest(ParameterRequest::WriteAll(std::nullopt), rows).kind,
              Kind::WriteCustomList);
    EXPECT_EQ(
        DecodeParameterRequest(ParameterRequest::WriteCustomRow(1, ParamGroup::Position), rows),
        WriteOneOf('P', 16, ParamGroup::Position, 1));
    EXPECT_EQ(
        DecodeParameterRequest(ParameterRequest::WriteCustomRow(2, ParamGroup::Control), rows),
        WriteOneOf('C', 10, ParamGroup::Control, 2));
    EXPECT_EQ(DecodeParameterRequest(ParameterRequest::WriteCustomRow(4, ParamGroup::Torque), rows),
              WriteOneOf('T', 8, ParamGroup::Torque, 4));
    EXPECT_EQ(DecodeParameterRequest(ParameterRequest::WriteCustomRow(5, ParamGroup::Speed), rows),
              WriteOneOf('S', 18, ParamGroup::Speed, 5));
}

TEST(CustomRequests, RequestsThatDoNothing) {
    const QList<CustomEntry> rows{{4, 15}, {1, 9}, {5, 0}};
    // A row whose group is no longer the one the user chose (the list changed while the request
    // waited), rows outside the table, and the quick row that is written only with the list.
    for (const ParameterRequest& request :
         {ParameterRequest::WriteCustomRow(1, ParamGroup::Control),
          ParameterRequest::WriteCustomRow(0, ParamGroup::Control),
          ParameterRequest::WriteCustomRow(4, ParamGroup::Control),
          ParameterRequest::WriteCustomRow(3, ParamGroup::Quick)}) {
        EXPECT_EQ(DecodeParameterRequest(request, rows).kind, Kind::None) << "row " << request.row;
    }
    // An index outside the group does not reach the transfer.
    EXPECT_EQ(
        DecodeParameterRequest(ParameterRequest::WriteCustomRow(1, ParamGroup::Control), {{1, 40}})
            .kind,
        Kind::None);
}

} // namespace

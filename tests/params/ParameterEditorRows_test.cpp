// The parameter editor's list: membership by group flags, control modes and the custom list, the
// row texts, and asking once per connection whether to read the drive.

#include "params/ParameterEditorRows.h"

#include "base/Messenger.h"
#include "drive/CatalogueTable.h"
#include "drive/ParameterCatalogue.h"
#include "params/NolvaServoDoc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Texts(const QList<ParamCode>& codes) {
    std::vector<std::string> texts;
    for (const ParamCode& code : codes) {
        texts.push_back(code.Text().toStdString());
    }
    return texts;
}

std::set<std::string> TextSet(const QList<ParamCode>& codes) {
    const auto texts = Texts(codes);
    return {texts.begin(), texts.end()};
}

DisplaySettings ByControlMode(std::array<bool, 4> flags) {
    DisplaySettings settings;
    settings.DisplayMode = 1;
    settings.controlModeFlags = flags;
    settings.controlModeMask = ControlModeMaskOf(flags);
    return settings;
}

// Codes of group `letter` from `first` to `last`.
std::vector<std::string> Range(char letter, int first, int last) {
    std::vector<std::string> texts;
    for (int n = first; n <= last; ++n) {
        texts.push_back(ParamCode{letter, n}.Text().toStdString());
    }
    return texts;
}

TEST(ControlModeMembership, EveryParameterMattersInSomeModeAndQuickOnesAsTheirTwins) {
    for (const ParamSpec& p : AllParameters()) {
        const int32_t membership = ControlModeMembership({p.letter, p.number});
        EXPECT_NE(membership, 0) << p.letter << int(p.number);
        EXPECT_EQ(membership & ~0x1111, 0) << p.letter << int(p.number);
        if (p.letter == 'q') {
            const ParamCode twin = QuickTwinOf(p.number);
            EXPECT_EQ(membership, ControlModeMembership(twin)) << int(p.number);
        }
        if (p.letter == 'H') {
            EXPECT_EQ(membership, 0x1111) << int(p.number);
        }
    }
    for (const ParamCode& outside : {ParamCode{'C', 41}, ParamCode{'T', 9}, ParamCode{'P', 70},
                                     ParamCode{'q', 8}, ParamCode{'H', 20}, ParamCode{'U', 1}}) {
        EXPECT_EQ(ControlModeMembership(outside), 0) << outside.letter << outside.number;
    }
}

TEST(ControlModeMask, SumsTheBitsOfTheSetFlags) {
    EXPECT_EQ(ControlModeMaskOf({false, false, false, false}), 0x0000);
    EXPECT_EQ(ControlModeMaskOf({true, false, false, false}), 0x1000);
    EXPECT_EQ(ControlModeMaskOf({false, true, false, true}), 0x0101);
    EXPECT_EQ(ControlModeMaskOf({true, true, true, true}), 0x1111);
}

TEST(EditorCodes, ExternalPulseModeListsThePulseParametersAndNotTheInternalPositions) {
    const QList<ParamCode> codes = EditorCodes(ByControlMode({false, false, false, true}), {});
    const auto listed = TextSet(codes);
    for (const std::string& code : Range('P', 2, 6)) {
        EXPECT_TRUE(listed.count(code)) << code;
    }
    for (const std::string& code : Range('P', 16, 64)) {
        EXPECT_FALSE(listed.count(code)) << code;
    }
    // Torque-and-speed-only control parameters and pure speed parameters stay out.
    for (const char* code : {"Cn004", "Cn007", "Tn101", "Tn107", "Sn201", "Sn215"}) {
        EXPECT_FALSE(listed.count(code)) << code;
    }
    for (const char* code : {"Cn033", "Tn108", "Sn211", "Sn214", "Pn301", "Pn369", "qn407"}) {
        EXPECT_TRUE(listed.count(code)) << code;
    }
    // 38 Cn, Tn108, Sn211..Sn214, 20 Pn, 7 qn, 19 Hn; in group order without repeats.
    EXPECT_EQ(codes.size(), 89);
    EXPECT_EQ(listed.size(), 89u);
    const auto texts = Texts(codes);
    EXPECT_EQ(texts.front(), "Cn001");
    EXPECT_EQ(texts.back(), "Hn519");
    const auto pn301 = std::find(texts.begin(), texts.end(), "Pn301");
    ASSERT_NE(pn301, texts.end());
    EXPECT_EQ(
        std::vector<std::string>(pn301, pn301 + 7),
        (std::vector<std::string>{"Pn301", "Pn302", "Pn303", "Pn304", "Pn305", "Pn306", "Pn307"}));
}

TEST(EditorCodes, ControlModeCountsFollowTheMembership) {
    struct Case {
        std::array<bool, 4> flags;
        qsizetype count;
    };
    const Case cases[] = {
        {{true, false, false, false}, 51},  // 24 Cn, 8 Tn, 19 Hn
        {{false, true, false, false}, 81},  // 39 Cn, Tn108, 18 Sn, qn401..qn404, 19 Hn
        {{false, false, true, false}, 133}, // 38 Cn, Tn108, 4 Sn, 64 Pn, 7 qn, 19 Hn
        {{true, true, true, true}, kParameterCount}, {{false, false, false, false}, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EditorCodes(ByControlMode(c.flags), {}).size(), c.count)
            << ControlModeMaskOf(c.flags);
    }
}

TEST(EditorCodes, ControlModeUsesTheMaskNotTheFlags) {
    DisplaySettings settings = ByControlMode({true, true, true, true});
    settings.controlModeMask = kTorqueModeBit; // a mask the editor has not recomputed yet
    EXPECT_EQ(EditorCodes(settings, {}).size(), 51);
}

TEST(EditorCodes, GroupModeListsTheFlaggedGroupsInGroupOrder) {
    DisplaySettings settings;
    settings.DisplayMode = 0;
    settings.groupFlags = {false, false, true, false, false, false, true}; // Tn and Hn
    std::vector<std::string> expected = Range('T', 1, 8);
    const auto hn = Range('H', 1, 19);
    expected.insert(expected.end(), hn.begin(), hn.end());
    EXPECT_EQ(Texts(EditorCodes(settings, {})), expected);

    settings.groupFlags.fill(true);
    const QList<ParamCode> all = EditorCodes(settings, {});
    ASSERT_EQ(all.size(), kParameterCount);
    for (qsizetype i = 0; i < all.size(); ++i) {
        EXPECT_EQ(all[i], (ParamCode{AllParameters()[i].letter, AllParameters()[i].number}));
    }
}

TEST(EditorCodes, CustomModeKeepsTheListOrderAndPassesOverEntriesThatNameNothing) {
    DisplaySettings settings;
    settings.DisplayMode = 2;
    CustomTable custom;
    custom.Entries = {{4, 8},  // Pn309
                      {1, 0},  // Cn001
                      {7, 0},  // no group 7
                      {6, 18}, // Hn519
                      {2, 8},  // Tn109 does not exist
                      {5, 0},  // qn401
                      {1, 0}}; // Cn001 again
    EXPECT_EQ(Texts(EditorCodes(settings, custom)),
              (std::vector<std::string>{"Pn309", "Cn001", "Hn519", "qn401", "Cn001"}));
    // The custom list plays no part in the other modes.
    settings.DisplayMode = 0;
    EXPECT_EQ(EditorCodes(settings, custom).size(), kParameterCount);
    settings.DisplayMode = 3;
    EXPECT_TRUE(EditorCodes(settings, custom).isEmpty());
}

TEST(EditorRows, ColumnsComeFromTheDocumentAndTheFlags) {
    DriveProfile profile;
    CNolvaServoDoc document(profile);
    document.OnNewDocument();
    FillParameterRanges(document, profile);
    FillParameterDefaults(document, profile);
    document.values.control[1] = 0x1F; // Cn002, shown in hex
    document.values.speed[4] = 1234;   // Sn205
    EditorRowFlags flags;
    flags.SetChecked({'S', 5}, true);
    flags.SetChanged({'C', 2}, true);

    DisplaySettings settings;
    settings.DisplayMode = 2;
    CustomTable custom;
    custom.Entries = {{1, 4}, {1, 1}, {3, 4}};
    const QList<EditorRow> rows = BuildEditorRows(document, settings, custom, &flags);
    ASSERT_EQ(rows.size(), 3);

    const EditorRow& cn005 = rows[0];
    EXPECT_EQ(cn005.codeText, "Cn005");
    EXPECT_EQ(cn005.defaultText, QString::fromUtf8("编码器一转脉冲数"));
    EXPECT_FALSE(cn005.name.isEmpty());

    const EditorRow& cn002 = rows[1];
    EXPECT_EQ(cn002.valueText, FormatValue(ParamCode::FromText("Cn002"), 0x1F, false));
    EXPECT_TRUE(cn002.highlighted);
    EXPECT_FALSE(cn002.checked);

    const EditorRow& sn205 = rows[2];
    EXPECT_EQ(sn205.code, (ParamCode{'S', 5}));
    EXPECT_EQ(sn205.valueText, "1234");
    EXPECT_EQ(sn205.name, ParameterName({'S', 5}));
    EXPECT_EQ(sn205.unitText, UnitText(ParamCode::FromText("Sn205")));
    EXPECT_EQ(sn205.rangeText, RangeText(ParamCode::FromText("Sn205"), document.minimums.speed[4],
                                         document.maximums.speed[4]));
    EXPECT_EQ(sn205.defaultText, QString::number(document.defaults.speed[4]));
    EXPECT_TRUE(sn205.checked);
    EXPECT_FALSE(sn205.highlighted);

    // Without flags nothing is ticked or highlighted.
    for (const EditorRow& row : BuildEditorRows(document, settings, custom)) {
        EXPECT_FALSE(row.checked || row.highlighted) << row.codeText.toStdString();
    }
}

TEST(EditorRows, FlagsKeepEachSlotApartAndIgnoreWhatIsNoParameterSlot) {
    EditorRowFlags flags;
    flags.SetChecked({'q', 5}, true);
    flags.SetChecked({'X', 5}, true);
    flags.SetChecked({'C', 0}, true);
    flags.SetChecked({'C', 71}, true);
    EXPECT_TRUE(flags.Checked({'q', 5}));
    EXPECT_FALSE(flags.Changed({'q', 5}));
    for (const ParamCode& other : {ParamCode{'S', 5}, ParamCode{'X', 5}, ParamCode{'C', 71}}) {
        EXPECT_FALSE(flags.Checked(other)) << other.letter << other.number;
    }
    flags.SetChecked({'q', 5}, false);
    EXPECT_FALSE(flags.Checked({'q', 5}));
}

TEST(EditorLinkWatch, AsksOncePerConnection) {
    EditorLinkWatch watch;
    // link state at each 400 ms tick -> whether the editor asks
    const std::vector<std::pair<bool, bool>> ticks = {
        {false, false}, {true, true},   {true, false}, {true, false}, // first connection
        {false, false}, {false, false},                               // disconnected
        {true, true},   {true, false},                                // connected again
    };
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        EXPECT_EQ(watch.Tick(ticks[i].first), ticks[i].second) << "tick " << i;
    }
}

TEST(AskToReadDrive, QuestionsAndAnswers) {
    struct Case {
        bool modified;
        QList<MessageAnswer> answers;
        DriveReadChoice choice;
        int questions;
    };
    const Case cases[] = {
        {false, {MessageAnswer::No}, DriveReadChoice::Skip, 1},
        {false, {MessageAnswer::Yes}, DriveReadChoice::Read, 1},
        {true, {MessageAnswer::No}, DriveReadChoice::Skip, 1},
        {true, {MessageAnswer::Yes, MessageAnswer::Yes}, DriveReadChoice::SaveThenRead, 2},
        {true, {MessageAnswer::Yes, MessageAnswer::No}, DriveReadChoice::Read, 2},
        {true, {MessageAnswer::Yes, MessageAnswer::Cancel}, DriveReadChoice::Skip, 2},
    };
    for (const Case& c : cases) {
        RecordingMessenger messenger;
        messenger.answers = c.answers;
        EXPECT_EQ(AskToReadDrive(messenger, c.modified), c.choice);
        ASSERT_EQ(messenger.messages.size(), c.questions);
        EXPECT_EQ(messenger.messages[0].buttons, MessageButtons::YesNo);
        if (c.questions == 2) {
            // The second question is whether to save first, and it can be cancelled.
            EXPECT_NE(messenger.messages[1].text, messenger.messages[0].text);
            EXPECT_EQ(messenger.messages[1].buttons, MessageButtons::YesNoCancel);
        }
    }
}

} // namespace

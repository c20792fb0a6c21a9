// What the catalogue knows of each parameter: index, flags, units, formats, ranges, defaults.

#include "drive/CatalogueTable.h"
#include "params/NolvaServoDoc.h"
#include "drive/ParameterCatalogue.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(ParamCode, ParsesGroupFromFirstAndNumberFromLastTwoCharacters) {
    EXPECT_EQ(ParamCode::fromText("Cn005"), (ParamCode{'C', 5}));
    EXPECT_EQ(ParamCode::fromText("Hn519"), (ParamCode{'H', 19}));
    EXPECT_EQ(ParamCode::fromText("qn4x7").number, 0);
    EXPECT_EQ(ParamCode::fromText("Cna05").number, 5); // only the last two characters count
    EXPECT_EQ(ParamCode::fromText("C").number, 0);
    EXPECT_EQ(ParamCode::fromText("").letter, 0);
    EXPECT_EQ((ParamCode{'P', 65}).text(), "Pn365");
    EXPECT_EQ((ParamCode{'q', 1}).text(), "qn401");
    EXPECT_TRUE((ParamCode{'U', 1}).text().isEmpty());
}

TEST(Catalogue, HoldsEachOfThe161ParametersOnceInGroupOrder) {
    std::set<std::pair<char, int>> seen;
    int previousGroup = 0;
    for (const ParamSpec& p : AllParameters()) {
        const int group = GroupIndexOfLetter(p.letter);
        ASSERT_GE(group, previousGroup) << p.letter << int(p.number);
        previousGroup = group;
        EXPECT_TRUE(seen.insert({p.letter, p.number}).second) << p.letter << int(p.number);
        EXPECT_LE(p.min, p.max) << p.letter << int(p.number);
        EXPECT_EQ(FindParam(p.letter, p.number), &p);
    }
    EXPECT_EQ(seen.size(), 161u);
    for (int g = 0; g < kParamGroupCount; ++g) {
        const ParamGroupInfo& info = GroupInfo(g);
        for (int n = 1; n <= info.count; ++n) {
            EXPECT_NE(FindParam(info.letter, n), nullptr) << info.letter << n;
        }
        EXPECT_EQ(FindParam(info.letter, info.count + 1), nullptr) << info.letter;
        EXPECT_EQ(FindParam(info.letter, 0), nullptr) << info.letter;
    }
}

TEST(Catalogue, ParameterIndices) {
    EXPECT_EQ(ParameterIndexOf('C', 1), 0x10);
    EXPECT_EQ(ParameterIndexOf('C', 30), 0x0B);
    EXPECT_EQ(ParameterIndexOf('T', 8), 0xCD);
    EXPECT_EQ(ParameterIndexOf('S', 18), 0x99);
    EXPECT_EQ(ParameterIndexOf('P', 7), 0x52);
    EXPECT_EQ(ParameterIndexOf('P', 17), 0x68); // first internal position: revolutions
    EXPECT_EQ(ParameterIndexOf('P', 25), 0x75); // third internal position: speed
    EXPECT_EQ(ParameterIndexOf('P', 64), 0xEF); // sixteenth internal position: speed
    EXPECT_EQ(ParameterIndexOf('P', 69), 0x4E);
    EXPECT_EQ(ParameterIndexOf('H', 1), 0xC0);
    EXPECT_EQ(ParameterIndexOf('H', 13), 0xCC);
    EXPECT_EQ(ParameterIndexOf('H', 14), 0xF4);
    EXPECT_EQ(ParameterIndexOf('H', 19), 0xFF);
    EXPECT_EQ(ParameterIndexOf('U', 7), 0x5C);
    EXPECT_EQ(ParameterIndexOf('U', 19), 0x44);
    EXPECT_EQ(ParameterIndexOf('D', 4), 0xE2);
    EXPECT_EQ(ParameterIndexOf('A', 1), 0);
    EXPECT_EQ(ParameterIndexOf('A', 10), 9);
    EXPECT_EQ(ParameterIndexOf('O', 6), 0xD4);
    EXPECT_EQ(ParameterIndexOf('O', 5), 0);
    EXPECT_EQ(ParameterIndexOf('U', 20), 0);
    EXPECT_EQ(ParameterIndexOf('X', 1), 0);
}

TEST(Catalogue, QuickParametersAreTheirTwinsInTheDrive) {
    const std::pair<char, int> twins[7] = {{'S', 11}, {'S', 12}, {'S', 13}, {'S', 14},
                                           {'P', 10}, {'P', 11}, {'P', 12}};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(ParameterIndexOf('q', i + 1), ParameterIndexOf(twins[i].first, twins[i].second))
            << "qn40" << i + 1;
        EXPECT_FALSE(IsRestartParameter('q', i + 1));
    }
    EXPECT_EQ(ParameterIndexOf('q', 5), 0x5A);
}

TEST(Catalogue, RestartAndTwoRegisterSets) {
    std::set<std::string> restart;
    for (const ParamSpec& p : AllParameters()) {
        if (IsRestartParameter(p.letter, p.number)) {
            restart.insert(ParamCode{p.letter, p.number}.text().toStdString());
        }
    }
    std::set<std::string> expected = {"Cn001", "Cn005", "Cn009", "Cn013", "Cn014", "Cn029",
                                      "Cn030", "Cn036", "Cn037", "Cn038", "Cn039", "Cn040",
                                      "Tn101", "Tn102", "Pn301", "Pn306", "Pn313", "Pn316"};
    for (int n = 1; n <= 19; ++n) {
        expected.insert(ParamCode{'H', n}.text().toStdString());
    }
    EXPECT_EQ(restart, expected);
    EXPECT_FALSE(IsRestartParameter('U', 1));

    for (const ParamSpec& p : AllParameters()) {
        const bool two = p.letter == 'P' && p.number >= 7 && p.number <= 9;
        EXPECT_EQ(IsTwoRegister(p.letter, p.number), two) << p.letter << int(p.number);
    }
    EXPECT_TRUE(IsTwoRegister('U', 7));
    EXPECT_TRUE(IsTwoRegister('U', 8));
    EXPECT_FALSE(IsTwoRegister('U', 9));
}

TEST(Catalogue, ModbusRegisters) {
    EXPECT_EQ(ModbusRegisterOf('T', 5), 261);
    EXPECT_EQ(ModbusRegisterOf('H', 1), 1281);
    EXPECT_EQ(ModbusRegisterOf('P', 69), 837);
    EXPECT_EQ(ModbusRegisterOf('P', 1), 769);
    EXPECT_EQ(ModbusRegisterOf('q', 7), 0x407);
    EXPECT_EQ(ModbusRegisterOf('U', 1), 0x601);
    EXPECT_EQ(ModbusRegisterOf('D', 1), 0);
}

TEST(Catalogue, UnitsAndAttributes) {
    EXPECT_EQ(UnitText("Cn005"), "pulse");
    EXPECT_EQ(UnitText("Cn020"), "*0.2ms");
    EXPECT_EQ(UnitText("Tn103"), "%/10V");
    EXPECT_EQ(UnitText("Sn216"), "rpm/10V");
    EXPECT_EQ(UnitText("Cn040"), "0.5ms");
    EXPECT_EQ(UnitText("Pn310"), "1/s");
    EXPECT_EQ(UnitText("Cn001"), "");
    EXPECT_EQ(UnitText("Cnx05"), "pulse"); // the middle characters are not read
    EXPECT_EQ(UnitText("Cn0x5"), "");      // last two not digits: number 0
    EXPECT_EQ(UnitText("Zn005"), "");

    EXPECT_EQ(ParamAttributes("Cn005"), 0x01);
    EXPECT_EQ(ParamAttributes("Tn104"), 0x02);
    EXPECT_EQ(ParamAttributes("Sn217"), 0x02);
    EXPECT_EQ(ParamAttributes("Pn317"), 0x02);
    EXPECT_EQ(ParamAttributes("Pn318"), 0x02);
    EXPECT_EQ(ParamAttributes("Pn319"), 0x00); // internal position speed is unsigned
    EXPECT_EQ(ParamAttributes("Pn368"), 0x02);
    EXPECT_EQ(ParamAttributes("Hn518"), 0xE0);
    EXPECT_EQ(ParamAttributes("Cn0x5"), 0x00);
    const char* hex[] = {"Cn002", "Cn006", "Cn015", "Cn026", "Cn030",
                         "Cn037", "Pn301", "Pn316", "Pn365"};
    for (const char* code : hex) {
        EXPECT_EQ(ParamAttributes(code), 0xE0) << code;
    }
    int hexCount = 0;
    for (const ParamSpec& p : AllParameters()) {
        hexCount += (p.attributes & kAttrFormatMask) == 0xE0 ? 1 : 0;
    }
    EXPECT_EQ(hexCount, 9 + 19);
}

TEST(Catalogue, FormatsAndRanges) {
    EXPECT_EQ(FormatValue("Pn301", 0x113, false), "0113");
    EXPECT_EQ(FormatValue("Hn501", 0x104, false), "0104");
    EXPECT_EQ(FormatValue("Cn011", -300, false), "-300");
    EXPECT_EQ(FormatValue("Cn005", 2500, false), "2500");
    EXPECT_EQ(FormatValue("Cn001", 2, true), "2");
    EXPECT_EQ(RangeText("Pn301", 0, 275), "0000~0113");
    EXPECT_EQ(RangeText("Cn011", -300, 0), "-300~0");
    EXPECT_EQ(RangeText("Cn001", 4, 4), "");
    EXPECT_EQ(RangeText("Sn201", -5000, 5000), "-5000~5000");
}

TEST(Catalogue, ContactFunctionNames) {
    EXPECT_EQ(DiFunctionName(0), "SON");
    EXPECT_EQ(DiFunctionName(13), "SPDINV");
    EXPECT_EQ(DiFunctionName(27), "RS2");
    EXPECT_EQ(DiFunctionName(28), "");
    EXPECT_EQ(DiFunctionName(-1), "");
    EXPECT_EQ(DoFunctionName(0), "RDY");
    EXPECT_EQ(DoFunctionName(7), "INT");
    EXPECT_EQ(DoFunctionName(8), "");
}

TEST(Catalogue, RangesFollowTheDrivesMaximumSpeed) {
    CNolvaServoDoc doc(DriveProfile{5000, 8192, 0x0332});
    EXPECT_EQ(doc.minimums.speed[0], -5000);
    EXPECT_EQ(doc.maximums.speed[2], 5000);
    EXPECT_EQ(doc.minimums.torque[4], 0);
    EXPECT_EQ(doc.maximums.torque[6], 5000);
    EXPECT_EQ(doc.maximums.control[6], 4500); // Cn007 is not tied to N
    EXPECT_EQ(doc.minimums.quick[0], 10);
    EXPECT_EQ(doc.maximums.quick[6], 100);
    EXPECT_EQ(doc.maximums.control[29], 8191);
    EXPECT_EQ(doc.maximums.contact[16], 264);
    // Slots beyond a group's parameters stay 0.
    EXPECT_EQ(doc.maximums.torque[8], 0);
    EXPECT_EQ(doc.maximums.position[69], 0);
    EXPECT_EQ(doc.maximums.quick[7], 0);

    FillParameterRanges(doc, DriveProfile{});
    EXPECT_EQ(doc.minimums.speed[0], -3000);
}

TEST(Catalogue, DefaultsOfEveryParameterInANewDocument) {
    const DriveProfile profile{5000, 8192, 0x1334};
    CNolvaServoDoc doc(profile);
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_TRUE(doc.contentReplaced);
    for (const ParamSpec& p : AllParameters()) {
        int32_t expected = p.defaultValue;
        const std::string code = ParamCode{p.letter, p.number}.text().toStdString();
        if (code == "Cn005")
            expected = 8192;
        if (code == "Cn007")
            expected = 1666;
        if (code == "Cn030")
            expected = 0x1334;
        if (code == "Sn216")
            expected = 5000;
        if (code == "Sn218")
            expected = 5100;
        EXPECT_EQ(*doc.values.slot(p.letter, p.number), expected) << code;
        EXPECT_EQ(*doc.defaults.slot(p.letter, p.number), expected) << code;
    }
    const int32_t hnDefaults[19] = {1,  2,  3,  0x104, 0x105, 6, 7, 8, 9, 10,
                                    11, 12, 14, 1,     2,     3, 6, 0, 0};
    for (int i = 0; i < 19; ++i) {
        EXPECT_EQ(doc.values.contact[i], hnDefaults[i]) << "Hn5" << i + 1;
        EXPECT_EQ(doc.contactsInDrive[i], hnDefaults[i]) << "Hn5" << i + 1;
    }
    EXPECT_EQ(doc.values.quick[1], 100);
    EXPECT_EQ(doc.values.quick[4], 40);
    EXPECT_EQ(doc.values.control[10], -300);
    EXPECT_EQ(doc.values.position[8], 50000);
}

TEST(Catalogue, SpeedDefaultsAtTheStartProfile) {
    CNolvaServoDoc doc;
    doc.OnNewDocument();
    EXPECT_EQ(doc.values.control[4], 2500); // Cn005: encoder pulses
    EXPECT_EQ(doc.values.control[6], 1000); // Cn007: N / 3
    EXPECT_EQ(doc.values.control[29], 0x121);
    EXPECT_EQ(doc.values.speed[15], 3000); // Sn216: N
    EXPECT_EQ(doc.values.speed[17], 3060); // Sn218: N * 1.02
    // Sn218 truncates: 3001 * 1.02 = 3061.02
    FillParameterDefaults(doc, DriveProfile{3001, 2500, 0x121});
    EXPECT_EQ(doc.defaults.speed[17], 3061);
    EXPECT_EQ(doc.defaults.control[6], 1000); // 3001 / 3 in integers
}

TEST(Catalogue, NewDocumentClearsSnapshotsButLeavesTransferBuffers) {
    CNolvaServoDoc doc;
    doc.statusSnapshot[3] = 7;
    doc.alarmHistoryPosition = 4;
    doc.reservedA[255] = 9;
    doc.driveInfo[3] = 0x331;
    doc.transfer.control[0] = 5;
    doc.values.control[0] = 6;
    doc.OnNewDocument();
    EXPECT_EQ(doc.statusSnapshot[3], 0);
    EXPECT_EQ(doc.alarmHistoryPosition, 0);
    EXPECT_EQ(doc.reservedA[255], 0);
    EXPECT_EQ(doc.driveInfo[3], 0);
    EXPECT_EQ(doc.values.control[0], 2);
    EXPECT_EQ(doc.transfer.control[0], 5);
}

} // namespace

// What the catalogue knows of each parameter: index, flags, units, formats, ranges, defaults.

#include "drive/CatalogueTable.h"
#include "drive/ParameterCatalogue.h"
#include "params/NolvaServoDoc.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace {

TEST(ParamCode, ParsesGroupFromFirstAndNumberFromLastTwoCharacters) {
    EXPECT_EQ(ParamCode::FromText("Cn005"), (ParamCode{'C', 5}));
    EXPECT_EQ(ParamCode::FromText("Hn519"), (ParamCode{'H', 19}));
    EXPECT_EQ(ParamCode::FromText("qn4x7").number, 0);
    EXPECT_EQ(ParamCode::FromText("Cna05").number, 5); // only the last two characters count
    EXPECT_EQ(ParamCode::FromText("C").number, 0);
    EXPECT_EQ(ParamCode::FromText("").letter, 0);
    EXPECT_EQ((ParamCode{'P', 65}).Text(), "Pn365");
    EXPECT_EQ((ParamCode{'q', 1}).Text(), "qn401");
    EXPECT_TRUE((ParamCode{'U', 1}).Text().isEmpty());
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
        EXPECT_EQ(FindParam({p.letter, p.number}), &p);
    }
    EXPECT_EQ(seen.size(), 161u);
    for (int g = 0; g < kParamGroupCount; ++g) {
        const ParamGroupInfo& info = GroupInfo(g);
        for (int n = 1; n <= info.count; ++n) {
            EXPECT_NE(FindParam({info.letter, n}), nullptr) << info.letter << n;
        }
        EXPECT_EQ(FindParam({info.letter, info.count + 1}), nullptr) << info.letter;
        EXPECT_EQ(FindParam({info.letter, 0}), nullptr) << info.letter;
    }
}

TEST(Catalogue, IndicesAndRegistersAreUniqueAndQuickParametersShareTheirTwins) {
    // Two parameters at one index or register would read and write each other in the drive.
    std::map<int, std::string> byIndex;
    std::set<int> registers;
    for (const ParamSpec& p : AllParameters()) {
        const QString code = ParamCode{p.letter, p.number}.Text();
        // The register is the group's digit times 0x100 plus the number: Pn369 is 0x345.
        EXPECT_EQ(ModbusRegisterOf({p.letter, p.number}), code.mid(2, 1).toInt() * 0x100 + p.number)
            << code.toStdString();
        EXPECT_TRUE(registers.insert(ModbusRegisterOf({p.letter, p.number})).second)
            << code.toStdString();
        if (p.letter == 'q') {
            const ParamCode twin = QuickTwinOf(p.number);
            EXPECT_EQ(ParameterIndexOf({'q', p.number}), ParameterIndexOf(twin))
                << code.toStdString();
            EXPECT_FALSE(IsRestartParameter({'q', p.number}));
            continue;
        }
        EXPECT_EQ(IsRestartParameter({p.letter, p.number}), p.restart || p.letter == 'H')
            << code.toStdString();
        const auto [it, inserted] =
            byIndex.emplace(ParameterIndexOf({p.letter, p.number}), code.toStdString());
        EXPECT_TRUE(inserted) << code.toStdString() << " shares its index with " << it->second;
        const bool two = p.letter == 'P' && p.number >= 7 && p.number <= 9;
        EXPECT_EQ(IsTwoRegister({p.letter, p.number}), two) << code.toStdString();
    }
    // Monitor values and unknown codes.
    EXPECT_EQ(ParameterIndexOf({'A', 10}), 9);
    EXPECT_EQ(ParameterIndexOf({'O', 5}), 0);
    EXPECT_EQ(ParameterIndexOf({'U', 20}), 0);
    EXPECT_EQ(ParameterIndexOf({'X', 1}), 0);
    EXPECT_FALSE(IsRestartParameter({'U', 1}));
    EXPECT_TRUE(IsTwoRegister({'U', 7}));
    EXPECT_TRUE(IsTwoRegister({'U', 8}));
    EXPECT_FALSE(IsTwoRegister({'U', 9}));
    EXPECT_EQ(ModbusRegisterOf({'U', 1}), 0x601);
    EXPECT_EQ(ModbusRegisterOf({'D', 1}), 0);
}

TEST(Catalogue, CodeTextsAreReadByTheirFirstAndLastTwoCharacters) {
    EXPECT_EQ(UnitText(ParamCode::FromText("Cnx05")),
              UnitText(ParamCode::FromText("Cn005"))); // the middle characters are not read
    EXPECT_FALSE(UnitText(ParamCode::FromText("Cn005")).isEmpty());
    EXPECT_EQ(UnitText(ParamCode::FromText("Cn0x5")), ""); // last two not digits: number 0
    EXPECT_EQ(UnitText(ParamCode::FromText("Zn005")), "");
    EXPECT_EQ(ParamAttributes(ParamCode::FromText("Cn0x5")), 0x00);
    // Revolutions and pulses of an internal position may be negative, its speed may not.
    for (int k = 1; k <= 16; ++k) {
        EXPECT_EQ(ParamAttributes(ParamCode{'P', 14 + 3 * k}) & kAttrSigned, kAttrSigned);
        EXPECT_EQ(ParamAttributes(ParamCode{'P', 15 + 3 * k}) & kAttrSigned, kAttrSigned);
        EXPECT_EQ(ParamAttributes(ParamCode{'P', 16 + 3 * k}) & kAttrSigned, 0);
    }
}

TEST(Catalogue, FormatsAndRanges) {
    EXPECT_EQ(FormatValue(ParamCode::FromText("Pn301"), 0x113, false), "0113");
    EXPECT_EQ(FormatValue(ParamCode::FromText("Hn501"), 0x104, false), "0104");
    EXPECT_EQ(FormatValue(ParamCode::FromText("Cn011"), -300, false), "-300");
    EXPECT_EQ(FormatValue(ParamCode::FromText("Cn005"), 2500, false), "2500");
    EXPECT_EQ(FormatValue(ParamCode::FromText("Cn001"), 2, true), "2");
    EXPECT_EQ(RangeText(ParamCode::FromText("Pn301"), 0, 275), "0000~0113");
    EXPECT_EQ(RangeText(ParamCode::FromText("Cn011"), -300, 0), "-300~0");
    EXPECT_EQ(RangeText(ParamCode::FromText("Cn001"), 4, 4), "");
    EXPECT_EQ(RangeText(ParamCode::FromText("Sn201"), -5000, 5000), "-5000~5000");
}

TEST(Catalogue, ContactFunctionNamesExistOnlyForTheirFunctions) {
    std::set<QString> names;
    for (int i = 0; i < 28; ++i) {
        EXPECT_TRUE(names.insert(DiFunctionName(i)).second) << i;
    }
    for (int i = 0; i < 8; ++i) {
        EXPECT_FALSE(DoFunctionName(i).isEmpty()) << i;
    }
    EXPECT_FALSE(names.contains(QString()));
    EXPECT_EQ(DiFunctionName(28), "");
    EXPECT_EQ(DiFunctionName(-1), "");
    EXPECT_EQ(DoFunctionName(8), "");
}

TEST(Catalogue, RangesFollowTheDrivesMaximumSpeed) {
    CNolvaServoDoc doc(DriveProfile{5000, 8192, 0x0332});
    EXPECT_EQ(doc.minimums.speed[0], -5000);
    EXPECT_EQ(doc.maximums.speed[2], 5000);
    EXPECT_EQ(doc.minimums.torque[4], 0);
    EXPECT_EQ(doc.maximums.torque[6], 5000);
    EXPECT_EQ(doc.maximums.control[6], 4500); // Cn007 is not tied to N
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
    // The defaults that follow the drive: encoder pulses, N / 3, the model code, N and N * 1.02.
    const std::map<std::string, int32_t> fromDrive{
        {"Cn005", 8192}, {"Cn007", 1666}, {"Cn030", 0x1334}, {"Sn216", 5000}, {"Sn218", 5100}};
    for (const ParamSpec& p : AllParameters()) {
        const std::string code = ParamCode{p.letter, p.number}.Text().toStdString();
        const int32_t expected = fromDrive.contains(code) ? fromDrive.at(code) : p.defaultValue;
        EXPECT_EQ(*doc.values.Slot({p.letter, p.number}), expected) << code;
        EXPECT_EQ(*doc.defaults.Slot({p.letter, p.number}), expected) << code;
    }
    // The drive's contact functions start as the document's.
    for (int i = 0; i < 19; ++i) {
        EXPECT_EQ(doc.contactsInDrive[i], doc.values.contact[i]) << "Hn5" << i + 1;
    }
}

TEST(Catalogue, SpeedDefaultsAtTheStartProfile) {
    CNolvaServoDoc doc;
    doc.OnNewDocument();
    EXPECT_EQ(doc.values.control[4], 2500); // Cn005: encoder pulses
    EXPECT_EQ(doc.values.speed[17], 3060);  // Sn218: N * 1.02
    // Sn218 truncates: 3001 * 1.02 = 3061.02
    FillParameterDefaults(doc, DriveProfile{3001, 2500, 0x121});
    EXPECT_EQ(doc.defaults.speed[17], 3061);
    EXPECT_EQ(doc.defaults.control[6], 1000); // 3001 / 3 in integers
    // Near the top of the type 102 % of N saturates instead of overflowing.
    FillParameterDefaults(doc, DriveProfile{2105376125, 2500, 0x121});
    EXPECT_EQ(doc.defaults.speed[17], 2147483647);
    FillParameterDefaults(doc, DriveProfile{INT32_MAX, 2500, 0x121});
    EXPECT_EQ(doc.defaults.speed[17], INT32_MAX);
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

// Model codes: encoder resolution, motor and drive texts, the model list.

#include "drive/ModelTable.h"
#include "drive/StatusTexts.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace {

TEST(ModelTable, EncoderPulsesFromTheModelCode) {
    // Bit 12 is ignored; 0x350 is known although not in the list; 13x has no encoder digit 1
    // and 55x no digit 0.
    const std::pair<int, int> cases[] = {{0x1111, 2500}, {0x0111, 2500}, {0x0350, 2000},
                                         {0x0999, 8192}, {0x0121, 2500}, {0x1133, 2500},
                                         {0x0134, 8192}, {0x0131, 8192}, {0x0550, 8192}};
    for (const auto& [code, pulses] : cases) {
        EXPECT_EQ(EncoderPulsesForModel(code), pulses) << std::hex << code;
    }
}

TEST(ModelTable, ListRowsAreDistinctKnownModelsAndUnknownCodesShowDashes) {
    std::set<int> codes;
    std::set<int> nameIds;
    for (const ModelListRow& row : ModelList()) {
        EXPECT_TRUE(codes.insert(row.code & 0xFFF).second) << std::hex << row.code;
        EXPECT_TRUE(nameIds.insert(row.motorNameId).second) << row.motorNameId;
        EXPECT_NE(MotorTypeText(row.code), "---------------------") << std::hex << row.code;
        EXPECT_TRUE(DriveModelName(row.code).startsWith("MQRX-")) << std::hex << row.code;
    }
    EXPECT_EQ(MotorTypeText(0x0350), "1KW 3000rpm 2000ppr"); // known although not in the list
    for (int code : {0x131, 0x132, 0x550, 0x460, 0x0}) {
        EXPECT_EQ(MotorTypeText(code), "---------------------") << std::hex << code;
    }
    EXPECT_EQ(DriveModelName(0x131), "MQRX-15A");
    EXPECT_EQ(DriveModelName(0x722), "MQRX-75A");
    for (int code : {0x460, 0x123, 0x215}) {
        EXPECT_EQ(DriveModelName(code), "---------") << std::hex << code;
    }
}

TEST(StatusTexts, AlarmByLowestSetBit) {
    EXPECT_EQ(AlarmText(0), QString::fromUtf8("无异常警报发生。"));
    EXPECT_EQ(AlarmText(0x0006), QString::fromUtf8("电源电压过高(回生异常)。"));
    EXPECT_EQ(AlarmText(0x8000), QString::fromUtf8("电源电压过高(回生异常)。"));
    EXPECT_EQ(AlarmText(0x0001), QString::fromUtf8("电源电压过低。"));
    EXPECT_EQ(AlarmText(0x4000), QString::fromUtf8("驱动器过热。"));
    EXPECT_EQ(AlarmText(0xC400), QString::fromUtf8("位置误差量过大。"));
}

TEST(StatusTexts, ControlModeAndVersion) {
    EXPECT_EQ(ControlModeText(3), "Pe-S");
    EXPECT_EQ(ControlModeText(6), "Pi");
    EXPECT_EQ(ControlModeText(0), "T");
    EXPECT_EQ(ControlModeText(9), "");
    EXPECT_EQ(ControlModeText(-1), "");
    EXPECT_EQ(VersionText(258), "2.58");
    EXPECT_EQ(VersionText(5), "0.05");
    EXPECT_EQ(VersionText(1000), "10.00");
}

} // namespace

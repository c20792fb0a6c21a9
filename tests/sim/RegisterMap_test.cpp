// The simulated drive's own register map, scalings and check values against the examples the
// drive's documentation gives, without the program's catalogue.

#include "sim/CheckValues.h"
#include "sim/MotorEncoders.h"
#include "sim/RegisterMap.h"
#include "sim/Scaling.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(RegisterMap, HoldsEveryParameterOnceWithoutSharedWords) {
    EXPECT_EQ(RegisterRows().size(), 161u);
    std::set<int> words;
    for (const RegisterRow& row : RegisterRows()) {
        SCOPED_TRACE(CodeText(row).toStdString());
        EXPECT_EQ(FindRegisterRow(row.letter, row.number), &row);
        EXPECT_EQ(RowOfCodeText(CodeText(row)), &row);
        if (row.IsQuick()) {
            const RegisterRow* twin = WordsOfCode(row.letter, row.number);
            ASSERT_NE(twin, nullptr);
            EXPECT_EQ(twin->index, row.index) << "a quick parameter is its twin's word";
            continue;
        }
        EXPECT_TRUE(words.insert(row.index).second) << "index shared";
        if (row.twoWords) {
            EXPECT_TRUE(words.insert(row.index + 1).second) << "low half shared";
        }
    }
    EXPECT_EQ(RowOfCodeText("Cn41"), nullptr);
    EXPECT_EQ(RowOfCodeText("Cn0041"), nullptr);
}

TEST(RegisterMap, NamesTheDocumentedRegistersAndCodes) {
    EXPECT_EQ(HoldingRegisterOf('T', 5), 0x105);
    EXPECT_EQ(HoldingRegisterOf('H', 1), 1281);
    EXPECT_EQ(HoldingRegisterOf('P', 69), 837);
    EXPECT_EQ(HoldingRegisterOf('X', 1), -1);
    EXPECT_EQ(GroupOfModbusRegister(0x613), 'U');
    EXPECT_EQ(GroupOfModbusRegister(0x700), 0);
    EXPECT_EQ(CodeText(*FindRegisterRow('q', 5)), "qn405");
    EXPECT_EQ(WordsOfCode('q', 5)->index, 0x5A) << "qn405 is Pn310";
    EXPECT_EQ(FindRegisterRow('P', 23)->index, 0x6E) << "internal position 3's revolutions";
    EXPECT_EQ(FindRegisterRow('P', 25)->index, 0x75) << "internal position 3's speed";
    EXPECT_EQ(FindRegisterRow('H', 13)->index, 0xCC);
    const MonitorRow* un7 = FindMonitorRow('U', 7);
    ASSERT_NE(un7, nullptr);
    EXPECT_EQ(un7->at.page, '6');
    EXPECT_EQ(un7->at.location, 0x5C);
    EXPECT_TRUE(un7->twoWords);
    EXPECT_EQ(MonitorAddress('U', 2).page, '9');
    EXPECT_EQ(FindMonitorRow('U', 20), nullptr);
}

TEST(RegisterMap, ResolvesRangesAndDefaultsFromTheDrive) {
    const DriveFacts drive{3000, 2500, 0x121};
    EXPECT_EQ(FindRegisterRow('C', 5)->defaultValue.Resolve(drive), 2500);
    EXPECT_EQ(FindRegisterRow('C', 7)->defaultValue.Resolve(drive), 1000);
    EXPECT_EQ(FindRegisterRow('C', 30)->defaultValue.Resolve(drive), 0x121);
    EXPECT_EQ(FindRegisterRow('S', 16)->defaultValue.Resolve(drive), 3000);
    EXPECT_EQ(FindRegisterRow('S', 18)->defaultValue.Resolve(drive), 3060);
    EXPECT_EQ(FindRegisterRow('S', 1)->min.Resolve(drive), -3000);
    EXPECT_EQ(FindRegisterRow('T', 5)->max.Resolve(drive), 3000);
    EXPECT_EQ(FindRegisterRow('H', 4)->defaultValue.Resolve(drive), 0x104);
}

struct ScalingCase {
    const char* what;
    char letter;
    int number;
    int32_t n;
    int32_t raw;
    int32_t value;
};

// Raw words and the numbers they stand for, both ways.
TEST(RegisterMap, ScalesAsTheDocumentedExamples) {
    const ScalingCase cases[] = {
        {"direction 257 is 1", 'C', 4, 3000, 257, 1},
        {"torque limit", 'C', 11, 3000, -12288, -300},
        {"negated tenths over two words", 'P', 9, 3000, -500000, 50000},
        {"offset 256", 'C', 27, 3000, 260, 4},
        {"speed", 'S', 1, 3000, -5461, -1000},
        {"speed, 16-bit", 'C', 7, 3000, 5461, 1000},
        {"speed at N 5000", 'S', 2, 5000, -3277, -1000},
        {"fifths", 'S', 8, 3000, 500, 100},
        {"millivolt", 'S', 17, 3000, 2150, 1000},
    };
    for (const ScalingCase& c : cases) {
        const Scaling s = FindRegisterRow(c.letter, c.number)->scaling;
        EXPECT_EQ(RawToValue(s, c.raw, c.n), c.value) << c.what;
        EXPECT_EQ(ValueToRaw(s, c.value, c.n), c.raw) << c.what;
    }
    const Scaling direction = FindRegisterRow('C', 4)->scaling;
    EXPECT_EQ(RawToValue(direction, 5, 3000), 5) << "another word shows as itself";
    EXPECT_EQ(RawToValue(Scaling::Word16, -1, 3000), 0xFFFF);
    EXPECT_EQ(RawToValue(Scaling::Speed16, -5461, 3000), 0x10000 - 999)
        << "+1/2 truncated, then the low 16 bits";
    EXPECT_EQ(ValueToRaw(TuningWord(6).scaling, 1000, 3000), 5461);
    EXPECT_EQ(ValueToRaw(TuningWord(7).scaling, 7400, 3000), 4);
    EXPECT_EQ(RawToValue(TuningWord(7).scaling, 49, 3000), 89722) << "the whole acceleration";
}

TEST(RegisterMap, KnowsEachMotorsEncoder) {
    EXPECT_EQ(EncoderPulsesOfModel(0x1111), 2500) << "bit 12 is not the motor's";
    EXPECT_EQ(EncoderPulsesOfModel(0x0111), 2500);
    EXPECT_EQ(EncoderPulsesOfModel(0x0350), 2000);
    EXPECT_EQ(EncoderPulsesOfModel(0x0144), 8192);
    EXPECT_EQ(EncoderPulsesOfModel(0x0999), 8192) << "no such motor";
}

TEST(CheckValues, AreTheProtocolsOwn) {
    EXPECT_EQ(CommandChecksum("R6CB"), 0x0D) << "R6CB0D";
    EXPECT_EQ(CommandChecksum("%0064"), 0xEF) << "%0064EF";
    EXPECT_EQ(ModbusLrc(QByteArray::fromHex("010300000001")), 0xFB) << ":010300000001FB";
    EXPECT_EQ(ModbusCrc16("123456789"), 0x4B37) << "CRC-16/MODBUS check value";
    EXPECT_EQ(ModbusCrc16(QByteArray::fromHex("010300000001")), 0x0A84)
        << "01 03 00 00 00 01 84 0A";
    EXPECT_EQ(HexDigit('a'), 10);
    EXPECT_EQ(HexDigit('F'), 15);
    EXPECT_EQ(HexDigit('G'), -1);
}

} // namespace

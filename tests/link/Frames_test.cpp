// Frames of the command protocol and of Modbus, against hand-checked vectors.

#include "link/Frames.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Text(const uint8_t* frame, int length) {
    return std::string(reinterpret_cast<const char*>(frame), static_cast<size_t>(length));
}

std::string Hex(const uint8_t* bytes, int count) {
    std::string out;
    char buf[4];
    for (int i = 0; i < count; ++i) {
        std::snprintf(buf, sizeof buf, i ? " %02X" : "%02X", bytes[i]);
        out += buf;
    }
    return out;
}

TEST(CommandFrames, BuildersAndChecksum) {
    uint8_t f[16] = {};
    BuildReadCommand(f, '6', 0xCB);
    EXPECT_EQ(Text(f, 6), "R6CB0D");
    BuildWriteCommand(f, '5', 0x70, 2);
    EXPECT_EQ(Text(f, 8), "W5700002");
    // Negative values go out as their low 16 bits; the checksum wraps at 8 bits.
    BuildWriteCommand(f, '7', 0xCE, -2);
    EXPECT_EQ(Text(f, 10), "W7CEFFFE2D");
}

TEST(CommandFrames, ReadReplyCheck) {
    const uint8_t good[] = {'%', '0', '0', '6', '4', 'E', 'F'};
    EXPECT_TRUE(IsGoodReadReply(good, 7));
    const uint8_t badDigit[] = {'%', '0', '0', '6', '4', 'E', 'E'};
    EXPECT_FALSE(IsGoodReadReply(badDigit, 7));
    const uint8_t refused[] = {'!', '0', '0', '6', '4', 'E', 'F'};
    EXPECT_FALSE(IsGoodReadReply(refused, 7));
    int32_t word = 0;
    const uint8_t lower[] = {'f', 'f', 'F', 'e'};
    ASSERT_TRUE(DecodeWord(lower, &word));
    EXPECT_EQ(word, -2);
    const uint8_t junk[] = {'0', 'G', '0', '0'};
    EXPECT_FALSE(DecodeWord(junk, &word));
    EXPECT_EQ(word, -2); // untouched on failure
}

TEST(ModbusFrames, ReadRegistersVectors) {
    uint8_t f[32] = {};
    EXPECT_EQ(BuildReadRegisters(f, 1, 0, 1, true), 15);
    EXPECT_EQ(Text(f, 17), ":010300000001FB\r\n");
    EXPECT_EQ(BuildReadRegisters(f, 1, 0, 1, false), 7);
    EXPECT_EQ(Hex(f, 8), "01 03 00 00 00 01 84 0A");
    EXPECT_EQ(BuildReadRegisters(f, 0x11, 0x6B, 3, false), 11);
    EXPECT_EQ(Hex(f, 8), "11 03 00 6B 00 03 76 87"); // the published Modbus reference example
}

TEST(ModbusFrames, WriteSingleRegister) {
    uint8_t f[64] = {};
    EXPECT_EQ(BuildWriteRegister(f, 1, 0x501, -2, true), 17);
    EXPECT_EQ(Text(f, 13), ":01060501FFFE");
    EXPECT_EQ(BuildWriteRegister(f, 1, 0x501, -2, false), 8);
    EXPECT_EQ(Hex(f, 6), "01 06 05 01 FF FE");
}

TEST(ModbusFrames, LrcCountsBadCharactersAsZero) {
    const uint8_t frame[] = {':', '0', '1', 'x', 'x', 'F', 'F', '0', '0', '\r', '\n'};
    // Pairs "01", "xx" (counted as 0) and "FF"; the LRC digits and CR LF are not summed.
    EXPECT_EQ(Lrc(frame, 11), 0x10000 - 0x01 - 0x00 - 0xFF);
}

} // namespace

#include "analysis/RecordCsv.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A record file of `rows` rows "k,-2k" with row `badRow` (1-based) replaced by `badText`.
std::string RecordText(int rows = kRecordLength, int badRow = 0, const std::string& badText = {},
                       const std::string& end = "\n") {
    std::string text = "torque,speed" + end;
    for (int k = 1; k <= rows; ++k)
        text += (k == badRow ? badText : std::to_string(k) + "," + std::to_string(-2 * k)) + end;
    return text;
}

TEST(RecordCsv, ReadsRowsInOrderWithCrLfMarkSpacesAndTrailingBlankLines) {
    std::string text = "\xEF\xBB\xBF" + RecordText(kRecordLength, 3, " +1.5e1 ,\t-0.25 ", "\r\n");
    text += "\r\n\r\n";
    const auto parsed = ParseRecordCsv(text);
    ASSERT_TRUE(std::holds_alternative<FraRecord>(parsed))
        << std::get<RecordCsvError>(parsed).reason;
    const FraRecord& record = std::get<FraRecord>(parsed);
    EXPECT_EQ(record.torque[1], 1.0);
    EXPECT_EQ(record.torque[3], 15.0);
    EXPECT_EQ(record.speed[3], -0.25);
    EXPECT_EQ(record.torque[kRecordLength], kRecordLength);
}

TEST(RecordCsv, RefusesMalformedFilesNamingTheLine) {
    struct Case {
        std::string text;
        int line;
        const char* reason;
    };
    const Case cases[] = {
        {"", 1, "empty"},
        {RecordText(kRecordLength).substr(13) + "1,1\n", 1, "header"}, // rows without header
        {RecordText(1023), 1025, "found 1023"},
        {RecordText(kRecordLength + 1), 1026, "more than 1024"},
        {RecordText(kRecordLength, 5, "nan,1"), 6, "torque \"nan\" is not a finite number"},
        {RecordText(kRecordLength, 5, "1,-inf"), 6, "speed \"-inf\" is not a finite number"},
        {RecordText(kRecordLength, 9, "1e400,1"), 10, "out of range"},
        {RecordText(kRecordLength, 9, "1,1000001"), 10, "out of range"},
        {RecordText(kRecordLength, 20, "1,2,3"), 21, "two values"},
        {RecordText(kRecordLength, 20, "1,"), 21, "speed is empty"},
        {RecordText(kRecordLength, 20, ""), 21, "empty line"},
        {RecordText(kRecordLength, 20, "0x10,1"), 21, "not a number"},
        {RecordText(kRecordLength, 20, "+-5,1"), 21, "not a number"},
        {RecordText(kRecordLength, 20, std::string("1\0,2", 4)), 21, "not a number"},
    };
    for (const Case& c : cases) {
        const auto parsed = ParseRecordCsv(c.text);
        ASSERT_TRUE(std::holds_alternative<RecordCsvError>(parsed)) << c.reason;
        const RecordCsvError& error = std::get<RecordCsvError>(parsed);
        EXPECT_EQ(error.line, c.line) << c.reason;
        EXPECT_NE(error.reason.find(c.reason), std::string::npos) << error.reason;
    }
}

} // namespace

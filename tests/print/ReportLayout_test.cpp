// The report's pages as geometry: which rows each page holds, the cells' texts and colours,
// frame lines and footer.

#include "params/NolvaServoDoc.h"
#include "print/ReportLayout.h"
#include "print/ReportPainter.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

const QRegularExpression kCode(QStringLiteral("^[CTSPqH]n\\d{3}$"));

// Index of each row's code cell on a page; the row's other five cells follow it.
std::vector<size_t> RowStarts(const ReportPageLayout& layout) {
    std::vector<size_t> starts;
    for (size_t i = 0; i < layout.texts.size(); ++i)
        if (kCode.match(layout.texts[i].text).hasMatch())
            starts.push_back(i);
    return starts;
}

TEST(ReportLayout, PagesHoldEveryParameterOnceAndThePositionGroupGoesOnAtPn330) {
    CNolvaServoDoc doc;
    const ReportInput input{&doc, QStringLiteral("/a/b.nvp")};
    QStringList codes;
    QList<QStringList> pages;
    for (int page = 1; page <= kReportPageCount; ++page) {
        const ReportPageLayout layout = LayoutReportPage(input, page, kReportMinimumHeight);
        QStringList onPage;
        for (size_t i : RowStarts(layout))
            onPage << layout.texts[i].text;
        pages << onPage;
        codes << onPage;
    }
    EXPECT_EQ(pages[0].front(), "Cn001");
    EXPECT_EQ(pages[0].back(), "Tn108");
    EXPECT_EQ(pages[1].front(), "Sn201");
    EXPECT_EQ(pages[1].back(), "Pn329");
    EXPECT_EQ(pages[2].front(), "Pn330");
    EXPECT_EQ(pages[2][38], "Pn368");
    EXPECT_EQ(pages[2][39], "qn401");
    EXPECT_EQ(pages[3].front(), "Hn501");
    EXPECT_EQ(pages[3].back(), "Hn519");
    EXPECT_EQ(codes.filter(QRegularExpression("^Pn")).size(), 68);
    EXPECT_FALSE(codes.contains("Pn369"));
    EXPECT_EQ(codes.size(), 160);
    EXPECT_EQ(codes.removeDuplicates(), 0);
    EXPECT_TRUE(LayoutReportPage(input, 5, kReportMinimumHeight).texts.empty());
}

TEST(ReportLayout, ValuesInBlueDefaultsInRedEqualForADefaultDocumentAndApartWhenChanged) {
    CNolvaServoDoc doc;
    doc.OnNewDocument();
    const ReportInput input{&doc, QString()};
    for (int page = 1; page <= kReportPageCount; ++page) {
        const ReportPageLayout layout = LayoutReportPage(input, page, kReportMinimumHeight);
        for (size_t i : RowStarts(layout)) {
            const ReportText& value = layout.texts[i + 2];
            const ReportText& fallback = layout.texts[i + 5];
            EXPECT_EQ(value.text, fallback.text) << layout.texts[i].text.toStdString();
            EXPECT_FALSE(value.text.isEmpty());
            EXPECT_EQ(value.colour, ReportColour::Blue);
            EXPECT_EQ(fallback.colour, ReportColour::Red);
            EXPECT_TRUE(value.alignRight && fallback.alignRight);
        }
    }

    doc.values.position[29] = -1234; // Pn330
    doc.values.control[1] = 0x101;   // Cn002, a bit field shown in hexadecimal
    const ReportPageLayout page3 = LayoutReportPage(input, 3, kReportMinimumHeight);
    const size_t pn330 = RowStarts(page3).front();
    EXPECT_EQ(QStringList({page3.texts[pn330 + 1].text, page3.texts[pn330 + 2].text,
                           page3.texts[pn330 + 3].text, page3.texts[pn330 + 5].text}),
              QStringList({"内部位置命令5-脉冲数", "-1234", "pulse", "0"}));
    const ReportPageLayout page1 = LayoutReportPage(input, 1, kReportMinimumHeight);
    const size_t cn002 = RowStarts(page1)[1];
    EXPECT_EQ(page1.texts[cn002 + 2].text, "0101");
    EXPECT_EQ(page1.texts[cn002 + 4].text, "0000~1111");
    EXPECT_EQ(page1.texts[cn002 + 5].text, "0000");
}

TEST(ReportLayout, FrameLinesAndFooterStayApart) {
    CNolvaServoDoc doc;
    const ReportInput input{&doc, QStringLiteral("/home/u/set.nvp")};
    for (int page = 1; page <= kReportPageCount; ++page) {
        const ReportPageLayout layout = LayoutReportPage(input, page, kReportMinimumHeight);
        const ReportText& name = layout.texts[layout.texts.size() - 2];
        const ReportText& number = layout.texts.back();
        EXPECT_EQ(name.text, "/home/u/set.nvp");
        EXPECT_FALSE(name.alignRight);
        EXPECT_EQ(number.text, QStringLiteral("页 : %1 / 4").arg(page));
        EXPECT_TRUE(number.alignRight);
        EXPECT_GE(number.bottom, -kReportMinimumHeight);
        // Every line and table text lies above the footer and inside the table's width.
        for (const ReportLine& line : layout.lines) {
            EXPECT_GT(std::min(line.y1, line.y2), name.top) << "page " << page;
            EXPECT_GE(std::min(line.x1, line.x2), 40);
            EXPECT_LE(std::max(line.x1, line.x2), 750);
        }
        for (size_t i = 0; i + 2 < layout.texts.size(); ++i)
            EXPECT_GT(layout.texts[i].bottom, name.top) << layout.texts[i].text.toStdString();
    }

    // Page 4's one section: seven verticals, wide at the edges; rows 18 units apart, the rule
    // under the last row wide.
    const ReportPageLayout page4 = LayoutReportPage(input, 4, kReportMinimumHeight);
    std::vector<std::pair<int, int>> verticals;
    std::vector<ReportLine> rules;
    for (const ReportLine& line : page4.lines)
        (line.x1 == line.x2 ? verticals.push_back({line.x1, line.width}) : rules.push_back(line));
    EXPECT_EQ(verticals, (std::vector<std::pair<int, int>>{
                             {40, 2}, {100, 1}, {400, 1}, {470, 1}, {540, 1}, {670, 1}, {750, 2}}));
    ASSERT_EQ(rules.size(), 1u + 1 + 1 + 19); // title, section, column titles, 19 rows
    for (size_t i = 3; i < rules.size(); ++i)
        EXPECT_EQ(rules[i - 1].y1 - rules[i].y1, 18);
    EXPECT_EQ(rules.back().width, 2);
    EXPECT_EQ(rules[rules.size() - 2].width, 1);
}

TEST(ReportLayout, TransformMapsHundredthsOfAnInchDownThePageAndShrinksWhatWouldNotFit) {
    int height = 0;
    // Letter less quarter-inch margins at 600 dpi.
    const QTransform letter = ReportTransform(4800, 6300, 600, &height);
    EXPECT_EQ(letter.map(QPointF(100, -250)), QPointF(600, 1500));
    EXPECT_EQ(height, 1050);
    // Too narrow for the table: scaled so that its width fits.
    const QTransform narrow = ReportTransform(3800, 6300, 600, &height);
    EXPECT_DOUBLE_EQ(narrow.map(QPointF(kReportMinimumWidth, 0)).x(), 3800);
    EXPECT_GT(height, kReportMinimumHeight);
}

} // namespace

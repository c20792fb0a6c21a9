#include "print/ReportLayout.h"

#include "base/StringIds.h"
#include "base/StringTable.h"
#include "drive/ParameterCatalogue.h"
#include "params/NolvaServoDoc.h"

namespace {

constexpr int x0 = kReportLeft;
// Frame lines: the outer two with the wide pen, the inner five with the narrow one.
constexpr int kVerticals[] = {x0 - 10, x0 + 50, x0 + 350, x0 + 420, x0 + 490, x0 + 620, x0 + 700};
constexpr int kRuleLeft = x0 - 10;
constexpr int kRuleRight = x0 + 700;
// Where each column's text stands: code, name and unit and range from the left, value and
// default up to a right edge; each must stay inside its frame cell.
constexpr int kCellPadding = 4;

// Vertical spacing (a free choice of the layout): gaps between the title, the sections and
// their rules.
constexpr int kTitleTop = -4;
constexpr int kTitleRuleGap = 4;
constexpr int kSectionGap = 14;
constexpr int kSectionRuleGap = 2;
constexpr int kFooterBottomGap = 2;

// Height of a row set in a font: the font's height and 4 units.
int RowHeight(ReportFontRole role) {
    return ReportFontHeight(role) + 4;
}

ReportText Text(QString text, ReportFontRole font, int left, int right, int top,
                ReportColour colour = ReportColour::Black, bool alignRight = false) {
    return ReportText{std::move(text),      font, colour, alignRight, left, right, top,
                      top - RowHeight(font)};
}

// One table row of six cells whose top is at `top`.
void AddRow(ReportPageLayout& layout, const QStringList& cells, int top, bool coloured) {
    const ReportColour value = coloured ? ReportColour::Blue : ReportColour::Black;
    const ReportColour fallback = coloured ? ReportColour::Red : ReportColour::Black;
    const int p = kCellPadding;
    auto& t = layout.texts;
    t.push_back(Text(cells[0], ReportFontRole::Cell, x0, x0 + 50 - p, top));
    t.push_back(Text(cells[1], ReportFontRole::Name, x0 + 60, x0 + 350 - p, top));
    t.push_back(Text(cells[2], ReportFontRole::Cell, x0 + 350 + p, x0 + 410, top, value, true));
    t.push_back(Text(cells[3], ReportFontRole::Cell, x0 + 430, x0 + 490 - p, top));
    t.push_back(Text(cells[4], ReportFontRole::Cell, x0 + 500, x0 + 620 - p, top));
    t.push_back(Text(cells[5], ReportFontRole::Cell, x0 + 620 + p, x0 + 680, top, fallback, true));
}

void HorizontalRule(ReportPageLayout& layout, int y, int width) {
    layout.lines.push_back({kRuleLeft, y, kRuleRight, y, width});
}

// A section from `top` down; returns the y of its last row's bottom line.
int AddSection(ReportPageLayout& layout, const CNolvaServoDoc& document,
               const ReportSection& section, int top) {
    layout.texts.push_back(
        Text(section.title, ReportFontRole::SectionTitle, x0, kRuleRight - kCellPadding, top));
    int y = top - RowHeight(ReportFontRole::SectionTitle) - kSectionRuleGap;
    const int tableTop = y;
    HorizontalRule(layout, y, 2);
    const int rowHeight = RowHeight(ReportFontRole::Cell);
    AddRow(layout, ReportColumnTitles(), y, false);
    y -= rowHeight;
    HorizontalRule(layout, y, 1);
    for (int i = 0; i < section.count; ++i) {
        const ParamCode code{section.letter, section.first + i};
        AddRow(layout, ReportRowTexts(document, code), y, true);
        y -= rowHeight;
        HorizontalRule(layout, y, i + 1 == section.count ? 2 : 1);
    }
    for (int x : kVerticals) {
        const bool outer = x == kVerticals[0] || x == kVerticals[std::size(kVerticals) - 1];
        layout.lines.push_back({x, tableTop, x, y, outer ? 2 : 1});
    }
    return y;
}

} // namespace

std::vector<ReportSection> ReportSections(int page) {
    switch (page) {
    case 1:
        return {{QStringLiteral("控制参数"), 'C', 1, 40}, {QStringLiteral("转矩参数"), 'T', 1, 8}};
    case 2:
        return {{QStringLiteral("速度参数"), 'S', 1, 18}, {QStringLiteral("位置参数"), 'P', 1, 29}};
    // The position group goes on from Pn330 and ends at Pn368: Pn369 has no row.
    case 3:
        return {{QStringLiteral("位置参数"), 'P', 30, 39}, {QStringLiteral("快捷参数"), 'q', 1, 7}};
    case 4: return {{QStringLiteral("多功能接点设定参数"), 'H', 1, 19}};
    default: return {};
    }
}

QStringList ReportColumnTitles() {
    QStringList titles;
    for (int id = StringId::kCodeHeader; id < StringId::kCodeHeader + 6; ++id)
        titles << StringText(id);
    return titles;
}

QStringList ReportRowTexts(const CNolvaServoDoc& document, ParamCode code) {
    const QString text = code.Text();
    const int32_t* value = document.values.Slot(code);
    const int32_t* min = document.minimums.Slot(code);
    const int32_t* max = document.maximums.Slot(code);
    const int32_t* fallback = document.defaults.Slot(code);
    if (value == nullptr)
        return {text, QString(), QString(), QString(), QString(), QString()};
    return {text,           ParameterName(code),         FormatValue(code, *value, false),
            UnitText(code), RangeText(code, *min, *max), FormatValue(code, *fallback, false)};
}

QString ReportPageNumberText(int page) {
    return QStringLiteral("页 : %1 / %2").arg(page).arg(kReportPageCount);
}

int ReportFontHeight(ReportFontRole role) {
    switch (role) {
    case ReportFontRole::Title:
    case ReportFontRole::SectionTitle: return 16;
    case ReportFontRole::Small: return 12;
    case ReportFontRole::Cell:
    case ReportFontRole::Name: return 14;
    }
    return 14;
}

ReportPageLayout LayoutReportPage(const ReportInput& input, int page, int pageHeight) {
    ReportPageLayout layout;
    if (input.document == nullptr || page < 1 || page > kReportPageCount)
        return layout;

    layout.texts.push_back(Text(QStringLiteral("Orvan Servo -- 参数列表"), ReportFontRole::Title,
                                x0, kRuleRight - kCellPadding, kTitleTop));
    int y = kTitleTop - RowHeight(ReportFontRole::Title) - kTitleRuleGap;
    HorizontalRule(layout, y, 2);
    for (const ReportSection& section : ReportSections(page))
        y = AddSection(layout, *input.document, section, y - kSectionGap);

    const int footerBottom = -pageHeight + kFooterBottomGap;
    const int footerTop = footerBottom + RowHeight(ReportFontRole::Small);
    const int middle = (kRuleLeft + kRuleRight) / 2;
    layout.texts.push_back(
        Text(input.documentName, ReportFontRole::Small, kRuleLeft, middle + 120, footerTop));
    layout.texts.push_back(Text(ReportPageNumberText(page), ReportFontRole::Small, middle + 140,
                                kRuleRight, footerTop, ReportColour::Black, true));
    return layout;
}

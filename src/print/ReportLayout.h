#pragma once

#include "drive/ParamCode.h"

#include <QString>
#include <QStringList>

#include <vector>

class CNolvaServoDoc;

// The printed parameter report as geometry: which parameters each of its four pages holds,
// the texts of every cell and where every text and frame line goes. Nothing here draws; the
// painter (ReportPainter.h) only puts these items on a page.
//
// Coordinates are logical units of 0.01 inch with the origin at the top left corner of the
// printable area and y pointing up, so everything on the page has y <= 0 and rows move down
// by subtracting from y.

inline constexpr int kReportPageCount = 4;
inline constexpr int kReportLeft = 50; // x0, the left edge of the table

// What a report is made from: the document and the name its footer shows (the full path of
// the document's file, or the document's title when it has none).
struct ReportInput {
    const CNolvaServoDoc* document = nullptr;
    QString documentName;
};

// One section: a title and a run of consecutive parameters of one group.
struct ReportSection {
    QString title;
    char letter = 0;
    int first = 1; // number of the first parameter within its group
    int count = 0;
};

// The sections of page 1..4, top to bottom; none for another page.
std::vector<ReportSection> ReportSections(int page);

// The six column titles.
QStringList ReportColumnTitles();

// The six cells of a parameter's row: code, name, value, unit, range, default (the default
// formatted as the value is, so a document of defaults has equal value and default columns).
QStringList ReportRowTexts(const CNolvaServoDoc& document, ParamCode code);

// The footer's right-hand text, "页 : 2 / 4".
QString ReportPageNumberText(int page);

enum class ReportFontRole { Title, SectionTitle, Small, Cell, Name };
enum class ReportColour { Black, Blue, Red };

// A text in the band between `top` and `bottom` (top > bottom), vertically centred. A
// left-aligned text starts at `left`, a right-aligned one ends at `right`; either way it
// must fit between `left` and `right` (the painter narrows a text that would not).
struct ReportText {
    QString text;
    ReportFontRole font = ReportFontRole::Cell;
    ReportColour colour = ReportColour::Black;
    bool alignRight = false;
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
};

struct ReportLine {
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;
    int width = 1; // pen width in logical units: 2 frame lines, 1 row lines
};

struct ReportPageLayout {
    std::vector<ReportText> texts;
    std::vector<ReportLine> lines;
};

// Character height of a font role in logical units.
int ReportFontHeight(ReportFontRole role);

// Everything on page `page` (1..4) of a page whose printable area is `pageHeight` units
// high; the footer sits at the bottom of that area.
ReportPageLayout LayoutReportPage(const ReportInput& input, int page, int pageHeight);

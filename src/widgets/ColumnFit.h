#pragma once

class QAbstractItemView;
class QHeaderView;

// The width column `column` needs to show its longest text whole (header or cell, in the cell's
// own font), with the room a cell takes beside its text.
int ColumnContentWidth(const QAbstractItemView& view, const QHeaderView& header, int column);

// Widens every column that is narrower than its longest text, so that a user reads each text
// whole. A column is never made narrower than it was, and a stretching column is left to the
// header.
void WidenColumnsToContent(const QAbstractItemView& view, QHeaderView& header);

// Keeps the view at least as wide as its columns and a vertical scroll bar, so that no column
// hides behind the horizontal one; `stretched` (or -1) is a stretching column, counted at the
// width of its longest text.
void KeepColumnsInView(QAbstractItemView& view, const QHeaderView& header, int stretched = -1);

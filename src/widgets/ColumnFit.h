#pragma once

class QTableWidget;
class QTreeWidget;

// Widens every column that is narrower than its longest text (header or cell, in the cell's own
// font), so that a user reads each text whole. A column is never made narrower than it was, and
// a stretching column is left to its header.
void WidenColumnsToContent(QTableWidget& table);
void WidenColumnsToContent(QTreeWidget& tree);

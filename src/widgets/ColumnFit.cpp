#include "widgets/ColumnFit.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QStyle>
#include <QTableWidget>
#include <QTreeWidget>

#include <algorithm>

namespace {

// Room a cell takes beside its text: the focus frame and the item's own margins.
int CellMargin(const QWidget& view) {
    return 2 * (view.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &view) + 1) + 8;
}

int TextWidth(const QFont& font, const QString& text) {
    return QFontMetrics(font).horizontalAdvance(text);
}

} // namespace

void WidenColumnsToContent(QTableWidget& table) {
    QHeaderView* header = table.horizontalHeader();
    const int margin = CellMargin(table);
    for (int column = 0; column < table.columnCount(); ++column) {
        if (header->sectionResizeMode(column) == QHeaderView::Stretch)
            continue;
        int needed = header->sectionSizeHint(column);
        for (int row = 0; row < table.rowCount(); ++row) {
            if (const QTableWidgetItem* item = table.item(row, column))
                needed = std::max(needed, TextWidth(item->font(), item->text()) + margin);
        }
        if (needed > table.columnWidth(column))
            table.setColumnWidth(column, needed);
    }
}

void WidenColumnsToContent(QTreeWidget& tree) {
    QHeaderView* header = tree.header();
    const int margin = CellMargin(tree);
    for (int column = 0; column < tree.columnCount(); ++column) {
        if (header->sectionResizeMode(column) == QHeaderView::Stretch)
            continue;
        int needed = header->sectionSizeHint(column);
        for (int row = 0; row < tree.topLevelItemCount(); ++row) {
            const QTreeWidgetItem* item = tree.topLevelItem(row);
            needed = std::max(needed, TextWidth(item->font(column), item->text(column)) + margin);
        }
        if (needed > tree.columnWidth(column))
            tree.setColumnWidth(column, needed);
    }
}

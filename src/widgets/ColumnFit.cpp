#include "widgets/ColumnFit.h"

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QHeaderView>
#include <QStyle>

#include <algorithm>

namespace {

// Room a cell takes beside its text: the focus frame and the item's own margins.
int CellMargin(const QWidget& view) {
    return 2 * (view.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &view) + 1) + 8;
}

} // namespace

int ColumnContentWidth(const QAbstractItemView& view, const QHeaderView& header, int column) {
    const QAbstractItemModel* model = view.model();
    const int margin = CellMargin(view);
    int needed = header.sectionSizeHint(column);
    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex index = model->index(row, column);
        const QVariant font = model->data(index, Qt::FontRole);
        const QFontMetrics metrics(font.isValid() ? font.value<QFont>() : view.font());
        needed = std::max(needed, metrics.horizontalAdvance(index.data().toString()) + margin);
    }
    return needed;
}

void WidenColumnsToContent(const QAbstractItemView& view, QHeaderView& header) {
    for (int column = 0; column < header.count(); ++column) {
        if (header.sectionResizeMode(column) == QHeaderView::Stretch)
            continue;
        const int needed = ColumnContentWidth(view, header, column);
        if (needed > header.sectionSize(column))
            header.resizeSection(column, needed);
    }
}

void KeepColumnsInView(QAbstractItemView& view, const QHeaderView& header, int stretched) {
    int width = 2 * view.frameWidth() + view.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    for (int column = 0; column < header.count(); ++column) {
        width += column == stretched ? ColumnContentWidth(view, header, column)
                                     : header.sectionSize(column);
    }
    view.setMinimumWidth(width);
}

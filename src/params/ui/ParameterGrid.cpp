#include "params/ui/ParameterGrid.h"

#include "params/ParameterTable.h"
#include "widgets/ColumnFit.h"

#include <QHeaderView>
#include <QKeyEvent>

namespace {

constexpr int kValueColumn = static_cast<int>(TableColumn::Value);

bool RightAligned(int column) {
    return column == kValueColumn || column == static_cast<int>(TableColumn::Default);
}

const QColor kFailedValue(200, 0, 0);

} // namespace

ParameterGrid::ParameterGrid(QWidget* parent) : QTableWidget(parent) {
    setColumnCount(kTableColumnCount);
    setHorizontalHeaderLabels(TableHeaderTexts());
    const auto widths = TableColumnWidths();
    for (int column = 0; column < kTableColumnCount; ++column) {
        setColumnWidth(column, widths[column]);
    }
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    // The header row is not a parameter row: clicking it selects nothing.
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setTabKeyNavigation(false);
    connect(this, &QTableWidget::itemChanged, this, &ParameterGrid::OnItemChanged);
}

void ParameterGrid::ShowTable(const ParameterTable& table) {
    filling_ = true;
    setRowCount(table.RowCount());
    const QBrush fixedColumn = palette().button();
    for (int row = 1; row <= table.RowCount(); ++row) {
        for (int column = 0; column < kTableColumnCount; ++column) {
            QTableWidgetItem* cell = item(row - 1, column);
            if (cell == nullptr) {
                cell = new QTableWidgetItem;
                Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
                if (column == kValueColumn) {
                    flags |= Qt::ItemIsEditable;
                }
                cell->setFlags(flags);
                cell->setTextAlignment(RightAligned(column) ? Qt::AlignRight | Qt::AlignVCenter
                                                            : Qt::AlignLeft | Qt::AlignVCenter);
                if (column == static_cast<int>(TableColumn::Code)) {
                    cell->setBackground(fixedColumn);
                }
                setItem(row - 1, column, cell);
            }
            cell->setText(table.Text(row, static_cast<TableColumn>(column)));
        }
    }
    filling_ = false;
    WidenColumnsToContent(*this, *horizontalHeader());
    // The window grows with its widest texts rather than hiding a column behind the scroll bar.
    KeepColumnsInView(*this, *horizontalHeader());
    viewport()->update();
}

int ParameterGrid::FocusRow() const {
    // Qt gives a focused view a current cell of its own; only a cell the user selected (by
    // clicking, moving to it or typing into it) names a parameter.
    const QModelIndex index = currentIndex();
    return index.isValid() && selectionModel()->isSelected(index) ? index.row() + 1 : 0;
}

void ParameterGrid::SetRowMarked(int row, bool marked) {
    QTableWidgetItem* cell = item(row - 1, kValueColumn);
    if (cell == nullptr) {
        return;
    }
    filling_ = true;
    cell->setForeground(marked ? QBrush(kFailedValue) : QBrush());
    filling_ = false;
}

void ParameterGrid::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (state() != QAbstractItemView::EditingState && currentIndex().isValid()) {
            edit(currentIndex()); // only the value column is editable
        }
        event->accept();
        return;
    case Qt::Key_Escape: event->accept(); return;
    default: QTableWidget::keyPressEvent(event);
    }
}

void ParameterGrid::OnItemChanged(QTableWidgetItem* changed) {
    if (!filling_ && changed->column() == kValueColumn) {
        // A value typed into a cell chooses its row.
        selectionModel()->setCurrentIndex(indexFromItem(changed),
                                          QItemSelectionModel::ClearAndSelect);
        emit valueTyped(changed->row() + 1, changed->text());
    }
}

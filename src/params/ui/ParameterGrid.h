#pragma once

#include <QTableWidget>

class ParameterTable;

// The grid of the parameter windows: a fixed header row (the table's horizontal header) and a
// fixed code column, then name, value, unit, range and default. Only the value column takes
// typed text. Enter starts editing the current cell and Escape stays in the grid, so that
// neither reaches the window's buttons.
class ParameterGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit ParameterGrid(QWidget* parent = nullptr);

    // Every cell from `table`; rows are made or dropped to match it, the focus cell is kept.
    void ShowTable(const ParameterTable& table);
    // Parameter row the user chose (1-based): the selected current cell. 0 when none is chosen,
    // also while Qt has given the focused grid a current cell nobody selected.
    int FocusRow() const;
    // A row whose single write failed shows its value in red.
    void SetRowMarked(int row, bool marked);

signals:
    // Text typed into the value cell of parameter row `row` (1-based).
    void valueTyped(int row, const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OnItemChanged(QTableWidgetItem* item);

    bool filling_ = false;
};

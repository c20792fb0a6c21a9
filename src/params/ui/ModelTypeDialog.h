#pragma once

#include <QDialog>

#include <cstdint>

class QTreeWidget;
class QTreeWidgetItem;

// "伺服驱动器和电机型号设定": the 74 supported drive/motor combinations, one row each, with the
// current model code's row selected. "确定" or a double-click takes the selected row's code;
// "取消" leaves the code as it was given. Nothing goes to the drive.
class CModelTypeDialog : public QDialog {
    Q_OBJECT
public:
    explicit CModelTypeDialog(int32_t code, QWidget* parent = nullptr);

    // The model code: the one given until the dialog ends with "确定".
    int32_t Code() const { return code_; }
    QTreeWidget* List() const { return list_; }
    // Row of the selected combination, -1 when none is selected.
    int SelectedRow() const;

    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void FitLastColumn();
    int FixedColumnsWidth() const;

    int32_t code_;
    QTreeWidget* list_ = nullptr;
    int lastColumnMinimum_ = 0;
};

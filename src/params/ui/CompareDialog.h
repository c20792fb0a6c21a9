#pragma once

#include "params/ParameterCompare.h"

#include <QDialog>

class QTableWidget;

// "比较": the parameters whose drive value differs from the document's, one row each in the
// order given (group order), with the document's and the drive's value as plain decimals.
// Modal; "关闭(&C)" ends it.
class CCompareDialog : public QDialog {
    Q_OBJECT
public:
    explicit CCompareDialog(const QList<CompareRow>& rows, QWidget* parent = nullptr);

    QTableWidget* List() const { return list_; }

private:
    QTableWidget* list_ = nullptr;
};

#pragma once

#include "drive/ParamCode.h"

#include <QDialog>
#include <QList>

class QComboBox;

// "设定" with the group "参数选择": a drop-down list of the parameters that may go on a panel of
// the online editor, one entry "Cn003 - name" each. "确定" yields the chosen code and its index
// in the list; "取消" yields nothing.
class CSetParaSelDialog : public QDialog {
    Q_OBJECT
public:
    CSetParaSelDialog(const QList<ParamCode>& offered, QWidget* parent = nullptr);

    // The chosen entry's code (letter 0 before "确定" or when the list is empty) and index.
    ParamCode Code() const { return code_; }
    int Index() const { return index_; }
    QComboBox* List() const { return list_; }

    void accept() override;

private:
    QComboBox* list_ = nullptr;
    ParamCode code_;
    int index_ = -1;
};

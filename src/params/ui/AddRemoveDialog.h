#pragma once

#include "params/CustomListEditor.h"

#include <QDialog>

class Messenger;
class QListWidget;
class QPushButton;

// "加入/移除": edits a custom list between "所有参数" and "自定义参数" (CustomListEditor holds the
// rules). Modal; after "确定" Entries() is the list in its new order. Used by the custom table
// and by the parameter editor's display settings.
class CAddRemoveDialog : public QDialog {
    Q_OBJECT
public:
    CAddRemoveDialog(const QList<CustomEntry>& entries, Messenger& messenger,
                     QWidget* parent = nullptr);

    QList<CustomEntry> Entries() const { return editor_.Entries(); }
    const CustomListEditor& Editor() const { return editor_; }

private:
    void Apply(CustomListEditor::Result result);
    void ShowLists();
    void FitListsToNames();
    void OnAvailableRow(int row);
    void OnCustomRow(int row);

    CustomListEditor editor_;
    Messenger& messenger_;
    QListWidget* available_ = nullptr;
    QListWidget* custom_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* remove_ = nullptr;
    QPushButton* addAll_ = nullptr;
    QPushButton* removeAll_ = nullptr;
    QPushButton* moveUp_ = nullptr;
    QPushButton* moveDown_ = nullptr;
    bool showing_ = false;
};

#include "params/ui/AddRemoveDialog.h"

#include "base/Messenger.h"
#include "frame/DialogButton.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Room an item takes beside its text (the style's padding and focus frame).
constexpr int kItemMargin = 12;

QListWidget* MakeList(const char* name, QWidget* parent) {
    auto* list = new QListWidget(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setMinimumSize(260, 320);
    return list;
}

} // namespace

CAddRemoveDialog::CAddRemoveDialog(const QList<CustomEntry>& entries, Messenger& messenger,
                                   QWidget* parent)
    : QDialog(parent), editor_(entries), messenger_(messenger) {
    setWindowTitle(QString::fromUtf8("加入/移除"));

    available_ = MakeList("availableList", this);
    custom_ = MakeList("customList", this);
    add_ = MakeDialogButton("加入(&A) ->", "addButton", this);
    remove_ = MakeDialogButton("<- 移除(&R)", "removeButton", this);
    addAll_ = MakeDialogButton("加入所有(&L)", "addAllButton", this);
    removeAll_ = MakeDialogButton("移除所有(&V)", "removeAllButton", this);
    moveUp_ = MakeDialogButton("向上移动(&U)", "moveUpButton", this);
    moveDown_ = MakeDialogButton("向下移动(&D)", "moveDownButton", this);
    auto* ok = MakeDialogButton("确定", "okButton", this);
    auto* cancel = MakeDialogButton("取消", "cancelButton", this);
    ok->setDefault(true);

    auto* middle = new QVBoxLayout;
    middle->addStretch();
    for (QPushButton* button : {add_, remove_, addAll_, removeAll_, moveUp_, moveDown_}) {
        middle->addWidget(button);
    }
    middle->addStretch();
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(ok);
    bottom->addWidget(cancel);

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QString::fromUtf8("所有参数"), this), 0, 0);
    layout->addWidget(new QLabel(QString::fromUtf8("自定义参数"), this), 0, 2);
    layout->addWidget(available_, 1, 0);
    layout->addLayout(middle, 1, 1);
    layout->addWidget(custom_, 1, 2);
    layout->addLayout(bottom, 2, 0, 1, 3);

    connect(add_, &QPushButton::clicked, this, [this] { Apply(editor_.Add()); });
    connect(remove_, &QPushButton::clicked, this, [this] { Apply(editor_.Remove()); });
    connect(addAll_, &QPushButton::clicked, this, [this] { Apply(editor_.AddAll()); });
    connect(removeAll_, &QPushButton::clicked, this, [this] { Apply(editor_.RemoveAll()); });
    connect(moveUp_, &QPushButton::clicked, this, [this] { Apply(editor_.MoveUp()); });
    connect(moveDown_, &QPushButton::clicked, this, [this] { Apply(editor_.MoveDown()); });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(available_, &QListWidget::currentRowChanged, this, &CAddRemoveDialog::OnAvailableRow);
    connect(custom_, &QListWidget::currentRowChanged, this, &CAddRemoveDialog::OnCustomRow);
    connect(available_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        editor_.SelectAvailable(available_->row(item));
        Apply(editor_.Add());
    });
    connect(custom_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        editor_.SelectCustom(custom_->row(item));
        Apply(editor_.Remove());
    });

    ShowLists();
    FitListsToNames();
}

void CAddRemoveDialog::FitListsToNames() {
    // Both lists are wide enough for every parameter's line, so that no name is cut: the
    // available list starts with all of them.
    QStringList texts = editor_.AvailableTexts() + editor_.CustomTexts();
    int widest = 0;
    for (const QString& text : texts) {
        widest = std::max(widest, available_->fontMetrics().horizontalAdvance(text));
    }
    for (QListWidget* list : {available_, custom_}) {
        const int chrome = 2 * list->frameWidth() + list->verticalScrollBar()->sizeHint().width() +
                           2 * list->spacing() + kItemMargin;
        list->setMinimumWidth(std::max(list->minimumWidth(), widest + chrome));
    }
}

void CAddRemoveDialog::Apply(CustomListEditor::Result result) {
    ShowLists();
    if (result == CustomListEditor::Result::Full) {
        Message message;
        message.text = CustomListEditor::FullMessageText();
        message.caption = windowTitle();
        message.icon = MessageIcon::Warning;
        messenger_.Show(message);
    }
}

void CAddRemoveDialog::ShowLists() {
    showing_ = true;
    const auto fill = [](QListWidget* list, const QStringList& texts, int selection) {
        list->clear();
        list->addItems(texts);
        list->setCurrentRow(selection);
        if (selection >= 0) {
            list->scrollToItem(list->item(selection));
        }
    };
    fill(available_, editor_.AvailableTexts(), editor_.AvailableSelection());
    fill(custom_, editor_.CustomTexts(), editor_.CustomSelection());
    showing_ = false;

    const CustomListEditor::Buttons enabled = editor_.EnabledButtons();
    add_->setEnabled(enabled.add);
    remove_->setEnabled(enabled.remove);
    addAll_->setEnabled(enabled.addAll);
    removeAll_->setEnabled(enabled.removeAll);
    moveUp_->setEnabled(enabled.moveUp);
    moveDown_->setEnabled(enabled.moveDown);
}

void CAddRemoveDialog::OnAvailableRow(int row) {
    if (!showing_) {
        editor_.SelectAvailable(row);
    }
}

void CAddRemoveDialog::OnCustomRow(int row) {
    if (showing_) {
        return;
    }
    editor_.SelectCustom(row);
    const CustomListEditor::Buttons enabled = editor_.EnabledButtons();
    remove_->setEnabled(enabled.remove);
    moveUp_->setEnabled(enabled.moveUp);
    moveDown_->setEnabled(enabled.moveDown);
}

#include "params/ui/ModelTypeDialog.h"

#include "base/StringTable.h"
#include "drive/ModelTable.h"
#include "widgets/ColumnFit.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// Widths of the code, drive and motor columns at the least (wider where a text needs it); the
// description column takes the rest of the list's client area.
constexpr int kCodeColumnWidth = 80;
constexpr int kDriveColumnWidth = 80;
constexpr int kMotorColumnWidth = 100;

QString CodeText(int32_t code) {
    return QStringLiteral("%1").arg(code & 0xFFFF, 4, 16, QLatin1Char('0')).toUpper();
}

} // namespace

CModelTypeDialog::CModelTypeDialog(int32_t code, QWidget* parent) : QDialog(parent), code_(code) {
    setWindowTitle(QString::fromUtf8("伺服驱动器和电机型号设定"));

    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("modelList"));
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setAllColumnsShowFocus(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setHeaderLabels({QString::fromUtf8("设定值"), QString::fromUtf8("驱动器型号"),
                            QString::fromUtf8("电机型号"), QString::fromUtf8("人机显示状态")});
    list_->header()->setStretchLastSection(false);
    list_->header()->setSectionsMovable(false);
    list_->setColumnWidth(0, kCodeColumnWidth);
    list_->setColumnWidth(1, kDriveColumnWidth);
    list_->setColumnWidth(2, kMotorColumnWidth);

    // The selected row: light grey background, blue text, also when the list has no focus.
    QPalette palette = list_->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Highlight, QColor(0xF0, 0xF0, 0xF0));
        palette.setColor(group, QPalette::HighlightedText, QColor(0x00, 0x00, 0xFF));
    }
    list_->setPalette(palette);

    QTreeWidgetItem* current = nullptr;
    for (const ModelListRow& row : ModelList()) {
        auto* item =
            new QTreeWidgetItem(list_, {CodeText(row.code), DriveSizeText(row.code),
                                        StringText(row.motorNameId), MotorTypeText(row.code)});
        if (row.code == static_cast<uint16_t>(code) && (code & ~0xFFFF) == 0 && !current) {
            current = item;
        }
    }
    if (current) {
        list_->setCurrentItem(current);
        current->setSelected(true);
        list_->scrollToItem(current);
    }
    list_->viewport()->installEventFilter(this);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QString::fromUtf8("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QString::fromUtf8("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CModelTypeDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CModelTypeDialog::reject);
    connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] { accept(); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addWidget(buttons);
    WidenColumnsToContent(*list_, *list_->header());
    lastColumnMinimum_ = list_->columnWidth(3);
    resize(FixedColumnsWidth() + lastColumnMinimum_ + 40, 360);
    FitLastColumn();
}

int CModelTypeDialog::SelectedRow() const {
    const QList<QTreeWidgetItem*> selected = list_->selectedItems();
    return selected.isEmpty() ? -1 : list_->indexOfTopLevelItem(selected.front());
}

void CModelTypeDialog::accept() {
    const int row = SelectedRow();
    if (row >= 0) {
        bool ok = false;
        const int code = list_->topLevelItem(row)->text(0).toInt(&ok, 16);
        if (ok) {
            code_ = code;
        }
    }
    QDialog::accept();
}

bool CModelTypeDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_->viewport() && event->type() == QEvent::Resize) {
        FitLastColumn();
    }
    return QDialog::eventFilter(watched, event);
}

void CModelTypeDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The list has its real size only now: bring the selected row into view.
    const int row = SelectedRow();
    if (row >= 0) {
        list_->scrollToItem(list_->topLevelItem(row));
    }
}

int CModelTypeDialog::FixedColumnsWidth() const {
    return list_->columnWidth(0) + list_->columnWidth(1) + list_->columnWidth(2);
}

void CModelTypeDialog::FitLastColumn() {
    list_->setColumnWidth(
        3, std::max(lastColumnMinimum_, list_->viewport()->width() - FixedColumnsWidth()));
}

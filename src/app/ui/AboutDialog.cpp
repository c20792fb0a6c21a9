#include "app/ui/AboutDialog.h"

#include "app/ui/Artwork.h"
#include "base/StringIds.h"
#include "base/StringTable.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {} // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("关于 Orvan Servo"));

    auto* icon = new QLabel(this);
    icon->setPixmap(ProgramIcon().pixmap(48, 48));
    auto* name = new QLabel(QStringLiteral("Orvan Servo"), this);
    QFont nameFont = name->font();
    nameFont.setPointSizeF(nameFont.pointSizeF() * 1.4);
    nameFont.setBold(true);
    name->setFont(nameFont);
    auto* logo = new QLabel(this);
    logo->setPixmap(LogoPixmap());

    const QString address = StringText(StringId::kWebAddress);
    link_ = new QLabel(QStringLiteral("<a href=\"%1\" style=\"color:#0000FF\">%2</a>")
                           .arg(address.toHtmlEscaped(), address.toHtmlEscaped()),
                       this);
    link_->setTextFormat(Qt::RichText);
    link_->setTextInteractionFlags(Qt::TextBrowserInteraction);
    link_->setOpenExternalLinks(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addWidget(name, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(logo, 0, Qt::AlignHCenter);
    layout->addWidget(link_, 0, Qt::AlignHCenter);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

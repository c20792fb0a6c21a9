#include "app/ui/QtMessenger.h"

#include "app/DocumentTemplate.h"
#include "base/FileNames.h"

#include <QApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>

#include <algorithm>

namespace {

QMessageBox::Icon IconOf(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ButtonsOf(MessageButtons buttons) {
    switch (buttons) {
    case MessageButtons::Ok: return QMessageBox::Ok;
    case MessageButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

MessageAnswer AnswerOf(int button) {
    switch (button) {
    case QMessageBox::Ok: return MessageAnswer::Ok;
    case QMessageBox::Yes: return MessageAnswer::Yes;
    case QMessageBox::No: return MessageAnswer::No;
    default: return MessageAnswer::Cancel;
    }
}

// The box width that shows each line of `text` unbroken beside the icon, at most most of the
// screen's width (a longer line still wraps).
int UnbrokenTextWidth(const QMessageBox& box, const QString& text) {
    int longest = 0;
    for (const QString& line : text.split(QLatin1Char('\n')))
        longest = std::max(longest, box.fontMetrics().horizontalAdvance(line));
    constexpr int kIconAndMargins = 100;
    const QScreen* screen = box.screen();
    const int limit = screen != nullptr ? screen->availableGeometry().width() * 9 / 10 : 900;
    return std::min(longest + kIconAndMargins, limit);
}

} // namespace

MessageAnswer QtMessenger::Show(const Message& message) {
    QWidget* parent = QApplication::activeModalWidget();
    if (parent == nullptr)
        parent = QApplication::activeWindow();
    if (parent == nullptr)
        parent = fallbackParent_;
    const QString caption =
        message.caption.isEmpty() ? ProgramDocumentTemplate().typeName : message.caption;
    QMessageBox box(IconOf(message.icon), caption, message.text, ButtonsOf(message.buttons),
                    parent);
    if (message.topmost)
        box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    // A box is as wide as its text; a longer caption would be cut in the title bar. Room is
    // kept for the caption and the title bar's own buttons, and for every line of the text that
    // fits on the screen, so that the box does not break a line of its own accord (a bracketed
    // note or a command split in two).
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        const int width = std::max(box.fontMetrics().horizontalAdvance(caption) + 120,
                                   UnbrokenTextWidth(box, message.text));
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    // Enter answers the first button, as the system's message boxes do; Escape cancels where
    // there is a cancel.
    if (message.buttons == MessageButtons::YesNo || message.buttons == MessageButtons::YesNoCancel)
        box.setDefaultButton(QMessageBox::Yes);
    return AnswerOf(box.exec());
}

std::optional<QString> QtFileChooser::ChooseFileToOpen(const QString& filter) {
    const QString path = QFileDialog::getOpenFileName(parent_, QStringLiteral("打开"), QString(),
                                                      QtFileFilter(filter));
    if (path.isEmpty())
        return std::nullopt;
    return ExistingFileName(path);
}

std::optional<QString> QtFileChooser::ChooseFileToSave(const QString& filter,
                                                       const QString& suggestedPath) {
    QFileDialog dialog(parent_, QStringLiteral("另存为"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QtFileFilter(filter));
    // A name typed without an extension gets the chosen type's before the dialog checks for an
    // existing file.
    const auto suffixOf = [](const QString& nameFilter) {
        static const QRegularExpression firstPattern(QStringLiteral("\\(\\*\\.(\\w+)"));
        return firstPattern.match(nameFilter).captured(1);
    };
    dialog.setDefaultSuffix(suffixOf(dialog.selectedNameFilter()));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog, suffixOf](const QString& nameFilter) {
                         dialog.setDefaultSuffix(suffixOf(nameFilter));
                     });
    if (!suggestedPath.isEmpty())
        dialog.selectFile(suggestedPath);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return ExistingFileName(dialog.selectedFiles().first());
}

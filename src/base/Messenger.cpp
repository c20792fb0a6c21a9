#include "base/Messenger.h"

#include <QTextStream>

namespace {

MessageAnswer Affirmative(MessageButtons buttons) {
    return buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoCancel
               ? MessageAnswer::Yes
               : MessageAnswer::Ok;
}

} // namespace

MessageAnswer ConsoleMessenger::Show(const Message& message) {
    QTextStream err(stderr);
    QString text = message.text;
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (!message.caption.isEmpty()) {
        err << message.caption << ": ";
    }
    err << text.simplified() << Qt::endl;
    return Affirmative(message.buttons);
}

MessageAnswer RecordingMessenger::Show(const Message& message) {
    messages.append(message);
    if (!answers.isEmpty()) {
        return answers.takeFirst();
    }
    return Affirmative(message.buttons);
}

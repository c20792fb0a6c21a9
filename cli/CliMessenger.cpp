#include "cli/CliMessenger.h"

#include "cli/CliText.h"

MessageAnswer CliMessenger::Show(const Message& message) {
    ErrorLine(err_);
    if (!message.caption.isEmpty()) {
        err_ << message.caption << ": ";
    }
    err_ << OneLine(message.text) << Qt::endl;
    return message.buttons == MessageButtons::YesNo ||
                   message.buttons == MessageButtons::YesNoCancel
               ? MessageAnswer::Yes
               : MessageAnswer::Ok;
}

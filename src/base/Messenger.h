#pragma once

#include <QList>
#include <QString>

// Every message and question the program puts to its user goes through this seam, so that the
// desktop program shows a message box, the command-line tool prints a line, and a test reads the
// exact text and answers the question.

enum class MessageIcon { None, Information, Warning, Error, Question };

enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };

enum class MessageAnswer { Ok, Cancel, Yes, No };

struct Message {
    QString text;
    QString caption; // empty: the program's title
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
    bool topmost = false;
};

class Messenger {
public:
    virtual ~Messenger() = default;
    virtual MessageAnswer Show(const Message& message) = 0;

    // A plain text-only message with an OK button.
    MessageAnswer Show(const QString& text) {
        Message message;
        message.text = text;
        return Show(message);
    }
};

// Writes each message as one line to standard error and answers with the first button's
// affirmative answer (OK or Yes).
class ConsoleMessenger : public Messenger {
public:
    MessageAnswer Show(const Message& message) override;
};

// Keeps every message and gives scripted answers in order (OK or Yes once the script runs out).
class RecordingMessenger : public Messenger {
public:
    MessageAnswer Show(const Message& message) override;

    QList<Message> messages;
    QList<MessageAnswer> answers;
};

#pragma once

#include "base/Messenger.h"

#include <QTextStream>

// The program's messages on the tool's error output: one line each, led by the tool's name like
// its own error lines, in order with them. Questions get the affirmative answer (OK or Yes), as
// the program's defaults.
class CliMessenger : public Messenger {
public:
    explicit CliMessenger(QTextStream& err) : err_(err) {}
    MessageAnswer Show(const Message& message) override;

private:
    QTextStream& err_;
};

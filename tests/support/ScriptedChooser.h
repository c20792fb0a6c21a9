#pragma once

#include "base/FileChooser.h"

#include <QStringList>

#include <deque>
#include <optional>

// Answers the file dialogs from a script (an empty script cancels) and keeps what was asked.
class ScriptedChooser : public FileChooser {
public:
    std::optional<QString> ChooseFileToOpen(const QString& filter) override {
        filters << filter;
        return Next();
    }
    std::optional<QString> ChooseFileToSave(const QString& filter,
                                            const QString& suggestedPath) override {
        filters << filter;
        suggestions << suggestedPath;
        return Next();
    }
    std::deque<std::optional<QString>> answers;
    QStringList filters;
    QStringList suggestions;

private:
    std::optional<QString> Next() {
        if (answers.empty())
            return std::nullopt;
        std::optional<QString> answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

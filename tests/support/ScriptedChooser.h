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
        // The path is taken out as a QString: copying the optional itself trips a false "may be
        // used uninitialized" in GCC 12.
        const bool cancelled = !answers.front().has_value();
        const QString path = answers.front().value_or(QString());
        answers.pop_front();
        if (cancelled)
            return std::nullopt;
        return path;
    }
};

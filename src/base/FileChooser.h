#pragma once

#include <QString>

#include <optional>

// Every file name the user picks goes through this seam, so that the desktop program shows its
// file dialogs and a test answers them. Filters are given in the string table's form
// ("description|patterns|...||").
class FileChooser {
public:
    virtual ~FileChooser() = default;

    // An existing file to read; nothing when the user cancels.
    virtual std::optional<QString> ChooseFileToOpen(const QString& filter) = 0;
    // A file to write; `suggestedPath` is the current name or folder. The chooser asks before
    // an existing file it returns is replaced. Nothing when the user cancels.
    virtual std::optional<QString> ChooseFileToSave(const QString& filter,
                                                    const QString& suggestedPath) = 0;
};

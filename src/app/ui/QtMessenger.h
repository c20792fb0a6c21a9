#pragma once

#include "base/FileChooser.h"
#include "base/Messenger.h"

#include <QPointer>
#include <QWidget>

// Messages and questions as message boxes over the program's active window.
class QtMessenger : public Messenger {
public:
    // `fallbackParent` owns boxes shown while no window of the program is active.
    explicit QtMessenger(QWidget* fallbackParent = nullptr) : fallbackParent_(fallbackParent) {}
    void SetFallbackParent(QWidget* parent) { fallbackParent_ = parent; }

    using Messenger::Show;
    MessageAnswer Show(const Message& message) override;

private:
    QPointer<QWidget> fallbackParent_;
};

// File names from the file dialogs.
class QtFileChooser : public FileChooser {
public:
    explicit QtFileChooser(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }

    std::optional<QString> ChooseFileToOpen(const QString& filter) override;
    std::optional<QString> ChooseFileToSave(const QString& filter,
                                            const QString& suggestedPath) override;

private:
    QPointer<QWidget> parent_;
};

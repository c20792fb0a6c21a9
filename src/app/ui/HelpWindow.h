#pragma once

#include <QDialog>

class QTextBrowser;

// The program's own help page in a window of its own (modeless).
class CHelpWindow : public QDialog {
    Q_OBJECT
public:
    CHelpWindow(const QString& html, QWidget* parent = nullptr);

    QTextBrowser* Browser() const { return browser_; }

private:
    QTextBrowser* browser_ = nullptr;
};

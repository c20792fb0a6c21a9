#pragma once

#include <QObject>
#include <QPointer>

class QWidget;
class QWindow;

// Keeps a tool window usable and on top while the program's modal dialogs run: whenever a modal
// dialog would block it, the window becomes that dialog's own (a window is never blocked by a
// dialog it belongs to) and stays on top; once no modal dialog runs, it belongs to `owner`
// again, stacked as usual. Lives as long as `window` (its child).
class ModalCompanion : public QObject {
    Q_OBJECT
public:
    ModalCompanion(QWidget* window, QWidget* owner);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Belong to the modal dialog that runs now, else to the owner.
    void Follow();

    QWidget* window_;
    QPointer<QWidget> owner_;
    QPointer<QWindow> followed_; // the modal dialog belonged to, watched for its end
};

#pragma once

// What the parameter window tests share: a stand-in for the main view's request queue and link
// flag, and small helpers to press buttons and read grid cells.

#include "params/ParameterRequests.h"

#include <QCoreApplication>
#include <QPushButton>
#include <QTableWidget>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

struct PostedRequest {
    int message = 0;
    int request = 0;
    int argument = 0;
    bool operator==(const PostedRequest&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const PostedRequest& r) {
    return out << std::hex << "{0x" << r.message << std::dec << ", " << r.request << ", "
               << r.argument << "}";
}

// Records every request; `onPost` may run it as the view would.
class RecordingRequests : public ParameterRequests {
public:
    void PostParameterRequest(int message, int request, int argument) override {
        posts.append({message, request, argument});
        if (onPost) {
            onPost(message, request, argument);
        }
    }
    bool LinkUp() const override { return linkUp; }

    bool linkUp = false;
    QList<PostedRequest> posts;
    std::function<void(int, int, int)> onPost;
};

inline QPushButton* Button(QWidget& window, const char* name) {
    auto* button = window.findChild<QPushButton*>(QString::fromLatin1(name));
    EXPECT_NE(button, nullptr) << name;
    return button;
}

// The text of grid cell (row 1-based as in the windows, column 0..5).
inline QString Cell(QWidget& window, int row, int column) {
    auto* grid = window.findChild<QTableWidget*>(QStringLiteral("grid"));
    if (grid == nullptr || grid->item(row - 1, column) == nullptr) {
        return QStringLiteral("<none>");
    }
    return grid->item(row - 1, column)->text();
}

inline QTableWidget* Grid(QWidget& window) {
    return window.findChild<QTableWidget*>(QStringLiteral("grid"));
}

// Runs the deferred deletions and queued calls of the event loop.
inline void Settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

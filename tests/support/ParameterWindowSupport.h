#pragma once

// What the parameter window tests share: a stand-in for the main view's request queue and link
// flag, and small helpers to press buttons, read grid cells, check that texts fit and answer a
// modal window.

#include "params/ParameterRequests.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

inline std::ostream& operator<<(std::ostream& out, const ParameterRequest& r) {
    static const char* const kinds[] = {"ReadAll", "WriteAll", "WriteOne"};
    out << "{" << kinds[static_cast<int>(r.kind)] << ", ";
    if (r.groupWindow)
        out << "group window " << GroupInfo(*r.groupWindow).letter;
    else
        out << "custom table";
    return out << ", row " << r.row << ", row group " << GroupInfo(r.rowGroup).letter << "}";
}

// Records every request; `onPost` may run it as the view would.
class RecordingRequests : public ParameterRequests {
public:
    void PostParameterRequest(const ParameterRequest& request) override {
        posts.append(request);
        if (onPost)
            onPost(request);
    }
    bool LinkUp() const override { return linkUp; }

    bool linkUp = false;
    QList<ParameterRequest> posts;
    std::function<void(const ParameterRequest&)> onPost;
};

inline QPushButton* Button(QWidget& window, const char* name) {
    auto* button = window.findChild<QPushButton*>(QString::fromLatin1(name));
    EXPECT_NE(button, nullptr) << name;
    return button;
}

// The text of grid cell (row 1-based as in the windows, column 0..5).
inline QString Cell(QWidget& window, int row, int column) {
    auto* grid = window.findChild<QTableWidget*>(QStringLiteral("grid"));
    if (grid == nullptr || grid->item(row - 1, column) == nullptr)
        return QStringLiteral("<none>");
    return grid->item(row - 1, column)->text();
}

inline QTableWidget* Grid(QWidget& window) {
    return window.findChild<QTableWidget*>(QStringLiteral("grid"));
}

// Every text of the grid is read whole: each column is at least as wide as its texts.
inline void ExpectTextsFit(const QTableWidget& grid) {
    for (int row = 0; row < grid.rowCount(); ++row) {
        for (int column = 0; column < grid.columnCount(); ++column) {
            const QTableWidgetItem* item = grid.item(row, column);
            ASSERT_NE(item, nullptr) << "row " << row << " column " << column;
            EXPECT_LE(QFontMetrics(item->font()).horizontalAdvance(item->text()),
                      grid.columnWidth(column))
                << "row " << row << " column " << column << ": " << item->text().toStdString();
        }
    }
}

// Runs `handle` on the modal window of type T as soon as it is up (progress windows may come and
// go before it).
template <typename T> void WhenModal(std::function<void(T&)> handle) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, handle] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            handle(*dialog);
        }
    });
    timer->start();
}

// Runs the deferred deletions and queued calls of the event loop.
inline void Settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

// Drive operations: posted requests run later, one at a time, under Busy.

#include "link/DriveOperations.h"

#include <QCoreApplication>
#include <QStringList>

#include "support/CoreApplication.h"

#include <gtest/gtest.h>

namespace {

TEST(DriveOperations, ARequestPostedDuringAnotherWaitsForItAndRunsUnderTheSameBusy) {
    EnsureApplication();
    DriveOperations operations;
    int ended = 0;
    QObject::connect(&operations, &DriveOperations::operationsEnded, [&] { ++ended; });
    QStringList steps;
    operations.SetRequestHandler(1, [&](int argument) {
        steps << QStringLiteral("first %1 busy %2").arg(argument).arg(operations.Busy());
        operations.PostRequest(2, 8);      // a window's click while the transfer runs
        QCoreApplication::processEvents(); // as a transfer does after every exchange
        steps << QStringLiteral("first ends");
    });
    operations.SetRequestHandler(2, [&](int argument) {
        steps << QStringLiteral("second %1 busy %2").arg(argument).arg(operations.Busy());
    });
    operations.PostRequest(1, 7);
    operations.PostRequest(3, 9); // nobody answers this code
    EXPECT_TRUE(steps.isEmpty()) << "not before the event loop runs";
    QCoreApplication::processEvents();
    EXPECT_EQ(steps, QStringList({"first 7 busy 1", "first ends", "second 8 busy 1"}));
    EXPECT_FALSE(operations.Busy());
    EXPECT_FALSE(operations.Running());
    EXPECT_EQ(ended, 1) << "the windows follow once the queue is empty";

    // Busy held by someone else (a modal box whose loop let the request in) stays held.
    operations.SetBusy(true);
    operations.PostRequest(2, 5);
    QCoreApplication::processEvents();
    EXPECT_EQ(steps.last(), "second 5 busy 1");
    EXPECT_TRUE(operations.Busy());
}

} // namespace

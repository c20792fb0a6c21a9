// Drive operations: posted jobs run later, one at a time, under Busy.

#include "link/DriveOperations.h"

#include <QCoreApplication>
#include <QStringList>

#include "support/CoreApplication.h"

#include <gtest/gtest.h>

namespace {

TEST(DriveOperations, AJobPostedDuringAnotherWaitsForItAndRunsUnderTheSameBusy) {
    EnsureApplication();
    DriveOperations operations;
    int ended = 0;
    QObject::connect(&operations, &DriveOperations::operationsEnded, [&] { ++ended; });
    QStringList steps;
    const auto second = [&](int argument) {
        steps << QStringLiteral("second %1 busy %2").arg(argument).arg(operations.Busy());
    };
    operations.Post([&] {
        steps << QStringLiteral("first busy %1").arg(operations.Busy());
        operations.Post([&] { second(8); }); // a window's click while the transfer runs
        QCoreApplication::processEvents();   // as a transfer does after every exchange
        steps << QStringLiteral("first ends");
    });
    EXPECT_TRUE(steps.isEmpty()) << "not before the event loop runs";
    QCoreApplication::processEvents();
    EXPECT_EQ(steps, QStringList({"first busy 1", "first ends", "second 8 busy 1"}));
    EXPECT_FALSE(operations.Busy());
    EXPECT_FALSE(operations.Running());
    EXPECT_EQ(ended, 1) << "the windows follow once the queue is empty";

    // Busy held by someone else (a modal box whose loop let the job in) stays held.
    operations.SetBusy(true);
    operations.Post([&] { second(5); });
    QCoreApplication::processEvents();
    EXPECT_EQ(steps.last(), "second 5 busy 1");
    EXPECT_TRUE(operations.Busy());
}

} // namespace

namespace {

// A command chosen while nothing runs, while the poll reads and while another operation runs.
TEST(DriveOperations, AChosenCommandRunsNowAfterTheYieldingPollOrNotAtAll) {
    EnsureApplication();
    DriveOperations operations;
    QStringList steps;
    const auto choose = [&](int command) {
        return operations.RunChosen(command, [&, command] {
            steps << QStringLiteral("command %1 running %2").arg(command).arg(operations.Running());
        });
    };
    EXPECT_EQ(choose(1), DriveOperations::Chosen::Ran);
    EXPECT_EQ(steps, QStringList{"command 1 running 0"});

    steps.clear();
    operations.RunPoll([&] {
        EXPECT_FALSE(operations.YieldWanted());
        EXPECT_EQ(choose(2), DriveOperations::Chosen::Waiting);
        EXPECT_EQ(choose(3), DriveOperations::Chosen::Waiting);
        EXPECT_EQ(choose(2), DriveOperations::Chosen::Waiting); // chosen again: still once
        EXPECT_TRUE(operations.YieldWanted());
        QCoreApplication::processEvents(); // the poll's pump does not run them inside the poll
        steps << QStringLiteral("poll ends");
    });
    EXPECT_FALSE(operations.YieldWanted()) << "the next tick reads again";
    EXPECT_EQ(steps, QStringList{"poll ends"}) << "not before the event loop runs";
    QCoreApplication::processEvents();
    EXPECT_EQ(steps, QStringList({"poll ends", "command 2 running 0", "command 3 running 0"}));

    steps.clear();
    operations.RunExclusive([&] {
        EXPECT_EQ(choose(4), DriveOperations::Chosen::Refused);
        EXPECT_FALSE(operations.YieldWanted());
    });
    QCoreApplication::processEvents();
    EXPECT_TRUE(steps.isEmpty());
}

} // namespace

// The simulator window speaks control lines that reach the drive's machine; in the program it
// opens over the main window's client area, stays usable and on top while a modal dialog runs,
// and Escape puts it away.

#include "app/ui/SimDriveDialog.h"
#include "sim/ControlLines.h"
#include "sim/SimulatedDrive.h"
#include "support/AppHarness.h"
#include "support/ParameterWindowSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QPushButton>
#include <QWindow>

#include <gtest/gtest.h>

namespace {

TEST(SimDriveWindow, ControlsReachTheDrive) {
    SimulatedDrive drive;
    QStringList sent;
    CSimDriveDialog window([&](const QString& line) {
        sent << line;
        EXPECT_TRUE(RunControlLine(drive, line).ok) << line.toStdString();
    });
    window.InputBox(3)->setChecked(true);
    EXPECT_EQ(drive.Word('6', 0xCB), 0x0004);
    window.ServoBox()->setChecked(true);
    EXPECT_TRUE(drive.Machine().ServoOn());
    window.AlarmList()->setCurrentIndex(4);
    window.RaiseAlarm();
    EXPECT_EQ(drive.Word('6', 0x60), 0x0010) << "alarm 5";
    EXPECT_FALSE(window.ServoBox()->isChecked()) << "the alarm turned the servo off";
    window.findChild<QDoubleSpinBox*>("resonance")->setValue(450);
    EXPECT_EQ(drive.Machine().Machine().Settings().resonanceHz, 450);
    EXPECT_EQ(sent, (QStringList{"di 3 on", "servo on", "alarm 5", "resonance 450"}));

    // "重新启动": the power cycle clears the alarm and comes back with the servo off.
    window.ServoBox()->setChecked(true);
    sent.clear();
    window.findChild<QPushButton*>("restart")->click();
    EXPECT_EQ(sent, (QStringList{"restart"}));
    EXPECT_EQ(drive.Word('6', 0x60), 0);
    EXPECT_FALSE(drive.Machine().ServoOn());
    EXPECT_FALSE(window.ServoBox()->isChecked());
    EXPECT_TRUE(window.InputBox(3)->isChecked()) << "the contacts stay wired";
}

TEST(SimDriveWindow, EscapePutsItAway) {
    CSimDriveDialog window([](const QString&) {});
    window.show();
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
}

struct SimDriveWindowInProgram : ::testing::Test {
    void SetUp() override {
        ProgramOptions options;
        options.simulate = true;
        ASSERT_TRUE(h.Start(options));
        Settle(); // the main window laid out, as a user finds it
        ASSERT_TRUE(h.Frame().Trigger(Command::SimulatedDrive));
        window = h.app->SimDriveWindow();
        ASSERT_NE(window, nullptr);
        Settle();
    }

    AppHarness h;
    CSimDriveDialog* window = nullptr;
};

TEST_F(SimDriveWindowInProgram, OpensInTheTopRightCornerOfTheClientArea) {
    const QWidget* client = h.Frame().centralWidget();
    const QRect area(client->mapToGlobal(QPoint(0, 0)), client->size());
    const QRect placed = window->frameGeometry();
    EXPECT_TRUE(area.contains(placed.topLeft())) << "below the menu and tool bars";
    EXPECT_LE(placed.top(), area.top() + 16);
    EXPECT_GE(placed.right(), area.right() - 16);
}

// A click on "Servo On" while a modal dialog runs reaches it, and the window is the dialog's
// own and on top; afterwards it is the main window's again, stacked as usual.
TEST_F(SimDriveWindowInProgram, StaysUsableAndOnTopWhileAModalDialogRuns) {
    for (const Qt::WindowModality modality : {Qt::WindowModal, Qt::ApplicationModal}) {
        bool clicked = false;
        WhenModal<QDialog>([&](QDialog& dialog) {
            Settle();
            QCheckBox* servo = window->ServoBox();
            const QPoint at = servo->mapTo(window, QPoint(6, servo->height() / 2));
            QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, at);
            clicked = servo->isChecked();
            EXPECT_EQ(window->windowHandle()->transientParent(), dialog.windowHandle());
            EXPECT_TRUE(window->windowHandle()->flags() & Qt::WindowStaysOnTopHint);
            dialog.reject();
        });
        QDialog dialog(&h.Frame());
        dialog.setWindowModality(modality);
        dialog.exec();
        EXPECT_TRUE(clicked) << "modality " << modality;
        Settle();
        EXPECT_EQ(window->windowHandle()->transientParent(), h.Frame().windowHandle());
        EXPECT_FALSE(window->windowHandle()->flags() & Qt::WindowStaysOnTopHint);
        window->ServoBox()->setChecked(false);
    }
}

} // namespace

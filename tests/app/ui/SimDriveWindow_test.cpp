// The simulator window speaks control lines that reach the drive's machine.

#include "app/ui/SimDriveDialog.h"
#include "sim/ControlLines.h"
#include "sim/SimulatedDrive.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>

#include <gtest/gtest.h>

TEST(SimDriveWindow, ControlsReachTheDrive) {
    SimulatedDrive drive;
    QStringList sent;
    CSimDriveDialog window([&](const QString& line) {
        sent << line;
        EXPECT_TRUE(RunControlLine(drive, line).ok) << line.toStdString();
    });
    window.InputBox(3)->setChecked(true);
    EXPECT_EQ(drive.word('6', 0xCB), 0x0004);
    window.ServoBox()->setChecked(true);
    EXPECT_TRUE(drive.machine().servoOn());
    window.AlarmList()->setCurrentIndex(4);
    window.RaiseAlarm();
    EXPECT_EQ(drive.word('6', 0x60), 0x0010) << "alarm 5";
    EXPECT_FALSE(window.ServoBox()->isChecked()) << "the alarm turned the servo off";
    window.findChild<QDoubleSpinBox*>("resonance")->setValue(450);
    EXPECT_EQ(drive.machine().machine().settings().resonanceHz, 450);
    EXPECT_EQ(sent, (QStringList{"di 3 on", "servo on", "alarm 5", "resonance 450"}));
}

#pragma once

#include <QString>

class SimulatedDrive;

// Control lines: how a tester works the simulated drive's machine by hand, one line at a time,
// from the simulator's standard input or the desktop program's simulator window.
//
//   servo on|off          the servo-on command
//   di N on|off           input contact DI-N (1..13)
//   alarm N               raise alarm N (1..15)
//   alarm clear           clear the alarm
//   load-inertia R        load inertia / motor inertia (0..100)
//   resonance HZ          shaft resonance frequency (20..1500 Hz)
//   damping Z             shaft damping ratio (0.001..1)
//   bus-voltage V         main circuit voltage (0..1000 V)
//   jog RPM | jog off     a JOG speed that overrides every other command
//   restart               power cycle: stored parameters become live, the machine starts again
//   unplug                the cable is pulled: the terminal goes away (see PtyDriveHost)
//   replug                the cable is back: a new terminal at the same path
//   status                one line: servo, alarm, speed, torque, contacts
//   help                  these lines
//
// Words are separated by blanks; case does not matter; an empty line or one starting with '#'
// does nothing. A line that does not parse changes nothing and says why.
// What a line asks of the port the drive sits behind; only a host with a terminal (PtyDriveHost)
// can carry it out.
enum class PortAction { None, Unplug, Replug };

struct ControlReply {
    bool ok = true;
    QString text; // the error, or what `status` and `help` answer; empty otherwise
    PortAction port = PortAction::None;
};

ControlReply RunControlLine(SimulatedDrive& drive, const QString& line);
QString ControlLinesHelp();

// The lines for the simulator window's controls, so that it speaks exactly what a tester types.
namespace ControlLine {
QString Servo(bool on);
QString Input(int contact, bool on);
QString Alarm(int code);
QString ClearAlarm();
QString InertiaRatio(double ratio);
QString Resonance(double hz);
QString Damping(double ratio);
QString BusVoltage(double volts);
QString AnalogSpeed(double volts);
QString Restart();
} // namespace ControlLine

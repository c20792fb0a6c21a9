#include "sim/ControlLines.h"

#include "sim/SimulatedDrive.h"

#include <QStringList>

#include <optional>

namespace {

// One parsed line; applied only once the whole line is known to be good.
struct Command {
    enum Kind {
        Nothing,
        Servo,
        Input,
        Alarm,
        ClearAlarm,
        Setting,
        Jog,
        JogOff,
        Restart,
        Unplug,
        Replug,
        Status,
        Help
    };
    Kind kind = Nothing;
    int number = 0;
    bool on = false;
    double value = 0;
    QString setting;
};

struct SettingRange {
    const char* name;
    double min;
    double max;
    double MachineSettings::*field;
};

constexpr SettingRange kSettings[] = {
    {"load-inertia", 0, 100, &MachineSettings::inertiaRatio},
    {"resonance", 20, 1500, &MachineSettings::resonanceHz},
    {"damping", 0.001, 1, &MachineSettings::damping},
    {"bus-voltage", 0, 1000, &MachineSettings::busVoltage},
    {"analog-speed", -10, 10, &MachineSettings::analogSpeed},
};

std::optional<bool> OnOff(const QString& word) {
    if (word == QLatin1String("on")) {
        return true;
    }
    if (word == QLatin1String("off")) {
        return false;
    }
    return std::nullopt;
}

std::optional<double> Number(const QString& word, double min, double max) {
    bool ok = false;
    const double value = word.toDouble(&ok);
    if (!ok || value < min || value > max) {
        return std::nullopt;
    }
    return value;
}

// The command of a line, or the reason it is none.
std::optional<Command> Parse(const QString& line, QString* error) {
    const QStringList words =
        line.simplified().toLower().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    Command c;
    if (words.isEmpty() || words[0].startsWith(QLatin1Char('#'))) {
        return c;
    }
    const QString& verb = words[0];
    auto fail = [&](const QString& expected) -> std::optional<Command> {
        *error =
            QStringLiteral("%1: %2 expected, found \"%3\"").arg(verb, expected, line.simplified());
        return std::nullopt;
    };
    if (verb == QLatin1String("servo")) {
        const auto on = words.size() == 2 ? OnOff(words[1]) : std::nullopt;
        if (!on) {
            return fail(QStringLiteral("on or off"));
        }
        c.kind = Command::Servo;
        c.on = *on;
        return c;
    }
    if (verb == QLatin1String("di")) {
        const auto contact =
            words.size() == 3 ? Number(words[1], 1, DriveMachine::kInputCount) : std::nullopt;
        const auto on = words.size() == 3 ? OnOff(words[2]) : std::nullopt;
        if (!contact || !on || *contact != static_cast<int>(*contact)) {
            return fail(QStringLiteral("a contact 1..13 and on or off"));
        }
        c.kind = Command::Input;
        c.number = static_cast<int>(*contact);
        c.on = *on;
        return c;
    }
    if (verb == QLatin1String("alarm")) {
        if (words.size() == 2 && words[1] == QLatin1String("clear")) {
            c.kind = Command::ClearAlarm;
            return c;
        }
        const auto code =
            words.size() == 2 ? Number(words[1], 1, DriveMachine::kAlarmCount) : std::nullopt;
        if (!code || *code != static_cast<int>(*code)) {
            return fail(QStringLiteral("an alarm code 1..15 or clear"));
        }
        c.kind = Command::Alarm;
        c.number = static_cast<int>(*code);
        return c;
    }
    for (const SettingRange& s : kSettings) {
        if (verb != QLatin1String(s.name)) {
            continue;
        }
        const auto value = words.size() == 2 ? Number(words[1], s.min, s.max) : std::nullopt;
        if (!value) {
            return fail(QStringLiteral("a number %1..%2").arg(s.min).arg(s.max));
        }
        c.kind = Command::Setting;
        c.setting = verb;
        c.value = *value;
        return c;
    }
    if (verb == QLatin1String("jog")) {
        if (words.size() == 2 && words[1] == QLatin1String("off")) {
            c.kind = Command::JogOff;
            return c;
        }
        const auto rpm = words.size() == 2 ? Number(words[1], -10000, 10000) : std::nullopt;
        if (!rpm) {
            return fail(QStringLiteral("a speed in rpm or off"));
        }
        c.kind = Command::Jog;
        c.value = *rpm;
        return c;
    }
    if (words.size() == 1) {
        if (verb == QLatin1String("restart")) {
            c.kind = Command::Restart;
            return c;
        }
        if (verb == QLatin1String("unplug") || verb == QLatin1String("replug")) {
            c.kind = verb == QLatin1String("unplug") ? Command::Unplug : Command::Replug;
            return c;
        }
        if (verb == QLatin1String("status") || verb == QLatin1String("help")) {
            c.kind = verb == QLatin1String("status") ? Command::Status : Command::Help;
            return c;
        }
    }
    *error =
        QStringLiteral("unknown control line \"%1\" (\"help\" lists them)").arg(line.simplified());
    return std::nullopt;
}

// The smallest silence seen before a Modbus RTU request, in ms and in characters of the frame
// format (formats 0..2 have 10 bits a character, the others 11); empty before any.
QString RtuSilenceText(const SimulatedDrive& drive) {
    const auto quiet = drive.SmallestRtuSilence();
    if (quiet.count() < 0) {
        return {};
    }
    const int bits = drive.Link().frameFormat < 3 ? 10 : 11;
    const double characters =
        static_cast<double>(quiet.count()) * drive.Faults().baud / (bits * 1e6);
    return QStringLiteral(", smallest RTU silence %1 ms (%2 characters)")
        .arg(static_cast<double>(quiet.count()) / 1000.0, 0, 'f', 3)
        .arg(characters, 0, 'f', 2);
}

QString StatusLine(const SimulatedDrive& drive) {
    const DriveMachine& dm = drive.Machine();
    const Machine& m = dm.Machine();
    return QStringLiteral("servo %1, alarm %2, speed %3 rpm (command %4), torque %5 %, DI %6, "
                          "DO %7")
        .arg(dm.ServoOn() ? QStringLiteral("on") : QStringLiteral("off"))
        .arg(dm.AlarmBits(), 4, 16, QLatin1Char('0'))
        .arg(m.MotorSpeed(), 0, 'f', 1)
        .arg(m.SpeedCommand(), 0, 'f', 1)
        .arg(m.Torque(), 0, 'f', 1)
        .arg(dm.Inputs(), 13, 2, QLatin1Char('0'))
        .arg(static_cast<uint8_t>(~dm.Outputs()), 8, 2, QLatin1Char('0'));
}

} // namespace

ControlReply RunControlLine(SimulatedDrive& drive, const QString& line) {
    QString error;
    const std::optional<Command> c = Parse(line, &error);
    if (!c) {
        return {false, error};
    }
    DriveMachine& dm = drive.Machine();
    switch (c->kind) {
    case Command::Nothing: return {};
    case Command::Servo: dm.SetServoCommand(c->on); break;
    case Command::Input: dm.SetInput(c->number, c->on); break;
    case Command::Alarm: dm.RaiseAlarm(c->number); break;
    case Command::ClearAlarm: dm.ClearAlarm(); break;
    case Command::Setting: {
        MachineSettings settings = dm.Machine().Settings();
        for (const SettingRange& s : kSettings) {
            if (c->setting == QLatin1String(s.name)) {
                settings.*s.field = c->value;
            }
        }
        dm.Machine().SetSettings(settings);
        break;
    }
    case Command::Jog: dm.SetJogSpeed(c->value); break;
    case Command::JogOff: dm.SetJogSpeed(std::nullopt); break;
    case Command::Restart: drive.Restart(); break;
    // The drive itself is untouched: its host pulls or plugs the terminal.
    case Command::Unplug: return {true, {}, PortAction::Unplug};
    case Command::Replug: return {true, {}, PortAction::Replug};
    case Command::Status: dm.Sync(); return {true, StatusLine(drive) + RtuSilenceText(drive)};
    case Command::Help: return {true, ControlLinesHelp()};
    }
    dm.Sync();
    return {};
}

QString ControlLinesHelp() {
    return QStringLiteral(
        "Control lines (one per line on standard input):\n"
        "  servo on|off        the servo-on command\n"
        "  di N on|off         input contact DI-N, N = 1..13\n"
        "  alarm N             raise alarm N = 1..15 (into the alarm history; servo off)\n"
        "  alarm clear         clear the alarm\n"
        "  load-inertia R      load inertia ratio, 0..100\n"
        "  resonance HZ        shaft resonance frequency, 20..1500 Hz\n"
        "  damping Z           shaft damping ratio, 0.001..1\n"
        "  bus-voltage V       main circuit voltage, 0..1000 V\n"
        "  analog-speed V      external speed command, -10..10 V (speed mode, SPD1 and SPD2 off)\n"
        "  jog RPM | jog off   a JOG speed overriding every other command\n"
        "  restart             power cycle: stored parameters become live, servo off, motor at\n"
        "                      rest, alarm cleared (contacts, analog speed and machine stay)\n"
        "  unplug              pull the cable: the terminal closes (a client sees EIO and\n"
        "                      hang-up) and its path (--link) is removed; nothing is answered\n"
        "  replug              plug it back: a new terminal (its path is printed) at the same\n"
        "                      --link path\n"
        "  status              servo, alarm, speed, torque and contacts; the smallest silence\n"
        "                      seen before a Modbus RTU request\n"
        "  help                this list\n");
}

namespace ControlLine {

QString Servo(bool on) {
    return on ? QStringLiteral("servo on") : QStringLiteral("servo off");
}

QString Input(int contact, bool on) {
    return QStringLiteral("di %1 %2").arg(contact).arg(on ? "on" : "off");
}

QString Alarm(int code) {
    return QStringLiteral("alarm %1").arg(code);
}

QString ClearAlarm() {
    return QStringLiteral("alarm clear");
}

QString InertiaRatio(double ratio) {
    return QStringLiteral("load-inertia %1").arg(ratio);
}

QString Resonance(double hz) {
    return QStringLiteral("resonance %1").arg(hz);
}

QString Damping(double ratio) {
    return QStringLiteral("damping %1").arg(ratio);
}

QString BusVoltage(double volts) {
    return QStringLiteral("bus-voltage %1").arg(volts);
}

QString AnalogSpeed(double volts) {
    return QStringLiteral("analog-speed %1").arg(volts);
}

QString Restart() {
    return QStringLiteral("restart");
}

} // namespace ControlLine

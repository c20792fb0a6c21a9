#pragma once

#include <QList>
#include <QString>

#include <array>
#include <cstdint>

// The serial link as the user configured it. ComPort and BaudRateIndex are changed in the port
// dialog; StationID, RS485Port and FrameFormat come from the settings file alone.
struct LinkSettings {
    int32_t ComPort = 0;       // port number minus one: "COM%d" with ComPort + 1
    int32_t StationID = 1;     // Modbus station address
    bool RS485Port = false;    // on: RS-485 with Modbus; off: RS-232 command protocol
    int32_t BaudRateIndex = 1; // index into the baud-rate table (1 = 9600)
    int32_t FrameFormat = 0;   // Modbus data format 0..8
    bool AsciiMode = true;     // derived: FrameFormat below 6 is Modbus ASCII, 6..8 RTU
    bool operator==(const LinkSettings&) const = default;
};

// One row of the user's own parameter list: group 1..6 (C, T, S, P, q, H) and the parameter's
// number within the group minus one.
struct CustomEntry {
    int32_t Group = 0;
    int32_t Index = 0;
    bool operator==(const CustomEntry&) const = default;
};

// The user's own parameter list in display order. The list is not cut to any window's size:
// what a settings file holds is kept.
struct CustomTable {
    QList<CustomEntry> Entries;
    int32_t Count() const { return static_cast<int32_t>(Entries.size()); }
    bool operator==(const CustomTable&) const = default;
};

// Which parameters the parameter editor lists.
struct DisplaySettings {
    int32_t DisplayMode = 0; // 0 by group, 1 by control mode, 2 custom list
    // all parameters, Cn, Tn, Sn, Pn, qn, Hn
    std::array<bool, 7> groupFlags{true, true, true, true, true, true, true};
    // 0x1000 torque, 0x0100 speed, 0x0010 internal positions, 0x0001 external pulses
    int32_t controlModeMask = 0;
    // torque, speed, position (internal commands), position (external pulses)
    std::array<bool, 4> controlModeFlags{true, true, true, true};
    bool operator==(const DisplaySettings&) const = default;
};

// COM number (index 0 = "COM1") to the serial device it stands for on this machine.
inline constexpr int kComPortCount = 8;
using ComDeviceMap = std::array<QString, kComPortCount>;
ComDeviceMap DefaultComDevices();

// Everything "OrvanServo.ini" persists.
struct AppSettings {
    LinkSettings link;
    CustomTable customTable;
    DisplaySettings display;
    ComDeviceMap comDevices = DefaultComDevices();
    bool operator==(const AppSettings&) const = default;
};

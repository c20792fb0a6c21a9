#pragma once

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

// COM number (index 0 = "COM1") to the serial device it stands for on this machine.
inline constexpr int kComPortCount = 8;
using ComDeviceMap = std::array<QString, kComPortCount>;
ComDeviceMap DefaultComDevices();

// Whether `device` can stand for a COM number: not empty, no control characters and no white
// space at either end (a serial device name never has any; a hand-edited blank is a mistake).
bool IsUsableDeviceName(const QString& device);

// The port and baud the connect dialog was opened with, and what the user chose.
struct PortChoice {
    int comPort = 0;       // 0..7, "COM%d" with comPort + 1
    int baudRateIndex = 1; // 0..5
};

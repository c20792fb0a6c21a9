#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

// Whether the line hands every byte the computer sends back before the drive's reply, as some
// two-wire RS-485 converters do. Automatic decides at each connect from the identification probe.
// The numbers are those of the settings file.
enum class EchoMode : int32_t { Off = 0, On = 1, Automatic = 2 };

// The serial link as the user configured it. ComPort, BaudRateIndex and Echo are changed in the
// port dialog; StationID, RS485Port and FrameFormat come from the settings file alone.
struct LinkSettings {
    int32_t ComPort = 0;       // port number minus one: "COM%d" with ComPort + 1
    int32_t StationID = 1;     // Modbus station address
    bool RS485Port = false;    // on: RS-485 with Modbus; off: RS-232 command protocol
    int32_t BaudRateIndex = 1; // index into the baud-rate table (1 = 9600)
    int32_t FrameFormat = 0;   // Modbus data format 0..8
    bool AsciiMode = true;     // derived: FrameFormat below 6 is Modbus ASCII, 6..8 RTU
    EchoMode Echo = EchoMode::Automatic;
    bool operator==(const LinkSettings&) const = default;
};

// COM number (index 0 = "COM1") to the serial device it stands for on this machine.
inline constexpr int kComPortCount = 8;
using ComDeviceMap = std::array<QString, kComPortCount>;
ComDeviceMap DefaultComDevices();

// Whether `device` can stand for a COM number: not empty, no control characters and no white
// space at either end (a serial device name never has any; a hand-edited blank is a mistake).
bool IsUsableDeviceName(const QString& device);

// The line a detection found besides the baud rate: the port of the drive and, on RS-485, its
// frame format and station.
struct DetectedLine {
    bool rs485 = false;
    int frameFormat = 0;
    int station = 1;
    bool operator==(const DetectedLine&) const = default;
};

// The port, baud and echo the connect dialog was opened with, and what the user chose; `line`
// when the user took what a detection found.
struct PortChoice {
    PortChoice(int comPort = 0, int baudRateIndex = 1,
               std::optional<DetectedLine> line = std::nullopt, EchoMode echo = EchoMode::Automatic)
        : comPort(comPort), baudRateIndex(baudRateIndex), line(line), echo(echo) {}

    int comPort;       // 0..7, "COM%d" with comPort + 1
    int baudRateIndex; // 0..5
    std::optional<DetectedLine> line;
    EchoMode echo;
};

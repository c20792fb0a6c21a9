#pragma once

#include "sim/SimulatedDrive.h"

// The drive's own line settings: on RS-485 those of its frame format, on RS-232 8 data bits, no
// parity, one stop bit. A client at other settings gets garbled replies, as on a real line.
struct DriveLine {
    int dataBits = 8;
    char parity = 'N'; // 'N', 'E' or 'O'
    int stopBits = 1;
};

inline DriveLine DriveLineOf(const DriveLinkOptions& link) {
    if (!link.rs485)
        return {};
    // Frame formats 0..8: 7N2 7E1 7O1, 8N2 8E1 8O1 (Modbus ASCII), 8N2 8E1 8O1 (Modbus RTU).
    static constexpr DriveLine kFormats[] = {{7, 'N', 2}, {7, 'E', 1}, {7, 'O', 1},
                                             {8, 'N', 2}, {8, 'E', 1}, {8, 'O', 1},
                                             {8, 'N', 2}, {8, 'E', 1}, {8, 'O', 1}};
    return link.frameFormat >= 0 && link.frameFormat <= 8 ? kFormats[link.frameFormat]
                                                          : kFormats[0];
}

// Every byte of a reply as a receiver at the wrong settings sees it.
inline QByteArray GarbledReply(const QByteArray& bytes) {
    QByteArray out = bytes;
    for (char& c : out)
        c = static_cast<char>(c ^ 0x5A);
    return out;
}

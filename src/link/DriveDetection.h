#pragma once

#include "link/SerialChannel.h"

#include <QList>
#include <QString>

#include <functional>
#include <vector>

// Finding a drive whose line settings nobody remembers. The identification probe (a
// command-protocol read of dn-03, which the drive answers on either of its ports) is tried at
// each baud rate and line shape (data bits, parity, stop bits) until it is answered; a line
// shape no RS-485 frame format has (8 data bits, no parity, 1 stop bit) is the RS-232 port.
// Otherwise the frame formats of that shape are tried with a Modbus read of register 0 at each
// station, ASCII or RTU as the format says. A wrong baud rate or line shape garbles the reply or
// silences the drive; every try waits only the wire time of its exchange and a margin.
struct DetectionOptions {
    // Indexes into the baud-rate table, in the order they are tried: the common rates first.
    std::vector<int> baudRateIndexes{1, 2, 3, 4, 5, 0};
    int firstStation = 1;
    int lastStation = 32;
    // Go on after the first drive found: every rate, shape and station is tried.
    bool all = false;
    // Added to each try's wire time: the drive's turnaround and an adapter's latency timer.
    int marginMs = 40;
};

struct DetectedDrive {
    int baudRateIndex = 1;
    uint32_t baudRate = 9600;
    bool rs485 = false;
    int frameFormat = 0; // RS-485 only
    int station = 0;     // RS-485 only
    bool echo = false;   // the request came back before the reply (an echoing converter)

    // "RS-232, 19200 bit/s" or "RS-485, 19200 bit/s, station 7, frame format 7 (8 data bits,
    // even parity, 1 stop bit, Modbus RTU)", followed by ", the line echoes" when it does.
    QString Text() const;
    bool operator==(const DetectedDrive&) const = default;
};

// Called before each try with what it tries, how many tries were made and how many there can be
// at most; false stops the detection.
using DetectionProgress = std::function<bool(const QString& trying, int done, int total)>;

// Runs the detection on an open channel (its line settings are changed; the caller sets them
// again for the link). Returns what answered, in the order found: at most one drive unless
// `options.all`.
QList<DetectedDrive> DetectDrives(SerialChannel& channel, const DetectionOptions& options,
                                  const DetectionProgress& progress = {});

// "8 data bits, even parity, 1 stop bit".
QString LineShapeText(int dataBits, int parity, int stopBits);

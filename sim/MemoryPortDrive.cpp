#include "sim/MemoryPortDrive.h"

#include "link/MemorySerialBackend.h"
#include "sim/DriveLine.h"
#include "sim/SimulatedDrive.h"

namespace {

// The port's clock counts whole milliseconds; a byte is readable once its time has fully passed.
int64_t CeilMs(std::chrono::microseconds us) {
    return (us.count() + 999) / 1000;
}

// Whether the port's line format is the drive's own. The port speaks in the channel's codes:
// parity 0 none, 1 odd, 2 even; stop bits 0 one, 2 two.
bool LineMatches(const SimulatedDrive& drive, const MemorySerialBackend& port) {
    const DriveLine own = DriveLineOf(drive.Link());
    const LineFormat line = port.LineFormat();
    const char parity = line.parity == 1 ? 'O' : line.parity == 2 ? 'E' : 'N';
    return static_cast<int>(line.baudRate) == drive.Faults().baud &&
           line.dataBits == own.dataBits && parity == own.parity &&
           (line.stopBits == 2 ? 2 : 1) == own.stopBits;
}

} // namespace

void AttachToMemoryPort(SimulatedDrive& drive, MemorySerialBackend& port, bool machineFollowsPort,
                        bool honestLine) {
    port.SetResponder([&drive, &port, machineFollowsPort, honestLine,
                       machineAt = port.Now()](QByteArrayView written) mutable {
        if (machineFollowsPort) {
            drive.Advance(std::chrono::milliseconds(port.Now() - machineAt));
            machineAt = port.Now();
        }
        // Replies to several requests in one write go out one after the other.
        std::chrono::microseconds lineFreeAt{0};
        const bool garbled = honestLine && !LineMatches(drive, port);
        for (SimulatedDrive::TimedReply reply : drive.Process(written)) {
            if (garbled && !reply.echo) // the converter's copy is at the port's own settings
                reply.bytes = GarbledReply(reply.bytes);
            const std::chrono::microseconds start = lineFreeAt + reply.delay;
            if (reply.byteTime.count() == 0) {
                port.Deliver(reply.bytes, CeilMs(start));
                lineFreeAt = start;
                continue;
            }
            for (qsizetype i = 0; i < reply.bytes.size(); ++i) {
                port.Deliver(reply.bytes.sliced(i, 1), CeilMs(start + reply.byteTime * (i + 1)));
            }
            lineFreeAt = start + reply.byteTime * reply.bytes.size();
        }
        return QByteArray();
    });
}

#include "sim/MemoryPortDrive.h"

#include "link/MemorySerialBackend.h"
#include "sim/SimulatedDrive.h"

namespace {

// The port's clock counts whole milliseconds; a byte is readable once its time has fully passed.
int64_t CeilMs(std::chrono::microseconds us) {
    return (us.count() + 999) / 1000;
}

} // namespace

void AttachToMemoryPort(SimulatedDrive& drive, MemorySerialBackend& port, bool machineFollowsPort) {
    port.setResponder([&drive, &port, machineFollowsPort,
                       machineAt = port.now()](QByteArrayView written) mutable {
        if (machineFollowsPort) {
            drive.advance(std::chrono::milliseconds(port.now() - machineAt));
            machineAt = port.now();
        }
        // Replies to several requests in one write go out one after the other.
        std::chrono::microseconds lineFreeAt{0};
        for (const SimulatedDrive::TimedReply& reply : drive.process(written)) {
            const std::chrono::microseconds start = lineFreeAt + reply.delay;
            if (reply.byteTime.count() == 0) {
                port.deliver(reply.bytes, CeilMs(start));
                lineFreeAt = start;
                continue;
            }
            for (qsizetype i = 0; i < reply.bytes.size(); ++i) {
                port.deliver(reply.bytes.sliced(i, 1), CeilMs(start + reply.byteTime * (i + 1)));
            }
            lineFreeAt = start + reply.byteTime * reply.bytes.size();
        }
        return QByteArray();
    });
}

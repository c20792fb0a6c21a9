#include "link/DriveDetection.h"

#include "link/DriveAccess.h"
#include "link/Frames.h"

#include <algorithm>
#include <array>

namespace {

struct LineShape {
    int dataBits;
    int parity;   // 0 none, 1 odd, 2 even
    int stopBits; // 0 one, 2 two
    bool operator==(const LineShape&) const = default;
};

constexpr int kFrameFormatCount = 9;
// The RS-232 port's line, which no frame format has.
constexpr LineShape kRs232Line{8, 0, 0};

LineShape ShapeOf(int frameFormat) {
    const FrameFormatSpec f = FrameFormatOf(frameFormat);
    return {f.dataBits, f.parity, f.stopBits};
}

// Every line shape of the frame formats, once, in the formats' order, then the RS-232 line.
std::vector<LineShape> LineShapes() {
    std::vector<LineShape> shapes;
    for (int format = 0; format < kFrameFormatCount; ++format) {
        const LineShape shape = ShapeOf(format);
        if (std::find(shapes.begin(), shapes.end(), shape) == shapes.end())
            shapes.push_back(shape);
    }
    shapes.push_back(kRs232Line);
    return shapes;
}

// Wire time of `bytes` at `baud` in whole milliseconds, rounded up, for the line's bits a byte.
int WireMs(int bytes, uint32_t baud, const LineShape& shape) {
    const int bitsPerByte =
        1 + shape.dataBits + (shape.parity != 0 ? 1 : 0) + (shape.stopBits == 2 ? 2 : 1);
    return static_cast<int>((static_cast<int64_t>(bytes) * bitsPerByte * 1000 + baud - 1) / baud);
}

class Prober {
public:
    Prober(SerialChannel& channel, int marginMs) : channel_(channel), marginMs_(marginMs) {}

    // A device that keeps data bits or parity of its own (a pseudo-terminal) refuses them; the
    // try goes ahead all the same, as the link's own set-up does.
    void SetLine(uint32_t baud, const LineShape& shape) {
        baud_ = baud;
        shape_ = shape;
        channel_.Setup(baud, shape.dataBits, shape.parity, shape.stopBits);
    }

    bool CommandProbe() {
        uint8_t request[kReadCommandLength];
        uint8_t reply[kReadReplyLength];
        BuildReadCommand(request, '6', 0xCB);
        return Exchange(request, kReadCommandLength, reply, kReadReplyLength) &&
               IsGoodReadReply(reply, kReadReplyLength);
    }

    bool ModbusProbe(int station, bool ascii) {
        uint8_t request[kAsciiRequestLength];
        uint8_t reply[32] = {};
        const int replyLength = BuildReadRegisters(request, station, 0, 1, ascii);
        const int requestLength = ascii ? kAsciiRequestLength : kRtuRequestLength;
        if (!Exchange(request, requestLength, reply, replyLength))
            return false;
        return ascii ? GoodAsciiReply(reply, replyLength, station)
                     : GoodRtuReply(reply, replyLength, station);
    }

private:
    // One write and one read of the whole reply within its wire time and the margin. Bytes left
    // from an earlier try (a garbled reply read short) are dropped first.
    bool Exchange(const uint8_t* request, int requestLength, uint8_t* reply, int replyLength) {
        uint8_t stale[64];
        for (int got = 1; got > 0;) {
            got = 0;
            channel_.Read(stale, sizeof stale, &got, 1);
        }
        int written = 0;
        if (channel_.Write(request, requestLength, &written, 1000) != 0 || written != requestLength)
            return false;
        const auto limit =
            static_cast<uint32_t>(WireMs(requestLength + replyLength, baud_, shape_) + marginMs_);
        // A converter that hands every byte back puts its copy of the request first; the copy
        // is made at the computer's own settings, so it says nothing about the drive's. A reply
        // to a read never starts with the request.
        echo_ = false;
        const int head = std::min(requestLength, replyLength);
        int got = 0;
        channel_.Read(reply, head, &got, limit);
        if (got == head && std::equal(reply, reply + head, request)) {
            uint8_t rest[kAsciiRequestLength] = {};
            const int restLength = std::min<int>(requestLength - head, sizeof rest);
            int copied = 0;
            channel_.Read(rest, restLength, &copied, limit);
            if (copied != restLength || !std::equal(rest, rest + copied, request + head))
                return false;
            echo_ = true;
            got = 0;
        }
        int more = 0;
        channel_.Read(reply + got, replyLength - got, &more, limit);
        return got + more == replyLength;
    }

public:
    // Whether the last exchange's request came back before its reply.
    bool Echoed() const { return echo_; }

private:
    static bool GoodAsciiReply(const uint8_t* reply, int length, int station) {
        if (length < 9 || reply[0] != ':' || reply[length - 2] != '\r' || reply[length - 1] != '\n')
            return false;
        const int high = HexDigitValue(reply[length - 4]);
        const int low = HexDigitValue(reply[length - 3]);
        const int stationHigh = HexDigitValue(reply[1]);
        const int stationLow = HexDigitValue(reply[2]);
        return high >= 0 && low >= 0 && stationHigh * 16 + stationLow == station &&
               (Lrc(reply, length) & 0xFF) == high * 16 + low && reply[3] == '0' && reply[4] == '3';
    }

    static bool GoodRtuReply(const uint8_t* reply, int length, int station) {
        if (length < 5 || reply[0] != station || reply[1] != 0x03)
            return false;
        const uint16_t crc = Crc16(reply, length - 2);
        return reply[length - 2] == (crc & 0xFF) && reply[length - 1] == (crc >> 8);
    }

    SerialChannel& channel_;
    int marginMs_;
    uint32_t baud_ = 9600;
    LineShape shape_{8, 0, 0};
    bool echo_ = false;
};

const char* ParityText(int parity) {
    switch (parity) {
    case 1: return "odd parity";
    case 2: return "even parity";
    default: return "no parity";
    }
}

} // namespace

QString LineShapeText(int dataBits, int parity, int stopBits) {
    return QStringLiteral("%1 data bits, %2, %3 stop bit%4")
        .arg(dataBits)
        .arg(QLatin1String(ParityText(parity)))
        .arg(stopBits == 2 ? 2 : 1)
        .arg(stopBits == 2 ? QStringLiteral("s") : QString());
}

QString DetectedDrive::Text() const {
    const QString echoText = echo ? QStringLiteral(", the line echoes") : QString();
    if (!rs485)
        return QStringLiteral("RS-232, %1 bit/s").arg(baudRate) + echoText;
    const FrameFormatSpec f = FrameFormatOf(frameFormat);
    return QStringLiteral("RS-485, %1 bit/s, station %2, frame format %3 (%4, Modbus %5)")
               .arg(baudRate)
               .arg(station)
               .arg(frameFormat)
               .arg(LineShapeText(f.dataBits, f.parity, f.stopBits))
               .arg(f.ascii ? QStringLiteral("ASCII") : QStringLiteral("RTU")) +
           echoText;
}

QList<DetectedDrive> DetectDrives(SerialChannel& channel, const DetectionOptions& options,
                                  const DetectionProgress& progress) {
    QList<DetectedDrive> found;
    Prober prober(channel, options.marginMs);
    const std::vector<LineShape> shapes = LineShapes();
    const int stations = std::max(0, options.lastStation - options.firstStation + 1);
    // At most: every shape's probe, and for each RS-485 shape its formats at every station.
    const int total = static_cast<int>(options.baudRateIndexes.size()) *
                      (static_cast<int>(shapes.size()) + kFrameFormatCount * stations);
    int done = 0;
    auto next = [&](const QString& trying) {
        const bool go = !progress || progress(trying, done, total);
        ++done;
        return go;
    };
    for (const int baudIndex : options.baudRateIndexes) {
        const uint32_t baud = BaudRateOfIndex(baudIndex);
        if (baud == 0)
            continue;
        for (const LineShape& shape : shapes) {
            const QString line =
                QStringLiteral("%1 bit/s, %2")
                    .arg(baud)
                    .arg(LineShapeText(shape.dataBits, shape.parity, shape.stopBits));
            if (!next(line))
                return found;
            prober.SetLine(baud, shape);
            if (!prober.CommandProbe())
                continue;
            if (shape == kRs232Line) {
                found.append({baudIndex, baud, false, 0, 0, prober.Echoed()});
                if (!options.all)
                    return found;
                continue;
            }
            // A drive on its RS-485 port: which format of this shape, at which station.
            for (int format = 0; format < kFrameFormatCount; ++format) {
                if (!(ShapeOf(format) == shape))
                    continue;
                const bool ascii = FrameFormatOf(format).ascii;
                for (int station = options.firstStation; station <= options.lastStation;
                     ++station) {
                    if (!next(QStringLiteral("%1, frame format %2, station %3")
                                  .arg(line)
                                  .arg(format)
                                  .arg(station)))
                        return found;
                    if (!prober.ModbusProbe(station, ascii))
                        continue;
                    found.append({baudIndex, baud, true, format, station, prober.Echoed()});
                    if (!options.all)
                        return found;
                }
            }
        }
    }
    return found;
}

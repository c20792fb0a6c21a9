#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>
#include <optional>

// Cuts the bytes arriving at the drive into requests.
//
// Command frames are recognised in every mode; Modbus ASCII or RTU frames only in the mode the
// drive was started for. A frame is taken as soon as its last byte is in. Bytes that cannot
// begin a frame are skipped. When the bytes at the front are only the beginning of a frame, the
// framer waits for more, unless a complete frame already follows further on: then the bytes in
// front of it were noise and are skipped (this is how it resynchronises on the next plausible
// frame start without waiting for a pause). A pause on the line (LineIdle) discards an
// unfinished frame.
//
// What counts as complete:
//  - command: the length its letter announces, every byte after the letter printable and not
//    itself a frame start (whether the checksum is right is the command's answer to decide);
//  - ASCII: ':' then upper-case hex digits then CR LF, at most 513 characters;
//  - RTU: the length the function code gives, with a matching CRC (a candidate with a wrong CRC
//    is noise). A function without a fixed length is looked for only in frames addressed to the
//    drive's own station, and ends at the first length (up to 256 bytes) where the CRC matches:
//    searching every byte position for such a match would find false ones in line noise.
class RequestFramer {
public:
    enum class Kind { Command, ModbusAscii, ModbusRtu };
    enum class Modbus { None, Ascii, Rtu };

    struct Frame {
        Kind kind;
        QByteArray bytes;
    };

    explicit RequestFramer(Modbus modbus = Modbus::None, uint8_t station = 1)
        : modbus_(modbus), station_(station) {}

    void Append(QByteArrayView bytes) { buffer_.append(bytes); }
    // The next complete request, if one is in.
    std::optional<Frame> Next();
    // The line fell silent: whatever is buffered will never complete.
    void LineIdle();

    bool HasPendingBytes() const { return !buffer_.isEmpty(); }
    // Bytes skipped or discarded as noise so far.
    uint64_t DiscardedBytes() const { return discarded_; }

    static constexpr int kMaxAsciiFrame = 513; // ':' + 255 bytes as hex + CR LF
    static constexpr int kMaxRtuFrame = 256;

private:
    enum class Verdict { Complete, Partial, Noise };
    struct Candidate {
        Verdict verdict;
        Kind kind = Kind::Command;
        qsizetype length = 0;
    };

    Candidate Classify(qsizetype at) const;
    Candidate ClassifyCommand(qsizetype at) const;
    Candidate ClassifyAscii(qsizetype at) const;
    Candidate ClassifyRtu(qsizetype at) const;
    void Skip(qsizetype count);

    Modbus modbus_;
    uint8_t station_;
    QByteArray buffer_;
    uint64_t discarded_ = 0;
};

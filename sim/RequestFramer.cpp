#include "sim/RequestFramer.h"

#include "sim/CommandProtocol.h"
#include "sim/ModbusSlave.h"

#include <algorithm>

namespace {

bool IsUpperHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

} // namespace

RequestFramer::Candidate RequestFramer::ClassifyCommand(qsizetype at) const {
    const int length = CommandFrameLength(static_cast<uint8_t>(buffer_[at]));
    if (length == 0) {
        return {Verdict::Noise};
    }
    const qsizetype available = std::min<qsizetype>(buffer_.size() - at, length);
    for (qsizetype i = 1; i < available; ++i) {
        if (!IsCommandBodyByte(static_cast<uint8_t>(buffer_[at + i]))) {
            return {Verdict::Noise};
        }
    }
    if (available < length) {
        return {Verdict::Partial, Kind::Command};
    }
    return {Verdict::Complete, Kind::Command, length};
}

RequestFramer::Candidate RequestFramer::ClassifyAscii(qsizetype at) const {
    if (buffer_[at] != ':') {
        return {Verdict::Noise};
    }
    for (qsizetype i = at + 1; i < buffer_.size(); ++i) {
        if (i - at >= kMaxAsciiFrame) {
            return {Verdict::Noise};
        }
        const char c = buffer_[i];
        if (IsUpperHex(c)) {
            continue;
        }
        if (c != '\r') {
            return {Verdict::Noise};
        }
        if (i + 1 == buffer_.size()) {
            return {Verdict::Partial, Kind::ModbusAscii};
        }
        if (buffer_[i + 1] != '\n') {
            return {Verdict::Noise};
        }
        return {Verdict::Complete, Kind::ModbusAscii, i + 2 - at};
    }
    return {Verdict::Partial, Kind::ModbusAscii};
}

RequestFramer::Candidate RequestFramer::ClassifyRtu(qsizetype at) const {
    const QByteArrayView rest = QByteArrayView(buffer_).sliced(at);
    const int length = RtuFrameLength(rest);
    if (length == 0) {
        return {Verdict::Partial, Kind::ModbusRtu};
    }
    if (length > 0) {
        if (rest.size() < length) {
            return {Verdict::Partial, Kind::ModbusRtu};
        }
        return HasGoodCrc(rest.first(length))
                   ? Candidate{Verdict::Complete, Kind::ModbusRtu, length}
                   : Candidate{Verdict::Noise};
    }
    if (static_cast<uint8_t>(rest[0]) != station_) {
        return {Verdict::Noise};
    }
    // A function without a fixed shape: the frame ends where the CRC first matches.
    const qsizetype limit = std::min<qsizetype>(rest.size(), kMaxRtuFrame);
    for (qsizetype n = 4; n <= limit; ++n) {
        if (HasGoodCrc(rest.first(n))) {
            return {Verdict::Complete, Kind::ModbusRtu, n};
        }
    }
    return rest.size() >= kMaxRtuFrame ? Candidate{Verdict::Noise}
                                       : Candidate{Verdict::Partial, Kind::ModbusRtu};
}

RequestFramer::Candidate RequestFramer::Classify(qsizetype at) const {
    const Candidate command = ClassifyCommand(at);
    if (command.verdict != Verdict::Noise || modbus_ == Modbus::None) {
        return command;
    }
    return modbus_ == Modbus::Ascii ? ClassifyAscii(at) : ClassifyRtu(at);
}

void RequestFramer::Skip(qsizetype count) {
    buffer_.remove(0, count);
    discarded_ += static_cast<uint64_t>(count);
}

std::optional<RequestFramer::Frame> RequestFramer::Next() {
    while (!buffer_.isEmpty()) {
        const Candidate front = Classify(0);
        if (front.verdict == Verdict::Complete) {
            Frame frame{front.kind, buffer_.first(front.length)};
            buffer_.remove(0, front.length);
            return frame;
        }
        if (front.verdict == Verdict::Noise) {
            Skip(1);
            continue;
        }
        // The front may still become a frame; but if a complete frame starts further on, the
        // front was noise after all.
        qsizetype start = 1;
        while (start < buffer_.size() && Classify(start).verdict != Verdict::Complete) {
            ++start;
        }
        if (start == buffer_.size()) {
            return std::nullopt;
        }
        Skip(start);
    }
    return std::nullopt;
}

void RequestFramer::LineIdle() {
    Skip(buffer_.size());
}

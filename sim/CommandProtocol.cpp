#include "sim/CommandProtocol.h"

#include "sim/CheckValues.h"
#include "sim/DriveState.h"

namespace {

// The value of a field of hex digits (either case), or -1.
int64_t HexField(QByteArrayView digits) {
    int64_t value = 0;
    for (const char c : digits) {
        const int d = HexDigit(c);
        if (d < 0) {
            return -1;
        }
        value = value * 16 + d;
    }
    return value;
}

// Frame lengths: 'R' and 'L' read, 'W' write, 'M' long write.
constexpr int kReadLength = 6;
constexpr int kWriteLength = 10;
constexpr int kWriteLongLength = 14;

QByteArray Refused() {
    return QByteArray(1, kCommandRefused);
}

} // namespace

int CommandFrameLength(uint8_t first) {
    switch (first) {
    case 'R':
    case 'L': return kReadLength;
    case 'W': return kWriteLength;
    case 'M': return kWriteLongLength;
    default: return 0;
    }
}

bool IsCommandBodyByte(uint8_t b) {
    return b >= 0x21 && b <= 0x7E && CommandFrameLength(b) == 0 && b != ':';
}

QByteArray ReadReply(uint32_t value, int digits) {
    QByteArray reply(1, kCommandAccepted);
    reply += QByteArray::number(value, 16).rightJustified(digits, '0').toUpper();
    reply += QByteArray::number(CommandChecksum(reply), 16).rightJustified(2, '0').toUpper();
    return reply;
}

QByteArray AnswerCommand(DriveState& state, QByteArrayView frame) {
    const int length = CommandFrameLength(static_cast<uint8_t>(frame.front()));
    if (length == 0 || frame.size() != length) {
        return Refused();
    }
    if (HexField(frame.sliced(length - 2)) != CommandChecksum(frame.first(length - 2))) {
        return Refused();
    }
    const int page = DriveLayout::PageNumber(frame[1]);
    const int64_t location = HexField(frame.sliced(2, 2));
    if (page < 0 || location < 0) {
        return Refused();
    }
    const int loc = static_cast<int>(location);
    const bool longForm = frame[0] == 'L' || frame[0] == 'M';
    if (longForm && loc + 1 >= DriveState::kPageSize) {
        return Refused();
    }

    switch (frame[0]) {
    case 'R': return ReadReply(state.Word(page, loc), 4);
    case 'L':
        return ReadReply(
            (static_cast<uint32_t>(state.Word(page, loc)) << 16) | state.Word(page, loc + 1), 8);
    case 'W': {
        const int64_t value = HexField(frame.sliced(4, 4));
        if (value < 0 || !state.WriteWord(page, loc, static_cast<uint16_t>(value))) {
            return Refused();
        }
        return QByteArray(1, kCommandAccepted);
    }
    default: { // 'M'
        const int64_t value = HexField(frame.sliced(4, 8));
        if (value < 0 || !state.WriteWord(page, loc, static_cast<uint16_t>(value >> 16)) ||
            !state.WriteWord(page, loc + 1, static_cast<uint16_t>(value & 0xFFFF))) {
            return Refused();
        }
        return QByteArray(1, kCommandAccepted);
    }
    }
}

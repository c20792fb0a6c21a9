// The link's reply parsers, fed through an in-memory port exactly as the link receives replies:
// command-protocol replies to reads and writes, Modbus ASCII and RTU replies, and the one-register
// Modbus read that takes the value from fixed positions of the reply.
//
// The port records the bytes each read took, and the harness judges them by its own reading of
// the protocols: the result must be the one those bytes call for. So a wrong check value is never
// reported as good, and a result never depends on bytes that did not arrive: the reply buffer is
// filled beforehand with bytes the fuzzer chooses (what an earlier exchange left there).
//
// Input: a mode byte, a length byte and that many bytes of earlier buffer content (for the
// one-register reads, whose buffer is the reader's own, its first byte picks the parameter),
// then one reply record per request written: a head byte (length in the low 6 bits; the top 2 bits
// deliver the second half at once, after 30 ms, after 60 ms or after 450 ms) and the bytes.

#include "FuzzCheck.h"

#include "drive/CatalogueTable.h"
#include "drive/ParameterCatalogue.h"
#include "link/DriveAccess.h"
#include "link/Frames.h"
#include "link/MemorySerialBackend.h"
#include "link/ModbusLink.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace {

enum Mode { CommandRead, CommandWrite, Ascii, Rtu, ParameterAscii, ParameterRtu, kModeCount };

// An in-memory port that remembers, per request written, the bytes the reads took.
class RecordingBackend : public MemorySerialBackend {
public:
    std::vector<QByteArray> taken;

    int Write(const uint8_t* data, int count, int64_t waitLimitMs, int* written) override {
        taken.emplace_back();
        return MemorySerialBackend::Write(data, count, waitLimitMs, written);
    }
    int TakeInput(uint8_t* into, int max, int* count) override {
        const int error = MemorySerialBackend::TakeInput(into, max, count);
        FUZZ_CHECK(!taken.empty());
        taken.back().append(reinterpret_cast<const char*>(into), *count);
        return error;
    }
};

class Input {
public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool empty() const { return at_ >= size_; }
    uint8_t byte() { return empty() ? 0 : data_[at_++]; }
    QByteArray bytes(size_t n) {
        n = std::min(n, size_ - at_);
        QByteArray out(reinterpret_cast<const char*>(data_ + at_), static_cast<qsizetype>(n));
        at_ += n;
        return out;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

// Hands out one record per request written; nothing once the input is used up.
void AnswerFromInput(RecordingBackend& port, Input& input) {
    port.SetResponder([&port, &input](QByteArrayView) {
        if (input.empty()) {
            return QByteArray();
        }
        const uint8_t head = input.byte();
        const QByteArray record = input.bytes(head & 0x3F);
        static constexpr int64_t kDelays[] = {0, 30, 60, 450};
        const int64_t delay = kDelays[head >> 6];
        if (delay == 0) {
            return record;
        }
        const qsizetype half = record.size() / 2;
        port.Deliver(record.sliced(half), delay);
        return record.first(half);
    });
}

// The protocols as the drive documents them, written out independently of the link.

int UpperHex(char c) {
    return c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}

char HexChar(unsigned v) {
    return "0123456789ABCDEF"[v & 0xF];
}

bool GoodCommandReadReply(const QByteArray& r) {
    if (r.size() != kReadReplyLength || r[0] != '%') {
        return false;
    }
    unsigned sum = 0;
    for (int i = 0; i < 5; ++i) {
        sum += static_cast<uint8_t>(r[i]);
    }
    return r[5] == HexChar((sum & 0xFF) >> 4) && r[6] == HexChar(sum);
}

ExchangeResult ExpectedCommand(const std::vector<QByteArray>& attempts, bool isWrite) {
    for (const QByteArray& r : attempts) {
        if (isWrite && !r.isEmpty() && r[0] == '%') {
            return ExchangeResult::Accepted;
        }
        if (!isWrite && GoodCommandReadReply(r)) {
            return ExchangeResult::Good;
        }
    }
    return ExchangeResult::NoReply;
}

ExchangeResult ExpectedAscii(const QByteArray& r) {
    if (r.isEmpty() || r[0] != ':') {
        return ExchangeResult::NoReply;
    }
    const qsizetype n = r.size();
    if (n < 5) {
        return ExchangeResult::Corrupt;
    }
    unsigned sum = 0;
    // (n - 5) / 2 pairs: in a reply of even length the character before the LRC is not read.
    for (qsizetype pair = 1; pair <= (n - 5) / 2; ++pair) {
        const int high = UpperHex(r[2 * pair - 1]);
        const int low = UpperHex(r[2 * pair]);
        if (high < 0 || low < 0) {
            return ExchangeResult::Corrupt;
        }
        sum += static_cast<unsigned>(high * 16 + low);
    }
    const unsigned lrc = (0x100 - (sum & 0xFF)) & 0xFF;
    if (r[n - 4] != HexChar(lrc >> 4) || r[n - 3] != HexChar(lrc)) {
        return ExchangeResult::Corrupt;
    }
    return static_cast<uint8_t>(r[3]) >= '8' ? ExchangeResult::Exception : ExchangeResult::Good;
}

uint16_t ModbusCrc(const QByteArray& bytes) {
    uint16_t crc = 0xFFFF;
    for (const char c : bytes) {
        crc ^= static_cast<uint8_t>(c);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1) != 0 ? static_cast<uint16_t>((crc >> 1) ^ 0xA001)
                                 : static_cast<uint16_t>(crc >> 1);
        }
    }
    return crc;
}

ExchangeResult ExpectedRtu(const QByteArray& r) {
    if (r.size() < 2) {
        return ExchangeResult::NoReply;
    }
    const uint16_t crc = ModbusCrc(r.first(r.size() - 2));
    if (static_cast<uint8_t>(r[r.size() - 2]) != (crc & 0xFF) ||
        static_cast<uint8_t>(r[r.size() - 1]) != (crc >> 8)) {
        return ExchangeResult::Corrupt;
    }
    return static_cast<uint8_t>(r[1]) >= 0x80 ? ExchangeResult::Exception : ExchangeResult::Good;
}

// A sound one-register reply of station 1 holding `word`, to leave its bytes in the buffer.
QByteArray GoodRegisterReply(bool ascii, uint16_t word) {
    QByteArray body("\x01\x03\x02", 3);
    body.append(static_cast<char>(word >> 8)).append(static_cast<char>(word & 0xFF));
    if (!ascii) {
        const uint16_t crc = ModbusCrc(body);
        return body.append(static_cast<char>(crc & 0xFF)).append(static_cast<char>(crc >> 8));
    }
    unsigned sum = 0;
    QByteArray frame(":");
    for (const char c : body) {
        sum += static_cast<uint8_t>(c);
        frame.append(HexChar(static_cast<uint8_t>(c) >> 4)).append(HexChar(c));
    }
    const unsigned lrc = (0x100 - (sum & 0xFF)) & 0xFF;
    return frame.append(HexChar(lrc >> 4)).append(HexChar(lrc)).append("\r\n");
}

// The value a one-register read must report for the bytes that arrived, if any.
bool ExpectedRegister(const QByteArray& r, bool ascii, int32_t* word) {
    if (ascii) {
        if ((ExpectedAscii(r) != ExchangeResult::Good) || r.size() < 11) {
            return false;
        }
        int value = 0;
        for (int i = 7; i < 11; ++i) {
            const int d = HexDigitValue(static_cast<uint8_t>(r[i]));
            if (d < 0) {
                return false;
            }
            value = value * 16 + d;
        }
        *word = static_cast<int16_t>(value);
        return true;
    }
    if (ExpectedRtu(r) != ExchangeResult::Good || r.size() < 5) {
        return false;
    }
    *word = static_cast<int16_t>((static_cast<uint8_t>(r[3]) << 8) | static_cast<uint8_t>(r[4]));
    return true;
}

void CheckExchange(Mode mode, bool write, const QByteArray& earlier, Input& input) {
    auto owned = std::make_unique<RecordingBackend>();
    RecordingBackend& port = *owned;
    ModbusLink link(std::move(owned));
    FUZZ_CHECK(link.Open(QStringLiteral("fuzz")) == 0);
    AnswerFromInput(port, input);

    uint8_t request[kAsciiRequestLength];
    int requestLength = 0;
    int replyLength = 0;
    switch (mode) {
    case CommandRead:
        BuildReadCommand(request, '6', 0xCB);
        requestLength = kReadCommandLength;
        replyLength = kReadReplyLength;
        break;
    case CommandWrite:
        BuildWriteCommand(request, '5', 0x70, 2);
        requestLength = kWriteCommandLength;
        replyLength = kWriteReplyLength;
        break;
    default: {
        const bool ascii = mode == Ascii;
        requestLength = ascii ? kAsciiRequestLength : kRtuRequestLength;
        replyLength = write ? BuildWriteRegister(request, 1, 0x0201, -2, ascii)
                            : BuildReadRegisters(request, 1, 0x0201, 1, ascii);
    }
    }

    // A heap buffer of exactly the reply length, holding what an earlier exchange left.
    const auto reply = std::make_unique<uint8_t[]>(static_cast<size_t>(replyLength));
    for (int i = 0; i < replyLength; ++i) {
        reply[i] = earlier.isEmpty() ? 0 : static_cast<uint8_t>(earlier[i % earlier.size()]);
    }

    switch (mode) {
    case CommandRead:
    case CommandWrite: {
        const ExchangeResult result =
            link.ExchangeCommand(request, requestLength, reply.get(), replyLength);
        FUZZ_CHECK(result == ExpectedCommand(port.taken, mode == CommandWrite));
        // One attempt per request written, and no more after an accepted reply.
        FUZZ_CHECK(port.taken.size() <= 3);
        FUZZ_CHECK(result != ExchangeResult::NoReply || port.taken.size() == 3);
        break;
    }
    case Ascii: {
        const ExchangeResult result =
            link.ExchangeAscii(request, requestLength, reply.get(), replyLength, 1);
        FUZZ_CHECK(port.taken.size() == 1);
        FUZZ_CHECK(result == ExpectedAscii(port.taken[0]));
        break;
    }
    default: {
        const ExchangeResult result =
            link.ExchangeRtu(request, requestLength, reply.get(), replyLength, 400);
        FUZZ_CHECK(port.taken.size() == 1);
        FUZZ_CHECK(result == ExpectedRtu(port.taken[0]));
        FUZZ_CHECK(link.LastReplyLength() == port.taken[0].size());
    }
    }
}

// Two reads in a row, as a transfer makes them: a sound reply, then the fuzzer's. Whatever the
// first left behind must not complete the second.
void CheckParameterRead(bool ascii, uint8_t which, Input& input) {
    auto owned = std::make_unique<RecordingBackend>();
    RecordingBackend& port = *owned;
    ModbusLink link(std::move(owned));
    FUZZ_CHECK(link.Open(QStringLiteral("fuzz")) == 0);
    LinkSettings settings;
    settings.RS485Port = true;
    const DriveProfile profile;
    DriveAccess access(link, settings, profile);
    access.AssumeLinkUp();

    const auto parameters = AllParameters();
    const ParamSpec& p = parameters[which % parameters.size()];
    const ParamCode code{p.letter, p.number};

    port.SetResponder([ascii](QByteArrayView) { return GoodRegisterReply(ascii, 0x1234); });
    FUZZ_CHECK(access.ReadParameterModbus(code, ascii));
    port.taken.clear();

    AnswerFromInput(port, input);
    const bool read = access.ReadParameterModbus(code, ascii);
    // A lost or damaged reply is asked for again, up to three attempts in all; the last attempt's
    // reply decides. (Whether an earlier attempt counted as lost depends on how much of a late
    // reply the link waited for, which this model does not follow.)
    FUZZ_CHECK(!port.taken.empty() && port.taken.size() <= 3);
    int32_t word = 0;
    const bool expected = ExpectedRegister(port.taken.back(), ascii, &word);
    FUZZ_CHECK(read == expected);
    FUZZ_CHECK(!read || access.LastValue == RawToDisplay(code, word, profile.maxMotorSpeed));
}

// The check values on their own, over the input itself: a heap block of exactly its size.
void CheckCheckValues(const uint8_t* data, size_t size) {
    const int n = static_cast<int>(std::min<size_t>(size, 255));
    const QByteArray bytes(reinterpret_cast<const char*>(data + size - n), n);
    const uint8_t* tail = data + size - n; // reads past the end of the input are caught
    FUZZ_CHECK(Crc16(tail, n) == ModbusCrc(bytes));
    if (n >= 3) {
        unsigned sum = 0;
        for (int i = 0; i <= n - 3; ++i) {
            sum += tail[i];
        }
        const bool good = tail[0] == '%' && bytes[n - 2] == HexChar((sum & 0xFF) >> 4) &&
                          bytes[n - 1] == HexChar(sum);
        FUZZ_CHECK(IsGoodReadReply(tail, n) == good);
    }
    if (n >= 5) {
        unsigned sum = 0;
        for (int pair = 1; pair <= (n - 5) / 2; ++pair) {
            sum += static_cast<unsigned>(std::max(UpperHex(bytes[2 * pair - 1]), 0) * 16 +
                                         std::max(UpperHex(bytes[2 * pair]), 0));
        }
        FUZZ_CHECK(Lrc(tail, n) == static_cast<uint16_t>(0x10000u - sum));
    }
    if (n >= 4) {
        int32_t word = 0;
        int value = 0;
        bool digits = true;
        for (int i = n - 4; i < n; ++i) {
            const char c = bytes[i];
            const int d = c >= 'a' && c <= 'f' ? c - 'a' + 10 : UpperHex(c);
            digits = digits && d >= 0;
            value = value * 16 + d;
        }
        FUZZ_CHECK(DecodeWord(tail + n - 4, &word) == digits);
        FUZZ_CHECK(!digits || word == static_cast<int16_t>(value));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CheckCheckValues(data, size);
    Input input(data, size);
    const uint8_t modeByte = input.byte();
    const auto mode = static_cast<Mode>(modeByte % kModeCount);
    const bool write = (modeByte & 0x80) != 0;
    const QByteArray earlier = input.bytes(input.byte() % 32);
    if (mode == ParameterAscii || mode == ParameterRtu) {
        CheckParameterRead(mode == ParameterAscii, earlier.isEmpty() ? 0 : earlier[0], input);
    } else {
        CheckExchange(mode, write, earlier, input);
    }
    return 0;
}

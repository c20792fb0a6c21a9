#pragma once

#include "link/LinkSettings.h"
#include "link/SerialChannel.h"

#include <cstdint>
#include <optional>

// How an exchange ended. The command protocol gives NoReply, Accepted or Good; Modbus gives
// NoReply, Corrupt, Good or Exception.
enum class ExchangeResult {
    NoReply,   // no accepted reply after all attempts, or none at all
    Accepted,  // a command write answered by '%'
    Corrupt,   // a Modbus reply with a wrong checksum or characters
    Good,      // a command read with '%' and a good checksum, or a sound Modbus reply
    Exception, // a Modbus reply whose function code has the top bit set
};

// The drive's transactions over the serial channel: the command protocol ('R'/'L' reads, 'W'/'M'
// writes) and Modbus ASCII or RTU requests. The caller builds the request (link/Frames.h) and owns
// both buffers; the reply is read into its buffer in place and nothing is allocated per exchange.
// The link shows no message of its own: every failure is a result code. Once the device has gone
// away under the port (SerialChannel::DeviceGone) an exchange makes no further attempt.
//
// On a line that echoes (a two-wire RS-485 converter hands back every byte sent), each exchange
// first takes the copy of its request off the line, then reads the reply. A copy that differs
// from the request is a corrupt reply (the exchange's usual retry follows); a copy that does not
// come is no reply. Input left over from an earlier exchange is dropped before such a request.
//
// Modbus RTU requests keep 3.5 character times of silence on the line before they go (1.75 ms
// above 19200 bit/s), counted from the last byte sent or received by any exchange, and an RTU
// reply ends at its length or at a gap as long: a sound frame ends there. A piece that is not yet
// one waits on up to the read's 50 ms gap for the rest, since USB serial adapters hand a frame
// over in pieces that can lie further apart.
class ModbusLink : public SerialChannel {
public:
    using SerialChannel::SerialChannel;
    ~ModbusLink() override;

    // Up to three attempts, each a write and a read of `replyLength` bytes without a wait limit
    // (the read time-outs end each read within 400 ms). A write ('W', 'M') counts as accepted on a
    // reply starting with '%'; a read needs '%' and its checksum digits. A refusal ('!'), silence
    // or a bad checksum makes the next attempt.
    ExchangeResult ExchangeCommand(const uint8_t* request, int requestLength, uint8_t* reply,
                                   int replyLength);

    // Modbus ASCII: each attempt pauses 2 ms, writes, and reads up to `replyLength` bytes. The
    // first reply starting with ':' is judged (later attempts are not made): fewer than 5 bytes,
    // a character that is not an upper-case hex digit or a wrong LRC give Corrupt; a
    // function code whose first digit is '8' or above gives Exception.
    ExchangeResult ExchangeAscii(const uint8_t* request, int requestLength, uint8_t* reply,
                                 int replyLength, int attempts);

    // Modbus RTU: one write and one read, each within `timeoutMs`. A failed write or read, or a
    // reply of fewer than 2 bytes, gives NoReply; a wrong CRC Corrupt; a function
    // code of 0x80 or above Exception.
    ExchangeResult ExchangeRtu(const uint8_t* request, int requestLength, uint8_t* reply,
                               int replyLength, uint32_t timeoutMs);

    // A Modbus request as the parameter traffic sends it: ASCII with one attempt, or RTU within
    // 400 ms, tried up to three times while no reply or a corrupt reply comes. An exception reply
    // is the drive's answer and ends it at once. Reads and single-register writes are idempotent,
    // so sending one again is safe. The reply buffer is cleared before each attempt, so nothing
    // of an earlier attempt remains beside a short reply.
    ExchangeResult ExchangeModbus(const uint8_t* request, int requestLength, uint8_t* reply,
                                  int replyLength, bool ascii);

    // Bytes received by the last ExchangeRtu (0 until its read succeeds).
    int LastReplyLength() const { return lastReplyLength_; }
    // Whether the last ExchangeRtu got its request written.
    bool RequestSent() const { return requestSent_; }

    // Off and On hold for every exchange. Automatic starts undecided at every call (OpenLinkPort
    // makes one at each connect): the first exchange whose reply can never equal its request (the
    // identification probe; any command frame or Modbus register read, never a Modbus write,
    // whose reply is the request's copy) decides from whether its request came back, and the
    // decision holds until the next call. An exchange that fails after deciding leaves it open.
    void SetEcho(EchoMode mode);
    EchoMode Echo() const { return echoMode_; }
    // Whether exchanges expect the copy of their request now (false while undecided).
    bool ExpectsEcho() const { return echoFound_.value_or(false); }
    bool EchoDecided() const { return echoFound_.has_value(); }

    // The line's character (start, data, parity and stop bits) at the baud rate, from which the
    // RTU silence follows; OpenLinkPort sets it from the link settings. 9600 bit/s 8N1 before.
    void SetLineTiming(uint32_t baudRate, int dataBits, int parity, int stopBits);
    // 3.5 character times, or 1750 us above 19200 bit/s.
    int64_t RtuSilenceUs() const { return rtuSilenceUs_; }

private:
    enum class ReplyStatus { Read, EchoDamaged, Failed };
    // The line's activity: the last byte sent (its wire time included) or received.
    void NoteSent(int count);
    void NoteReceived() { lastActivityUs_ = Backend()->ClockUs(); }
    bool Send(const uint8_t* request, int length, uint32_t timeoutMs);
    // The copy of the request when one is expected (or being looked for), then the reply: *got
    // receives the reply's bytes. Failed: a channel error, or a copy that did not come whole.
    ReplyStatus ReceiveReply(const uint8_t* request, int requestLength, uint8_t* reply,
                             int replyLength, uint32_t timeoutMs, bool rtu, int* got);
    // A read of `count` bytes for the exchange: the channel's read, or on RTU a frame read.
    uint32_t ReadPart(uint8_t* buffer, int count, uint32_t timeoutMs, bool rtu, int* got);
    // Ends at `count` bytes, at the RTU gap after a sound frame, at 50 ms after the last byte,
    // or when the wait limit passes (kWaitLimitPassed, what came is lost).
    int ReadRtuFrame(uint8_t* buffer, int count, uint32_t waitLimitMs, int* got);
    void KeepRtuSilence();
    void DropStaleInput();
    // An undecided echo that this exchange decided goes back to undecided when it failed.
    void Settle(ExchangeResult result);

    int32_t lastReplyLength_ = 0;
    bool requestSent_ = false;
    EchoMode echoMode_ = EchoMode::Off;
    std::optional<bool> echoFound_ = false;
    bool decidedNow_ = false;
    int64_t characterUs_ = 10'000'000 / 9600;
    int64_t rtuSilenceUs_ = 35'000'000 / 9600;
    int64_t lastActivityUs_ = -1;
};

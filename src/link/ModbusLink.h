#pragma once

#include "link/SerialChannel.h"

#include <cstdint>

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
// The link shows no message of its own: every failure is a result code.
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

private:
    int32_t lastReplyLength_ = 0;
    bool requestSent_ = false;
};

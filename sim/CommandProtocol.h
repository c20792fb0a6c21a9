#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>

class DriveState;

// The drive's side of its command protocol.
//
//   'R' p ll cc          read one word          -> '%' wwww cc (7 bytes)
//   'L' p ll cc          read two words         -> '%' hhhhllll cc (11 bytes): the word at ll is
//                                                  the high half, the word at ll + 1 the low half
//   'W' p ll wwww cc     write one word         -> '%'
//   'M' p ll hhhhllll cc write two words        -> '%': high half to ll, low half to ll + 1
//
// p is the page ('0'..'9', 'A'..'F'), ll the location, cc the byte sum of everything before it.
// Anything wrong in a complete frame (checksum, page, a field that is not hexadecimal, a long
// form at location 0xFF, a mailbox command for an index without a parameter) is answered '!'
// and changes nothing.

inline constexpr char kCommandAccepted = '%';
inline constexpr char kCommandRefused = '!';

// The length a frame starting with `first` has ('R'/'L' 6, 'W' 10, 'M' 14), or 0 when the byte
// starts no command.
int CommandFrameLength(uint8_t first);

// True for a byte that can stand inside a command frame after its letter: printable, and not a
// byte that starts a frame of its own (a command letter or the ':' of Modbus ASCII). A frame
// candidate holding any other byte is line noise, not a request.
bool IsCommandBodyByte(uint8_t b);

// The drive's answer to one complete frame of CommandFrameLength(frame[0]) bytes.
QByteArray AnswerCommand(DriveState& state, QByteArrayView frame);

// The checksum-carrying read reply for `digits` (4 or 8 hex digits of the value).
QByteArray ReadReply(uint32_t value, int digits);

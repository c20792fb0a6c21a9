#include "cli/WordCommands.h"

#include "cli/DriveSession.h"
#include "cli/Invocation.h"
#include "cli/Numbers.h"
#include "link/Frames.h"

#include <optional>

namespace {

constexpr int64_t kLowestValue = -32768; // a word's value, signed or not
constexpr int64_t kHighestValue = 65535;

std::optional<char> ParsePage(const QString& text) {
    if (text.size() != 1) {
        return std::nullopt;
    }
    const char c = text.at(0).toUpper().toLatin1();
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) {
        return c;
    }
    return std::nullopt;
}

bool ArgumentCount(const Invocation& call, int count) {
    if (call.words.size() == count) {
        return true;
    }
    call.Usage(QStringLiteral("%1 takes %2 argument(s)").arg(call.name).arg(count));
    return false;
}

// A page and location from the first two words; false after a usage error.
bool ParseAddress(const Invocation& call, char* page, int* location) {
    const std::optional<char> parsedPage = ParsePage(call.words[0]);
    const std::optional<int64_t> parsedLocation =
        ParseNumber(call.words[1], NumberForm::DecimalOrHex, 0, 255);
    if (!parsedPage) {
        call.Usage(QStringLiteral("PAGE must be one character 0-9 or A-F"));
        return false;
    }
    if (!parsedLocation) {
        call.Usage(QStringLiteral("LOC must be 0..255"));
        return false;
    }
    *page = *parsedPage;
    *location = static_cast<int>(*parsedLocation);
    return true;
}

std::optional<int32_t> ParseValue(const Invocation& call, const QString& text) {
    const std::optional<int64_t> value =
        ParseNumber(text, NumberForm::DecimalOrHex, kLowestValue, kHighestValue);
    if (!value) {
        call.Usage(QStringLiteral("VALUE must be -32768..65535"));
        return std::nullopt;
    }
    return static_cast<int32_t>(*value);
}

QString ModbusResultText(ExchangeResult result) {
    switch (result) {
    case ExchangeResult::NoReply: return QStringLiteral("no reply (result 0)");
    case ExchangeResult::Corrupt: return QStringLiteral("corrupt reply (result 1)");
    case ExchangeResult::Exception: return QStringLiteral("exception reply (result 3)");
    case ExchangeResult::Accepted:
    case ExchangeResult::Good: break;
    }
    return QStringLiteral("result 2");
}

// The exception code of an exception reply, for the message; -1 when the reply did not hold one
// (the buffer starts zeroed, and zeros are no hex digits).
int ExceptionCode(const uint8_t* reply, bool ascii, int rtuReplyLength) {
    if (!ascii) {
        return rtuReplyLength >= 3 ? reply[2] : -1;
    }
    const int high = HexDigitValue(reply[5]);
    const int low = HexDigitValue(reply[6]);
    return high >= 0 && low >= 0 ? high * 16 + low : -1;
}

// The register of a Modbus function, checked before the port opens; false after a usage error.
bool ParseRegister(const Invocation& call, int count, int* reg) {
    if (!call.link.settings.RS485Port) {
        call.Usage(QStringLiteral("%1 needs --rs485").arg(call.name));
        return false;
    }
    if (!ArgumentCount(call, count)) {
        return false;
    }
    const std::optional<int64_t> parsed =
        ParseNumber(call.words[0], NumberForm::DecimalOrHex, 0, 65535);
    if (!parsed) {
        call.Usage(QStringLiteral("REG must be 0..65535"));
        return false;
    }
    *reg = static_cast<int>(*parsed);
    return true;
}

// One Modbus exchange: function 03 of one register when `value` is empty, else function 06.
// Modbus addresses any station on the line, so no probe goes first.
int ExchangeModbus(const Invocation& call, int reg, std::optional<int32_t> value) {
    DriveSession drive(call.link, call.err);
    if (!drive.Open()) {
        return 1;
    }
    ModbusLink& link = drive.connection.Link();
    const LinkSettings& settings = call.link.settings;
    const bool ascii = settings.AsciiMode;
    uint8_t request[kAsciiRequestLength];
    // Zeroed: a good but short reply must not be completed by whatever the buffer held.
    uint8_t reply[kAsciiRequestLength] = {};
    const int replyLength =
        value ? BuildWriteRegister(request, settings.StationID, reg, *value, ascii)
              : BuildReadRegisters(request, settings.StationID, reg, 1, ascii);
    const int requestLength = ascii ? kAsciiRequestLength : kRtuRequestLength;
    const ExchangeResult result =
        link.ExchangeModbus(request, requestLength, reply, replyLength, ascii);
    if (result != ExchangeResult::Good) {
        ErrorLine(call.err) << call.name << " " << reg << ": " << ModbusResultText(result);
        const int code = ExceptionCode(reply, ascii, link.LastReplyLength());
        if (result == ExchangeResult::Exception && code >= 0) {
            call.err << ", exception code " << code;
        }
        call.err << "\n";
        return 1;
    }
    if (value) {
        return 0;
    }
    int32_t word = 0;
    const bool held = ascii ? DecodeWord(reply + 7, &word) : link.LastReplyLength() >= 5;
    if (!ascii) {
        word = (reply[3] << 8) | reply[4];
    }
    if (!held) {
        ErrorLine(call.err) << call.name << " " << reg
                            << ": the reply is too short to hold a register\n";
        return 1;
    }
    call.out << (word & 0xFFFF) << "\n";
    return 0;
}

} // namespace

int RunProbe(const Invocation& call) {
    if (!ArgumentCount(call, 0)) {
        return 2;
    }
    DriveSession drive(call.link, call.err);
    if (!drive.Connect()) {
        return 1;
    }
    call.out << drive.Dn03() << "\n";
    return 0;
}

int RunReadWord(const Invocation& call) {
    char page = 0;
    int location = 0;
    if (!ArgumentCount(call, 2) || !ParseAddress(call, &page, &location)) {
        return 2;
    }
    DriveSession drive(call.link, call.err);
    if (!drive.Connect()) {
        return 1;
    }
    DriveAccess& access = drive.connection.Access();
    if (!access.ReadDriveWord(page, location)) {
        ErrorLine(call.err) << "read " << page << " " << location << ": " << CommandFailureText()
                            << "\n";
        return 1;
    }
    call.out << access.LastValue << "\n";
    return 0;
}

int RunWriteWord(const Invocation& call) {
    if (!ArgumentCount(call, 3)) {
        return 2;
    }
    // The value is checked first, as the tool always has.
    const std::optional<int32_t> value = ParseValue(call, call.words[2]);
    char page = 0;
    int location = 0;
    if (!value || !ParseAddress(call, &page, &location)) {
        return 2;
    }
    DriveSession drive(call.link, call.err);
    if (!drive.Connect()) {
        return 1;
    }
    if (!drive.connection.Access().WriteDriveWord(page, location, *value,
                                                  call.options.Has("--store"))) {
        ErrorLine(call.err) << "write " << page << " " << location << ": " << CommandFailureText()
                            << "\n";
        return 1;
    }
    return 0;
}

int RunModbusRead(const Invocation& call) {
    int reg = 0;
    if (!ParseRegister(call, 1, &reg)) {
        return 2;
    }
    return ExchangeModbus(call, reg, std::nullopt);
}

int RunModbusWrite(const Invocation& call) {
    int reg = 0;
    if (!ParseRegister(call, 2, &reg)) {
        return 2;
    }
    const std::optional<int32_t> value = ParseValue(call, call.words[1]);
    if (!value) {
        return 2;
    }
    return ExchangeModbus(call, reg, value);
}

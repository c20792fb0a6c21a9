#include "link/DriveAccess.h"

#include "drive/ParameterCatalogue.h"
#include "link/Frames.h"
#include "link/ModbusLink.h"

namespace {

// Locations whose word goes through the codec rather than being shown unsigned.
struct ConvertedLocation {
    DriveLocation at;
    char letter;
    int number;
};

constexpr ConvertedLocation kReadConversions[] = {
    {DriveMap::kSpeedCommand1, 'S', 1},
    {DriveMap::kTuningSpeed, 'O', 6},
    {DriveMap::kTuningValue, 'O', 7},
    {DriveMap::kMotorSpeed, 'U', 1},
};

constexpr ConvertedLocation kWriteConversions[] = {
    {DriveMap::kTuningSpeed, 'O', 6},
    {DriveMap::kTuningValue, 'O', 7},
    {DriveMap::kSpeedCommand1, 'S', 1},
    {DriveMap::kJogSpeed, 'S', 1},
};

template <size_t N>
const ConvertedLocation* Find(const ConvertedLocation (&table)[N], char page, int location) {
    for (const ConvertedLocation& c : table) {
        if (c.at.page == page && c.at.location == location) {
            return &c;
        }
    }
    return nullptr;
}

constexpr uint32_t kBaudRates[] = {4800, 9600, 19200, 38400, 57600, 115200};

constexpr FrameFormatSpec kFrameFormats[] = {
    {7, 0, 2, true}, {7, 2, 0, true},  {7, 1, 0, true},  {8, 0, 2, true},  {8, 2, 0, true},
    {8, 1, 0, true}, {8, 0, 2, false}, {8, 2, 0, false}, {8, 1, 0, false},
};

} // namespace

uint32_t BaudRateOfIndex(int index) {
    return index >= 0 && index < static_cast<int>(std::size(kBaudRates)) ? kBaudRates[index] : 0;
}

FrameFormatSpec FrameFormatOf(int frameFormat) {
    return frameFormat >= 0 && frameFormat < static_cast<int>(std::size(kFrameFormats))
               ? kFrameFormats[frameFormat]
               : kFrameFormats[0];
}

uint32_t OpenLinkPort(ModbusLink& link, const QString& device, uint32_t baudRate,
                      const LinkSettings& settings) {
    const uint32_t opened = link.Open(device, 2048, 2048);
    if (opened != 0) {
        return opened;
    }
    link.SetDeviceName(device);
    if (settings.RS485Port) {
        const FrameFormatSpec f = FrameFormatOf(settings.FrameFormat);
        link.Setup(baudRate, f.dataBits, f.parity, f.stopBits);
        link.SetLineTiming(baudRate, f.dataBits, f.parity, f.stopBits);
    } else {
        link.Setup(baudRate, 8, 0, 0);
        link.SetLineTiming(baudRate, 8, 0, 0);
    }
    // Each connect decides anew whether the line echoes (the probe that follows tells).
    link.SetEcho(settings.Echo);
    link.SetHandshaking(2);
    return 0;
}

DriveAccess::DriveAccess(ModbusLink& link, const LinkSettings& settings,
                         const DriveProfile& profile)
    : link_(link), settings_(settings), profile_(profile) {}

bool DriveAccess::Exchanged(bool ok) {
    if (!ok && link_.DeviceGone()) {
        linkUp_ = false;
    }
    return ok;
}

bool DriveAccess::WriteCommand(char page, int location, int32_t value) {
    uint8_t request[kWriteCommandLength];
    uint8_t reply[kWriteReplyLength];
    BuildWriteCommand(request, page, location, value);
    return Exchanged(link_.ExchangeCommand(request, kWriteCommandLength, reply,
                                           kWriteReplyLength) == ExchangeResult::Accepted);
}

bool DriveAccess::ReadCommand(char page, int location, int32_t* word) {
    uint8_t request[kReadCommandLength];
    uint8_t reply[kReadReplyLength];
    BuildReadCommand(request, page, location);
    if (!Exchanged(link_.ExchangeCommand(request, kReadCommandLength, reply, kReadReplyLength) ==
                   ExchangeResult::Good)) {
        return false;
    }
    return DecodeWord(reply + 1, word);
}

bool DriveAccess::ReadSignedWord(char page, int location, int32_t* word) {
    return linkUp_ && ReadCommand(page, location, word);
}

bool DriveAccess::ReadDriveWord(char page, int location) {
    if (!linkUp_) {
        return false;
    }
    int32_t word = 0;
    if (!ReadCommand(page, location, &word)) {
        return false;
    }
    if (const ConvertedLocation* c = Find(kReadConversions, page, location)) {
        LastValue = RawToDisplay({c->letter, c->number}, word, profile_.maxMotorSpeed);
    } else {
        LastValue = word & 0xFFFF;
    }
    return true;
}

bool DriveAccess::WriteDriveWord(char page, int location, int32_t value, bool store) {
    if (!linkUp_) {
        return false;
    }
    int32_t raw = value & 0xFFFF;
    if (const ConvertedLocation* c = Find(kWriteConversions, page, location)) {
        raw = DisplayToRaw({c->letter, c->number}, value, profile_.maxMotorSpeed);
    }
    if (store || page == 0) {
        if (!StoreParameter(location, raw)) {
            return false;
        }
    }
    if (page == 0) {
        return true;
    }
    return WriteCommand(page, location, raw);
}

int DriveAccess::QueryServoState() {
    if (!linkUp_ || !ReadDriveWord(DriveMap::kServoStateQuery)) {
        return 0;
    }
    return LastValue == 2 ? 2 : 1;
}

bool DriveAccess::ReadParameterModbus(ParamCode code, bool ascii) {
    if (!linkUp_) {
        return false;
    }
    uint8_t request[kAsciiRequestLength];
    // The value sits at fixed positions of the reply; a good but shorter reply must not be
    // completed by what the buffer held before (the previous parameter's reply, in a transfer).
    // Zeros are no hex digits, so an ASCII value that did not arrive fails to decode.
    uint8_t reply[16] = {};
    const int replyLength =
        BuildReadRegisters(request, settings_.StationID, ModbusRegisterOf(code), 1, ascii);
    const int requestLength = ascii ? kAsciiRequestLength : kRtuRequestLength;
    if (!Exchanged(link_.ExchangeModbus(request, requestLength, reply, replyLength, ascii) ==
                   ExchangeResult::Good)) {
        return false;
    }
    int32_t word = 0;
    if (ascii) {
        if (!DecodeWord(reply + 7, &word)) {
            return false;
        }
    } else {
        if (link_.LastReplyLength() < 5) {
            return false;
        }
        word = static_cast<int16_t>((reply[3] << 8) | reply[4]);
    }
    LastValue = RawToDisplay(code, word, profile_.maxMotorSpeed);
    return true;
}

bool DriveAccess::WriteParameterModbus(ParamCode code, int32_t rawValue, bool ascii) {
    if (!linkUp_) {
        return false;
    }
    uint8_t request[kAsciiRequestLength];
    uint8_t reply[kAsciiRequestLength];
    const int length =
        BuildWriteRegister(request, settings_.StationID, ModbusRegisterOf(code), rawValue, ascii);
    return Exchanged(link_.ExchangeModbus(request, length, reply, length, ascii) ==
                     ExchangeResult::Good);
}

bool DriveAccess::FetchStep(int step, int index) {
    if (!linkUp_) {
        return false;
    }
    switch (step) {
    case 0: return WriteCommand(DriveMap::kParameterPage, DriveMap::kMailboxFetchIndex, index);
    case 1:
        return WriteCommand(DriveMap::kParameterPage, DriveMap::kMailboxCommand,
                            DriveMap::kMailboxFetch);
    case 2: {
        int32_t word = 0;
        if (!ReadCommand(DriveMap::kParameterPage, DriveMap::kMailboxFetchResult, &word)) {
            return false;
        }
        LastValue = word;
        return true;
    }
    default: return false;
    }
}

bool DriveAccess::FetchParameter(int index) {
    for (int step = 0; step < kFetchSteps; ++step) {
        if (!FetchStep(step, index)) {
            return false;
        }
    }
    return true;
}

bool DriveAccess::StoreStep(int step, int index, int32_t rawValue) {
    if (!linkUp_) {
        return false;
    }
    switch (step) {
    case 0: return WriteCommand(DriveMap::kParameterPage, DriveMap::kMailboxStoreIndex, index);
    case 1: return WriteCommand(DriveMap::kParameterPage, DriveMap::kMailboxStoreValue, rawValue);
    case 2:
        return WriteCommand(DriveMap::kParameterPage, DriveMap::kMailboxCommand,
                            DriveMap::kMailboxStore);
    case 3: return WriteCommand('5', index, rawValue);
    default: return false;
    }
}

bool DriveAccess::StoreParameter(int index, int32_t rawValue, bool writeLiveCopy) {
    const int steps = writeLiveCopy ? kStoreSteps : kStoreSteps - 1;
    for (int step = 0; step < steps; ++step) {
        if (!StoreStep(step, index, rawValue)) {
            return false;
        }
    }
    return true;
}

bool DriveAccess::Probe(int32_t* dn03) {
    int32_t word = 0;
    if (!ReadCommand(DriveMap::kInputContacts.page, DriveMap::kInputContacts.location, &word)) {
        return false;
    }
    *dn03 = RawToDisplay({'D', 3}, word, profile_.maxMotorSpeed);
    linkUp_ = true;
    failureTold_ = false;
    return true;
}

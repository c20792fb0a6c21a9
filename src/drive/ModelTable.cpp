#include "drive/ModelTable.h"

#include "base/StringIds.h"
#include "base/StringTable.h"

#include <array>

namespace {

// Power and rated speed of a motor, by the first two hex digits of the code's low 12 bits, and
// which encoder digits exist for it. Encoder digit 0 is 2000 ppr, 1 and 3 are 2500 ppr, 2 and 4
// are 8192 ppr.
struct MotorFamily {
    int digits;           // first two hex digits, e.g. 0x33
    const char* power;    // "1KW"
    const char* speed;    // "2000rpm"
    const char* encoders; // the encoder digits that exist
};

constexpr MotorFamily kMotorFamilies[] = {
    {0x11, "100W", "3000rpm", "012"}, // code 0x110 is the 120 W motor
    {0x12, "300W", "3000rpm", "012"},   {0x13, "200W", "3000rpm", "034"},
    {0x14, "400W", "3000rpm", "01234"}, {0x21, "750W", "3000rpm", "012"},
    {0x22, "400W", "3000rpm", "01234"}, {0x23, "750W", "3000rpm", "034"},
    {0x24, "550W", "1000rpm", "012"},   {0x25, "550W", "1500rpm", "012"},
    {0x31, "750W", "3000rpm", "034"},   {0x32, "1KW", "1000rpm", "012"},
    {0x33, "1KW", "2000rpm", "012"},    {0x34, "1KW", "1500rpm", "012"},
    {0x35, "1KW", "3000rpm", "012"},    {0x36, "1.5KW", "1000rpm", "012"},
    {0x37, "1.5KW", "2000rpm", "012"},  {0x38, "1.5KW", "3000rpm", "012"},
    {0x51, "1.5KW", "1000rpm", "012"},  {0x52, "1.5KW", "2000rpm", "012"},
    {0x53, "1.5KW", "3000rpm", "012"},  {0x54, "2KW", "2000rpm", "012"},
    {0x55, "2KW", "3000rpm", "12"},     {0x71, "3KW", "2000rpm", "012"},
    {0x72, "3KW", "3000rpm", "012"},
};

const MotorFamily* FindMotor(int32_t code) {
    const int low = code & 0xFFF;
    const int encoder = low & 0xF;
    for (const MotorFamily& family : kMotorFamilies) {
        if (family.digits != (low >> 4)) {
            continue;
        }
        for (const char* e = family.encoders; *e != '\0'; ++e) {
            if (*e - '0' == encoder) {
                return &family;
            }
        }
        return nullptr;
    }
    return nullptr;
}

int32_t PulsesOfEncoderDigit(int digit) {
    switch (digit) {
    case 0: return 2000;
    case 1:
    case 3: return 2500;
    default: return 8192;
    }
}

// Drive model names by ranges of the code's low 12 bits.
struct DriveNameRange {
    int first;
    int last;
    const char* name;
};

constexpr DriveNameRange kDriveNames[] = {
    {0x110, 0x112, "MQRX-15A"}, {0x120, 0x122, "MQRX-15A"}, {0x130, 0x134, "MQRX-15A"},
    {0x140, 0x144, "MQRX-15A"}, {0x210, 0x212, "MQRX-20A"}, {0x220, 0x224, "MQRX-20A"},
    {0x230, 0x234, "MQRX-20A"}, {0x240, 0x242, "MQRX-20A"}, {0x250, 0x252, "MQRX-20A"},
    {0x310, 0x314, "MQRX-30A"}, {0x320, 0x322, "MQRX-30A"}, {0x330, 0x332, "MQRX-30A"},
    {0x340, 0x342, "MQRX-30A"}, {0x350, 0x352, "MQRX-30A"}, {0x360, 0x362, "MQRX-30A"},
    {0x370, 0x372, "MQRX-30A"}, {0x380, 0x382, "MQRX-30A"}, {0x510, 0x512, "MQRX-50A"},
    {0x520, 0x522, "MQRX-50A"}, {0x530, 0x532, "MQRX-50A"}, {0x540, 0x542, "MQRX-50A"},
    {0x550, 0x552, "MQRX-50A"}, {0x710, 0x712, "MQRX-75A"}, {0x720, 0x722, "MQRX-75A"},
};

constexpr uint16_t kListCodes[] = {
    // KVDM15
    0x0110,
    0x1111,
    0x0112,
    0x0120,
    0x0121,
    0x0122,
    0x0130,
    0x1133,
    0x1134,
    0x0140,
    0x1141,
    0x0142,
    0x1143,
    0x1144,
    // KVDM20
    0x0210,
    0x0211,
    0x0212,
    0x0220,
    0x1221,
    0x0222,
    0x1223,
    0x1224,
    0x0230,
    0x1233,
    0x1234,
    0x0240,
    0x0241,
    0x0242,
    0x0250,
    0x0251,
    0x0252,
    // KVDM30
    0x0310,
    0x1313,
    0x1314,
    0x0320,
    0x0321,
    0x0322,
    0x0330,
    0x0331,
    0x0332,
    0x0340,
    0x0341,
    0x0342,
    0x0351,
    0x0352,
    0x0360,
    0x0361,
    0x0362,
    0x0370,
    0x0371,
    0x0372,
    0x0380,
    0x0381,
    0x0382,
    // KVDM50
    0x0510,
    0x0511,
    0x0512,
    0x0520,
    0x0521,
    0x0522,
    0x0530,
    0x0531,
    0x0532,
    0x0540,
    0x0541,
    0x0542,
    0x0551,
    0x0552,
    // KVDM75
    0x0710,
    0x0711,
    0x0712,
    0x0720,
    0x0721,
    0x0722,
};

int MotorNameBlockOf(uint16_t code) {
    const int low = code & 0xFFF;
    if (low < 0x200) {
        return StringId::kMotorNames15;
    }
    if (low < 0x300) {
        return StringId::kMotorNames20;
    }
    if (low < 0x500) {
        return StringId::kMotorNames30;
    }
    if (low < 0x700) {
        return StringId::kMotorNames50;
    }
    return StringId::kMotorNames75;
}

std::array<ModelListRow, std::size(kListCodes)> BuildModelList() {
    std::array<ModelListRow, std::size(kListCodes)> rows{};
    int block = 0;
    int k = 0;
    for (size_t i = 0; i < std::size(kListCodes); ++i) {
        const int b = MotorNameBlockOf(kListCodes[i]);
        k = b == block ? k + 1 : 0;
        block = b;
        rows[i] = {kListCodes[i], b + k};
    }
    return rows;
}

} // namespace

int32_t EncoderPulsesForModel(int32_t code) {
    return FindMotor(code) != nullptr ? PulsesOfEncoderDigit(code & 0xF) : 8192;
}

QString MotorTypeText(int32_t code) {
    const MotorFamily* family = FindMotor(code);
    if (family == nullptr) {
        return QStringLiteral("---------------------");
    }
    const int low = code & 0xFFF;
    const char* power = low == 0x110 ? "120W" : family->power;
    return QStringLiteral("%1 %2 %3ppr")
        .arg(QLatin1String(power), QLatin1String(family->speed))
        .arg(PulsesOfEncoderDigit(low & 0xF));
}

QString DriveModelName(int32_t code) {
    const int low = code & 0xFFF;
    for (const DriveNameRange& range : kDriveNames) {
        if (low >= range.first && low <= range.last) {
            return QLatin1String(range.name);
        }
    }
    return QStringLiteral("---------");
}

QString DriveSizeText(int32_t code) {
    const int low = code & 0xFFF;
    if (low < 0x200) {
        return StringText(StringId::kDriveSize15);
    }
    if (low < 0x300) {
        return StringText(StringId::kDriveSize20);
    }
    if (low < 0x500) {
        return StringText(StringId::kDriveSize30);
    }
    if (low < 0x700) {
        return StringText(StringId::kDriveSize50);
    }
    return StringText(StringId::kDriveSize75);
}

std::span<const ModelListRow> ModelList() {
    static const auto rows = BuildModelList();
    return rows;
}

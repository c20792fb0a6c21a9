// The program's catalogue, drive map and check values held against the simulated drive's own,
// which are written apart from them from the drive's documentation. Every other test talks to the
// simulated drive, so a row both sides got wrong in the same way would pass them all; here a row
// the program got wrong on its own fails.

#include "drive/CatalogueTable.h"
#include "drive/DriveMap.h"
#include "drive/ModelTable.h"
#include "drive/ParameterCatalogue.h"
#include "drive/ParameterSet.h"
#include "link/Frames.h"
#include "sim/CheckValues.h"
#include "sim/MotorEncoders.h"
#include "sim/RegisterMap.h"

#include <gtest/gtest.h>

#include <QByteArray>

#include <string>
#include <vector>

namespace {

std::string Name(char letter, int number) {
    return std::string(1, letter) + std::to_string(number);
}

// Drives of different speeds and motors: ranges, defaults and speed scalings depend on them.
const DriveProfile kProfiles[] = {
    {3000, 2500, 0x121},
    {2000, 8192, 0x332},
    {5000, 2000, 0x110},
    {1000, 2500, 0x241},
};

// Raw words across every scaling's corners: signs, the direction codes, 100 %, N, overflow.
const int32_t kRawWords[] = {-32768, -12288, -5461, -4096, -300, -15,   -1,   0,
                             1,      2,      5,     14,    15,   255,   256,  257,
                             260,    1000,   3277,  4096,  5461, 16384, 32767};
const int32_t kRawPairs[] = {-500000, -65536, -1, 0, 10, 65535, 65536, 500000};
const int32_t kShownValues[] = {-30000, -3000, -1000, -300, -1,   0,    1,    2,    3,
                                4,      17,    100,   257,  1000, 3000, 4500, 7400, 30000};

TEST(CatalogueAgainstSimulator, EveryParameterHasTheDrivesIndexRegisterAndWords) {
    ASSERT_EQ(AllParameters().size(), RegisterRows().size());
    for (const ParamSpec& p : AllParameters()) {
        const ParamCode code{p.letter, p.number};
        SCOPED_TRACE(code.Text().toStdString());
        const RegisterRow* drive = FindRegisterRow(p.letter, p.number);
        ASSERT_NE(drive, nullptr) << "a code the drive does not have";
        EXPECT_EQ(static_cast<int>(ParameterIndexOf(code)), drive->index) << "mailbox index";
        EXPECT_EQ(IsTwoRegister(code), drive->twoWords) << "two words";
        EXPECT_EQ(ModbusRegisterOf(code), HoldingRegisterOf(p.letter, p.number))
            << "Modbus register";
        EXPECT_EQ(code.Text().toLatin1(), CodeText(*drive));
        const ParamCode twin = p.letter == 'q' ? QuickTwinOf(p.number) : ParamCode{};
        EXPECT_EQ(Name(twin.letter, twin.number), Name(drive->twin.letter, drive->twin.number))
            << "quick twin";
    }
}

TEST(CatalogueAgainstSimulator, EveryParameterScalesAsTheDrive) {
    for (const ParamSpec& p : AllParameters()) {
        const ParamCode code{p.letter, p.number};
        SCOPED_TRACE(code.Text().toStdString());
        const RegisterRow* drive = FindRegisterRow(p.letter, p.number);
        ASSERT_NE(drive, nullptr);
        std::vector<int32_t> raws(std::begin(kRawWords), std::end(kRawWords));
        if (drive->twoWords) {
            raws.assign(std::begin(kRawPairs), std::end(kRawPairs));
        }
        for (const DriveProfile& profile : kProfiles) {
            const int32_t n = profile.maxMotorSpeed;
            for (const int32_t raw : raws) {
                ASSERT_EQ(RawToDisplay(code, raw, n), RawToValue(drive->scaling, raw, n))
                    << "raw " << raw << " at N = " << n;
            }
            for (const int32_t value : kShownValues) {
                ASSERT_EQ(DisplayToRaw(code, value, n), ValueToRaw(drive->scaling, value, n))
                    << "value " << value << " at N = " << n;
            }
        }
    }
}

TEST(CatalogueAgainstSimulator, EveryRangeAndDefaultIsTheDrives) {
    for (const DriveProfile& profile : kProfiles) {
        SCOPED_TRACE("N = " + std::to_string(profile.maxMotorSpeed));
        ParameterSet minimums, maximums, defaults;
        FillRangeTables(minimums, maximums, profile);
        FillDefaultTable(defaults, profile);
        const DriveFacts facts{profile.maxMotorSpeed, EncoderPulsesOfModel(profile.modelCode),
                               profile.modelCode};
        ASSERT_EQ(profile.encoderPulses, facts.encoderPulses) << "the profiles name their motor";
        for (const RegisterRow& drive : RegisterRows()) {
            const ParamCode code{drive.letter, drive.number};
            SCOPED_TRACE(code.Text().toStdString());
            ASSERT_NE(minimums.Slot(code), nullptr);
            EXPECT_EQ(*minimums.Slot(code), drive.min.Resolve(facts)) << "minimum";
            EXPECT_EQ(*maximums.Slot(code), drive.max.Resolve(facts)) << "maximum";
            EXPECT_EQ(*defaults.Slot(code), drive.defaultValue.Resolve(facts)) << "default";
        }
    }
}

TEST(CatalogueAgainstSimulator, MonitorValuesAreWhereTheDriveKeepsThem) {
    ASSERT_EQ(MonitorRows().size(), 19u + 4u);
    for (const MonitorRow& drive : MonitorRows()) {
        const ParamCode code{drive.letter, drive.number};
        SCOPED_TRACE(Name(drive.letter, drive.number));
        const DriveLocation at = MonitorLocation(code);
        EXPECT_EQ(std::string(1, at.page), std::string(1, drive.at.page)) << "page";
        EXPECT_EQ(at.location, drive.at.location) << "location";
        EXPECT_EQ(static_cast<int>(ParameterIndexOf(code)), drive.at.location) << "index";
        EXPECT_EQ(IsTwoRegister(code), drive.twoWords) << "two words";
    }
    EXPECT_EQ(ModbusRegisterOf(ParamCode{'U', 7}), HoldingRegisterOf('U', 7));
}

TEST(CatalogueAgainstSimulator, TuningPatternWordsScaleAsTheDrive) {
    for (const TuningWordRow& drive : TuningWordRows()) {
        const ParamCode code{'O', drive.number};
        SCOPED_TRACE(Name('O', drive.number));
        EXPECT_EQ(static_cast<int>(ParameterIndexOf(code)), drive.at.location);
        for (const DriveProfile& profile : kProfiles) {
            const int32_t n = profile.maxMotorSpeed;
            for (const int32_t raw : kRawWords) {
                ASSERT_EQ(RawToDisplay(code, raw, n), RawToValue(drive.scaling, raw, n))
                    << "raw " << raw << " at N = " << n;
            }
            for (const int32_t value : kShownValues) {
                ASSERT_EQ(DisplayToRaw(code, value, n), ValueToRaw(drive.scaling, value, n))
                    << "value " << value << " at N = " << n;
            }
        }
    }
}

TEST(CatalogueAgainstSimulator, DriveMapLocationsAreTheDrives) {
    struct Pair {
        const char* what;
        DriveLocation program;
        WordAddress drive;
    };
    const Pair pairs[] = {
        {"model code", DriveMap::kModelCode, DriveLayout::kModelCode},
        {"maximum speed", DriveMap::kMaxMotorSpeed, DriveLayout::kMaxMotorSpeed},
        {"software version", DriveMap::kSoftwareVersion, DriveLayout::kSoftwareVersion},
        {"control mode", DriveMap::kControlMode, MonitorAddress('D', 1)},
        {"alarm word", DriveMap::kAlarmBits, DriveLayout::kAlarmBits},
        {"servo state", DriveMap::kServoState, DriveLayout::kServoState},
        {"input contacts", DriveMap::kInputContacts, MonitorAddress('D', 3)},
        {"JOG enable", DriveMap::kJogEnable, DriveLayout::kJogEnable},
        {"tuning speed", DriveMap::kTuningSpeed, DriveLayout::kTuningMaxSpeed},
        {"tuning acceleration", DriveMap::kTuningValue, DriveLayout::kTuningAcceleration},
        {"tuning hold time", DriveMap::kTuningResult, DriveLayout::kTuningHoldTime},
        {"off-line tuning switch", DriveMap::kOfflineTuning, DriveLayout::kOfflineTuning},
        {"inertia estimate", DriveMap::kInertiaEstimate, MonitorAddress('U', 19)},
        {"motor speed", DriveMap::kMotorSpeed, MonitorAddress('U', 1)},
        {"Sn201", DriveMap::kSpeedCommand1, {'5', FindRegisterRow('S', 1)->index}},
        {"run load torque", DriveMap::kRunLoadTorque, DriveLayout::kRunLoadTorque},
        {"run control", DriveMap::kRunControl, DriveLayout::kRunControl},
        {"run half", DriveMap::kRunHalf, DriveLayout::kRunHalf},
        {"run speed setting", DriveMap::kRunSpeedSetting, DriveLayout::kRunSpeedSetting},
    };
    for (const Pair& p : pairs) {
        EXPECT_EQ(std::string(1, p.program.page), std::string(1, p.drive.page)) << p.what;
        EXPECT_EQ(p.program.location, p.drive.location) << p.what;
    }
    EXPECT_EQ(DriveMap::kParameterPage, DriveLayout::kParameterPage);
    EXPECT_EQ(DriveMap::kMailboxCommand, DriveLayout::kMailboxCommand);
    EXPECT_EQ(DriveMap::kMailboxStoreIndex, DriveLayout::kMailboxStoreIndex);
    EXPECT_EQ(DriveMap::kMailboxStoreValue, DriveLayout::kMailboxStoreValue);
    EXPECT_EQ(DriveMap::kMailboxFetchIndex, DriveLayout::kMailboxFetchIndex);
    EXPECT_EQ(DriveMap::kMailboxFetchResult, DriveLayout::kMailboxFetchResult);
    EXPECT_EQ(DriveMap::kMailboxStore, DriveLayout::kMailboxStore);
    EXPECT_EQ(DriveMap::kMailboxFetch, DriveLayout::kMailboxFetch);
    EXPECT_EQ(DriveMap::kAutoTuningBits, DriveLayout::kAutoTuningBits);
    EXPECT_EQ(DriveMap::kAutoTuningOn, DriveLayout::kAutoTuningOn);
    EXPECT_EQ(
        std::string(std::begin(DriveMap::kRecordPages), std::end(DriveMap::kRecordPages)),
        std::string(std::begin(DriveLayout::kRecordPages), std::end(DriveLayout::kRecordPages)));
}

TEST(CatalogueAgainstSimulator, EveryModelCodeHasTheDrivesEncoder) {
    for (int32_t code = 0; code <= 0xFFFF; ++code) {
        ASSERT_EQ(EncoderPulsesForModel(code), EncoderPulsesOfModel(code)) << "code " << code;
    }
}

// Frames of both protocols, as bytes: command frames before their checksum, Modbus frames
// (station, function, data) before their LRC or CRC.
const char* const kCommandBodies[] = {"R6CB",         "R5E2",     "L688", "W5360AAB", "W5700001",
                                      "M5561234ABCD", "WA980000", "RF00", "W6FFFFFF"};
const char* const kModbusFrames[] = {"010300000001",
                                     "0103030A0001",
                                     "010602050101",
                                     "F70800001234",
                                     "01100342000204FFFE0001",
                                     "0183",
                                     "FF03FFFFFFFF",
                                     "0103020064",
                                     ""};

TEST(CatalogueAgainstSimulator, ChecksumLrcAndCrcAreTheDrives) {
    for (const char* body : kCommandBodies) {
        QByteArray frame = QByteArray(body) + "00";
        AppendCommandChecksum(reinterpret_cast<uint8_t*>(frame.data()),
                              static_cast<int>(frame.size()));
        const QByteArray drive =
            QByteArray::number(CommandChecksum(body), 16).rightJustified(2, '0').toUpper();
        EXPECT_EQ(frame.right(2).toStdString(), drive.toStdString()) << body;
    }
    for (const char* hex : kModbusFrames) {
        const QByteArray bytes = QByteArray::fromHex(hex);
        const QByteArray ascii = ':' + QByteArray(hex).toUpper() + "00\r\n";
        EXPECT_EQ(Lrc(reinterpret_cast<const uint8_t*>(ascii.constData()),
                      static_cast<int>(ascii.size())) &
                      0xFF,
                  ModbusLrc(bytes))
            << hex;
        EXPECT_EQ(Crc16(reinterpret_cast<const uint8_t*>(bytes.constData()),
                        static_cast<int>(bytes.size())),
                  ModbusCrc16(bytes))
            << hex;
    }
}

TEST(CatalogueAgainstSimulator, CheckValuesMatchTheirPublishedExamples) {
    const QByteArray check = "123456789";
    EXPECT_EQ(Crc16(reinterpret_cast<const uint8_t*>(check.constData()), 9), 0x4B37)
        << "CRC-16/MODBUS check value";
    EXPECT_EQ(ModbusCrc16(check), 0x4B37);
    const QByteArray ascii = ":010300000001FB\r\n";
    EXPECT_EQ(
        Lrc(reinterpret_cast<const uint8_t*>(ascii.constData()), static_cast<int>(ascii.size())) &
            0xFF,
        0xFB);
    EXPECT_EQ(ModbusLrc(QByteArray::fromHex("010300000001")), 0xFB);
    EXPECT_EQ(CommandChecksum("R6CB"), 0x0D);
}

} // namespace

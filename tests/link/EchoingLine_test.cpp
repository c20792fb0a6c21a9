// Whole sets, a trace and a frequency response measurement through a line that hands every byte
// back before the reply (the simulated drive's echo), in the command protocol, Modbus ASCII and
// Modbus RTU, with the echo found by the connect's probe.

#include "analysis/FraMeasurement.h"
#include "base/Messenger.h"
#include "drive/ParameterCatalogue.h"
#include "link/DriveOperations.h"
#include "link/MemorySerialBackend.h"
#include "params/DriveConnection.h"
#include "params/NolvaServoDoc.h"
#include "sim/MemoryPortDrive.h"
#include "sim/SimulatedDrive.h"
#include "trace/DriveTrace.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

// The drive behind an echoing in-memory line, its machine on the port's clock; connected as the
// program connects: the port opened with the settings, then the identification probe.
struct EchoRig {
    explicit EchoRig(const DriveLinkOptions& options = {true, 1, 7}) : drive({}, options) {
        drive.SetEcho(true);
        AttachToMemoryPort(drive, *port, true);
        port->writeDelayMs = 1;
        settings = {0,
                    options.station,
                    options.rs485,
                    1,
                    options.frameFormat,
                    options.AsciiMode(),
                    EchoMode::Automatic};
        document.OnNewDocument();
        connected = connection.Open(QStringLiteral("/dev/sim"), 9600) == 0 && connection.Probe();
        drive.ClearRequestLog();
    }
    int Reads(const char* pages) const {
        return drive.RequestLog()
            .filter(QRegularExpression(QStringLiteral("^R[%1]").arg(pages)))
            .size();
    }

    SimulatedDrive drive;
    MemorySerialBackend* port = new MemorySerialBackend;
    LinkSettings settings;
    DriveProfile profile;
    CNolvaServoDoc document{profile};
    RecordingMessenger messenger;
    DriveOperations operations;
    DriveConnection connection{settings,  profile,    document,
                               messenger, operations, std::unique_ptr<SerialBackend>(port)};
    bool connected = false;
};

class EchoingLine : public ::testing::TestWithParam<DriveLinkOptions> {};

TEST_P(EchoingLine, WholeSetReadAndWriteGoThrough) {
    EchoRig rig(GetParam());
    ASSERT_TRUE(rig.connected);
    EXPECT_TRUE(rig.connection.Link().ExpectsEcho());
    ParameterTransfer& transfer = rig.connection.Transfer();
    const QList<ParamCode> codes = WholeSet();
    QList<int32_t> values;
    ASSERT_TRUE(transfer.ReadCodes(codes, &values));
    const qsizetype sn211 = codes.indexOf(ParamCode{'S', 11});
    EXPECT_EQ(values.value(sn211), 40) << "the drive's factory value";
    values[sn211] = 55;
    ASSERT_TRUE(transfer.WriteCodes(codes, values));
    EXPECT_EQ(rig.drive.Word('5', ParameterIndexOf({'S', 11})), 55);
    QList<int32_t> again;
    ASSERT_TRUE(transfer.ReadCodes(codes, &again));
    EXPECT_EQ(again, values);
}

INSTANTIATE_TEST_SUITE_P(CommandAsciiRtu, EchoingLine,
                         ::testing::Values(DriveLinkOptions{}, DriveLinkOptions{true, 1, 4},
                                           DriveLinkOptions{true, 1, 7}));

TEST(EchoingLine, TraceReadBackGoesThrough) {
    EchoRig rig;
    ASSERT_TRUE(rig.connected);
    DriveTrace trace(rig.connection, rig.profile, rig.messenger);
    TraceSettings s;
    s.SetTriggerMode(0);
    s.intervalCode = 1;
    TraceData data;
    const TraceWaiter waiter = [&](const std::function<DriveTrace::Recording()>& check) {
        DriveTrace::Recording state = DriveTrace::Recording::Waiting;
        for (int tick = 0; tick < 50 && state == DriveTrace::Recording::Waiting; ++tick) {
            rig.port->Advance(100);
            state = check();
        }
        return state == DriveTrace::Recording::Finished;
    };
    ASSERT_TRUE(CaptureTrace(trace, s, data, waiter, nullptr));
    EXPECT_TRUE(rig.messenger.messages.isEmpty());
    EXPECT_EQ(rig.Reads("0-4DEF"), 2048);
    EXPECT_NE(data.channels[3][0], 0) << "a ready drive has outputs on";
}

TEST(EchoingLine, FrequencyResponseMeasurementGoesThrough) {
    EchoRig rig;
    ASSERT_TRUE(rig.connected);
    FraMeasurement measurement(rig.connection, rig.profile, rig.messenger);
    FraRecord record;
    ASSERT_TRUE(measurement.Start(QStringLiteral("50"), record));
    EXPECT_TRUE(rig.messenger.messages.isEmpty());
    EXPECT_EQ(rig.Reads("0-3"), 2048);
    // The last pair of the second half is still in the drive's buffer.
    EXPECT_EQ(record.speed[1024],
              RawToDisplay({'R', 1}, static_cast<int16_t>(rig.drive.Word('3', 255)), 3000));
}

} // namespace

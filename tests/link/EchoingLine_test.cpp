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

struct NoProgress : TransferProgress {
    void Open(const QString&, int) override {}
    void SetText(const QString&) override {}
    void Step() override {}
    void Close() override {}
};

struct QuietFraWindow : FraReadProgress {
    bool Open(int) override { return true; }
    void SetText(const QString&) override {}
    void Step() override {}
    bool ExchangeDone() override { return true; }
    void Close() override {}
};

// The drive behind an echoing in-memory line; its machine moves on the port's clock.
struct EchoRig {
    explicit EchoRig(const DriveLinkOptions& options) : drive({}, options) {
        drive.setEcho(true);
        AttachToMemoryPort(drive, *port, true);
        port->writeDelayMs = 1;
        settings.RS485Port = options.rs485;
        settings.StationID = options.station;
        settings.FrameFormat = options.frameFormat;
        settings.AsciiMode = options.asciiMode();
        settings.Echo = EchoMode::Automatic;
        document.OnNewDocument();
        connection.Transfer().SetProgress(&progress);
    }
    // The connect: the port opened with the settings, then the identification probe.
    bool Connect() {
        return connection.Open(QStringLiteral("/dev/sim"), 9600) == 0 && connection.Probe();
    }

    SimulatedDrive drive;
    MemorySerialBackend* port = new MemorySerialBackend;
    LinkSettings settings;
    DriveProfile profile;
    CNolvaServoDoc document{profile};
    RecordingMessenger messenger;
    DriveOperations operations;
    NoProgress progress;
    DriveConnection connection{settings,  profile,    document,
                               messenger, operations, std::unique_ptr<SerialBackend>(port)};
};

struct Protocol {
    const char* name;
    DriveLinkOptions options;
};

class EchoingLine : public ::testing::TestWithParam<Protocol> {};

TEST_P(EchoingLine, WholeSetReadAndWriteGoThrough) {
    EchoRig rig(GetParam().options);
    ASSERT_TRUE(rig.Connect());
    EXPECT_TRUE(rig.connection.Link().EchoDecided());
    EXPECT_TRUE(rig.connection.Link().ExpectsEcho());

    ParameterTransfer& transfer = rig.connection.Transfer();
    const QList<ParamCode> codes = WholeSet();
    QList<int32_t> values;
    ASSERT_TRUE(transfer.ReadCodes(codes, &values));
    ASSERT_EQ(values.size(), codes.size());
    const qsizetype sn211 = codes.indexOf(ParamCode{'S', 11});
    ASSERT_GE(sn211, 0);
    EXPECT_EQ(values[sn211], 40) << "the drive's factory value";

    values[sn211] = 55;
    ASSERT_TRUE(transfer.WriteCodes(codes, values));
    EXPECT_EQ(rig.drive.word('5', ParameterIndexOf({'S', 11})), 55);
    QList<int32_t> again;
    ASSERT_TRUE(transfer.ReadCodes(codes, &again));
    EXPECT_EQ(again, values);
    EXPECT_EQ(rig.drive.counters().corrupted, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Protocols, EchoingLine,
    ::testing::Values(Protocol{"Command", {}}, Protocol{"ModbusAscii", {true, 1, 4}},
                      Protocol{"ModbusRtu", {true, 1, 7}}),
    [](const testing::TestParamInfo<Protocol>& info) { return std::string(info.param.name); });

TEST(EchoingLine, WithoutTheEchoTheProbeFindsNoneAndStillLinks) {
    EchoRig rig({true, 1, 7});
    rig.drive.setEcho(false);
    ASSERT_TRUE(rig.Connect());
    EXPECT_TRUE(rig.connection.Link().EchoDecided());
    EXPECT_FALSE(rig.connection.Link().ExpectsEcho());
    int32_t value = 0;
    ASSERT_TRUE(rig.connection.Parameters().Read({'S', 11}, ParameterRoute::Modbus, &value));
    EXPECT_EQ(value, 40);
}

TEST(EchoingLine, TraceReadBackGoesThrough) {
    EchoRig rig({true, 1, 7});
    ASSERT_TRUE(rig.Connect());
    DriveTrace trace(rig.connection, rig.profile, rig.messenger);
    TraceSettings s;
    s.data1 = 1;
    s.data2 = 0;
    s.SetTriggerMode(0);
    s.intervalCode = 1;
    TraceData data;
    int checks = 0;
    const TraceWaiter waiter = [&](const std::function<DriveTrace::Recording()>& check) {
        for (; checks < 50; ++checks) {
            rig.port->advance(100);
            const DriveTrace::Recording state = check();
            if (state != DriveTrace::Recording::Waiting)
                return state == DriveTrace::Recording::Finished;
        }
        return false;
    };
    rig.drive.clearRequestLog();
    ASSERT_TRUE(CaptureTrace(trace, s, data, waiter, nullptr));
    EXPECT_TRUE(rig.messenger.messages.isEmpty());
    EXPECT_EQ(rig.drive.requestLog().filter(QRegularExpression("^R[0-4DEF]")).size(), 2048);
    EXPECT_NE(data.channels[3][0], 0) << "a ready drive has outputs on";
}

TEST(EchoingLine, FrequencyResponseMeasurementGoesThrough) {
    EchoRig rig({true, 1, 7});
    ASSERT_TRUE(rig.Connect());
    QuietFraWindow window;
    FraMeasurement measurement(rig.connection, rig.profile, rig.messenger);
    measurement.SetReadProgress(&window);
    FraRecord record;
    rig.drive.clearRequestLog();
    ASSERT_TRUE(measurement.Start(QStringLiteral("50"), record));
    EXPECT_TRUE(rig.messenger.messages.isEmpty());
    EXPECT_EQ(rig.drive.requestLog().filter(QRegularExpression("^R[0-3]")).size(), 2048);
    // The last pair of the second half is still in the drive's buffer.
    EXPECT_EQ(record.speed[1024],
              RawToDisplay({'R', 1}, static_cast<int16_t>(rig.drive.word('3', 255)), 3000));
}

} // namespace

// A capture against the simulated drive in process: what is written and read in which order, what
// the user is told when a step fails, and that a failed or given-up capture keeps the old samples.

#include "sim/ControlLines.h"
#include "support/SimTestSupport.h"
#include "support/TransferRig.h"
#include "trace/DriveTrace.h"
#include "trace/TraceDisplay.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>

namespace {

using namespace std::chrono_literals;
using simtest::Cmd;

QString TraceRequest(const char* format, int location, int value = -1) {
    char body[16];
    if (value < 0)
        std::snprintf(body, sizeof body, format, location);
    else
        std::snprintf(body, sizeof body, format, location, value);
    return QString::fromLatin1(Cmd(body));
}

struct CaptureRig : TransferRig {
    CaptureRig() : TransferRig({}) {}
    DriveTrace trace{connection, profile, messenger};
    TraceData data;
    int checks = 0;
    // Lets the drive run 100 ms before each look, as the wait window does.
    TraceWaiter waiter = [this](const std::function<DriveTrace::Recording()>& check) {
        for (int tick = 0; tick < 50; ++tick) {
            drive.Advance(100ms);
            ++checks;
            const DriveTrace::Recording state = check();
            if (state != DriveTrace::Recording::Waiting)
                return state == DriveTrace::Recording::Finished;
        }
        return false;
    };
};

TEST(DriveTrace, CaptureWritesTheSetUpStartsWaitsAndReadsEveryPageInOrder) {
    CaptureRig rig;
    TraceSettings s;
    s.data1 = 1; // speed feedback
    s.data2 = 5;
    s.SetTriggerMode(4);
    ASSERT_TRUE(s.SetTriggerLevel(30)); // 30 % of torque command: reached when the motor starts
    s.intervalCode = 2;
    ASSERT_TRUE(RunControlLine(rig.drive, QStringLiteral("jog 1000")).ok);
    ASSERT_TRUE(CaptureTrace(rig.trace, s, rig.data, rig.waiter, &rig.progress));
    EXPECT_TRUE(rig.messenger.messages.isEmpty());

    const QStringList& log = rig.drive.RequestLog();
    ASSERT_EQ(log.size(), 4 + rig.checks + 2048);
    EXPECT_EQ(log[0], TraceRequest("W7%02X%04X", 0xD6, 2));
    EXPECT_EQ(log[1], TraceRequest("W7%02X%04X", 0xCD, 5 * 512 + 1 * 2 + 4 * 4096));
    EXPECT_EQ(log[2], TraceRequest("W7%02X%04X", 0xD8, 1229)); // 30 × 40.96, half away from zero
    EXPECT_EQ(log[3], TraceRequest("W7%02X%04X", 0xD0, 1));
    EXPECT_EQ(log[4], TraceRequest("R7%02X", 0xD0));
    const int first = 4 + rig.checks;
    const char pages[] = "01234DEF";
    for (int k : {0, 255, 256, 1024, 1279, 1280, 2047}) {
        char format[8];
        std::snprintf(format, sizeof format, "R%c%%02X", pages[k / 256]);
        EXPECT_EQ(log[first + k], TraceRequest(format, k % 256)) << k;
    }
    EXPECT_EQ(rig.progress.stepped, 2048);
    EXPECT_EQ(rig.progress.texts.front(), QStringLiteral("1/2048--->(0000H)"));
    EXPECT_FALSE(rig.progress.open);

    // The samples follow the motor starting towards 1000 rpm (about 1 rpm per raw step of
    // 16384 / 3000), with the drive's words converted and nothing beyond the 512.
    const auto& speed = rig.data.channels[0];
    EXPECT_GT(speed[511], speed[0]);
    EXPECT_NEAR(speed[511], 1000, 15);
    EXPECT_TRUE(std::all_of(speed.begin() + 512, speed.end(), [](int32_t v) { return v == 0; }));
    EXPECT_NE(rig.data.channels[3][0], 0) << "a ready drive has outputs on";
}

// A capture is stored as the window shows it and a trace file keeps it: the interval it was
// taken at, and each "AUTO" line fitted to its samples while a chosen scale stays.
TEST(DriveTrace, ACapturedRecordHasItsAutoScalesFitted) {
    CaptureRig rig;
    ASSERT_TRUE(RunControlLine(rig.drive, QStringLiteral("jog 1000")).ok);
    rig.drive.Advance(1s);
    TraceSettings s;
    s.data1 = 0; // speed command: 1000 rpm throughout
    s.data2 = 1;
    s.intervalCode = 3;
    auto record = std::make_unique<TraceRecord>();
    ConfigureTrace(*record, s);
    EXPECT_EQ(record->axes[0].scaleIndex, 0);
    ChooseVerticalScale(record->axes[1], 12, {}); // "4000"
    ASSERT_TRUE(CaptureTraceRecord(rig.trace, *record, rig.waiter, nullptr));
    EXPECT_FLOAT_EQ(record->intervalUs, 300.0F);
    EXPECT_EQ(record->points, 512);
    EXPECT_EQ(record->data.channels[0][100], 1000);
    const TraceAxis autoFitted{0, 500, OffsetSliderMax(500) / 2, 2500};
    const TraceAxis chosen{12, 4000, OffsetSliderMax(4000) / 2, 20000};
    for (size_t line = 0; line < 2; ++line) {
        const TraceAxis& want = line == 0 ? autoFitted : chosen;
        const TraceAxis& got = record->axes[line];
        EXPECT_EQ((std::array{got.scaleIndex, got.units, got.offsetPosition, got.topValue}),
                  (std::array{want.scaleIndex, want.units, want.offsetPosition, want.topValue}))
            << "line " << line + 1;
    }
}

TEST(DriveTrace, FailuresAreToldAndKeepTheOldSamples) {
    CaptureRig rig;
    TraceSettings s;
    s.data1 = 6; // position error: the raw word itself
    rig.data.channels[0].assign(TraceData::kCapacity, 7);
    const TraceData old = rig.data;

    // A refused set-up write: nothing more is sent.
    rig.refuse = [](const QString& request) { return request.startsWith("W7CD"); };
    EXPECT_FALSE(CaptureTrace(rig.trace, s, rig.data, rig.waiter, &rig.progress));
    ASSERT_EQ(rig.messenger.messages.size(), 1);
    EXPECT_EQ(rig.messenger.messages[0].text,
              QStringLiteral("错误:\n\n追踪设定资料至伺服驱动器。"));
    EXPECT_EQ(rig.messenger.messages[0].caption, QStringLiteral("通讯信息"));
    EXPECT_EQ(rig.drive.RequestLog().size(), 1) << "the interval; the refused word never arrived";
    EXPECT_EQ(rig.checks, 0);

    // Given up while waiting: the start went out, nothing after it.
    rig.refuse = nullptr;
    rig.drive.ClearRequestLog();
    EXPECT_FALSE(CaptureTrace(
        rig.trace, s, rig.data, [](const std::function<DriveTrace::Recording()>&) { return false; },
        &rig.progress));
    EXPECT_EQ(rig.drive.RequestLog().size(), 4);
    EXPECT_EQ(rig.messenger.messages.size(), 1);

    // Request 300 fails after sample 298 read 250: the text shows how far the read came.
    rig.drive.Advance(200ms);
    rig.drive.SetWord('1', 0x2A, 250);
    rig.refuse = [](const QString& request) { return request.startsWith("R12B"); };
    EXPECT_FALSE(rig.trace.ReadBack(s, rig.data, &rig.progress));
    ASSERT_EQ(rig.messenger.messages.size(), 2);
    EXPECT_EQ(rig.messenger.messages[1].text, QStringLiteral("错误:\n\n300/2048--->(00FAH)"));
    EXPECT_EQ(rig.messenger.messages[1].icon, MessageIcon::Error);
    EXPECT_FALSE(rig.progress.open);
    EXPECT_EQ(rig.data.channels, old.channels);

    // Without a drive: the link message, nothing sent.
    rig.access.DropLink();
    rig.drive.ClearRequestLog();
    EXPECT_FALSE(CaptureTrace(rig.trace, s, rig.data, rig.waiter, &rig.progress));
    EXPECT_EQ(rig.messenger.messages.back().text, QStringLiteral("通讯错误！！"));
    EXPECT_TRUE(rig.drive.RequestLog().isEmpty());
}

} // namespace

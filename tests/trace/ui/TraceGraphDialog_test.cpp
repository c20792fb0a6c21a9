// The trace window as a user works it: a trace file opened through the chooser, the scales, time
// scale, scroll bar, zoom and lanes changing what the plot shows, the cursors dragged and read,
// and the trace saved as a trace file, CSV and a picture.

#include "base/CommandIds.h"
#include "sim/ControlLines.h"
#include "support/AppHarness.h"
#include "support/ParameterWindowSupport.h"
#include "trace/ui/TraceSetupDialog.h"
#include "trace/ui/TraceWaitDialogs.h"
#include "trace/TraceFile.h"
#include "trace/ui/TraceGraphDialog.h"
#include "trace/ui/TracePlot.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <array>
#include <memory>

namespace {

using namespace std::chrono_literals;

const QColor kRed(255, 0, 0);      // data 1, colour 0
const QColor kYellow(255, 255, 0); // data 2, colour 2
const QColor kBlue(0, 0, 255);     // DI, colour 3
const QColor kMagenta(255, 0, 255); // DO, colour 4
const QColor kCyan(0, 255, 255);   // cursor A

// Torque stepping from 0 to 2000 % at sample 256 (25.6 ms), a steady −40 pulse position error,
// the DO-1 contact on throughout; both lines on "AUTO" as a capture leaves them.
std::unique_ptr<TraceRecord> StepRecord() {
    auto r = std::make_unique<TraceRecord>();
    r->settings.data1 = 2;
    r->settings.data2 = 6;
    r->settings.triggerMode = 4;
    r->settings.triggerLevel = 150;
    r->settings.contactFunctions[0] = 1;
    for (size_t k = 0; k < TraceSettings::kPoints; ++k) {
        r->data.channels[0][k] = k >= 256 ? 2000 : 0;
        r->data.channels[1][k] = -40;
        r->data.channels[3][k] = 1;
    }
    RefreshVerticalScales(*r);
    return r;
}

// The line of `colour` passes within a pixel of (x, y).
bool LineAt(const QImage& image, int x, int y, const QColor& colour) {
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            if (image.pixelColor(x + dx, y + dy) == colour)
                return true;
    return false;
}

void Choose(QComboBox* list, int index) {
    list->setCurrentIndex(index);
    emit list->activated(index);
}

struct TraceWindowTest : testing::Test {
    TraceWindowTest() {
        tracePath = dir.filePath(QStringLiteral("step.trd"));
        QString error;
        EXPECT_TRUE(SaveTraceFile(tracePath, *StepRecord(), &error)) << error.toStdString();
        dialog = std::make_unique<CTraceGraphDialog>(
            TraceWindowServices{messenger, chooser, [] { return false; }, {}, {}, {}, nullptr, {}},
            *run);
        dialog->show(); // laid out as the user sees it, so clicks land on the controls
    }

    void Open(const QString& path) {
        chooser.answers.push_back(path);
        QTest::mouseClick(Button("openButton"), Qt::LeftButton);
    }
    template <typename T = QWidget> T* Child(const char* name) {
        auto* child = dialog->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    QPushButton* Button(const char* name) { return Child<QPushButton>(name); }
    QString Text(const char* name) { return Child<QLabel>(name)->text(); }
    QImage Plot() const { return dialog->Plot().Image(); }

    QTemporaryDir dir;
    QString tracePath;
    RecordingMessenger messenger;
    ScriptedChooser chooser;
    std::unique_ptr<TraceRun> run = std::make_unique<TraceRun>();
    std::unique_ptr<CTraceGraphDialog> dialog;
};

TEST_F(TraceWindowTest, OpeningAFileShowsItAndARefusedFileChangesNothing) {
    EXPECT_FALSE(Child("scale1")->isEnabled());
    Open(tracePath);
    EXPECT_EQ(chooser.filters.value(0), QString::fromUtf8("追踪波形资料文档 (*.trd)|*.trd|所有文档 (*.*)|*.*||"));
    EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8("追踪波形 - [%1]").arg(tracePath));
    EXPECT_TRUE(messenger.messages.isEmpty());
    EXPECT_EQ(Child<QComboBox>("scale1")->currentText(), QStringLiteral("AUTO"));
    EXPECT_EQ(Child<QComboBox>("scale2")->count(), 15);
    EXPECT_EQ(Text("perDivision1"), QStringLiteral("[%/div]"));
    EXPECT_EQ(Text("perDivision2"), QStringLiteral("[pulse/div]"));
    EXPECT_EQ(Child<QComboBox>("timeScale")->currentText(), QStringLiteral("FULL"));
    EXPECT_EQ(Child<QComboBox>("timeScale")->itemText(1), QStringLiteral("5.02"));
    EXPECT_EQ(Text("triggerMode"), QString::fromUtf8("转矩命令"));
    EXPECT_EQ(Text("triggerLevel"), QStringLiteral(" 150 %"));
    EXPECT_EQ(Child<QSlider>("offset1")->maximum(), 190); // 1000 per division
    EXPECT_TRUE(Child("scale1")->isEnabled() && Child("zoomInButton")->isEnabled());
    EXPECT_FALSE(Child("zoomOutButton")->isEnabled() || Child("startButton")->isEnabled() ||
                 Child("settingButton")->isEnabled() || Child("onlineButton")->isEnabled());

    // 1000 % per division with 0 in the middle; the step at 25.6 ms of 51.2 is mid-plot.
    const QImage shown = Plot();
    EXPECT_TRUE(LineAt(shown, 200, 205, kRed));
    EXPECT_TRUE(LineAt(shown, 300, 135, kRed));
    EXPECT_FALSE(LineAt(shown, 300, 205, kRed));
    EXPECT_TRUE(LineAt(shown, 200, 345, kYellow)); // −40 at 10 per division
    EXPECT_TRUE(LineAt(shown, 200, 310, kBlue));   // DI lane off on row 8
    EXPECT_TRUE(LineAt(shown, 200, 327, kMagenta)); // DO on: half a division above row 9

    QFile foreign(dir.filePath(QStringLiteral("foreign.trd")));
    ASSERT_TRUE(foreign.open(QIODevice::WriteOnly));
    foreign.write(";" + QByteArray(24, ' ') + "Orvan Servo\n[Trace Data]\n" + QByteArray(9000, 0));
    foreign.close();
    Open(foreign.fileName());
    ASSERT_EQ(messenger.messages.size(), 1);
    EXPECT_TRUE(messenger.messages[0].text.startsWith(QString::fromUtf8("无法打开文档 foreign.trd。")))
        << messenger.messages[0].text.toStdString();
    EXPECT_EQ(messenger.messages[0].icon, MessageIcon::Warning);
    EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8("追踪波形 - [%1]").arg(tracePath));
    EXPECT_EQ(Plot(), shown);
    EXPECT_EQ(Text("triggerLevel"), QStringLiteral(" 150 %"));
}

// A file whose settings the drive cannot take is refused at Open, so "START" never sends them.
TEST_F(TraceWindowTest, AFileWithSettingsOutOfRangeIsRefused) {
    Open(tracePath);
    auto bad = StepRecord();
    bad->settings.intervalCode = 0;
    bad->settings.data1 = 9;
    bad->settings.data2 = 200;
    bad->settings.triggerMode = 2;
    bad->settings.triggerLevel = 0;
    const QString badPath = dir.filePath(QStringLiteral("bad.trd"));
    ASSERT_TRUE(SaveTraceFile(badPath, *bad, nullptr));
    const QImage shown = Plot();
    Open(badPath);
    ASSERT_EQ(messenger.messages.size(), 1);
    EXPECT_TRUE(
        messenger.messages[0].text.contains(QString::fromUtf8("取样间隔 0 超出范围 1~1250")))
        << messenger.messages[0].text.toStdString();
    const TraceSettings& kept = run->record.settings;
    EXPECT_EQ((std::array{kept.intervalCode, kept.data1, kept.data2, kept.triggerMode}),
              (std::array{1, 2, 6, 4}));
    EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8("追踪波形 - [%1]").arg(tracePath));
    EXPECT_EQ(Plot(), shown);
}

TEST_F(TraceWindowTest, ScalesOffsetsTimeScrollZoomAndLanesMoveTheLines) {
    Open(tracePath);
    Choose(Child<QComboBox>("scale1"), 11); // "2000": 2000 % one division above the middle
    EXPECT_TRUE(LineAt(Plot(), 300, 170, kRed));
    EXPECT_FALSE(LineAt(Plot(), 300, 135, kRed));
    QTest::mouseClick(Child<QToolButton>("offset1Up"), Qt::LeftButton); // top edge 10000 → 8000
    EXPECT_EQ(Child<QSlider>("offset1")->value(), 44);
    EXPECT_TRUE(LineAt(Plot(), 300, 135, kRed));
    EXPECT_TRUE(LineAt(Plot(), 200, 170, kRed));

    QTest::mouseClick(Child<QToolButton>("diUp"), Qt::LeftButton);
    EXPECT_TRUE(LineAt(Plot(), 200, 275, kBlue)); // row 7
    EXPECT_FALSE(LineAt(Plot(), 200, 310, kBlue));

    Choose(Child<QComboBox>("timeScale"), 20); // 3.12 ms per division: the step at x ≈ 347
    EXPECT_EQ(Child<QScrollBar>("timeScroll")->maximum(), 7);
    EXPECT_TRUE(LineAt(Plot(), 330, 170, kRed));
    Child<QScrollBar>("timeScroll")->setValue(1); // the step comes a division nearer, x ≈ 312
    EXPECT_TRUE(LineAt(Plot(), 330, 135, kRed));
    EXPECT_FALSE(LineAt(Plot(), 330, 170, kRed));

    QTest::mouseClick(Button("zoomInButton"), Qt::LeftButton); // 70 pixels per division
    EXPECT_EQ(Child<QScrollBar>("timeScroll")->maximum(), 12);
    EXPECT_TRUE(Child("zoomOutButton")->isEnabled());
    EXPECT_TRUE(LineAt(Plot(), 330, 310, kRed)); // 0 four divisions down, the step off the plot
    EXPECT_FALSE(LineAt(Plot(), 330, 240, kRed));
}

TEST_F(TraceWindowTest, CursorsAreDraggedAndRead) {
    Open(tracePath);
    QTest::mouseClick(Child<QCheckBox>("showCursors"), Qt::LeftButton);
    QWidget* plot = Child("plot");
    QTest::mousePress(plot, Qt::LeftButton, {}, QPoint(165, 100)); // A, from 70 to 105 pixels
    EXPECT_EQ(Text("readout00"), QStringLiteral("15.36"));
    EXPECT_EQ(Text("readout01"), QStringLiteral("40.96"));
    EXPECT_EQ(Text("readout02"), QStringLiteral("25.60"));
    EXPECT_EQ(Text("readoutUnit0"), QStringLiteral("ms"));
    EXPECT_EQ(Text("frequency"), QString::fromUtf8("1/Δt = 39.06 Hz"));
    EXPECT_TRUE(LineAt(Plot(), 165, 100, kCyan));
    QTest::mouseMove(plot, QPoint(200, 100));
    QTest::mouseRelease(plot, Qt::LeftButton, {}, QPoint(200, 100));
    EXPECT_EQ(Text("readout00"), QStringLiteral("20.48"));
    EXPECT_FALSE(LineAt(Plot(), 165, 100, kCyan));

    QTest::mouseClick(Child<QRadioButton>("horizontalCursors"), Qt::LeftButton);
    EXPECT_TRUE(Text("readout00").isEmpty() && Text("frequency").isEmpty());
    EXPECT_EQ(Text("readout10"), QStringLiteral("3000.0"));  // 70 pixels under 5000
    EXPECT_EQ(Text("readout12"), QStringLiteral("-6000.0")); // B 210 pixels further down
    EXPECT_EQ(Text("readout21"), QStringLiteral("-30.0"));
    EXPECT_EQ(Text("readoutUnit2"), QStringLiteral("pulse"));
}

TEST_F(TraceWindowTest, SaveAsWritesTraceCsvAndPictureAndCopyTakesThePlot) {
    Open(tracePath);
    const QString csv = dir.filePath(QStringLiteral("step.csv"));
    const QString png = dir.filePath(QStringLiteral("step.png"));
    const QString copy = dir.filePath(QStringLiteral("copy"));
    chooser.answers = {csv, png, copy};
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(Button("saveAsButton"), Qt::LeftButton);
    EXPECT_EQ(chooser.filters.value(1),
              QString::fromUtf8("追踪波形资料文档 (*.trd)|*.trd|CSV 文件 (*.csv)|*.csv|"
                                "PNG 图像 (*.png)|*.png||"));
    EXPECT_TRUE(messenger.messages.isEmpty());

    QFile csvFile(csv);
    ASSERT_TRUE(csvFile.open(QIODevice::ReadOnly));
    const QStringList rows = QString::fromUtf8(csvFile.readAll()).split('\n');
    EXPECT_EQ(rows.value(0), QString::fromUtf8("time [ms],转矩命令 [%],位置偏差量 [pulse],DI word,DO word"));
    EXPECT_EQ(rows.value(257), QStringLiteral("25.6,2000,-40,0,1"));
    EXPECT_EQ(rows.size(), 514); // the header, 512 rows and the last line feed
    EXPECT_EQ(QImage(png).convertToFormat(QImage::Format_RGB32), Plot());

    // A name without an extension becomes a trace file that is byte for byte the opened one.
    QFile original(tracePath);
    QFile saved(copy + ".trd");
    ASSERT_TRUE(original.open(QIODevice::ReadOnly) && saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), original.readAll());
    EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8("追踪波形 - [%1.trd]").arg(copy));

    // "Save" goes to that file without asking.
    Choose(Child<QComboBox>("scale2"), 4); // "10"
    QTest::mouseClick(Button("saveButton"), Qt::LeftButton);
    EXPECT_EQ(chooser.filters.size(), 4);
    auto reread = std::make_unique<TraceRecord>();
    ASSERT_TRUE(OpenTraceFile(copy + ".trd", *reread, nullptr));
    EXPECT_EQ(reread->axes[1].scaleIndex, 4);

    chooser.answers = {dir.filePath(QStringLiteral("missing/step.trd"))};
    QTest::mouseClick(Button("saveAsButton"), Qt::LeftButton);
    ASSERT_EQ(messenger.messages.size(), 1);
    EXPECT_TRUE(messenger.messages[0].text.startsWith(QString::fromUtf8("无法保存文档")));
    EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8("追踪波形 - [%1.trd]").arg(copy));

    QTest::mouseClick(Button("copyButton"), Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), Plot());
}

// The menu command opens the window without a drive; with one, "Trace Setting" and "START"
// record the drive's speed and the plot shows it.
TEST(TraceCommand, OpensOfflineAndRecordsFromTheDrive) {
    AppHarness h;
    ASSERT_TRUE(h.Start());
    bool offline = false;
    WhenModal<CTraceGraphDialog>([&](CTraceGraphDialog& window) {
        EXPECT_FALSE(window.findChild<QPushButton*>("settingButton")->isEnabled());
        EXPECT_TRUE(window.findChild<QPushButton*>("openButton")->isEnabled());
        offline = true;
        window.reject();
    });
    ASSERT_TRUE(h.Frame().Trigger(Command::Trace));
    ASSERT_TRUE(offline);

    h.View().OnConnect();
    ASSERT_TRUE(h.TickUntil([&] { return h.Session().LinkUp(); }, AppHarness::kTicksToConnect));
    ASSERT_TRUE(RunControlLine(h.drive, QStringLiteral("jog 1000")).ok);
    h.drive.Advance(1s);
    bool recorded = false;
    WhenModal<CTraceGraphDialog>([&](CTraceGraphDialog& window) {
        WhenModal<CTraceSetupDialog>([](CTraceSetupDialog& setup) { setup.accept(); });
        QTest::mouseClick(window.findChild<QPushButton*>("settingButton"), Qt::LeftButton);
        EXPECT_EQ(window.findChild<QLabel*>("triggerMode")->text(), QStringLiteral("None"));
        auto* start = window.findChild<QPushButton*>("startButton");
        ASSERT_TRUE(start->isEnabled());
        WhenModal<CTraceStartDialog>([&](CTraceStartDialog& wait) {
            for (int tick = 0; tick < 20 && wait.isVisible(); ++tick) {
                h.drive.Advance(100ms);
                h.tickers.Advance();
            }
        });
        QTest::mouseClick(start, Qt::LeftButton);
        // Speed command and feedback at 1000 rpm, on "AUTO" at 500 rpm per division; the
        // feedback is drawn over the command.
        EXPECT_EQ(window.findChild<QComboBox*>("scale1")->currentText(), QStringLiteral("AUTO"));
        EXPECT_EQ(window.findChild<QSlider*>("offset1")->maximum(), 390);
        EXPECT_TRUE(LineAt(window.Plot().Image(), 200, 135, kYellow));
        recorded = true;
        window.reject();
    });
    ASSERT_TRUE(h.Frame().Trigger(Command::Trace));
    EXPECT_TRUE(recorded);
    EXPECT_TRUE(h.messenger.messages.isEmpty());

    // The link drops while the window is open: what needs the drive is disabled at once.
    bool followed = false;
    WhenModal<CTraceGraphDialog>([&](CTraceGraphDialog& window) {
        const char* const driveButtons[] = {"settingButton", "startButton", "onlineButton"};
        for (const char* name : driveButtons)
            EXPECT_TRUE(window.findChild<QPushButton*>(name)->isEnabled()) << name;
        h.drive.SetHungUp(true);
        EXPECT_TRUE(h.TickUntil([&] { return !h.Session().LinkUp(); },
                                AppHarness::kTicksToConnect + 1));
        h.tickers.Advance();
        for (const char* name : driveButtons)
            EXPECT_FALSE(window.findChild<QPushButton*>(name)->isEnabled()) << name;
        EXPECT_TRUE(window.findChild<QPushButton*>("openButton")->isEnabled());
        followed = true;
        window.reject();
    });
    ASSERT_TRUE(h.Frame().Trigger(Command::Trace));
    EXPECT_TRUE(followed);
}

} // namespace

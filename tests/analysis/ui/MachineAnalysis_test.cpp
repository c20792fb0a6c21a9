// The machine characteristic analysis in the running program against the simulated drive, whose
// machine moves on the port's clock: a measurement, the result shown, a cursor dragged, the filter
// dialog preset from it with its limits, and the export.

#include "support/AppHarness.h"

#include "analysis/ui/FilterDialog.h"
#include "analysis/ui/FraDialog.h"
#include "analysis/ui/ResponsePlots.h"
#include "drive/ParameterCatalogue.h"
#include "sim/ControlLines.h"
#include "support/ParameterWindowSupport.h"

#include <QCheckBox>
#include <QLineEdit>

namespace {

QString Field(QWidget& window, const char* name) {
    auto* field = window.findChild<QLineEdit*>(QString::fromLatin1(name));
    return field != nullptr ? field->text() : QStringLiteral("<none>");
}

void Drag(QWidget* plots, int fromX, int toX, int y) {
    QTest::mousePress(plots, Qt::LeftButton, {}, QPoint(fromX, y));
    QMouseEvent move(QEvent::MouseMove, QPointF(toX, y), plots->mapToGlobal(QPointF(toX, y)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(plots, &move);
    QTest::mouseRelease(plots, Qt::LeftButton, {}, QPoint(toX, y));
}

TEST(MachineAnalysis, MeasuresShowsTheResonanceAndPresetsTheFilter) {
    AppHarness h;
    h.machineFollowsPort = true;
    ASSERT_TRUE(h.Start(AppHarness::Connected()));
    ASSERT_TRUE(h.TickUntil([&] { return h.Session().LinkUp(); }, AppHarness::kTicksToConnect));
    h.port->writeDelayMs = 1;
    RunControlLine(h.drive, QStringLiteral("resonance 600"));
    const QString exportBase = h.dir.filePath(QStringLiteral("run.csv"));
    h.chooser.answers.push_back(exportBase);

    bool handled = false;
    WhenModal<CFRADlg>([&](CFRADlg& dialog) {
        EXPECT_FALSE(Button(dialog, "filter")->isEnabled());
        EXPECT_EQ(Field(dialog, "load"), QStringLiteral("50"));
        QTest::mouseClick(Button(dialog, "start"), Qt::LeftButton);
        ASSERT_TRUE(dialog.DataValid()) << h.messenger.messages.value(0).text.toStdString();
        EXPECT_TRUE(Button(dialog, "filter")->isEnabled());
        const double shown = Field(dialog, "resonanceHz").toDouble();
        EXPECT_NEAR(shown, 600.0, 2.5 * 4.8828125) << Field(dialog, "resonanceHz").toStdString();
        EXPECT_FALSE(Field(dialog, "resonanceDb").isEmpty());

        // The curve is drawn in red on the gain plot.
        const QImage gain = dialog.Plots().GainImage();
        int red = 0;
        for (int x = 0; x < gain.width(); ++x)
            for (int y = 0; y < gain.height(); ++y)
                red += gain.pixelColor(x, y) == QColor(Qt::red) ? 1 : 0;
        EXPECT_GT(red, 200);

        // Cursor 1 dragged past the left end stays at the edge and reads bin 2.
        dialog.findChild<QCheckBox*>(QStringLiteral("showCursors"))->click();
        ResponsePlots* plots = &dialog.Plots();
        // Bin 33 is exactly 156.25 Hz: "%.1f" takes the tie to the even digit.
        Drag(plots, *plots->Cursor1X(), ResponsePlots::kLeft + 222, ResponsePlots::kGainTop + 50);
        EXPECT_EQ(Field(dialog, "resonanceHz"), QStringLiteral("156.2"));
        Drag(plots, ResponsePlots::kLeft + 222, ResponsePlots::kLeft, ResponsePlots::kGainTop + 50);
        Drag(plots, ResponsePlots::kLeft, ResponsePlots::kLeft - 40, ResponsePlots::kGainTop + 50);
        EXPECT_EQ(Field(dialog, "resonanceHz"), QStringLiteral("4.9"));

        WhenModal<CEditCn013Dialog>([&](CEditCn013Dialog& filter) {
            auto* frequency = filter.findChild<QLineEdit*>(QStringLiteral("frequency"));
            auto* quality = filter.findChild<QLineEdit*>(QStringLiteral("quality"));
            EXPECT_EQ(frequency->text(), QStringLiteral("5"));
            EXPECT_EQ(quality->text(), QStringLiteral("7"));
            frequency->setText(QStringLiteral("1001"));
            QTest::mouseClick(Button(filter, "write"), Qt::LeftButton);
            frequency->setText(QStringLiteral("1000"));
            quality->setText(QStringLiteral("101"));
            QTest::mouseClick(Button(filter, "write"), Qt::LeftButton);
            EXPECT_TRUE(filter.isVisible());
            quality->setText(QStringLiteral("100"));
            QTest::mouseClick(Button(filter, "write"), Qt::LeftButton);
        });
        h.messenger.messages.clear();
        QTest::mouseClick(Button(dialog, "filter"), Qt::LeftButton);
        ASSERT_EQ(h.messenger.messages.size(), 3);
        EXPECT_EQ(h.messenger.messages[0].text, QString::fromUtf8("滤波器频率超出设定范围！"));
        EXPECT_EQ(h.messenger.messages[1].text, QString::fromUtf8("滤波器品质因数超出设定范围！"));
        EXPECT_TRUE(h.messenger.messages[2].text.startsWith(QString::fromUtf8("写入参数成功！！")));

        QTest::mouseClick(Button(dialog, "export"), Qt::LeftButton);
        // The pictures are the plots as the window draws them, titles and scales included.
        const QImage screen = plots->grab().toImage().convertToFormat(QImage::Format_RGB32);
        for (const auto& [file, area] : {std::pair{"run-gain.png", plots->GainArea()},
                                         {"run-phase.png", plots->PhaseArea()}}) {
            const QImage exported = QImage(h.dir.filePath(QString::fromLatin1(file)));
            EXPECT_EQ(exported.size(), area.size()) << file;
            EXPECT_EQ(exported.convertToFormat(QImage::Format_RGB32), screen.copy(area)) << file;
        }
        handled = true;
        QTest::mouseClick(Button(dialog, "close"), Qt::LeftButton);
    });
    ASSERT_TRUE(h.Frame().Trigger(Command::MachineAnalysis));
    ASSERT_TRUE(handled);
    EXPECT_EQ(h.drive.State().StoredRaw('C', 13), 1000);
    EXPECT_EQ(h.drive.State().StoredRaw('C', 14), 100);
    EXPECT_EQ(h.app->Document().values.Slot({'C', 13})[0], 1000);
    EXPECT_EQ(AppHarness::ReadAll(h.dir.filePath(QStringLiteral("run-record.csv"))).count('\n'),
              1025);
    EXPECT_FALSE(QImage(h.dir.filePath(QStringLiteral("run-phase.png"))).isNull());
}

// A new run that fails leaves no result of the one before it; the window opens again on the last
// measurement of the run.
TEST(MachineAnalysis, ClearsTheResultsWhenARunStartsAndKeepsTheLastMeasurement) {
    AppHarness h;
    h.machineFollowsPort = true;
    ASSERT_TRUE(h.Start(AppHarness::Connected()));
    ASSERT_TRUE(h.TickUntil([&] { return h.Session().LinkUp(); }, AppHarness::kTicksToConnect));
    h.port->writeDelayMs = 1;
    RunControlLine(h.drive, QStringLiteral("resonance 400"));
    const char* const fields[] = {"resonanceHz",     "resonanceDb",     "resonanceDeg",
                                  "antiResonanceHz", "antiResonanceDb", "antiResonanceDeg"};

    FaultSettings refuseAll;
    refuseAll.refuse = 1.0; // the start writes are refused
    QStringList measured;
    WhenModal<CFRADlg>([&](CFRADlg& dialog) {
        QTest::mouseClick(Button(dialog, "start"), Qt::LeftButton);
        ASSERT_TRUE(dialog.DataValid()) << h.messenger.messages.value(0).text.toStdString();
        h.drive.SetFaults(refuseAll);
        QTest::mouseClick(Button(dialog, "start"), Qt::LeftButton);
        EXPECT_FALSE(dialog.DataValid());
        ASSERT_EQ(h.messenger.messages.size(), 1);
        for (const char* name : fields)
            EXPECT_EQ(Field(dialog, name), QString()) << name << " after a failed run";
        EXPECT_FALSE(Button(dialog, "filter")->isEnabled());
        EXPECT_FALSE(Button(dialog, "export")->isEnabled());

        h.drive.SetFaults(FaultSettings{});
        QTest::mouseClick(Button(dialog, "start"), Qt::LeftButton);
        ASSERT_TRUE(dialog.DataValid()) << h.messenger.messages.value(1).text.toStdString();
        for (const char* name : fields)
            measured << Field(dialog, name);
        dialog.accept();
    });
    ASSERT_TRUE(h.Frame().Trigger(Command::MachineAnalysis));
    ASSERT_EQ(measured.size(), 6);
    EXPECT_FALSE(measured[0].isEmpty());

    bool reopened = false;
    WhenModal<CFRADlg>([&](CFRADlg& dialog) {
        EXPECT_TRUE(dialog.DataValid());
        QStringList shown;
        for (const char* name : fields)
            shown << Field(dialog, name);
        EXPECT_EQ(shown, measured);
        EXPECT_TRUE(Button(dialog, "filter")->isEnabled());
        EXPECT_TRUE(Button(dialog, "export")->isEnabled());

        reopened = true;
        dialog.accept();
    });
    ASSERT_TRUE(h.Frame().Trigger(Command::MachineAnalysis));
    EXPECT_TRUE(reopened);
}

} // namespace

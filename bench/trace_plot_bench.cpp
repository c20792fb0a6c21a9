// One full repaint of the trace plot (grid, labels, legends, four lines, cursors) into its
// off-screen picture, at the largest zoom (350 pixels per division) and at the smallest, for a
// capture of 512 points and for a trace file of 30000 points, scrolled to its middle.
//
// Usage: orvan_bench_trace_plot [--runs N]   (offscreen platform unless QT_QPA_PLATFORM is set)

#include "trace/TraceView.h"
#include "trace/ui/TracePlot.h"

#include <QElapsedTimer>
#include <QGuiApplication>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

std::unique_ptr<TraceRecord> Waves(int32_t points) {
    auto r = std::make_unique<TraceRecord>();
    r->points = points;
    r->settings.contactFunctions[0] = 1;
    for (int32_t k = 0; k < points; ++k) {
        const auto i = static_cast<size_t>(k);
        const double phase = 2.0 * 3.141592653589793 * k / 97.0;
        r->data.channels[0][i] = static_cast<int32_t>(2900 * std::sin(phase));
        r->data.channels[1][i] = static_cast<int32_t>(1500 * std::cos(phase * 3));
        r->data.channels[2][i] = (k / 13) % 2;
        r->data.channels[3][i] = (k / 29) % 2;
    }
    RefreshVerticalScales(*r);
    return r;
}

struct Figures {
    double first;
    double median;
    double worst;
};

Figures Time(TraceView& view, int runs) {
    QImage image(kTracePlotSize, QImage::Format_RGB32);
    std::vector<double> ms;
    QElapsedTimer timer;
    for (int run = 0; run <= runs; ++run) {
        timer.start();
        DrawTracePlot(image, view);
        ms.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    const double first = ms.front();
    ms.erase(ms.begin());
    std::sort(ms.begin(), ms.end());
    return {first, ms[ms.size() / 2], ms.back()};
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    int runs = 200;
    const QStringList args = QCoreApplication::arguments();
    if (const auto at = args.indexOf(QStringLiteral("--runs")); at > 0 && at + 1 < args.size())
        runs = std::max(args[at + 1].toInt(), 1);

    std::printf("%-44s %9s %9s %9s\n", "repaint (ms)", "first", "median", "worst");
    for (int32_t points : {512, 30000}) {
        auto record = Waves(points);
        TraceView view(*record);
        view.Cursors().shown = true;
        for (const bool largest : {true, false}) {
            while (largest && view.CanZoomIn())
                view.ZoomIn();
            while (!largest && view.CanZoomOut())
                view.ZoomOut();
            view.ScrollTo(view.ScrollLimit() / 2);
            const Figures f = Time(view, runs);
            const QString what = QStringLiteral("%1 points, %2 px/div, FULL, scrolled %3")
                                     .arg(points)
                                     .arg(static_cast<double>(view.PixelsPerDivision()))
                                     .arg(record->scrollPosition);
            std::printf("%-44s %9.3f %9.3f %9.3f\n", qPrintable(what), f.first, f.median,
                        f.worst);
        }
    }
    return 0;
}

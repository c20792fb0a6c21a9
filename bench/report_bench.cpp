// The printed report: writing the whole four-page PDF (target under 300 ms) and drawing one page
// as the print preview shows it (target under 50 ms), offscreen.

#include "params/NolvaServoDoc.h"
#include "print/ReportPainter.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// Median and worst of `runs` timings in milliseconds, after the first (cold) one, which is
// printed on its own: it loads the fonts.
void Measure(const char* what, int runs, const std::function<void()>& work) {
    std::vector<double> ms;
    for (int i = 0; i <= runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        ms.push_back(timer.nsecsElapsed() / 1e6);
    }
    const double cold = ms.front();
    ms.erase(ms.begin());
    std::sort(ms.begin(), ms.end());
    std::printf("%-44s cold %7.1f ms  median %7.1f ms  worst %7.1f ms\n", what, cold,
                ms[ms.size() / 2], ms.back());
}

// One page on an A4 image at `dpi`, white, as a preview page is drawn.
void DrawPage(const ReportInput& input, int dpi, int page) {
    QImage image(827 * dpi / 100, 1169 * dpi / 100, QImage::Format_ARGB32_Premultiplied);
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    image.fill(Qt::white);
    QPainter painter(&image);
    DrawReportPage(painter, input, page);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    constexpr int kRuns = 20;

    CNolvaServoDoc document;
    document.OnNewDocument();
    QTemporaryDir dir;
    const ReportInput input{&document, dir.filePath(QStringLiteral("report.nvp"))};
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));

    Measure("four-page PDF to a file", kRuns, [&] {
        QString error;
        if (!WriteReportPdfFile(input, pdf, &error))
            std::fprintf(stderr, "writing the PDF failed: %s\n", qPrintable(error));
    });
    Measure("four-page PDF in memory", kRuns, [&] {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        WriteReportPdf(input, buffer, QString(), nullptr);
    });
    Measure("preview page 1 at 96 dpi (794 x 1123)", kRuns, [&] { DrawPage(input, 96, 1); });
    Measure("preview page 1 at 150 dpi (1240 x 1753)", kRuns, [&] { DrawPage(input, 150, 1); });
    return 0;
}

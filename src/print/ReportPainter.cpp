#include "print/ReportPainter.h"

#include "base/AtomicFile.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>

namespace {

constexpr double kUnitsPerInch = 100.0;

QColor ColourOf(ReportColour colour) {
    switch (colour) {
    case ReportColour::Blue: return Qt::blue;
    case ReportColour::Red: return Qt::red;
    case ReportColour::Black: break;
    }
    return Qt::black;
}

// One text in its band. The painter's own transform is upright here (y down, logical units
// from the band's top left), since text set under a y-up transform would stand on its head.
void DrawText(QPainter& painter, const QTransform& toDevice, const ReportText& text) {
    if (text.text.isEmpty())
        return;
    const QFont font = ReportFont(text.font);
    const QFontMetricsF metrics(font);
    const double available = text.right - text.left;
    const double width = metrics.horizontalAdvance(text.text);
    // A text wider than its cell is narrowed to fit rather than run into the next one.
    const double squeeze = width > available ? available / width : 1.0;
    const double x = text.alignRight ? available - width * squeeze : 0.0;
    const double band = text.top - text.bottom;
    // The baseline a third of the character height below the band's middle centres both Latin
    // capitals and Chinese characters (taller, from the fallback face) in their row.
    const double baseline = band / 2.0 + ReportFontHeight(text.font) / 3.0;

    const QPointF origin = toDevice.map(QPointF(text.left, text.top));
    QTransform upright = QTransform::fromTranslate(origin.x(), origin.y());
    upright.scale(toDevice.m11(), -toDevice.m22());
    upright.translate(x, 0);
    upright.scale(squeeze, 1.0);
    painter.setWorldTransform(upright);
    painter.setFont(font);
    painter.setPen(ColourOf(text.colour));
    painter.drawText(QPointF(0, baseline), text.text);
}

} // namespace

QFont ReportFont(ReportFontRole role) {
    QString face = QStringLiteral("Liberation Mono");
    QFont::StyleHint hint = QFont::TypeWriter;
    bool bold = false;
    switch (role) {
    case ReportFontRole::Title:
        face = QStringLiteral("Liberation Sans");
        hint = QFont::SansSerif;
        bold = true;
        break;
    case ReportFontRole::SectionTitle: bold = true; break;
    case ReportFontRole::Small:
        face = QStringLiteral("Liberation Sans");
        hint = QFont::SansSerif;
        break;
    case ReportFontRole::Cell: break;
    case ReportFontRole::Name:
        face = QStringLiteral("Liberation Serif");
        hint = QFont::Serif;
        break;
    }
    QFont font;
    font.setFamilies({face, QStringLiteral("WenQuanYi Micro Hei")});
    font.setStyleHint(hint);
    font.setPixelSize(ReportFontHeight(role));
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return font;
}

QTransform ReportTransform(int widthPixels, int heightPixels, double dpi, int* pageHeight) {
    const double inchScale = dpi / kUnitsPerInch;
    const double width = widthPixels / inchScale;
    const double height = heightPixels / inchScale;
    const double fit = std::min({1.0, width / kReportMinimumWidth, height / kReportMinimumHeight});
    const double scale = inchScale * fit;
    if (pageHeight != nullptr)
        *pageHeight = static_cast<int>(heightPixels / scale);
    return QTransform(scale, 0, 0, -scale, 0, 0);
}

void DrawReportPage(QPainter& painter, const ReportInput& input, int page) {
    const QPaintDevice* device = painter.device();
    if (device == nullptr)
        return;
    int pageHeight = 0;
    const QTransform toDevice =
        ReportTransform(device->width(), device->height(), device->logicalDpiY(), &pageHeight);
    const ReportPageLayout layout = LayoutReportPage(input, page, pageHeight);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.setWorldTransform(toDevice);
    for (const ReportLine& line : layout.lines) {
        painter.setPen(QPen(Qt::black, line.width, Qt::SolidLine, Qt::SquareCap));
        painter.drawLine(QPointF(line.x1, line.y1), QPointF(line.x2, line.y2));
    }
    for (const ReportText& text : layout.texts)
        DrawText(painter, toDevice, text);
    painter.restore();
}

QPageLayout ReportPdfPageLayout() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(5, 10, 5, 10),
                       QPageLayout::Millimeter);
}

bool WriteReportPdf(const ReportInput& input, QIODevice& device, const QString& title,
                    QString* error) {
    QPdfWriter writer(&device);
    writer.setPageLayout(ReportPdfPageLayout());
    writer.setResolution(600);
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("Orvan Servo"));
    QPainter painter;
    if (!painter.begin(&writer)) {
        if (error != nullptr)
            *error = QStringLiteral("the PDF could not be started");
        return false;
    }
    for (int page = 1; page <= kReportPageCount; ++page) {
        if (page > 1)
            writer.newPage();
        DrawReportPage(painter, input, page);
    }
    return painter.end();
}

bool WriteReportPdfFile(const ReportInput& input, const QString& path, QString* error) {
    // Drawn in memory first: the file is then written the one way every file is, so that a
    // device given as the path is written into, not replaced.
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    if (!WriteReportPdf(input, pdf, input.documentName, error))
        return false;
    return WriteFileAtomically(path, pdf.data(), error);
}

#pragma once

#include "print/ReportLayout.h"

#include <QFont>
#include <QPageLayout>
#include <QString>
#include <QTransform>

class QIODevice;
class QPainter;

// Putting the report on paper: the same drawing for the printer, the print preview and PDF.

// Smallest printable area, in logical units, that holds a whole page: a smaller one (a printer
// with wide margins) gets the page scaled down to fit rather than cut off.
inline constexpr int kReportMinimumWidth = 760;
inline constexpr int kReportMinimumHeight = 1040;

// The font of a role. The faces are the metric equivalents of Arial, Courier New and Times New
// Roman (Liberation Sans, Mono, Serif), with WenQuanYi Micro Hei for Chinese text.
QFont ReportFont(ReportFontRole role);

// Maps logical units (0.01 inch, y up, origin at the top left of the printable area) to the
// device pixels of a printable area `widthPixels` by `heightPixels` at `dpi`, scaled down when
// the area is smaller than a page needs. `pageHeight` receives the area's height in logical units.
QTransform ReportTransform(int widthPixels, int heightPixels, double dpi, int* pageHeight);

// Draws page `page` (1..4) on the painter's device, which must be active; the device's size and
// resolution give the printable area.
void DrawReportPage(QPainter& painter, const ReportInput& input, int page);

// The page a PDF of the report uses: A4 portrait, narrow margins.
QPageLayout ReportPdfPageLayout();

// Writes the four pages as a PDF to `device` (open for writing). False with a reason when the
// drawing could not start.
bool WriteReportPdf(const ReportInput& input, QIODevice& device, const QString& title,
                    QString* error);
// The same into a file, replaced only once the new one is complete.
bool WriteReportPdfFile(const ReportInput& input, const QString& path, QString* error);

#include "print/ui/ReportPrinting.h"

#include "base/FileChooser.h"
#include "base/Messenger.h"
#include "print/ReportPainter.h"

#include <QFileInfo>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>

namespace {

// The PDF's suggested name: the document's file with ".pdf" for ".nvp", or the document's
// title in the current folder.
QString SuggestedPdfPath(const QString& documentName) {
    const QFileInfo info(documentName);
    const QString name = info.completeBaseName() + QStringLiteral(".pdf");
    return info.path() == QLatin1String(".") ? name : info.path() + QLatin1Char('/') + name;
}

} // namespace

ReportPrinting::ReportPrinting(Messenger& messenger, FileChooser& chooser,
                               std::function<ReportInput()> input, QWidget* owner)
    : hasDefaultPrinter([] { return !QPrinterInfo::defaultPrinter().isNull(); }),
      messenger_(messenger), chooser_(chooser), input_(std::move(input)), owner_(owner) {}

ReportPrinting::~ReportPrinting() = default;

QString ReportPrinting::PrinterErrorText() {
    return QStringLiteral("打印机错误！");
}

bool ReportPrinting::CheckPrinter() {
    if (hasDefaultPrinter())
        return true;
    Message message;
    message.text = PrinterErrorText();
    message.icon = MessageIcon::Warning;
    messenger_.Show(message);
    return false;
}

QPrinter& ReportPrinting::Printer() {
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer_->setFromTo(1, kReportPageCount);
    }
    return *printer_;
}

void ReportPrinting::PrintPages(QPrinter& printer) {
    const ReportInput input = input_();
    int first = printer.fromPage();
    int last = printer.toPage();
    if (printer.printRange() != QPrinter::PageRange || first < 1) {
        first = 1;
        last = kReportPageCount;
    }
    last = qMin(last, kReportPageCount);
    printer.setDocName(input.documentName);
    QPainter painter;
    if (!painter.begin(&printer))
        return;
    for (int page = first; page <= last; ++page) {
        if (page > first)
            printer.newPage();
        DrawReportPage(painter, input, page);
    }
    painter.end();
}

void ReportPrinting::Print(bool withDialog) {
    if (!CheckPrinter())
        return;
    QPrinter& printer = Printer();
    if (withDialog) {
        QPrintDialog dialog(&printer, owner_);
        dialog.setMinMax(1, kReportPageCount);
        dialog.setOption(QAbstractPrintDialog::PrintPageRange);
        if (dialog.exec() != QDialog::Accepted)
            return;
    } else {
        printer.setPrintRange(QPrinter::AllPages);
    }
    PrintPages(printer);
}

void ReportPrinting::Preview() {
    if (!CheckPrinter())
        return;
    QPrinter& printer = Printer();
    printer.setPrintRange(QPrinter::AllPages);
    QPrintPreviewDialog dialog(&printer, owner_);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [this](QPrinter* target) { PrintPages(*target); });
    // One page at a time, as the report is read.
    if (auto* view = dialog.findChild<QPrintPreviewWidget*>())
        view->setViewMode(QPrintPreviewWidget::SinglePageView);
    dialog.exec();
}

void ReportPrinting::PrintSetup() {
    QPageSetupDialog dialog(&Printer(), owner_);
    dialog.exec();
}

bool ReportPrinting::ExportPdf() {
    const ReportInput input = input_();
    const std::optional<QString> chosen = chooser_.ChooseFileToSave(
        QStringLiteral("PDF 文件 (*.pdf)|*.pdf||"), SuggestedPdfPath(input.documentName));
    if (!chosen)
        return false;
    QString path = *chosen;
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");
    QString error;
    if (WriteReportPdfFile(input, path, &error))
        return true;
    Message message;
    message.text = QStringLiteral("无法写入 PDF 文件 %1：\n%2").arg(path, error);
    message.icon = MessageIcon::Error;
    messenger_.Show(message);
    return false;
}

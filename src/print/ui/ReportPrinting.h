#pragma once

#include "print/ReportLayout.h"

#include <QString>

#include <functional>
#include <memory>

class FileChooser;
class Messenger;
class QPrinter;
class QWidget;

// The File menu's report commands: print (with the print dialog, or directly), print preview,
// print setup and "导出 PDF(&F)...". Printing and preview need a default printer; without one
// (a Linux machine without CUPS has none) they say "打印机错误！" and do nothing, and the PDF
// export still gets the user the report. Messages go through the Messenger and the PDF's name
// through the FileChooser.
class ReportPrinting {
public:
    ReportPrinting(Messenger& messenger, FileChooser& chooser, std::function<ReportInput()> input,
                   QWidget* owner);
    ~ReportPrinting();

    // With the print dialog (Ctrl+P), or straight to the default printer.
    void Print(bool withDialog);
    void Preview();
    void PrintSetup();
    // True when a PDF was written.
    bool ExportPdf();

    // Whether the system has a default printer; tests replace it.
    std::function<bool()> hasDefaultPrinter;

    static QString PrinterErrorText();

private:
    bool CheckPrinter();
    QPrinter& Printer();
    void PrintPages(QPrinter& printer);

    Messenger& messenger_;
    FileChooser& chooser_;
    std::function<ReportInput()> input_;
    QWidget* owner_;
    // Kept from one command to the next, so print setup's choices hold for printing.
    std::unique_ptr<QPrinter> printer_;
};

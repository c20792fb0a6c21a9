// The File menu's report commands in the desktop program: the printer check and the PDF export.

#include "print/ui/ReportPrinting.h"
#include "support/AppHarness.h"

#include <QRegularExpression>

namespace {

// Page objects of a PDF ("/Type /Page", not the "/Pages" tree).
int PdfPageCount(const QByteArray& pdf) {
    return static_cast<int>(
        QString::fromLatin1(pdf).count(QRegularExpression(QStringLiteral("/Type\\s*/Page\\b"))));
}

TEST(ReportCommands, PrintAndPreviewWithoutAPrinterSayPrinterErrorAndExportStillWritesThePdf) {
    AppHarness h;
    ASSERT_TRUE(h.Start());
    // A Linux machine without CUPS has no default printer: this is what its user sees.
    h.app->Reports().hasDefaultPrinter = [] { return false; };
    for (int command : {Command::FilePrint, Command::FilePrintPreview}) {
        h.messenger.messages.clear();
        ASSERT_TRUE(h.Frame().Trigger(command)) << command;
        ASSERT_EQ(h.messenger.messages.size(), 1);
        EXPECT_EQ(h.messenger.messages[0].text, "打印机错误！");
        EXPECT_EQ(h.messenger.messages[0].icon, MessageIcon::Warning);
    }
    EXPECT_EQ(h.Frame().Action(Command::FilePrint)->shortcut(), QKeySequence::Print);

    // The name gets ".pdf"; an untitled document suggests its title.
    h.messenger.messages.clear();
    const QString base = h.dir.filePath(QStringLiteral("report"));
    h.chooser.answers = {base};
    ASSERT_TRUE(h.Frame().Trigger(Command::FileExportPdf));
    EXPECT_TRUE(h.chooser.suggestions.value(0).endsWith(QStringLiteral("无标题.pdf")));
    EXPECT_EQ(PdfPageCount(AppHarness::ReadAll(base + ".pdf")), 4);
    EXPECT_TRUE(h.messenger.messages.isEmpty());

    // A file that cannot be written is reported, not taken for done.
    const QString unwritable = h.dir.filePath(QStringLiteral("missing/report.pdf"));
    h.chooser.answers = {unwritable};
    ASSERT_TRUE(h.Frame().Trigger(Command::FileExportPdf));
    ASSERT_EQ(h.messenger.messages.size(), 1);
    EXPECT_EQ(h.messenger.messages[0].icon, MessageIcon::Error);
    EXPECT_TRUE(h.messenger.messages[0].text.contains(QStringLiteral("missing/report.pdf")));
}

} // namespace

// orvan-cli nvp report: the report of a parameter file as a PDF, read back with poppler-utils.

#include "params/NolvaServoDoc.h"
#include "params/NvpFile.h"
#include "support/CliTestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Output of a poppler tool (pdfinfo, pdftotext), which the set-up installs.
QString Poppler(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    EXPECT_TRUE(p.waitForFinished(30000)) << program.toStdString() << " did not run";
    EXPECT_EQ(p.exitCode(), 0) << program.toStdString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

TEST(ReportCli, WritesFourPagesEachWithItsOwnCodesValuesAndFooter) {
    QTemporaryDir dir;
    const QString nvp = dir.filePath("changed.nvp");
    const QString pdf = dir.filePath("report.pdf");
    CNolvaServoDoc doc;
    doc.OnNewDocument();
    doc.values.position[29] = 4321; // Pn330
    doc.values.contact[18] = 0x1A2; // Hn519
    ASSERT_TRUE(SaveDocumentFile(nvp, doc, nullptr));

    const clitest::CliRun run = clitest::Cli({"nvp", "report", nvp, "-o", pdf});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(Poppler("pdfinfo", {pdf}).contains(QRegularExpression("Pages:\\s+4\\n")));

    const QStringList expected[] = {{"Cn001", "Cn040", "Tn101", "Tn108", "控制参数", "转矩参数"},
                                    {"Sn201", "Sn218", "Pn301", "Pn329", "速度参数", "位置参数"},
                                    {"Pn330", "4321", "Pn368", "qn401", "qn407", "快捷参数"},
                                    {"Hn501", "Hn519", "01A2", "多功能接点设定参数"}};
    const QStringList elsewhere[] = {
        {"Sn201", "Pn301"}, {"Tn108", "Pn330"}, {"Pn329", "Pn369", "Hn501"}, {"qn407", "Pn368"}};
    for (int page = 1; page <= 4; ++page) {
        const QString n = QString::number(page);
        const QString text = Poppler("pdftotext", {"-f", n, "-l", n, pdf, "-"});
        for (const QString& code : expected[page - 1])
            EXPECT_TRUE(text.contains(code)) << "page " << page << " lacks " << code.toStdString();
        for (const QString& code : elsewhere[page - 1])
            EXPECT_FALSE(text.contains(code)) << "page " << page << " has " << code.toStdString();
        EXPECT_TRUE(text.contains(nvp)) << text.toStdString();
        EXPECT_TRUE(
            text.contains(QRegularExpression(QStringLiteral("页\\s*:\\s*%1\\s*/\\s*4").arg(page))));
    }

    // An existing PDF is kept unless replacing it is asked for; a missing file is an error.
    EXPECT_EQ(clitest::Cli({"nvp", "report", nvp, "-o", pdf}).exitCode, 1);
    EXPECT_EQ(clitest::Cli({"nvp", "report", nvp, "-o", pdf, "--force"}).exitCode, 0);
    const clitest::CliRun missing =
        clitest::Cli({"nvp", "report", dir.filePath("none.nvp"), "-o", dir.filePath("x.pdf")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_FALSE(QFile::exists(dir.filePath("x.pdf")));
    EXPECT_EQ(clitest::Cli({"nvp", "report", nvp}).exitCode, 2);
}

} // namespace

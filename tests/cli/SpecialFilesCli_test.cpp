// orvan-cli with inputs and outputs that are not regular files: devices are written into and
// stay devices, a FIFO nobody serves fails at once instead of hanging, a link to /dev/zero is
// refused unread. The system's devices are reached only through links in a scratch folder.

#include "analysis/RecordCsv.h"
#include "params/NolvaServoDoc.h"
#include "params/NvpFile.h"
#include "trace/TraceFile.h"

#include "support/CliTestSupport.h"
#include "support/SpecialFiles.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using clitest::Cli;
using clitest::CliRun;
using specialfiles::FileType;
using specialfiles::TargetType;

class SpecialFilesCli : public ::testing::Test {
protected:
    void SetUp() override {
        TraceRecord record;
        ASSERT_TRUE(SaveTraceFile(path("good.trd"), record, nullptr));
        CNolvaServoDoc doc;
        doc.OnNewDocument();
        ASSERT_TRUE(SaveDocumentFile(path("good.nvp"), doc, nullptr));
        QFile csv(path("record.csv"));
        ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
        csv.write(QByteArray::fromStdString(RecordCsvText(FraRecord{})));
    }
    QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }
    QTemporaryDir dir;
};

TEST_F(SpecialFilesCli, ACsvExportIntoADeviceWritesThroughAndAFullOneFails) {
    const QString null = specialfiles::LinkTo("/dev/null", dir.path(), "null.csv");
    const QString full = specialfiles::LinkTo("/dev/full", dir.path(), "full.csv");
    ASSERT_FALSE(null.isEmpty());
    ASSERT_FALSE(full.isEmpty());

    const CliRun ok = Cli({"trd", "export", path("good.trd"), "--csv", null});
    EXPECT_EQ(ok.exitCode, 0) << ok.err.toStdString();
    const CliRun failed = Cli({"trd", "export", path("good.trd"), "--csv", full});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_EQ(failed.err, "orvan-cli: trd: cannot write " + full + ": 磁盘空间已满");
    for (const QString& link : {null, full}) {
        EXPECT_EQ(FileType(link), S_IFLNK);
        EXPECT_EQ(TargetType(link), S_IFCHR);
    }
}

// Each output into a FIFO that no program reads: refused, and the FIFO is still one.
TEST_F(SpecialFilesCli, OutputsIntoAnUnreadFifoFailAndKeepIt) {
    const QString fifo = specialfiles::MakeFifo(dir.path(), "out");
    ASSERT_FALSE(fifo.isEmpty());
    const QString pdfFifo = specialfiles::MakeFifo(dir.path(), "out.pdf");
    const QStringList commands[] = {
        {"trd", "export", path("good.trd"), "--csv", fifo},
        {"fra-analyse", path("record.csv"), "-o", fifo},
        {"nvp", "report", path("good.nvp"), "-o", pdfFifo, "--force"},
    };
    for (const QStringList& args : commands) {
        const CliRun run = Cli(args);
        EXPECT_EQ(run.exitCode, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("这是一个管道，没有程序在读取它")))
            << run.err.toStdString();
        EXPECT_EQ(FileType(args.contains(pdfFifo) ? pdfFifo : fifo), S_IFIFO)
            << args.join(' ').toStdString();
    }
}

// A reader that hung in its open ran into the test run's 60 s limit; a refusal comes at once.
TEST_F(SpecialFilesCli, InputsThatAreFifosOrEndlessDevicesAreRefusedAtOnce) {
    const QString nvpFifo = specialfiles::MakeFifo(dir.path(), "in.nvp");
    const QString trdFifo = specialfiles::MakeFifo(dir.path(), "in.trd");
    const QString csvFifo = specialfiles::MakeFifo(dir.path(), "in.csv");
    const QString zero = specialfiles::LinkTo("/dev/zero", dir.path(), "zero.nvp");
    struct Case {
        QStringList args;
        QString reason;
    };
    const QString chinese = QStringLiteral("这不是普通文件（是设备、管道或其他特殊文件）");
    const QString english =
        QStringLiteral("not a regular file (a device, FIFO or other special file)");
    const Case cases[] = {
        {{"nvp", "show", nvpFifo}, chinese},
        {{"nvp", "show", zero}, chinese},
        {{"trd", "show", trdFifo}, chinese},
        {{"fra-analyse", csvFifo}, "fra-analyse: " + csvFifo + ": cannot open: " + english},
        {{"nvp", "import", csvFifo, "-o", path("new.nvp")},
         "nvp: cannot read " + csvFifo + ": " + english},
    };
    for (const Case& c : cases) {
        QElapsedTimer clock;
        clock.start();
        const CliRun run = Cli(c.args);
        EXPECT_LT(clock.elapsed(), 20000) << c.args.join(' ').toStdString();
        EXPECT_EQ(run.exitCode, 1) << c.args.join(' ').toStdString();
        EXPECT_TRUE(run.err.endsWith(c.reason)) << run.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(path("new.nvp")));
}

} // namespace

// orvan-cli nvp as a user runs it: exit codes, output and files.

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

using clitest::CliRun;

class NvpCli : public ::testing::Test {
protected:
    static CliRun cli(const QStringList& args) { return clitest::Cli(QStringList{"nvp"} + args); }
    QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }
    static QByteArray read(const QString& p) {
        QFile f(p);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void write(const QString& p, const QByteArray& bytes) {
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QTemporaryDir dir;
};

// orvan-cli run by the shell in `folder`, so that its arguments reach it as raw bytes (`printf`
// escapes in `script`; "$0" is the tool).
CliRun ShellCli(const QString& folder, const QString& script) {
    QProcess p;
    p.setWorkingDirectory(folder);
    p.start(QStringLiteral("/bin/sh"), {"-c", script, QStringLiteral(ORVAN_CLI_PATH)});
    EXPECT_TRUE(p.waitForFinished(60000));
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()).trimmed(),
            QString::fromUtf8(p.readAllStandardError()).trimmed()};
}

// A name in Latin-1, as files copied from an old machine have: made, shown and exported under
// its own bytes, never under a look-alike.
TEST_F(NvpCli, FileNamesThatAreNotUtf8AreUsedByteForByte) {
    const CliRun made =
        ShellCli(dir.path(), R"sh(exec "$0" nvp new "$(printf 'new-\351\377.nvp')")sh");
    ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();
    const CliRun shown =
        ShellCli(dir.path(), R"sh(exec "$0" nvp show "$(printf 'new-\351\377.nvp')")sh");
    EXPECT_EQ(shown.exitCode, 0) << shown.err.toStdString();
    EXPECT_TRUE(shown.out.contains(QStringLiteral("Cn001"))) << shown.out.toStdString();
    const CliRun exported = ShellCli(
        dir.path(),
        R"sh("$0" nvp export "$(printf 'new-\351\377.nvp')" --csv > "$(printf 'out-\351.csv')" &&
              exec "$0" nvp import "$(printf 'out-\351.csv')" -o "$(printf 'back-\351.nvp')")sh");
    EXPECT_EQ(exported.exitCode, 0) << exported.err.toStdString();
    const CliRun listed = ShellCli(dir.path(), "LC_ALL=C ls | od -An -tx1 | tr -d ' \\n'");
    EXPECT_EQ(listed.out.toLatin1(),
              QByteArray("back-\xe9.nvp\nnew-\xe9\xff.nvp\nout-\xe9.csv\n").toHex());
}

TEST_F(NvpCli, NewShowsEveryDefaultAndRefusesToOverwrite) {
    ASSERT_EQ(cli({"new", path("a.nvp")}).exitCode, 0);
    CNolvaServoDoc expected;
    expected.OnNewDocument();
    EXPECT_EQ(read(path("a.nvp")), StoreDocument(expected));

    const CliRun show = cli({"show", path("a.nvp")});
    EXPECT_EQ(show.exitCode, 0);
    EXPECT_EQ(show.out.count(QLatin1Char('\n')) + 1, 162); // header and 161 parameters
    EXPECT_TRUE(show.out.contains(QRegularExpression(
        QString::fromUtf8("Cn005 +编码器信号分周输出 +2500 +pulse +1~8192 +编码器一转脉冲数\n"))));

    const CliRun again = cli({"new", path("a.nvp")});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_TRUE(again.err.contains(QLatin1String("--force")));
    EXPECT_EQ(cli({"new", path("a.nvp"), "--force", "--max-speed", "5000"}).exitCode, 0);
    EXPECT_TRUE(cli({"show", path("a.nvp"), "--max-speed", "5000"})
                    .out.contains(QRegularExpression(
                        QString::fromUtf8("Sn216 +模拟速度命令比例器 +5000 +rpm/10V"))));
}

TEST_F(NvpCli, ExportThenImportGivesTheFileBackAndDiffFindsChanges) {
    CNolvaServoDoc doc;
    doc.OnNewDocument();
    doc.values.position[8] = 321;  // Pn309, a 32-bit value
    doc.values.control[10] = -123; // Cn011
    doc.statusSnapshot[5] = -77;
    doc.reservedA[100] = 1;
    write(path("orig.nvp"), StoreDocument(doc));

    const CliRun csv = cli({"export", path("orig.nvp"), "--csv"});
    ASSERT_EQ(csv.exitCode, 0) << csv.err.toStdString();
    write(path("orig.csv"), csv.out.toUtf8() + '\n');
    const CliRun imported = cli({"import", path("orig.csv"), "-o", path("back.nvp")});
    ASSERT_EQ(imported.exitCode, 0) << imported.err.toStdString();
    EXPECT_EQ(read(path("back.nvp")), read(path("orig.nvp")));

    EXPECT_EQ(cli({"diff", path("orig.nvp"), path("back.nvp")}).exitCode, 0);
    CNolvaServoDoc fresh;
    fresh.OnNewDocument();
    write(path("fresh.nvp"), StoreDocument(fresh));
    const CliRun diff = cli({"diff", path("orig.nvp"), path("fresh.nvp")});
    EXPECT_EQ(diff.exitCode, 3);
    EXPECT_EQ(diff.out.count(QLatin1Char('\n')) + 1, 2);
    EXPECT_TRUE(diff.out.contains(QLatin1String("Pn309")));
    EXPECT_TRUE(diff.out.contains(QLatin1String("-123  -300")));
}

TEST_F(NvpCli, ImportRefusesAnOutOfRangeValueNamingTheParameterAndWritesNothing) {
    CNolvaServoDoc doc;
    doc.OnNewDocument();
    write(path("a.nvp"), StoreDocument(doc));
    QString csv = cli({"export", path("a.nvp"), "--csv"}).out + '\n';
    csv.replace(QString::fromUtf8("\nTn102,转矩命令直线加减速常数,1,"),
                QString::fromUtf8("\nTn102,转矩命令直线加减速常数,50001,"));
    write(path("bad.csv"), csv.toUtf8());
    const CliRun r = cli({"import", path("bad.csv"), "-o", path("out.nvp")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QLatin1String("Tn102"))) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(path("out.nvp")));
}

TEST_F(NvpCli, DamagedFilesAndBadArgumentsAreReportedClearly) {
    CNolvaServoDoc doc;
    doc.OnNewDocument();
    write(path("short.nvp"), StoreDocument(doc).left(100));
    const CliRun damaged = cli({"show", path("short.nvp")});
    EXPECT_EQ(damaged.exitCode, 1);
    EXPECT_TRUE(damaged.err.contains(QLatin1String("short.nvp")));
    EXPECT_TRUE(damaged.out.isEmpty());

    write(path("set.bak"), StoreDocument(doc));
    EXPECT_EQ(cli({"show", path("set.bak")}).exitCode, 1);
    EXPECT_EQ(cli({"show", path("missing.nvp")}).exitCode, 1);
    EXPECT_EQ(cli({"show"}).exitCode, 2);
    EXPECT_EQ(cli({"export", path("set.nvp")}).exitCode, 2);
    EXPECT_EQ(cli({"export", path("set.nvp"), "--csv", "--json"}).exitCode, 2);
    EXPECT_EQ(cli({"frobnicate"}).exitCode, 2);
    EXPECT_EQ(cli({"show", path("set.nvp"), "--max-speed", "fast"}).exitCode, 2);
    EXPECT_EQ(cli({"new", path("x.txt")}).exitCode, 2);

    // A missing file: one line that names it; an output name the tool could not open again.
    write(path("set.nvp"), StoreDocument(doc));
    const CliRun missing = cli({"diff", path("set.nvp"), path("missing.nvp")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains(QLatin1String("missing.nvp")) && !missing.err.contains('\n'))
        << missing.err.toStdString();
    write(path("set.csv"), cli({"export", path("set.nvp"), "--csv"}).out.toUtf8());
    EXPECT_EQ(cli({"import", path("set.csv"), "-o", path("out.txt")}).exitCode, 2);
    EXPECT_FALSE(QFile::exists(path("out.txt")));
}

TEST_F(NvpCli, OutputThatCannotBeWrittenIsAFailure) {
    CNolvaServoDoc doc;
    doc.OnNewDocument();
    write(path("a.nvp"), StoreDocument(doc));
    for (const QStringList& args :
         {QStringList{"show", path("a.nvp")}, QStringList{"export", path("a.nvp"), "--json"}}) {
        const CliRun r = clitest::Cli(QStringList{"nvp"} + args, QStringLiteral("/dev/full"));
        EXPECT_EQ(r.exitCode, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(QLatin1String("writing the output failed")))
            << r.err.toStdString();
    }
}

} // namespace

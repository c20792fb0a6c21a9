// A command's outputs: checked before anything is written, and written all or none.

#include "cli/OutputFiles.h"
#include "support/SpecialFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

bool Make(const QString& path, const QByteArray& content) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}

TEST(OutputFiles, ProblemsAreFoundBeforeWriting) {
    QTemporaryDir dir;
    ASSERT_TRUE(Make(dir.filePath("old.csv"), "old"));
    ASSERT_TRUE(Make(dir.filePath("plain"), "x"));
    const struct {
        QString path;
        bool force;
        QString problem;
    } cases[] = {
        {dir.filePath("new.csv"), false, {}},
        {"-", false, {}},
        {dir.filePath("old.csv"), false, "exists; use --force to replace it"},
        {dir.filePath("old.csv"), true, {}},
        {dir.path(), true, "is a folder"},
        {dir.filePath("nodir/x.csv"), false, "no such folder " + dir.filePath("nodir")},
        {dir.filePath("plain/x.csv"), false, "no such folder " + dir.filePath("plain")},
        // Written into, never replaced: no --force, whatever the folder it sits in.
        {specialfiles::MakeFifo(dir.path(), "fifo"), false, {}},
        {specialfiles::LinkTo("/dev/null", dir.path(), "null"), false, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(OutputProblem(c.path, c.force), c.problem) << c.path.toStdString();
    }
}

TEST(OutputFiles, AFailedFileTakesBackWhatTheRunCreated) {
    QTemporaryDir dir;
    const QString created = dir.filePath("created.trd");
    const QString replaced = dir.filePath("replaced.csv");
    ASSERT_TRUE(Make(replaced, "old"));
    ASSERT_TRUE(Make(dir.filePath("plain"), "x"));
    const QString failing = dir.filePath("plain/x.csv"); // under a file: cannot be made
    QString outText;
    QString errText;
    QTextStream out(&outText);
    QTextStream err(&errText);
    EXPECT_FALSE(WriteOutputs({{created, "new"}, {"-", "printed"}, {failing, "csv"}},
                              QStringLiteral("trace"), out, err));
    EXPECT_FALSE(QFile::exists(created));
    EXPECT_TRUE(outText.isEmpty()) << "nothing printed before every file is written";
    EXPECT_TRUE(errText.startsWith("trace: cannot write " + failing + ": "))
        << errText.toStdString();

    // Written in turn; the standard output's part once the files are there.
    errText.clear();
    EXPECT_TRUE(WriteOutputs({{"-", "printed"}, {created, "new"}, {replaced, "newer"}},
                             QStringLiteral("trace"), out, err))
        << errText.toStdString();
    out.flush();
    EXPECT_EQ(outText, "printed");
    EXPECT_EQ(Read(created), "new");
    EXPECT_EQ(Read(replaced), "newer");
}

} // namespace

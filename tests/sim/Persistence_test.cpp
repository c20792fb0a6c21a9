// The stored parameter copy in a file: saved on every store, loaded at the next start, and a
// damaged file refused rather than half loaded.

#include "sim/SimulatedDrive.h"
#include "support/SimTestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

using simtest::Bytes;
using simtest::Cmd;

void StoreParameter(SimulatedDrive& drive, const std::string& index, const std::string& value) {
    ASSERT_EQ(drive.Receive(Cmd("W57100" + index)), QByteArray("%"));
    ASSERT_EQ(drive.Receive(Cmd("W572" + value)), QByteArray("%"));
    ASSERT_EQ(drive.Receive(Cmd("W5700001")), QByteArray("%"));
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(Persistence, StoresSurviveARestartOfTheProgram) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("drive.txt");
    QString error;
    {
        SimulatedDrive drive;
        ASSERT_TRUE(drive.SetPersistFile(path, &error)) << error.toStdString();
        EXPECT_FALSE(QFile::exists(path)) << "nothing stored yet";
        StoreParameter(drive, "10", "0003"); // Cn001
        StoreParameter(drive, "56", "0001"); // Pn308 high half
        StoreParameter(drive, "57", "E240"); // Pn308 low half
        EXPECT_TRUE(drive.PersistError().isEmpty());
    }
    const QByteArray text = ReadFile(path);
    EXPECT_TRUE(text.contains("\nCn001 0003\n"));
    EXPECT_TRUE(text.contains("\nPn308 0001E240\n"));
    EXPECT_TRUE(text.contains("\nPn309 FFF85EE0\n")) << "defaults are written too";
    EXPECT_FALSE(text.contains("qn4")) << "quick codes are their twins";
    EXPECT_EQ(text.count('\n'), 1 + 154);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1) << "no temporary file left";

    SimulatedDrive next;
    ASSERT_TRUE(next.SetPersistFile(path, &error)) << error.toStdString();
    EXPECT_EQ(next.State().StoredRaw('C', 1), 3);
    EXPECT_EQ(next.State().StoredRaw('P', 8), 123456);
    // Loading is a power-up: the live copies follow the stored ones.
    EXPECT_EQ(next.State().LiveRaw('C', 1), 3);
    EXPECT_EQ(next.Receive(Cmd("R510")), Cmd("%0003"));
}

TEST(Persistence, ModbusWritesAreStored) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("drive.txt");
    const DriveLinkOptions link{true, 1, 6};
    QString error;
    {
        SimulatedDrive drive({}, link);
        ASSERT_TRUE(drive.SetPersistFile(path, &error));
        ASSERT_FALSE(drive.Receive(Bytes("01 06 01 05 02 58 98 AD")).isEmpty()); // Tn105 := 600
    }
    SimulatedDrive next({}, link);
    ASSERT_TRUE(next.SetPersistFile(path, &error));
    EXPECT_EQ(next.State().StoredRaw('T', 5), 600);
    EXPECT_EQ(next.State().LiveRaw('T', 5), 600);
}

TEST(Persistence, ADamagedFileIsRefusedWhole) {
    const std::pair<const char*, const char*> cases[] = {
        {"Cn001 0003\nCn002 12\n", "a word of two digits"},
        {"Cn001 0003\nPn308 A120\n", "a two-register parameter with four digits"},
        {"Cn001 0003\nXn001 0000\n", "an unknown code"},
        {"Cn001 0003\nqn405 0010\n", "a quick code"},
        {"Cn001 0003\nCn041 0000\n", "a number past the group"},
        {"Cn001 00G3\n", "not hexadecimal"},
        {"Cn001 0003 0004\n", "a third field"},
    };
    for (const auto& [text, what] : cases) {
        QTemporaryDir dir;
        const QString path = dir.filePath("drive.txt");
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        file.close();
        SimulatedDrive drive;
        QString error;
        EXPECT_FALSE(drive.SetPersistFile(path, &error)) << what;
        EXPECT_TRUE(error.contains("line ")) << what << ": " << error.toStdString();
        EXPECT_EQ(drive.State().StoredRaw('C', 1), 2) << what << ": nothing loaded";
    }
}

TEST(Persistence, AFailedSaveIsReportedAndTheDriveGoesOn) {
    SimulatedDrive drive;
    QString error;
    ASSERT_TRUE(drive.SetPersistFile("/nonexistent-folder/drive.txt", &error));
    StoreParameter(drive, "10", "0003");
    EXPECT_FALSE(drive.PersistError().isEmpty());
    EXPECT_EQ(drive.State().StoredRaw('C', 1), 3);
}

} // namespace

// Moving parameters between the document and the simulated drive: exact request sequences on
// RS-232, the special cases of Cn002, Cn008 and Cn012, failures part way, the whole-set copies on
// RS-232 and RS-485.

#include "params/ParameterTransfer.h"

#include "drive/ParameterCatalogue.h"
#include "params/NvpFile.h"
#include "support/SimTestSupport.h"
#include "support/TransferRig.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

using simtest::Cmd;

class TransferTest : public ::testing::Test, protected TransferRig {
protected:
    explicit TransferTest(DriveLinkOptions options = {}) : TransferRig(options) {}

    // Stores a raw word in the drive's parameter, stored and live copy, without logging it.
    void SetDriveParameter(char letter, int number, int32_t raw) {
        const int index = ParameterIndexOf({letter, number});
        ASSERT_TRUE(access.StoreParameter(index, raw));
        drive.ClearRequestLog();
    }

    QStringList Requests() const { return drive.RequestLog(); }
};

TEST_F(TransferTest, ReadGoesThroughTheMailboxAndJoinsTwoRegisters) {
    int32_t value = 0;
    ASSERT_TRUE(parameters.Read({'C', 5}, ParameterRoute::Mailbox, &value));
    EXPECT_EQ(value, 2500);
    EXPECT_EQ(Requests(), (QStringList{Cmd("W5730013"), Cmd("W5700002"), Cmd("R574")}));

    SetDriveParameter('P', 9, -500000 >> 16);
    ASSERT_TRUE(access.StoreParameter(ParameterIndexOf({'P', 9}) + 1, 0x5EE0));
    drive.ClearRequestLog();
    ASSERT_TRUE(parameters.Read({'P', 9}, ParameterRoute::Mailbox, &value));
    EXPECT_EQ(value, 50000);
    EXPECT_EQ(Requests(), (QStringList{Cmd("W5730058"), Cmd("W5700002"), Cmd("R574"),
                                       Cmd("W5730059"), Cmd("W5700002"), Cmd("R574")}));
}

TEST_F(TransferTest, WriteStoresThenWritesTheLiveCopyExceptForRestartParameters) {
    ASSERT_TRUE(parameters.Write({'C', 7}, 1000, ParameterRoute::Mailbox, true));
    EXPECT_EQ(Requests(),
              (QStringList{Cmd("W5710015"), Cmd("W5721555"), Cmd("W5700001"), Cmd("W5151555")}));
    drive.ClearRequestLog();

    document.values.control[0] = 4; // Cn001 needs a restart: stored only
    ASSERT_TRUE(transfer.WriteOne({'C', 1}));
    EXPECT_EQ(Requests(), (QStringList{Cmd("W5710010"), Cmd("W5720004"), Cmd("W5700001")}));
    ASSERT_EQ(messenger.messages.size(), 1);
    EXPECT_EQ(messenger.messages[0].text,
              QString::fromUtf8(
                  "写入参数成功！！\n\n请重新启动伺服驱动器！！\n(关闭电源后，再重新输入电源。)"));
    EXPECT_EQ(messenger.messages[0].caption, QString::fromUtf8("写入讯息"));
    EXPECT_EQ(messenger.messages[0].icon, MessageIcon::Warning);
    EXPECT_EQ(drive.State().StoredRaw('C', 1), 4);

    ASSERT_TRUE(transfer.WriteOne({'C', 7}));
    EXPECT_EQ(messenger.messages[1].text, QString::fromUtf8("写入参数成功！！"));
    EXPECT_EQ(messenger.messages[1].icon, MessageIcon::Information);
}

TEST_F(TransferTest, TwoRegisterWriteStoresHighThenLowThenWritesBoth) {
    ASSERT_TRUE(parameters.Write({'P', 9}, 50000, ParameterRoute::Mailbox, true)); // raw -500000
    EXPECT_EQ(Requests(),
              (QStringList{Cmd("W5710058"), Cmd("W572FFF8"), Cmd("W5700001"), Cmd("W5710059"),
                           Cmd("W5725EE0"), Cmd("W5700001"), Cmd("W558FFF8"), Cmd("W5595EE0")}));
}

TEST_F(TransferTest, BrakeModeKeepsTheUpperBitsOfTheDrivesWord) {
    SetDriveParameter('C', 8, 0x00F6);
    document.values.control[7] = 1;
    ASSERT_TRUE(transfer.WriteOne({'C', 8}));
    EXPECT_EQ(Requests(),
              (QStringList{Cmd("W5730016"), Cmd("W5700002"), Cmd("R574"), Cmd("W5710016"),
                           Cmd("W57200F5"), Cmd("W5700001"), Cmd("W51600F5")}));
    // A group read keeps only the low two bits.
    QList<int32_t> values;
    ASSERT_TRUE(transfer.ReadGroup(ParamGroup::Control, &values));
    EXPECT_EQ(values[7], 1);
}

TEST_F(TransferTest, RegenerativeResistorIsFollowedByTheTakeOverWrite) {
    document.values.control[11] = 100;
    ASSERT_TRUE(transfer.WriteOne({'C', 12}));
    EXPECT_EQ(Requests(), (QStringList{Cmd("W571001A"), Cmd("W5720064"), Cmd("W5700001"),
                                       Cmd("W51A0064"), Cmd("W7CE0001")}));
    // Its failure is Cn012's failure.
    refuse = [](const QString& r) { return r.startsWith("W7CE"); };
    EXPECT_FALSE(transfer.WriteOne({'C', 12}));
}

TEST_F(TransferTest, WriteGroupFailingAtTheFifthLeavesTheFirstFourWritten) {
    for (int i = 0; i < 4; ++i)
        document.values.control[i] = 1;                                 // Cn001..Cn004
    refuse = [](const QString& r) { return r.startsWith("W5710013"); }; // Cn005's store
    EXPECT_FALSE(transfer.WriteGroup(ParamGroup::Control));
    QList<int32_t> stored;
    for (int number = 1; number <= 4; ++number)
        stored << drive.State().StoredRaw('C', number);
    EXPECT_EQ(stored, (QList<int32_t>{1, 1, 10, 257})); // Cn003 in tenths, Cn004 a direction code
    EXPECT_FALSE(Requests().contains(Cmd("W5710014")));
    ASSERT_EQ(messenger.messages.size(), 1);
    EXPECT_EQ(messenger.messages[0].text, QString::fromUtf8("错误:\n\n写入控制参数：Cn005"));
    EXPECT_EQ(messenger.messages[0].caption, QString::fromUtf8("通讯信息"));
    EXPECT_EQ(messenger.messages[0].icon, MessageIcon::Error);
    EXPECT_FALSE(progress.open);
}

TEST_F(TransferTest, ReadingThePositionGroupFillsOnlyItsCoveredParameters) {
    document.values.position[10] = 123; // Pn311
    document.modified = false;
    SetDriveParameter('P', 10, 77);
    ASSERT_TRUE(transfer.ReadGroup(ParamGroup::Position));
    EXPECT_EQ(document.values.position[9], 77);
    EXPECT_EQ(document.values.position[10], 123);
    EXPECT_TRUE(document.modified);
    EXPECT_EQ(progress.steps, 30);
    EXPECT_EQ(progress.stepped, 30);
    EXPECT_EQ(progress.texts.front(), QString::fromUtf8("读取位置参数：Pn301"));
}

TEST_F(TransferTest, WriteAllStoresContactFunctionsOnlyWhenTheirLowByteChanges) {
    ASSERT_TRUE(transfer.ReadAll());
    document.transfer.control[1] = 0x0012; // Cn002
    access.WriteDriveWord('5', 0x1D, 0x0011, false);
    drive.ClearRequestLog();
    ASSERT_TRUE(transfer.WriteAll());
    const QStringList requests = Requests();
    EXPECT_TRUE(requests.contains(Cmd("R51D")));
    EXPECT_TRUE(requests.contains(Cmd("W5720012")));
    EXPECT_FALSE(requests.contains(Cmd("W51D0012"))) << "stored only";

    access.WriteDriveWord('5', 0x1D, 0x0112, false); // same low byte: written live too
    drive.ClearRequestLog();
    ASSERT_TRUE(transfer.WriteAll());
    EXPECT_TRUE(Requests().contains(Cmd("W51D0012")));
    EXPECT_EQ(messenger.messages.back().icon, MessageIcon::Warning);

    // Written alone (the editor's ticked row, the command-line tool): a changed low byte is
    // stored only and the success message says to restart; the same low byte does not.
    const QString reminder = QString::fromUtf8("请重新启动伺服驱动器！！");
    access.WriteDriveWord('5', 0x1D, 0x0011, false);
    ASSERT_TRUE(transfer.WriteCodes({{'C', 2}}, {0x0012}));
    EXPECT_TRUE(messenger.messages.back().text.contains(reminder));
    ASSERT_TRUE(transfer.WriteCodes({{'C', 2}}, {0x0111})); // the live word still holds 0x0011
    EXPECT_FALSE(messenger.messages.back().text.contains(reminder));
}

TEST_F(TransferTest, CopyToComputerWritesTheDrivesSetAndAFailedReadWritesNoFile) {
    QTemporaryDir dir;
    const QString good = QDir(dir.path()).filePath("drive.nvp");
    SetDriveParameter('S', 11, 55); // Sn211, twin of qn401
    SetDriveParameter('C', 30, 0x0331);
    ASSERT_TRUE(transfer.CopyDriveToFile(good));
    EXPECT_EQ(progress.caption, QString::fromUtf8("读取"));
    EXPECT_EQ(progress.stepped, 3 * 154);
    CNolvaServoDoc opened;
    QString error;
    ASSERT_TRUE(OpenDocumentFile(good, opened, &error)) << error.toStdString();
    EXPECT_EQ(opened.values.speed[10], 55);
    EXPECT_EQ(opened.values.quick[0], 55);
    EXPECT_EQ(opened.values.control[29], 0x0331);
    EXPECT_EQ(profile.modelCode, 0x0331);
    EXPECT_EQ(profile.encoderPulses, 2500);
    EXPECT_NE(document.values.speed[10], 55) << "the document itself is not changed";

    // Cn030 is read before Tn101 fails: the drive profile keeps the model of the last whole read.
    const QString bad = QDir(dir.path()).filePath("bad.nvp");
    SetDriveParameter('C', 30, 0x0722);
    swallow = [](const QByteArray& r) { return r == Cmd("W5730020"); }; // Tn101's fetch
    EXPECT_FALSE(transfer.CopyDriveToFile(bad));
    EXPECT_FALSE(QFile::exists(bad));
    EXPECT_EQ(profile.modelCode, 0x0331);
    EXPECT_EQ(messenger.messages.back().text, QString::fromUtf8("错误:\n\n读取参数中 ... Tn101"));
}

TEST_F(TransferTest, ValuesOutsideTheirRangesAreRefusedBeforeAnythingIsSent) {
    QTemporaryDir dir;
    const QString file = QDir(dir.path()).filePath("edited.nvp");
    CNolvaServoDoc edited;
    edited.OnNewDocument();
    edited.values.control[0] = 99;     // Cn001, 0~6
    edited.values.control[18] = 70000; // Cn019, 0~50000: 4464 once cut to 16 bits
    edited.values.speed[0] = 5000;     // Sn201, within -N~N only for N >= 5000
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(StoreDocument(edited));
    f.close();
    EXPECT_FALSE(transfer.CopyFileToDrive(file));
    EXPECT_TRUE(Requests().isEmpty());
    ASSERT_EQ(messenger.messages.size(), 1);
    EXPECT_EQ(messenger.messages[0].text,
              QString::fromUtf8("文件中的参数值超出范围，未写入驱动器：\nCn001 = 99 (范围 0~6)\n"
                                "Cn019 = 70000 (范围 0~50000)\nSn201 = 5000 (范围 -3000~3000)"));

    // The document's values go through the same check: the editor's write, a group, one value.
    document.values = edited.values;
    EXPECT_FALSE(transfer.WriteCodes({{'C', 19}}, {70000}));
    EXPECT_FALSE(transfer.WriteGroup(ParamGroup::Control));
    EXPECT_FALSE(transfer.WriteOne({'S', 1}));
    EXPECT_TRUE(Requests().isEmpty());
    EXPECT_EQ(messenger.messages.back().text,
              QString::fromUtf8("参数值超出范围，未写入驱动器：\nSn201 = 5000 (范围 -3000~3000)"));
    // Speed ranges follow the drive's maximum speed as it is now.
    profile.maxMotorSpeed = 6000;
    EXPECT_TRUE(transfer.WriteOne({'S', 1}));
}

TEST_F(TransferTest, NothingHappensWhileTheLinkIsDown) {
    access.DropLink();
    EXPECT_FALSE(transfer.ReadGroup(ParamGroup::Control));
    EXPECT_FALSE(transfer.WriteGroup(ParamGroup::Control));
    EXPECT_FALSE(transfer.WriteOne({'C', 1}));
    EXPECT_FALSE(transfer.ReadAll());
    EXPECT_FALSE(transfer.WriteAll());
    EXPECT_FALSE(transfer.CopyDriveToFile(QStringLiteral("/tmp/never.nvp")));
    EXPECT_TRUE(port->Writes().empty());
    EXPECT_TRUE(messenger.messages.empty());
}

class Rs485TransferTest : public TransferTest, public ::testing::WithParamInterface<int> {
protected:
    Rs485TransferTest() : TransferTest(DriveLinkOptions{true, 1, GetParam()}) {}
};

TEST_P(Rs485TransferTest, WholeSetUsesModbusAndTheMailboxOnlyForThe32BitParameters) {
    ASSERT_TRUE(transfer.ReadAll());
    int modbus = 0;
    QStringList commands;
    for (const QString& r : Requests()) {
        if (r.startsWith('R') || r.startsWith('W')) {
            commands << r;
        } else {
            ++modbus;
            // ":01 03 ..." in ASCII and "01 03 ..." in RTU: the function code at the same place.
            EXPECT_EQ(r.mid(3, 2), "03") << r.toStdString();
        }
    }
    EXPECT_EQ(modbus, 154 - 3);
    // Pn307..Pn309: index and index + 1 each through the mailbox.
    EXPECT_EQ(commands.size(), 3 * 2 * 3);
    for (const QString& c : commands)
        EXPECT_TRUE(c.startsWith("W573") || c.startsWith("W570") || c.startsWith("R574"))
            << c.toStdString();
    EXPECT_EQ(document.transfer.position[8], 50000);
    EXPECT_EQ(document.transfer.position[6], 10);

    // Writing: function 06 for all but the three, which are stored through the mailbox.
    document.transfer.position[7] = 40000; // Pn308
    drive.ClearRequestLog();
    ASSERT_TRUE(transfer.WriteAll());
    EXPECT_EQ(drive.State().StoredRaw('P', 8), 400000);
    int writes = 0;
    for (const QString& r : Requests())
        writes += !r.startsWith('R') && !r.startsWith('W') && r.mid(3, 2) == "06" ? 1 : 0;
    EXPECT_EQ(writes, 154 - 3);
}

INSTANTIATE_TEST_SUITE_P(AsciiAndRtu, Rs485TransferTest, ::testing::Values(0, 6));

} // namespace

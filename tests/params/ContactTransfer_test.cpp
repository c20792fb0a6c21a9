// Hn501..Hn519 between the simulated drive and the document: page reads and mailbox stores
// without the live write on RS-232, one Modbus register each on RS-485, and the failure message.

#include "drive/ParameterCatalogue.h"
#include "support/SimTestSupport.h"
#include "support/TransferRig.h"

namespace {

QString Request(const QString& body) {
    return QString::fromLatin1(simtest::Cmd(body.toStdString()));
}

struct ContactTransferTest : ::testing::Test, TransferRig {
    explicit ContactTransferTest(DriveLinkOptions options = {}) : TransferRig(options) {
        contacts.SetProgress(&progress);
        for (int n = 1; n <= 19; ++n) // distinct words
            drive.State().SetWord(5, ParameterIndexOf({'H', n}), static_cast<uint16_t>(0x100 + n));
    }
    ContactTransfer& contacts = connection.Contacts();
};

TEST_F(ContactTransferTest, Rs232ReadsThePagesAndStoresWithoutTheLiveWrite) {
    ASSERT_TRUE(contacts.Read());
    QStringList reads;
    QStringList stores;
    for (int n = 1; n <= 19; ++n) {
        const int index = ParameterIndexOf({'H', n});
        reads << Request(QString::asprintf("R5%02X", index));
        stores << Request(QString::asprintf("W571%04X", index))
               << Request(QString::asprintf("W572%04X", n == 3 ? 7 : 0x100 + n))
               << Request(QStringLiteral("W5700001"));
    }
    EXPECT_EQ(drive.RequestLog(), reads);
    EXPECT_EQ(document.contactsInDrive[18], 0x0113);
    EXPECT_EQ(document.contactsInDrive[19], 0);

    document.values.contact = document.contactsInDrive;
    document.values.contact[2] = 0x0007;
    drive.ClearRequestLog();
    ASSERT_TRUE(contacts.Write());
    EXPECT_EQ(drive.RequestLog(), stores);
    EXPECT_EQ(drive.State().LiveRaw('H', 3), 0x0103) << "taken at the drive's next start";
    EXPECT_EQ(messenger.messages.back().text,
              QString::fromUtf8(
                  "写入参数成功！！\n\n请重新启动伺服驱动器！！\n(关闭电源后，再重新输入电源。)"));
}

TEST_F(ContactTransferTest, FirstFailureEndsTheLoopNamingTheParameter) {
    document.contactsInDrive.fill(5);
    refuse = [](const QString& r) { return r.startsWith("R5C4"); }; // Hn505
    EXPECT_FALSE(contacts.Read());
    EXPECT_EQ(drive.RequestLog().size(), 4);
    EXPECT_EQ(document.contactsInDrive[0], 5) << "a failed read stores nothing";
    ASSERT_EQ(messenger.messages.size(), 1);
    EXPECT_EQ(messenger.messages[0].text,
              QString::fromUtf8("错误:\n\n读取输入/输出接点规划参数:Hn505"));
    EXPECT_TRUE(messenger.messages[0].caption == QString::fromUtf8("通讯信息") &&
                messenger.messages[0].icon == MessageIcon::Error);
    EXPECT_FALSE(progress.open);

    refuse = [](const QString& r) { return r.startsWith("W57100C2"); }; // Hn503's store
    document.values.contact.fill(0x0009);
    EXPECT_FALSE(contacts.Write());
    EXPECT_EQ(messenger.messages[1].text,
              QString::fromUtf8("错误:\n\n写入输入/输出接点规划参数: Hn503"));
    EXPECT_EQ(drive.State().StoredRaw('H', 2), 0x0009);
    EXPECT_NE(drive.State().StoredRaw('H', 4), 0x0009) << "nothing after the failure";
}

class Rs485ContactTransfer : public ContactTransferTest, public ::testing::WithParamInterface<int> {
protected:
    Rs485ContactTransfer() : ContactTransferTest(DriveLinkOptions{true, 1, GetParam()}) {}
};

TEST_P(Rs485ContactTransfer, OneRegisterPerParameter) {
    ASSERT_TRUE(contacts.Read());
    document.values.contact = document.contactsInDrive;
    document.values.contact[16] = 0x0108;
    ASSERT_TRUE(contacts.Write());
    const QStringList log = drive.RequestLog();
    ASSERT_EQ(log.size(), 38);
    for (int i = 0; i < 38; ++i) {
        // ":01 03 0501" in ASCII, "01 03 05 01" in RTU: function and register at known places.
        const QString& r = log[i];
        EXPECT_EQ(r.mid(3, 2), i < 19 ? "03" : "06") << r.toStdString();
        const QString reg = r.startsWith(':') ? r.mid(5, 4) : r.mid(6, 5).remove(' ');
        EXPECT_EQ(reg, QString::asprintf("05%02X", i % 19 + 1)) << r.toStdString();
    }
    EXPECT_EQ(document.contactsInDrive[0], 0x0101);
    EXPECT_EQ(drive.State().StoredRaw('H', 17), 0x0108);
}

INSTANTIATE_TEST_SUITE_P(AsciiAndRtu, Rs485ContactTransfer, ::testing::Values(0, 6));

} // namespace

// Comparing the document with the simulated drive: exactly the parameters changed in the drive
// are listed, in group order, Cn008 counts by its brake-mode bits only, a failed read names its
// parameter and lists nothing, and an equal drive only says so.

#include "params/ParameterCompare.h"

#include "drive/ParameterCatalogue.h"
#include "link/ModbusLink.h"
#include "support/SimTestSupport.h"
#include "support/TransferRig.h"

#include <string>
#include <tuple>
#include <vector>

namespace {

using simtest::Cmd;

class CompareTest : public ::testing::TestWithParam<DriveLinkOptions>, protected TransferRig {
protected:
    CompareTest() : TransferRig(GetParam()) {
        // The document starts equal to the drive.
        QList<int32_t> values;
        EXPECT_TRUE(transfer.ReadCodes(CompareCodes(), &values));
        const QList<ParamCode> codes = CompareCodes();
        for (qsizetype i = 0; i < codes.size(); ++i)
            *document.values.Slot(codes[i]) = values[i];
        progress = {};
    }

    // Puts a display value into the drive's stored and live copy.
    void SetInDrive(char letter, int number, int32_t value) {
        const int32_t raw = DisplayToRaw({letter, number}, value, profile.maxMotorSpeed);
        const int index = ParameterIndexOf({letter, number});
        if (IsTwoRegister({letter, number})) {
            ASSERT_TRUE(access.StoreParameter(index, raw >> 16));
            ASSERT_TRUE(access.StoreParameter(index + 1, raw & 0xFFFF));
        } else {
            ASSERT_TRUE(access.StoreParameter(index, raw));
        }
    }

    CompareResult Compare() {
        return CompareParameters(transfer, access.LinkUp(), document, messenger);
    }
};

TEST_P(CompareTest, AnEqualDriveOnlySaysTheCompareIsDone) {
    const CompareResult result = Compare();
    EXPECT_EQ(result.outcome, CompareOutcome::Same);
    EXPECT_TRUE(result.rows.isEmpty());
    ASSERT_EQ(messenger.messages.size(), 1);
    EXPECT_EQ(messenger.messages[0].icon, MessageIcon::Information);
    EXPECT_TRUE(messenger.messages[0].topmost);
    EXPECT_EQ(progress.caption, QString::fromUtf8("读取"));
    EXPECT_EQ(std::pair(progress.steps, progress.stepped), std::pair(3 * 161, 3 * 161));
}

TEST_P(CompareTest, ListsExactlyTheParametersChangedInTheDriveInGroupOrder) {
    struct Change {
        char letter;
        int number;
        int32_t driveValue;
        QString code;
    };
    // In group order; Pn308 is one of the 32-bit parameters, Hn503 a hex parameter whose values
    // are plain decimal here.
    const std::vector<Change> changes = {{'C', 7, 321, "Cn007"},
                                         {'T', 3, 77, "Tn103"},
                                         {'S', 5, 1234, "Sn205"},
                                         {'P', 8, 40000, "Pn308"},
                                         {'H', 3, 0x0107, "Hn503"}};
    for (const Change& c : changes)
        SetInDrive(c.letter, c.number, c.driveValue);
    // Cn008: the drive keeps more than the brake mode in its word; only the low two bits count.
    *document.values.Slot({'C', 8}) = 2;
    SetInDrive('C', 8, 6);

    const CompareResult result = Compare();
    ASSERT_EQ(result.outcome, CompareOutcome::Different);
    EXPECT_TRUE(messenger.messages.isEmpty());
    ASSERT_EQ(result.rows.size(), qsizetype(changes.size()));
    for (size_t i = 0; i < changes.size(); ++i) {
        const CompareRow& row = result.rows[qsizetype(i)];
        const Change& c = changes[i];
        EXPECT_EQ(row.codeText, c.code);
        EXPECT_EQ(row.driveValue, c.driveValue) << c.code.toStdString();
        EXPECT_EQ(row.documentValue, *document.values.Slot({c.letter, c.number}));
        EXPECT_EQ(row.driveText, QString::number(c.driveValue));
        EXPECT_EQ(row.documentText, QString::number(row.documentValue));
        EXPECT_EQ(row.name, ParameterName({c.letter, c.number}));
    }
}

TEST_P(CompareTest, Cn008DiffersWhenItsBrakeModeBitsDiffer) {
    *document.values.Slot({'C', 8}) = 2;
    SetInDrive('C', 8, 5); // brake mode 1
    const CompareResult result = Compare();
    ASSERT_EQ(result.rows.size(), 1);
    EXPECT_EQ(std::tuple(result.rows[0].codeText, result.rows[0].driveValue,
                         result.rows[0].documentValue),
              std::tuple(QStringLiteral("Cn008"), 1, 2));
}

TEST_P(CompareTest, AFailedReadNamesTheParameterAndListsNothing) {
    SetInDrive('C', 7, 321); // a difference before the failure
    if (GetParam().rs485) {
        // The Modbus read of Sn205's register goes unanswered.
        const uint16_t reg = ModbusRegisterOf({'S', 5});
        swallow = [reg, ascii = GetParam().AsciiMode()](const QByteArray& r) {
            const QByteArray hex = QByteArray::number(reg, 16).toUpper().rightJustified(4, '0');
            return ascii ? r.mid(5, 4) == hex
                         : (r.size() == 8 && uint8_t(r[2]) == reg >> 8 &&
                            uint8_t(r[3]) == (reg & 0xFF));
        };
    } else {
        const QByteArray fetch =
            Cmd(QString::asprintf("W573%04X", ParameterIndexOf({'S', 5})).toStdString());
        swallow = [fetch](const QByteArray& r) { return r == fetch; };
    }
    const CompareResult result = Compare();
    EXPECT_EQ(result.outcome, CompareOutcome::ReadFailed);
    EXPECT_TRUE(result.rows.isEmpty());
    ASSERT_EQ(messenger.messages.size(), 1);
    EXPECT_EQ(messenger.messages[0].text, QString::fromUtf8("错误:\n\n读取参数中 ... Sn205"));
    EXPECT_EQ(messenger.messages[0].caption, QString::fromUtf8("通讯信息"));
}

TEST_P(CompareTest, NothingIsReadWhileTheLinkIsDown) {
    access.DropLink();
    const qsizetype written = port->Writes().size();
    const CompareResult result = Compare();
    EXPECT_EQ(result.outcome, CompareOutcome::NotLinked);
    EXPECT_EQ(port->Writes().size(), written);
    ASSERT_EQ(messenger.messages.size(), 1);
    EXPECT_EQ(messenger.messages[0].text, QString::fromUtf8("通讯错误！！"));
    EXPECT_EQ(messenger.messages[0].caption, QString::fromUtf8("通讯信息"));
    EXPECT_EQ(messenger.messages[0].icon, MessageIcon::Error);
}

INSTANTIATE_TEST_SUITE_P(Links, CompareTest,
                         ::testing::Values(DriveLinkOptions{}, DriveLinkOptions{true, 1, 0},
                                           DriveLinkOptions{true, 1, 6}),
                         [](const auto& info) {
                             return std::string(!info.param.rs485        ? "Rs232"
                                                : info.param.AsciiMode() ? "ModbusAscii"
                                                                         : "ModbusRtu");
                         });

} // namespace

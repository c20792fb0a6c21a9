// CSV and JSON export of a parameter set, and the CSV import that gives the same file back.

#include "params/NolvaServoDoc.h"
#include "params/NvpFile.h"
#include "params/ParameterExport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

CNolvaServoDoc UnusualDocument() {
    CNolvaServoDoc doc;
    doc.OnNewDocument();
    doc.values.control[1] = 0x1111;   // Cn002 at its maximum, hexadecimal
    doc.values.control[10] = -250;    // Cn011
    doc.values.position[6] = 49999;   // Pn307
    doc.values.position[8] = 12345;   // Pn309
    doc.values.position[16] = -30000; // Pn317
    doc.values.contact[0] = 0x11C;    // Hn501
    doc.values.torque[12] = -9;       // an unused slot that a file may still carry
    doc.statusSnapshot[0] = -1000;
    doc.diagnosticsSnapshot[3] = 258;
    doc.alarmHistoryPosition = 3;
    doc.alarmHistory[9] = 0x8000;
    doc.reservedA[17] = 5;
    doc.reservedB[255] = INT32_MIN;
    return doc;
}

TEST(ParameterExport, CsvImportGivesTheSameFileBackByteForByte) {
    const CNolvaServoDoc original = UnusualDocument();
    const QByteArray csv = ExportCsv(original);
    CNolvaServoDoc imported;
    QString error;
    ASSERT_TRUE(ImportCsv(csv, imported, &error)) << error.toStdString();
    EXPECT_EQ(StoreDocument(imported), StoreDocument(original));

    // Also from a spreadsheet program: byte order mark and CR LF line ends.
    QByteArray edited = "\xEF\xBB\xBF" + csv;
    edited.replace("\n", "\r\n");
    CNolvaServoDoc again;
    ASSERT_TRUE(ImportCsv(edited, again, &error)) << error.toStdString();
    EXPECT_EQ(StoreDocument(again), StoreDocument(original));
}

TEST(ParameterExport, CsvRowsAreFormattedAsTheCatalogueFormatsThem) {
    const QString csv = QString::fromUtf8(ExportCsv(UnusualDocument()));
    EXPECT_TRUE(csv.startsWith(QLatin1String("code,name,value,unit,range,default\n")));
    EXPECT_TRUE(csv.contains(QString::fromUtf8(
        "Cn002,\"接点辅助功能及自动增益调整,EMC复归摸式选择\",1111,,0000~1111,0000\n")));
    EXPECT_TRUE(csv.contains(QString::fromUtf8("Cn011,CW方向转矩命令限制值,-250,%,-300~0,-300\n")));
    EXPECT_TRUE(csv.contains(QLatin1String("slot.T.13,,-9,,,\n")));
    EXPECT_TRUE(csv.contains(QLatin1String("reservedB.256,,-2147483648,,,\n")));
    EXPECT_FALSE(csv.contains(QLatin1String("reservedA.1,")));
}

TEST(ParameterExport, ImportRefusesBadRowsNamingThemAndKeepsTheDocument) {
    const QString good = QString::fromUtf8(ExportCsv(UnusualDocument()));
    struct Case {
        const char* what;
        QString csv;
        const char* mustName;
    };
    QString outOfRange = good;
    outOfRange.replace(QString::fromUtf8("\nCn001,控制模式选择,2,"),
                       QString::fromUtf8("\nCn001,控制模式选择,7,"));
    QString badHex = good;
    badHex.replace(QString::fromUtf8("\nHn501,DI-1接脚功能设定,011C,"),
                   QString::fromUtf8("\nHn501,DI-1接脚功能设定,01XG,"));
    QString missing = good;
    missing.remove(QRegularExpression(QStringLiteral("\\nSn205,[^\\n]*")));
    QString doubled = good + QStringLiteral("Cn001,x,2,,,\n");
    QString unknown = good + QStringLiteral("Zn999,x,2,,,\n");
    QString shortRow = good + QStringLiteral("status.1,2\n");
    QString header = QStringLiteral("code,value\n") + good.section(QLatin1Char('\n'), 1);
    QString quote = good + QStringLiteral("\"status.1,,1,,,\n");
    const Case cases[] = {
        {"value out of range", outOfRange, "Cn001"}, {"not a hexadecimal value", badHex, "Hn501"},
        {"parameter missing", missing, "Sn205"},     {"parameter twice", doubled, "Cn001"},
        {"unknown code", unknown, "Zn999"},          {"short row", shortRow, "6"},
        {"wrong header", header, "code,name,value"}, {"unterminated quote", quote, "引号"},
    };
    for (const Case& c : cases) {
        CNolvaServoDoc doc;
        doc.OnNewDocument();
        const QByteArray before = StoreDocument(doc);
        QString error;
        EXPECT_FALSE(ImportCsv(c.csv.toUtf8(), doc, &error)) << c.what;
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.mustName)))
            << c.what << ": " << error.toStdString();
        EXPECT_EQ(StoreDocument(doc), before) << c.what;
    }
}

TEST(ParameterExport, JsonCarriesValuesRangesAndFlags) {
    const QJsonObject root = QJsonDocument::fromJson(ExportJson(UnusualDocument())).object();
    EXPECT_EQ(root["version"].toString(), "Orvan Servo Ver:0.9.080331");
    const QJsonArray params = root["parameters"].toArray();
    ASSERT_EQ(params.size(), 161);
    const QJsonObject cn011 = params[10].toObject();
    EXPECT_EQ(cn011["code"].toString(), "Cn011");
    EXPECT_EQ(cn011["value"].toInt(), -250);
    EXPECT_EQ(cn011["min"].toInt(), -300);
    const QJsonObject hn501 = params[142].toObject();
    EXPECT_EQ(hn501["code"].toString(), "Hn501");
    EXPECT_EQ(hn501["text"].toString(), "011C");
    EXPECT_TRUE(hn501["restart"].toBool());
    EXPECT_EQ(root["reservedB"].toArray()[255].toInteger(), INT32_MIN);
}

} // namespace

// Parameter files byte for byte: layout, text prefixes, damaged files, the copy commands.

#include "params/Archive.h"
#include "params/NolvaServoDoc.h"
#include "params/NvpFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

constexpr int kVersionBytes = 1 + 26; // prefix byte + "Orvan Servo Ver:0.9.080331"
constexpr int kBodyBytes = 763 * 4;

// A document whose every stored field holds a distinct value, including negative and 32-bit
// ones, so that a swapped, shifted or truncated field shows.
CNolvaServoDoc DistinctDocument() {
    CNolvaServoDoc doc;
    doc.OnNewDocument();
    int32_t next = -1000;
    for (auto& v : doc.statusSnapshot)
        v = next++;
    for (auto& v : doc.diagnosticsSnapshot)
        v = next++;
    doc.alarmHistoryPosition = 7;
    for (auto& v : doc.alarmHistory)
        v = next++;
    for (int g = 0; g < kParamGroupCount; ++g) {
        for (auto& v : doc.values.Group(static_cast<ParamGroup>(g)))
            v = next++ * 3;
    }
    doc.values.position[6] = 0x7FFFFFFF; // Pn307
    doc.values.position[7] = -500000;    // Pn308
    doc.values.position[8] = INT32_MIN;  // Pn309
    doc.values.control[10] = -300;       // Cn011
    for (int i = 0; i < 256; ++i) {
        doc.reservedA[i] = 0x01010101 * (i & 0x7F);
        doc.reservedB[i] = -i;
    }
    doc.contentReplaced = false;
    return doc;
}

int32_t IntAt(const QByteArray& bytes, int offset) {
    return qFromLittleEndian<int32_t>(bytes.constData() + offset);
}

TEST(NvpFile, WrittenFileHasTheExactLayout) {
    const CNolvaServoDoc doc = DistinctDocument();
    const QByteArray bytes = StoreDocument(doc);
    ASSERT_EQ(bytes.size(), kVersionBytes + kBodyBytes);
    EXPECT_EQ(static_cast<uint8_t>(bytes[0]), 26);
    EXPECT_EQ(bytes.mid(1, 26), QByteArray("Orvan Servo Ver:0.9.080331"));
    int offset = kVersionBytes;
    EXPECT_EQ(IntAt(bytes, offset), doc.statusSnapshot[0]);
    offset += 20 * 4;
    EXPECT_EQ(IntAt(bytes, offset), doc.diagnosticsSnapshot[0]);
    offset += 20 * 4;
    EXPECT_EQ(IntAt(bytes, offset), 7);
    offset += 4 + 20 * 4;
    EXPECT_EQ(IntAt(bytes, offset), doc.values.control[0]);
    offset += 40 * 4 + 20 * 4 + 20 * 4;
    EXPECT_EQ(IntAt(bytes, offset + 6 * 4), 0x7FFFFFFF);
    EXPECT_EQ(IntAt(bytes, offset + 8 * 4), INT32_MIN);
    offset += 70 * 4 + 20 * 4;
    EXPECT_EQ(IntAt(bytes, offset), doc.values.contact[0]);
    offset += 20 * 4;
    EXPECT_EQ(IntAt(bytes, offset + 255 * 4), doc.reservedA[255]);
    offset += 256 * 4;
    EXPECT_EQ(IntAt(bytes, offset + 255 * 4), -255);
    EXPECT_EQ(offset + 256 * 4, bytes.size());
}

TEST(NvpFile, RoundTripRestoresEveryValueButNotRangesOrDefaults) {
    const CNolvaServoDoc original = DistinctDocument();
    CNolvaServoDoc loaded(DriveProfile{5000, 8192, 0x331});
    const ParameterSet maxBefore = loaded.maximums;
    const ParameterSet defaultsBefore = loaded.defaults;
    QString error;
    ASSERT_TRUE(LoadDocument(StoreDocument(original), loaded, &error)) << error.toStdString();
    EXPECT_TRUE(loaded.contentReplaced);
    EXPECT_EQ(loaded.maximums, maxBefore);
    EXPECT_EQ(loaded.defaults, defaultsBefore);
    EXPECT_EQ(StoreDocument(loaded), StoreDocument(original));
}

TEST(NvpFile, EveryTruncationIsRefusedAndChangesNothing) {
    const QByteArray bytes = StoreDocument(DistinctDocument());
    CNolvaServoDoc target;
    target.OnNewDocument();
    target.contentReplaced = false;
    const QByteArray before = StoreDocument(target);
    for (qsizetype cut = 0; cut < bytes.size(); ++cut) {
        QString error;
        ASSERT_FALSE(LoadDocument(QByteArrayView(bytes).first(cut), target, &error)) << cut;
        ASSERT_FALSE(error.isEmpty()) << cut;
        ASSERT_EQ(StoreDocument(target), before) << cut;
        ASSERT_FALSE(target.contentReplaced) << cut;
    }
}

QByteArray WithVersionPrefix(const QByteArray& prefixAndText) {
    const QByteArray full = StoreDocument(DistinctDocument());
    return prefixAndText + full.mid(kVersionBytes);
}

TEST(NvpFile, ReadsEveryLengthPrefixForm) {
    const QByteArray text300(300, 'x');
    QByteArray prefix16("\xFF", 1);
    prefix16 += QByteArray("\x2C\x01", 2) + text300;
    QByteArray prefix32("\xFF\xFF\xFF", 3);
    prefix32 += QByteArray("\x05\x00\x00\x00", 4) + QByteArray("Orvan");
    QByteArray wide("\xFF\xFE\xFF", 3);
    wide += QByteArray("\x03", 1) + QByteArray("O\0r\0v\0", 6);
    QByteArray wideLong("\xFF\xFE\xFF\xFF\x2C\x01", 6);
    for (int i = 0; i < 300; ++i)
        wideLong += QByteArray("y\0", 2);
    QByteArray empty("\x00", 1);
    const QByteArray expected = StoreDocument(DistinctDocument());
    for (const QByteArray& head : {prefix16, prefix32, wide, wideLong, empty}) {
        CNolvaServoDoc loaded;
        QString error;
        ASSERT_TRUE(LoadDocument(WithVersionPrefix(head), loaded, &error))
            << head.toHex().left(20).toStdString() << error.toStdString();
        EXPECT_EQ(StoreDocument(loaded), expected);
    }
}

TEST(NvpFile, TextReaderDecodesWideCharactersAndWriterUsesLongPrefixes) {
    QString text;
    QByteArray wide("\xFF\xFE\xFF\x02", 4);
    wide += QByteArray("\x2D\x4E\x87\x65", 4); // "中文" in 16-bit characters
    ArchiveReader reader(wide);
    ASSERT_TRUE(reader.ReadText(&text));
    EXPECT_EQ(text, QString::fromUtf8("中文"));

    for (int length : {254, 255, 0xFFFD, 0xFFFE, 70000}) {
        ArchiveWriter writer;
        writer.WriteText(QString(length, QLatin1Char('a')));
        const QByteArray& bytes = writer.Bytes();
        const int prefix = length < 255 ? 1 : (length < 0xFFFE ? 3 : 7);
        ASSERT_EQ(bytes.size(), prefix + length) << length;
        ArchiveReader back(bytes);
        QString read;
        ASSERT_TRUE(back.ReadText(&read)) << length;
        EXPECT_EQ(read.size(), length);
    }
}

TEST(NvpFile, LengthPrefixClaimingMoreThanTheFileIsRefused) {
    // 0xFF 0xFFFF then a 4 GB length: must be refused, not allocated.
    QByteArray huge("\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 7);
    CNolvaServoDoc doc;
    QString error;
    EXPECT_FALSE(LoadDocument(WithVersionPrefix(huge), doc, &error));
    EXPECT_FALSE(error.isEmpty());
    QByteArray wideHuge("\xFF\xFE\xFF\xFF\xFF\xFF\xFF\xFF\x7F", 9);
    EXPECT_FALSE(LoadDocument(WithVersionPrefix(wideHuge), doc, &error));
}

class NvpFiles : public ::testing::Test {
protected:
    QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }
    static void WriteBytes(const QString& p, const QByteArray& bytes) {
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QTemporaryDir dir;
};

TEST_F(NvpFiles, OpenAcceptsTheExtensionInAnyCaseOnly) {
    const QByteArray bytes = StoreDocument(DistinctDocument());
    for (const char* name : {"a.nvp", "b.NVP", "c.Nvp"}) {
        WriteBytes(path(name), bytes);
        CNolvaServoDoc doc;
        QString error;
        EXPECT_TRUE(OpenDocumentFile(path(name), doc, &error)) << name << error.toStdString();
    }
    for (const char* name : {"d.nvpx", "e.bak", "nvp"}) {
        WriteBytes(path(name), bytes);
        CNolvaServoDoc doc;
        doc.OnNewDocument();
        doc.contentReplaced = false;
        const QByteArray before = StoreDocument(doc);
        QString error;
        EXPECT_FALSE(OpenDocumentFile(path(name), doc, &error)) << name;
        EXPECT_TRUE(error.contains(QString::fromUtf8("无法打开文档"))) << name;
        EXPECT_EQ(StoreDocument(doc), before) << name;
        EXPECT_FALSE(doc.contentReplaced);
    }
}

TEST_F(NvpFiles, SaveReplacesTheFileWholeAndAFailedSaveKeepsTheOldOne) {
    const QString file = path("set.nvp");
    const CNolvaServoDoc doc = DistinctDocument();
    QString error;
    ASSERT_TRUE(SaveDocumentFile(file, doc, &error)) << error.toStdString();
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), StoreDocument(doc));
    f.close();

    // A target that cannot be written (a directory of the same name) fails with a message and
    // leaves no temporary file behind.
    const QString blocked = path("blocked.nvp");
    ASSERT_TRUE(QDir().mkdir(blocked));
    EXPECT_FALSE(SaveDocumentFile(blocked, doc, &error));
    EXPECT_TRUE(error.contains(QLatin1String("blocked.nvp")));
    // Nor is a name without the extension: the file would not open again.
    EXPECT_FALSE(SaveDocumentFile(path("set.txt"), doc, &error));
    EXPECT_FALSE(SaveTransferCopyFile(path("set"), doc, &error));
    EXPECT_TRUE(error.contains(QLatin1String(".nvp")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"set.nvp"});
}

TEST_F(NvpFiles, CopyToComputerWritesTheTransferBuffersBetweenTheDocumentsTables) {
    CNolvaServoDoc doc = DistinctDocument();
    for (int g = 0; g < kParamGroupCount; ++g) {
        for (auto& v : doc.transfer.Group(static_cast<ParamGroup>(g)))
            v = 4242;
    }
    doc.transfer.position[8] = -77;
    const CNolvaServoDoc unchanged = doc;
    const QString file = path("drive.nvp");
    QString error;
    ASSERT_TRUE(SaveTransferCopyFile(file, doc, &error)) << error.toStdString();
    EXPECT_EQ(StoreDocument(doc), StoreDocument(unchanged));

    CNolvaServoDoc opened;
    ASSERT_TRUE(OpenDocumentFile(file, opened, &error)) << error.toStdString();
    EXPECT_EQ(opened.values, doc.transfer);
    EXPECT_EQ(opened.statusSnapshot, doc.statusSnapshot);
    EXPECT_EQ(opened.alarmHistory, doc.alarmHistory);
    EXPECT_EQ(opened.reservedB, doc.reservedB);
}

TEST_F(NvpFiles, CopyToDriveReadsIntoTransferBuffersAndChecksTheVersion) {
    const CNolvaServoDoc source = DistinctDocument();
    const QString good = path("good.nvp");
    WriteBytes(good, StoreDocument(source));
    CNolvaServoDoc doc;
    doc.OnNewDocument();
    const ParameterSet valuesBefore = doc.values;
    QString error;
    ASSERT_TRUE(ReadTransferCopyFile(good, doc, &error)) << error.toStdString();
    EXPECT_EQ(doc.transfer, source.values);
    EXPECT_EQ(doc.values, valuesBefore);
    EXPECT_EQ(doc.statusSnapshot, source.statusSnapshot);
    EXPECT_EQ(doc.reservedA, source.reservedA);

    // A foreign version text: refused, although the file was read completely.
    ArchiveWriter foreign;
    foreign.WriteText(QStringLiteral("Other Tool 1.0"));
    const QByteArray body = StoreDocument(source).mid(kVersionBytes);
    const QString other = path("other.nvp");
    WriteBytes(other, foreign.Bytes() + body);
    CNolvaServoDoc doc2;
    EXPECT_FALSE(ReadTransferCopyFile(other, doc2, &error));
    EXPECT_TRUE(error.contains(QString::fromUtf8("无法打开文档")));
    // Refused means untouched: the foreign file's snapshots and buffers are not taken either.
    EXPECT_EQ(StoreDocument(doc2), StoreDocument(CNolvaServoDoc{}));
    EXPECT_EQ(doc2.transfer, ParameterSet{});

    // A wrong extension or a short file: nothing is read.
    WriteBytes(path("good.bak"), StoreDocument(source));
    WriteBytes(path("short.nvp"), StoreDocument(source).left(500));
    for (const char* name : {"good.bak", "short.nvp"}) {
        CNolvaServoDoc untouched;
        EXPECT_FALSE(ReadTransferCopyFile(path(name), untouched, &error)) << name;
        EXPECT_EQ(StoreDocument(untouched), StoreDocument(CNolvaServoDoc{})) << name;
        EXPECT_EQ(untouched.transfer, ParameterSet{}) << name;
    }
}

} // namespace

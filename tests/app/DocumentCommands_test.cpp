#include "app/DocumentCommands.h"

#include "app/RecentFiles.h"
#include "base/Messenger.h"
#include "base/StringTable.h"
#include "drive/DriveProfile.h"
#include "params/NolvaServoDoc.h"
#include "params/NvpFile.h"
#include "support/ScriptedChooser.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <deque>

namespace {

// Answers the file dialogs from a script; an empty script cancels.
class DocumentCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        commands.SetShowEditorHook([this] { ++editorShown; });
        commands.SetReplacedHook([this] { ++replaced; });
    }

    QString Path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }

    // A parameter file whose values differ from the defaults.
    QString WriteSample(const char* name) {
        CNolvaServoDoc sample(profile);
        sample.OnNewDocument();
        sample.values.control[4] = 8192;
        sample.values.position[6] = -123456;
        sample.statusSnapshot[2] = 77;
        QString error;
        EXPECT_TRUE(SaveDocumentFile(Path(name), sample, &error)) << error.toStdString();
        sampleValues = sample.values;
        return Path(name);
    }

    static QByteArray Contents(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    void Modify() { Modify(document); }
    static void Modify(CNolvaServoDoc& doc) {
        doc.values.speed[0] = 1234;
        doc.modified = true;
    }

    QTemporaryDir dir;
    DriveProfile profile;
    CNolvaServoDoc document{profile};
    RecordingMessenger messenger;
    ScriptedChooser chooser;
    RecentFileList recent;
    DocumentCommands commands{document, profile, messenger, chooser, recent};
    ParameterSet sampleValues;
    int editorShown = 0;
    int replaced = 0;
};

TEST_F(DocumentCommandsTest, NewUsesTheCurrentDriveAndOpensTheEditorFromTheSecondTimeOn) {
    profile.encoderPulses = 8192;
    profile.maxMotorSpeed = 2000;
    ASSERT_TRUE(commands.FileNew());             // start-up's new document
    EXPECT_EQ(document.values.control[4], 8192); // Cn005: encoder pulses
    EXPECT_EQ(document.values.speed[15], 2000);  // Sn216: maximum speed
    EXPECT_EQ(editorShown, 0);
    EXPECT_TRUE(commands.NewDocumentFlag());

    ASSERT_TRUE(commands.FileNew()); // the user's
    EXPECT_EQ(editorShown, 1);
    EXPECT_EQ(replaced, 2);
    EXPECT_FALSE(commands.Modified());
}

TEST_F(DocumentCommandsTest, OpenRefusesOtherExtensionsAndLeavesTheDocumentAlone) {
    commands.FileNew();
    const QString good = WriteSample("axis.nvp");
    ASSERT_TRUE(QFile::copy(good, Path("axis.bak")));
    Modify();
    const CNolvaServoDoc before = document;
    chooser.answers = {Path("axis.bak")};
    EXPECT_FALSE(commands.FileOpen());
    // Only the refusal: no question about saving the current document first.
    ASSERT_EQ(messenger.messages.size(), 1);
    EXPECT_EQ(messenger.messages[0].icon, MessageIcon::Warning);
    EXPECT_EQ(StoreDocument(document), StoreDocument(before));
    EXPECT_TRUE(commands.Path().isEmpty());
    EXPECT_TRUE(commands.Modified());
    EXPECT_EQ(chooser.filters.first(), StringText(172));
    EXPECT_TRUE(recent.Entries().isEmpty());
}

TEST_F(DocumentCommandsTest, OpenLoadsTheFileNamesTheWindowAndShowsTheEditor) {
    commands.FileNew();
    const int editorBefore = editorShown;
    const QString path = WriteSample("Axis 2.NVP");
    chooser.answers = {path};
    ASSERT_TRUE(commands.FileOpen());
    EXPECT_EQ(document.values, sampleValues);
    EXPECT_TRUE(document.contentReplaced);
    EXPECT_FALSE(commands.Modified());
    EXPECT_EQ(commands.Path(), path);
    EXPECT_EQ(commands.Title(), QStringLiteral("Axis 2.NVP - Orvan Servo v0.9.080331"));
    EXPECT_EQ(recent.Entries(), QStringList{path});
    EXPECT_EQ(editorShown, editorBefore + 1);
    EXPECT_TRUE(messenger.messages.isEmpty());
}

TEST_F(DocumentCommandsTest, DamagedFileIsRefusedWithTheReason) {
    commands.FileNew();
    const QString full = WriteSample("short.nvp");
    ASSERT_TRUE(QFile::resize(full, 29));
    const ParameterSet before = document.values;
    EXPECT_FALSE(commands.OpenPath(Path("short.nvp")));
    ASSERT_EQ(messenger.messages.size(), 1);
    EXPECT_TRUE(messenger.messages[0].text.contains(QStringLiteral("文件已损坏或不完整")));
    EXPECT_EQ(document.values, before);
    EXPECT_TRUE(commands.Path().isEmpty());
}

TEST_F(DocumentCommandsTest, SaveQuestionBeforeAModifiedDocumentIsReplaced) {
    commands.FileNew();
    const QString other = WriteSample("other.nvp");

    // Cancel: nothing happens.
    Modify();
    messenger.answers = {MessageAnswer::Cancel};
    EXPECT_FALSE(commands.OpenPath(other));
    ASSERT_EQ(messenger.messages.size(), 1);
    EXPECT_EQ(messenger.messages[0].text, QStringLiteral("参数内容有变更，是否要保存？"));
    EXPECT_EQ(messenger.messages[0].caption, QStringLiteral("保存文档"));
    EXPECT_EQ(messenger.messages[0].buttons, MessageButtons::YesNoCancel);
    EXPECT_EQ(document.values.speed[0], 1234);

    // No: the changes are dropped.
    messenger.answers = {MessageAnswer::No};
    EXPECT_TRUE(commands.OpenPath(other));
    EXPECT_EQ(document.values, sampleValues);

    // Yes on a document with a file: saved there, then replaced by New.
    Modify();
    messenger.answers = {MessageAnswer::Yes};
    EXPECT_TRUE(commands.FileNew());
    CNolvaServoDoc reread(profile);
    QString error;
    ASSERT_TRUE(OpenDocumentFile(other, reread, &error)) << error.toStdString();
    EXPECT_EQ(reread.values.speed[0], 1234);
    EXPECT_TRUE(chooser.suggestions.isEmpty()); // no file dialog for a named document
}

TEST_F(DocumentCommandsTest, SaveOfAnUntitledDocumentAsksForANameAndAddsTheExtension) {
    commands.FileNew();
    Modify();
    chooser.answers = {Path("line3")};
    ASSERT_TRUE(commands.FileSave());
    EXPECT_EQ(chooser.filters.last(), StringText(173));
    EXPECT_EQ(chooser.suggestions.last(), QStringLiteral("无标题.nvp"));
    EXPECT_EQ(commands.Path(), Path("line3.nvp"));
    EXPECT_FALSE(commands.Modified());
    EXPECT_TRUE(QFile::exists(Path("line3.nvp")));
    EXPECT_FALSE(QFile::exists(Path("line3")));

    // A cancelled dialog saves nothing and keeps the modified state.
    Modify();
    chooser.answers = {std::nullopt};
    EXPECT_FALSE(commands.FileSaveAs());
    EXPECT_TRUE(commands.Modified());
}

TEST_F(DocumentCommandsTest, SaveAsAsksBeforeReplacingTheExtendedName) {
    commands.FileNew();
    const QString existing = WriteSample("press.bak.nvp");
    const QByteArray before = Contents(existing);
    Modify();
    chooser.answers = {Path("press.bak")};
    messenger.answers = {MessageAnswer::No};
    EXPECT_FALSE(commands.FileSaveAs());
    ASSERT_EQ(messenger.messages.size(), 1);
    EXPECT_TRUE(messenger.messages[0].text.contains(QLatin1String("press.bak.nvp")));
    EXPECT_EQ(Contents(existing), before);

    chooser.answers = {Path("press.bak")};
    messenger.answers = {MessageAnswer::Yes};
    EXPECT_TRUE(commands.FileSaveAs());
    EXPECT_EQ(commands.Path(), existing);
}

TEST_F(DocumentCommandsTest, RecentEntryThatCannotBeOpenedLeavesTheList) {
    commands.FileNew();
    const QString kept = WriteSample("kept.nvp");
    const QString gone = WriteSample("gone.nvp");
    recent.Add(kept);
    recent.Add(gone);
    ASSERT_TRUE(QFile::remove(gone));
    EXPECT_FALSE(commands.OpenRecent(0));
    EXPECT_EQ(recent.Entries(), QStringList{kept});
    EXPECT_TRUE(commands.OpenRecent(0));
    EXPECT_EQ(commands.Path(), kept);
    EXPECT_FALSE(commands.OpenRecent(5));
}

TEST_F(DocumentCommandsTest, DroppedFilesOpenTheFirst) {
    commands.FileNew();
    const QString first = WriteSample("first.nvp");
    EXPECT_TRUE(commands.OpenDropped({first, Path("second.nvp")}));
    EXPECT_EQ(commands.Path(), first);
    EXPECT_FALSE(commands.OpenDropped({}));
}

TEST_F(DocumentCommandsTest, RecoveryFileKeepsOnlyAModifiedDocumentAndIsOfferedOnce) {
    commands.FileNew();
    const QString recovery = RecoveryFilePath(Path("OrvanServo.ini"));
    EXPECT_EQ(recovery, Path("OrvanServo-recovery.nvp"));

    QString error;
    ASSERT_TRUE(commands.KeepForRecovery(recovery, &error));
    EXPECT_FALSE(QFile::exists(recovery)); // unchanged: nothing to keep
    EXPECT_FALSE(commands.OfferRecovery(recovery));
    EXPECT_TRUE(messenger.messages.isEmpty());

    Modify();
    ASSERT_TRUE(commands.KeepForRecovery(recovery, &error)) << error.toStdString();
    ASSERT_TRUE(QFile::exists(recovery));

    // The next run: "No" deletes the kept file and leaves the new document.
    CNolvaServoDoc nextDoc(profile);
    DocumentCommands next(nextDoc, profile, messenger, chooser, recent);
    next.FileNew();
    messenger.answers = {MessageAnswer::No};
    EXPECT_FALSE(next.OfferRecovery(recovery));
    ASSERT_EQ(messenger.messages.size(), 1);
    EXPECT_EQ(messenger.messages[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(messenger.messages[0].text, DocumentCommands::RecoveryQuestionText());
    EXPECT_FALSE(QFile::exists(recovery));
    EXPECT_EQ(nextDoc.values.speed[0], nextDoc.defaults.speed[0]);

    // "Yes" takes the changes back as an untitled, modified document.
    ASSERT_TRUE(commands.KeepForRecovery(recovery, &error));
    messenger.answers = {MessageAnswer::Yes};
    EXPECT_TRUE(next.OfferRecovery(recovery));
    EXPECT_EQ(nextDoc.values.speed[0], 1234);
    EXPECT_TRUE(next.Modified());
    EXPECT_TRUE(next.Path().isEmpty());
    EXPECT_FALSE(QFile::exists(recovery));
}

// A document kept at a stop signal comes back as the file it was: its name in the title, Save
// writing there, still marked modified.
TEST_F(DocumentCommandsTest, RecoveredDocumentKeepsTheFileItCameFrom) {
    const QString original = WriteSample("machine 7.nvp");
    ASSERT_TRUE(commands.OpenPath(original));
    Modify();
    const QString recovery = RecoveryFilePath(Path("OrvanServo.ini"));
    QString error;
    ASSERT_TRUE(commands.KeepForRecovery(recovery, &error)) << error.toStdString();

    CNolvaServoDoc nextDoc(profile);
    DocumentCommands next(nextDoc, profile, messenger, chooser, recent);
    next.FileNew();
    messenger.answers = {MessageAnswer::Yes};
    ASSERT_TRUE(next.OfferRecovery(recovery));
    EXPECT_EQ(next.Path(), original);
    EXPECT_TRUE(next.Modified());
    EXPECT_TRUE(next.Title().startsWith(QStringLiteral("machine 7"))) << next.Title().toStdString();
    EXPECT_TRUE(QDir(dir.path()).entryList({QStringLiteral("OrvanServo-recovery*")}).isEmpty());

    ASSERT_TRUE(next.FileSave());
    EXPECT_FALSE(next.Modified());
    CNolvaServoDoc saved(profile);
    ASSERT_TRUE(OpenDocumentFile(original, saved, &error)) << error.toStdString();
    EXPECT_EQ(saved.values.speed[0], 1234);

    // An untitled document leaves no name behind: recovered, it is untitled again.
    next.FileNew();
    Modify(nextDoc);
    ASSERT_TRUE(next.KeepForRecovery(recovery, &error));
    messenger.answers = {MessageAnswer::Yes};
    ASSERT_TRUE(next.OfferRecovery(recovery));
    EXPECT_TRUE(next.Path().isEmpty());
}

} // namespace

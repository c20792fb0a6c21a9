#include "app/DocumentCommands.h"

#include "app/DocumentTemplate.h"
#include "app/RecentFiles.h"
#include "base/AtomicFile.h"
#include "base/BoundedRead.h"
#include "base/FileChooser.h"
#include "base/FileNames.h"
#include "base/Messenger.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "drive/ParameterCatalogue.h"
#include "params/NolvaServoDoc.h"
#include "params/NvpFile.h"

#include <QDir>
#include <QFileInfo>

namespace {

constexpr char kRecoveryFileName[] = "OrvanServo-recovery.nvp";
// Beside the kept document: the path of the file it came from, one line of UTF-8 (absent for an
// untitled document).
constexpr char kRecoveryPathSuffix[] = ".path";
constexpr qint64 kMaxRecoveryPathBytes = 4096;

QString RecoveryNamePath(const QString& recoveryPath) {
    return recoveryPath + QLatin1String(kRecoveryPathSuffix);
}

QString ReadRecoveryName(const QString& recoveryPath) {
    QByteArray name;
    if (!ReadFileWithLimit(RecoveryNamePath(recoveryPath), kMaxRecoveryPathBytes, &name, nullptr))
        return {};
    return QString::fromUtf8(name).trimmed();
}

void ShowWarning(Messenger& messenger, const QString& text) {
    Message message;
    message.text = text;
    message.icon = MessageIcon::Warning;
    messenger.Show(message);
}

} // namespace

DocumentCommands::DocumentCommands(CNolvaServoDoc& document, const DriveProfile& profile,
                                   Messenger& messenger, FileChooser& chooser,
                                   RecentFileList& recent)
    : document_(document), profile_(profile), messenger_(messenger), chooser_(chooser),
      recent_(recent) {}

bool DocumentCommands::Modified() const {
    return document_.modified;
}

void DocumentCommands::SetModified(bool modified) {
    if (document_.modified == modified)
        return;
    document_.modified = modified;
    Changed();
}

QString DocumentCommands::Title(const QString& modifiedMarker) const {
    return FrameTitle(path_, ProgramDocumentTemplate(), modifiedMarker);
}

bool DocumentCommands::FileNew() {
    if (!SaveModified())
        return false;
    // Defaults and ranges follow the drive last read (encoder pulses, maximum speed).
    FillParameterDefaults(document_, profile_);
    FillParameterRanges(document_, profile_);
    document_.OnNewDocument();
    document_.modified = false;
    path_.clear();
    Replaced();
    Changed();
    if (newDocumentFlag_ && showEditor_)
        showEditor_();
    newDocumentFlag_ = true;
    return true;
}

bool DocumentCommands::FileOpen() {
    const std::optional<QString> path =
        chooser_.ChooseFileToOpen(StringText(StringId::kOpenFilter));
    if (!path || path->isEmpty())
        return false;
    return OpenPath(*path);
}

bool DocumentCommands::OpenPath(const QString& path) {
    return Open(path) == OpenResult::Opened;
}

DocumentCommands::OpenResult DocumentCommands::Open(const QString& path) {
    QString error;
    // The extension is checked before anything else, so a refused file costs the user no
    // question about the current document.
    if (!HasParameterFileExtension(path)) {
        OpenDocumentFile(path, document_, &error); // refuses without touching the document
        ShowWarning(messenger_, error);
        return OpenResult::Refused;
    }
    if (!SaveModified())
        return OpenResult::Cancelled;
    if (!OpenDocumentFile(path, document_, &error)) {
        ShowWarning(messenger_, error);
        return OpenResult::Refused;
    }
    document_.modified = false;
    path_ = QFileInfo(path).absoluteFilePath();
    RememberRecent(path_);
    Replaced();
    Changed();
    if (showEditor_)
        showEditor_();
    return OpenResult::Opened;
}

bool DocumentCommands::OpenRecent(int index) {
    if (index < 0 || index >= recent_.Entries().size())
        return false;
    const QString path = recent_.Entries()[index];
    switch (Open(path)) {
    case OpenResult::Opened: return true;
    case OpenResult::Cancelled: return false;
    case OpenResult::Refused: break;
    }
    // A file that has gone or cannot be read leaves the list.
    recent_.Remove(path);
    if (recentChanged_)
        recentChanged_();
    Changed();
    return false;
}

bool DocumentCommands::OpenDropped(const QStringList& paths) {
    if (paths.isEmpty())
        return false;
    return OpenPath(paths.first());
}

bool DocumentCommands::FileSave() {
    if (path_.isEmpty())
        return FileSaveAs();
    return SaveTo(path_);
}

std::optional<QString> DocumentCommands::ChooseParameterFileToWrite(const QString& suggested) {
    const std::optional<QString> chosen =
        chooser_.ChooseFileToSave(StringText(StringId::kSaveFilter), suggested);
    if (!chosen || chosen->isEmpty())
        return std::nullopt;
    const QString target = WithParameterFileExtension(*chosen);
    // The chooser asked about the name it returned; a name extended here is asked about now.
    if (target != *chosen && FileExists(target)) {
        Message question;
        question.text =
            QStringLiteral("%1 已存在。\n要替换它吗？").arg(QDir::toNativeSeparators(target));
        question.icon = MessageIcon::Warning;
        question.buttons = MessageButtons::YesNo;
        if (messenger_.Show(question) != MessageAnswer::Yes)
            return std::nullopt;
    }
    return target;
}

std::optional<QString> DocumentCommands::ChooseCopyToComputerFile() {
    // No name to suggest: the copy is not the document's own file.
    return ChooseParameterFileToWrite(QString());
}

std::optional<QString> DocumentCommands::ChooseCopyToDriveFile() {
    const std::optional<QString> chosen =
        chooser_.ChooseFileToOpen(StringText(StringId::kOpenFilter));
    if (!chosen || chosen->isEmpty())
        return std::nullopt;
    return chosen;
}

bool DocumentCommands::FileSaveAs() {
    QString suggested = path_;
    if (suggested.isEmpty()) {
        const DocumentTemplate& t = ProgramDocumentTemplate();
        suggested = t.untitledName + t.extension;
    }
    const std::optional<QString> target = ChooseParameterFileToWrite(suggested);
    if (!target)
        return false;
    if (!SaveTo(*target))
        return false;
    path_ = QFileInfo(*target).absoluteFilePath();
    Changed();
    return true;
}

bool DocumentCommands::SaveTo(const QString& path) {
    QString error;
    if (!SaveDocumentFile(path, document_, &error)) {
        ShowWarning(messenger_, error);
        return false;
    }
    document_.modified = false;
    RememberRecent(path);
    Changed();
    return true;
}

QString DocumentCommands::SaveQuestionText() {
    return StringText(StringId::kSaveQuestion);
}

QString DocumentCommands::RecoveryQuestionText() {
    return QStringLiteral("上次程序未正常关闭，参数文档中未保存的变更已保留。\n\n"
                          "是否恢复这些变更？（选择“否”将删除保留的文档。）");
}

bool DocumentCommands::SaveModified() {
    if (!document_.modified)
        return true;
    Message question;
    question.text = SaveQuestionText();
    question.caption = StringText(StringId::kSaveCaption);
    question.icon = MessageIcon::Warning;
    question.buttons = MessageButtons::YesNoCancel;
    switch (messenger_.Show(question)) {
    case MessageAnswer::Yes: return FileSave();
    case MessageAnswer::No: return true;
    default: return false;
    }
}

bool DocumentCommands::KeepForRecovery(const QString& recoveryPath, QString* error) const {
    if (!document_.modified)
        return true;
    if (!SaveDocumentFile(recoveryPath, document_, error))
        return false;
    const QString namePath = RecoveryNamePath(recoveryPath);
    if (path_.isEmpty()) {
        RemoveFile(namePath);
        return true;
    }
    return WriteFileAtomically(namePath, path_.toUtf8() + '\n', error);
}

bool DocumentCommands::OfferRecovery(const QString& recoveryPath) {
    if (!FileExists(recoveryPath))
        return false;
    Message question;
    question.text = RecoveryQuestionText();
    question.icon = MessageIcon::Question;
    question.buttons = MessageButtons::YesNo;
    bool recovered = false;
    if (messenger_.Show(question) == MessageAnswer::Yes) {
        QString error;
        if (OpenDocumentFile(recoveryPath, document_, &error)) {
            // The kept changes are not in the user's file yet: the document is still that file's
            // (Save writes there), modified.
            document_.modified = true;
            path_ = ReadRecoveryName(recoveryPath);
            recovered = true;
            Replaced();
            Changed();
        } else {
            ShowWarning(messenger_, error);
        }
    }
    RemoveFile(recoveryPath);
    RemoveFile(RecoveryNamePath(recoveryPath));
    return recovered;
}

void DocumentCommands::Changed() {
    if (changed_)
        changed_();
}

void DocumentCommands::Replaced() {
    if (replaced_)
        replaced_();
}

void DocumentCommands::RememberRecent(const QString& path) {
    recent_.Add(path);
    if (recentChanged_)
        recentChanged_();
}

QString RecoveryFilePath(const QString& settingsPath) {
    return QFileInfo(settingsPath).absoluteDir().filePath(QLatin1String(kRecoveryFileName));
}

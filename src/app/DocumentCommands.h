#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class CNolvaServoDoc;
class FileChooser;
class Messenger;
class RecentFileList;
struct DriveProfile;

// The File menu's work on the one document: New, Open (also from the recent list and from files
// dropped on the window), Save, Save As, the question whether to save a modified document before
// it is replaced or the program closes, and the recovery file that keeps a modified document
// when the program is stopped by a signal. Messages go through the Messenger and file names
// through the FileChooser, so the window only forwards its commands here.
class DocumentCommands {
public:
    DocumentCommands(CNolvaServoDoc& document, const DriveProfile& profile, Messenger& messenger,
                     FileChooser& chooser, RecentFileList& recent);

    // After the document's name, its modified state or the recent list changed (window title,
    // menus).
    void SetChangedHook(std::function<void()> hook) { changed_ = std::move(hook); }
    // After a new or loaded parameter set replaced the old one (the view's initial update).
    void SetReplacedHook(std::function<void()> hook) { replaced_ = std::move(hook); }
    // The parameter editor command: run after a file was loaded and after every File New but
    // the first.
    void SetShowEditorHook(std::function<void()> hook) { showEditor_ = std::move(hook); }
    // After the recent list changed, to keep it.
    void SetRecentChangedHook(std::function<void()> hook) { recentChanged_ = std::move(hook); }

    // File New: every value back to the defaults of the current drive profile.
    bool FileNew();
    // File Open: the file chooser with the filter of string 172, then OpenPath.
    bool FileOpen();
    // Opens a parameter file. A name without the ".nvp" extension or a damaged file is refused
    // with a message and the document stays as it was.
    bool OpenPath(const QString& path);
    // Entry `index` of the recent list; an entry that cannot be opened leaves the list.
    bool OpenRecent(int index);
    // Files dropped on the window: the first one is opened.
    bool OpenDropped(const QStringList& paths);
    // Save: to the document's file, or Save As for an untitled document.
    bool FileSave();
    // Save As: the file chooser with the filter of string 173; the name gets ".nvp" when it
    // lacks it.
    bool FileSaveAs();
    // The files of the copy commands, which the view then fills from the drive or writes to it.
    // Copy to computer: the chooser with the filter of string 173, the name completed to ".nvp"
    // as by Save As (an existing file is asked about). Copy to drive: an existing file, with the
    // filter of string 172. Nothing when the user cancelled.
    std::optional<QString> ChooseCopyToComputerFile();
    std::optional<QString> ChooseCopyToDriveFile();
    // Before the document is replaced or the program closes: when the document was changed,
    // asks whether to save it. False when the user cancelled (or the save failed).
    bool SaveModified();

    const QString& Path() const { return path_; }
    bool Modified() const;
    void SetModified(bool modified);
    // On from the first File New on.
    bool NewDocumentFlag() const { return newDocumentFlag_; }
    // The window title; `modifiedMarker` follows the document name.
    QString Title(const QString& modifiedMarker = {}) const;

    // Writes a modified document to `recoveryPath` (nothing when it is unchanged), and beside it
    // the path of the document's file when it has one.
    bool KeepForRecovery(const QString& recoveryPath, QString* error) const;
    // When `recoveryPath` exists, asks whether to take the kept document back. Yes loads it as
    // a modified document of the file it was kept from (untitled when it had none); either way
    // the kept files are deleted. True when it was loaded.
    bool OfferRecovery(const QString& recoveryPath);

    // The question asked before a modified document is replaced or the program closes.
    static QString SaveQuestionText();
    static QString RecoveryQuestionText();

private:
    enum class OpenResult { Opened, Refused, Cancelled };
    OpenResult Open(const QString& path);
    void Changed();
    void Replaced();
    void RememberRecent(const QString& path);
    bool SaveTo(const QString& path);
    std::optional<QString> ChooseParameterFileToWrite(const QString& suggested);

    CNolvaServoDoc& document_;
    const DriveProfile& profile_;
    Messenger& messenger_;
    FileChooser& chooser_;
    RecentFileList& recent_;
    QString path_;
    bool newDocumentFlag_ = false;
    std::function<void()> changed_;
    std::function<void()> replaced_;
    std::function<void()> showEditor_;
    std::function<void()> recentChanged_;
};

// The recovery file beside the settings file: "OrvanServo-recovery.nvp".
QString RecoveryFilePath(const QString& settingsPath);

#include "params/NvpFile.h"

#include "base/AtomicFile.h"
#include "base/BoundedRead.h"
#include "base/SystemErrors.h"
#include "params/Archive.h"
#include "params/NolvaServoDoc.h"

#include <QFile>
#include <QFileInfo>

namespace {

// Everything a parameter file holds besides the version text, in file order. Both the document
// and the copy commands go through this one layout.
struct FileBody {
    std::array<int32_t, 20> statusSnapshot{};
    std::array<int32_t, 20> diagnosticsSnapshot{};
    int32_t alarmHistoryPosition = 0;
    std::array<int32_t, 20> alarmHistory{};
    ParameterSet values;
    std::array<int32_t, 256> reservedA{};
    std::array<int32_t, 256> reservedB{};
};

constexpr ParamGroup kFileGroupOrder[] = {ParamGroup::Control, ParamGroup::Torque,
                                          ParamGroup::Speed,   ParamGroup::Position,
                                          ParamGroup::Quick,   ParamGroup::Contact};

FileBody BodyOf(const CNolvaServoDoc& document, const ParameterSet& values) {
    FileBody body;
    body.statusSnapshot = document.statusSnapshot;
    body.diagnosticsSnapshot = document.diagnosticsSnapshot;
    body.alarmHistoryPosition = document.alarmHistoryPosition;
    body.alarmHistory = document.alarmHistory;
    body.values = values;
    body.reservedA = document.reservedA;
    body.reservedB = document.reservedB;
    return body;
}

// Monitor snapshots and reserved tables of a file go into the document.
void TakeSnapshots(const FileBody& body, CNolvaServoDoc& document) {
    document.statusSnapshot = body.statusSnapshot;
    document.diagnosticsSnapshot = body.diagnosticsSnapshot;
    document.alarmHistoryPosition = body.alarmHistoryPosition;
    document.alarmHistory = body.alarmHistory;
    document.reservedA = body.reservedA;
    document.reservedB = body.reservedB;
}

QByteArray Store(const QString& versionText, const FileBody& body) {
    ArchiveWriter out;
    out.WriteText(versionText);
    out.WriteInt32s(body.statusSnapshot);
    out.WriteInt32s(body.diagnosticsSnapshot);
    out.WriteInt32(body.alarmHistoryPosition);
    out.WriteInt32s(body.alarmHistory);
    for (ParamGroup g : kFileGroupOrder) {
        out.WriteInt32s(body.values.Group(g));
    }
    out.WriteInt32s(body.reservedA);
    out.WriteInt32s(body.reservedB);
    return out.Bytes();
}

bool Load(QByteArrayView bytes, QString* versionText, FileBody* body, QString* error) {
    ArchiveReader in(bytes);
    int32_t position = 0;
    bool ok = in.ReadText(versionText) && in.ReadInt32s(body->statusSnapshot) &&
              in.ReadInt32s(body->diagnosticsSnapshot) &&
              in.ReadInt32s(std::span<int32_t>(&position, 1)) && in.ReadInt32s(body->alarmHistory);
    for (ParamGroup g : kFileGroupOrder) {
        ok = ok && in.ReadInt32s(body->values.Group(g));
    }
    ok = ok && in.ReadInt32s(body->reservedA) && in.ReadInt32s(body->reservedB);
    if (!ok) {
        if (error != nullptr) {
            *error = in.Error();
        }
        return false;
    }
    body->alarmHistoryPosition = position;
    return true;
}

// A document is about 3 KB of fixed fields; its one variable part, the version text, is short.
// Far past that, a file is not a document, and its reading stops there.
constexpr qint64 kMaxParameterFileBytes = 64 * 1024;

bool ReadWholeFile(const QString& path, QByteArray* bytes, QString* error) {
    FileReadError readError;
    if (!ReadFileWithLimit(path, kMaxParameterFileBytes, bytes, &readError)) {
        *error = CannotOpenDocumentText(path, FileReadErrorText(readError));
        return false;
    }
    return true;
}

// A file saved under another extension could not be opened again: saving keeps the rule that
// opening applies.
bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString* error) {
    QString reason;
    if (!HasParameterFileExtension(path)) {
        reason = QStringLiteral("参数文档的扩展名必须是 .nvp。");
    }
    if (!reason.isEmpty() || !WriteFileAtomically(path, bytes, &reason)) {
        if (error != nullptr) {
            *error = QStringLiteral("无法保存文档 %1：%2").arg(path, reason);
        }
        return false;
    }
    return true;
}

void SetError(QString* error, const QString& text) {
    if (error != nullptr) {
        *error = text;
    }
}

} // namespace

QString CannotOpenDocumentText(const QString& path, const QString& reason) {
    return QStringLiteral("无法打开文档 %1。\n\n%2").arg(QFileInfo(path).fileName(), reason);
}

QByteArray StoreDocument(const CNolvaServoDoc& document) {
    return Store(document.versionText, BodyOf(document, document.values));
}

bool LoadDocument(QByteArrayView bytes, CNolvaServoDoc& document, QString* error) {
    QString versionText; // read and not checked: any parameter file opens
    FileBody body;
    QString why;
    if (!Load(bytes, &versionText, &body, &why)) {
        SetError(error, QStringLiteral("文件已损坏或不完整：%1。").arg(why));
        return false;
    }
    TakeSnapshots(body, document);
    // The contact values in the drive are not part of a file and stay as they are.
    document.values = body.values;
    document.contentReplaced = true;
    return true;
}

bool HasParameterFileExtension(const QString& path) {
    return path.right(4).toUpper() == QLatin1String(".NVP");
}

namespace {

// The extension test, then the whole file.
bool ReadParameterFile(const QString& path, QByteArray* bytes, QString* error) {
    if (!HasParameterFileExtension(path)) {
        SetError(error,
                 CannotOpenDocumentText(path, QStringLiteral("参数文档的扩展名必须是 .nvp。")));
        return false;
    }
    QString why;
    if (!ReadWholeFile(path, bytes, &why)) {
        SetError(error, why);
        return false;
    }
    return true;
}

} // namespace

bool OpenDocumentFile(const QString& path, CNolvaServoDoc& document, QString* error) {
    QByteArray bytes;
    if (!ReadParameterFile(path, &bytes, error)) {
        return false;
    }
    QString why;
    if (!LoadDocument(bytes, document, &why)) {
        SetError(error, CannotOpenDocumentText(path, why));
        return false;
    }
    return true;
}

bool SaveDocumentFile(const QString& path, const CNolvaServoDoc& document, QString* error) {
    return WriteWholeFile(path, StoreDocument(document), error);
}

QByteArray StoreTransferCopy(const CNolvaServoDoc& document) {
    return Store(document.versionText, BodyOf(document, document.transfer));
}

bool SaveTransferCopyFile(const QString& path, const CNolvaServoDoc& document, QString* error) {
    return WriteWholeFile(path, StoreTransferCopy(document), error);
}

bool LoadTransferCopy(QByteArrayView bytes, CNolvaServoDoc& document, QString* versionText,
                      QString* error) {
    FileBody body;
    QString why;
    if (!Load(bytes, versionText, &body, &why)) {
        SetError(error, QStringLiteral("文件已损坏或不完整：%1。").arg(why));
        return false;
    }
    TakeSnapshots(body, document);
    document.transfer = body.values;
    return true;
}

bool ReadTransferCopyFile(const QString& path, CNolvaServoDoc& document, QString* error) {
    QByteArray bytes;
    if (!ReadParameterFile(path, &bytes, error)) {
        return false;
    }
    // Read aside first: a file from another program is refused without its snapshots and
    // reserved tables replacing the document's.
    QString why;
    QString versionText;
    CNolvaServoDoc loaded = document;
    if (!LoadTransferCopy(bytes, loaded, &versionText, &why)) {
        SetError(error, CannotOpenDocumentText(path, why));
        return false;
    }
    if (!versionText.contains(QLatin1String("Orvan Servo"))) {
        SetError(error,
                 CannotOpenDocumentText(path, QStringLiteral("这不是 Orvan Servo 的参数文档。")));
        return false;
    }
    document = loaded;
    return true;
}

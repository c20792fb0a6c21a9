// The copy-to-drive reader: a parameter file read from disk into the transfer buffers, ready to
// be written to the drive. On every input:
// - a refused file (short, damaged, or not written by this program) leaves the document exactly
//   as it was;
// - an accepted file names this program in its version text, fills the transfer buffers with the
//   file's parameter tables and the snapshots and reserved tables with the file's, exactly as
//   Open would read them, and touches nothing else (the document's own values above all);
// - copying the buffers back to a file gives the file's tables byte for byte.

#include "DocumentFields.h"
#include "FuzzCheck.h"

#include "params/Archive.h"
#include "params/NvpFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

namespace {

constexpr qsizetype kTableBytes = 763 * 4;

// In memory where the system offers it: a file on disk per input makes the run wait on the disk.
const QString& ScratchFile() {
    static QTemporaryDir folder(QDir(QStringLiteral("/dev/shm")).exists()
                                    ? QStringLiteral("/dev/shm/orvan-fuzz-XXXXXX")
                                    : QDir::tempPath() + QStringLiteral("/orvan-fuzz-XXXXXX"));
    static const QString path = folder.filePath(QStringLiteral("copy.nvp"));
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView file(data, static_cast<qsizetype>(size));
    {
        QFile out(ScratchFile());
        FUZZ_CHECK(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(out.write(file.data(), file.size()) == file.size());
    }
    const CNolvaServoDoc& before = MarkedDocument();
    CNolvaServoDoc document = before;
    QString error;
    if (!ReadTransferCopyFile(ScratchFile(), document, &error)) {
        FUZZ_CHECK(SameDocument(document, before));
        FUZZ_CHECK(!error.isEmpty());
        return 0;
    }

    ArchiveReader in(file);
    QString versionText;
    FUZZ_CHECK(in.ReadText(&versionText));
    FUZZ_CHECK(versionText.contains(QLatin1String("Orvan Servo")));

    // What Open reads from the same bytes is what the copy must have taken.
    CNolvaServoDoc opened = before;
    FUZZ_CHECK(LoadDocument(file, opened, &error));
    FUZZ_CHECK(SameDocument(document, WithStoredFields(before, opened, true)));

    const QByteArray copy = StoreTransferCopy(document);
    FUZZ_CHECK(copy.sliced(copy.size() - kTableBytes) == file.sliced(in.Position(), kTableBytes));
    return 0;
}

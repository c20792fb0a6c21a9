// The ".nvp" reader (Open). On every input:
// - a refused file leaves the document exactly as it was and says why;
// - an accepted file changes only the fields a file stores (and sets content-replaced);
// - saving it again gives the file's tables byte for byte, behind the document's own version
//   text; loading that saved file gives the same document, and saving is then stable.
//
// Not every accepted file saves back to itself: the version text is read and discarded (the
// document keeps its own), it may come in any of the accepted length forms (including the wide
// form), and bytes after the last table are ignored. Only the tables are the file's content, so
// they are what must come back unchanged. A file in the form Save writes, with this document's
// version text, does come back byte for byte.

#include "DocumentFields.h"
#include "FuzzCheck.h"

#include "params/Archive.h"
#include "params/NvpFile.h"

#include <cstddef>
#include <cstdint>

namespace {

constexpr qsizetype kTableBytes = 763 * 4;

// Where the tables start: after the version text, however its length was written.
qsizetype TablesStart(QByteArrayView file) {
    ArchiveReader in(file);
    QString versionText;
    FUZZ_CHECK(in.ReadText(&versionText));
    return in.Position();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // libFuzzer hands the input in a heap block of exactly `size` bytes: a read past the end is
    // caught by the address sanitizer.
    const QByteArrayView file(data, static_cast<qsizetype>(size));
    const CNolvaServoDoc& before = MarkedDocument();
    CNolvaServoDoc document = before;
    QString error;
    if (!LoadDocument(file, document, &error)) {
        FUZZ_CHECK(SameDocument(document, before));
        FUZZ_CHECK(!error.isEmpty());
        return 0;
    }

    CNolvaServoDoc expected = WithStoredFields(before, document, false);
    expected.contentReplaced = true;
    FUZZ_CHECK(SameDocument(document, expected));

    const QByteArray saved = StoreDocument(document);
    const qsizetype start = TablesStart(file);
    FUZZ_CHECK(file.size() - start >= kTableBytes);
    FUZZ_CHECK(saved.size() == TablesStart(saved) + kTableBytes);
    FUZZ_CHECK(saved.sliced(saved.size() - kTableBytes) == file.sliced(start, kTableBytes));
    if (file.size() == saved.size() && file.first(start) == saved.first(start)) {
        FUZZ_CHECK(file == saved);
    }

    CNolvaServoDoc reloaded = before;
    FUZZ_CHECK(LoadDocument(saved, reloaded, &error));
    FUZZ_CHECK(SameDocument(reloaded, document));
    FUZZ_CHECK(StoreDocument(reloaded) == saved);
    return 0;
}

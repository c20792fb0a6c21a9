// The CSV import of a parameter set. On every input:
// - a refused file leaves the document exactly as it was and says why;
// - an accepted file changes only the fields a parameter file stores, its version text and the
//   content-replaced flag, and every parameter it set lies within the document's range;
// - exporting the result and importing that gives the same document, and exporting is stable.
//
// An accepted CSV need not export back to itself byte for byte: rows may come in any order, the
// name, unit, range and default columns are not read, numbers may carry a sign or leading zeros,
// and zero entries of the tables may be present or left out. So the invariant is
// import -> export -> import gives the same document, and export(import(export)) == export.

#include "DocumentFields.h"
#include "FuzzCheck.h"

#include "drive/CatalogueTable.h"
#include "params/ParameterExport.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView csv(data, static_cast<qsizetype>(size));
    const CNolvaServoDoc& before = MarkedDocument();
    CNolvaServoDoc document = before;
    QString error;
    if (!ImportCsv(csv, document, &error)) {
        FUZZ_CHECK(SameDocument(document, before));
        FUZZ_CHECK(!error.isEmpty());
        return 0;
    }

    CNolvaServoDoc expected = WithStoredFields(before, document, false);
    expected.versionText = document.versionText;
    expected.contentReplaced = true;
    FUZZ_CHECK(SameDocument(document, expected));
    for (const ParamSpec& p : AllParameters()) {
        const ParamCode code{p.letter, p.number};
        FUZZ_CHECK(*document.values.Slot(code) >= *document.minimums.Slot(code));
        FUZZ_CHECK(*document.values.Slot(code) <= *document.maximums.Slot(code));
    }

    const QByteArray exported = ExportCsv(document);
    CNolvaServoDoc again = before;
    FUZZ_CHECK(ImportCsv(exported, again, &error));
    FUZZ_CHECK(SameDocument(again, document));
    FUZZ_CHECK(ExportCsv(again) == exported);
    return 0;
}

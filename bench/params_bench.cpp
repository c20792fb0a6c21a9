// Parameter files and catalogue look-ups: each must stay far below what a user could notice.

#include "drive/ParameterCatalogue.h"
#include "params/NolvaServoDoc.h"
#include "params/NvpFile.h"

#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

void BM_NewDocument(benchmark::State& state) {
    for (auto _ : state) {
        CNolvaServoDoc doc;
        doc.OnNewDocument();
        benchmark::DoNotOptimize(doc.values.control[0]);
    }
}
BENCHMARK(BM_NewDocument);

void BM_LoadFile(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath("set.nvp");
    CNolvaServoDoc source;
    source.OnNewDocument();
    SaveDocumentFile(path, source, nullptr);
    CNolvaServoDoc doc;
    for (auto _ : state) {
        QString error;
        if (!OpenDocumentFile(path, doc, &error)) {
            state.SkipWithError("open failed");
        }
    }
}
BENCHMARK(BM_LoadFile);

void BM_SaveFile(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath("set.nvp");
    CNolvaServoDoc doc;
    doc.OnNewDocument();
    for (auto _ : state) {
        if (!SaveDocumentFile(path, doc, nullptr)) {
            state.SkipWithError("save failed");
        }
    }
}
BENCHMARK(BM_SaveFile);

void BM_ConvertAllParameters(benchmark::State& state) {
    const char letters[] = {'C', 'T', 'S', 'P', 'q', 'H'};
    const int counts[] = {40, 8, 18, 69, 7, 19};
    for (auto _ : state) {
        int32_t sum = 0;
        for (int g = 0; g < 6; ++g) {
            for (int n = 1; n <= counts[g]; ++n) {
                sum +=
                    RawToDisplay({letters[g], n}, 1234, 3000) + ParameterIndexOf({letters[g], n});
            }
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_ConvertAllParameters);

} // namespace

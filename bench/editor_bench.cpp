// The parameter editor's list, offscreen: building all 161 rows, and refreshing them after a
// whole-drive read changed every value. Each should stay under 50 ms.

#include "app/AppSettings.h"
#include "base/Messenger.h"
#include "base/Ticker.h"
#include "drive/ParameterCatalogue.h"
#include "params/NolvaServoDoc.h"
#include "params/ui/ParaEditDialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTableWidget>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

class NoDrive : public ParaEditHost {
public:
    bool EditorLinkUp() const override { return false; }
    void RunEditorTransfer(std::function<void(ParameterTransfer&)>) override {}
    bool SaveEditorDocument() override { return false; }
};

struct Figures {
    double median = 0;
    double worst = 0;
};

Figures Summarise(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.back()};
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    constexpr int kRuns = 30;

    AppSettings settings;
    DriveProfile profile;
    CNolvaServoDoc document(profile);
    document.OnNewDocument();
    FillParameterRanges(document, profile);
    FillParameterDefaults(document, profile);
    RecordingMessenger messenger;
    NoDrive host;
    QtTickerSource tickers;

    // Making the window builds the list once; each run makes a new window and shows it.
    std::vector<double> build;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer timer;
        timer.start();
        CParaEditDialog editor(settings.display, settings.customTable, document, profile, host,
                               messenger, tickers);
        editor.show();
        QCoreApplication::processEvents();
        build.push_back(timer.nsecsElapsed() / 1e6);
        if (editor.List()->rowCount() != kParameterCount) {
            std::fprintf(stderr, "listed %d rows\n", editor.List()->rowCount());
            return 1;
        }
    }

    // Refresh after a whole-drive read: every value differs, the list is rebuilt and drawn.
    CParaEditDialog editor(settings.display, settings.customTable, document, profile, host,
                           messenger, tickers);
    editor.show();
    QCoreApplication::processEvents();
    std::vector<double> refresh;
    for (int i = 0; i < kRuns; ++i) {
        for (int g = 0; g < kParamGroupCount; ++g) {
            for (int32_t& value : document.values.Group(static_cast<ParamGroup>(g)))
                value += 1;
        }
        QElapsedTimer timer;
        timer.start();
        editor.Rebuild();
        editor.List()->viewport()->repaint();
        refresh.push_back(timer.nsecsElapsed() / 1e6);
    }

    const Figures b = Summarise(build);
    const Figures r = Summarise(refresh);
    std::printf("parameter editor, %d rows, %d runs each (target < 50 ms)\n", kParameterCount,
                kRuns);
    std::printf("  build window and list: median %.2f ms, worst %.2f ms\n", b.median, b.worst);
    std::printf("  refresh after a whole-drive read: median %.2f ms, worst %.2f ms\n", r.median,
                r.worst);
    return (b.median < 50 && r.median < 50) ? 0 : 2;
}

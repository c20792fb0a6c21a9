// The machine characteristic analysis command: its window, modal over the program. The last
// measurement stays for the run, so the window opens again on it.

#include "analysis/ui/FraDialog.h"
#include "base/CommandIds.h"
#include "frame/ToolWindows.h"

#include <QObject>

namespace {

// The kept measurement lives beside the window that opens the analysis, as long as the program.
class KeptMeasurement : public QObject {
public:
    explicit KeptMeasurement(QObject* owner) : QObject(owner) {
        setObjectName(QStringLiteral("keptFraMeasurement"));
    }
    FraRun run;
};

FraRun& KeptRun(QObject* owner) {
    static FraRun withoutOwner;
    if (owner == nullptr) {
        return withoutOwner;
    }
    auto* kept = dynamic_cast<KeptMeasurement*>(owner->findChild<QObject*>(
        QStringLiteral("keptFraMeasurement"), Qt::FindDirectChildrenOnly));
    if (kept == nullptr) {
        kept = new KeptMeasurement(owner);
    }
    return kept->run;
}

const CommandActionRegistration kMachineAnalysis(Command::MachineAnalysis,
                                                 [](CommandActionContext& c) {
                                                     CFRADlg dialog(c, KeptRun(c.owner), c.owner);
                                                     dialog.exec();
                                                 });

} // namespace

#include "base/StringTable.h"

#include "base/StringBlocks.h"

#include <QHash>

namespace {

const QHash<int, QString>& Table() {
    static const QHash<int, QString> table = [] {
        QHash<int, QString> merged;
        for (auto block : {CommonStrings(), ParameterNameStrings(), ParameterHelpStrings(),
                           MotorModelStrings()}) {
            for (const StringEntry& entry : block) {
                // Two blocks claiming one ID is a build mistake; the string table test names it.
                merged.insert(entry.id, QString::fromUtf8(entry.utf8));
            }
        }
        return merged;
    }();
    return table;
}

} // namespace

QString StringText(int id) {
    return Table().value(id);
}

bool HasString(int id) {
    return Table().contains(id);
}

QString ShownText(QString text) {
    return text.replace(QStringLiteral("&&"), QStringLiteral("&"));
}

#include "app/DocumentTemplate.h"

#include "base/StringIds.h"
#include "base/StringTable.h"
#include "params/NvpFile.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

namespace {} // namespace

DocumentTemplate ParseDocumentTemplate(const QString& text) {
    const QStringList fields = text.split(QLatin1Char('\n'));
    auto field = [&fields](qsizetype i) { return i < fields.size() ? fields[i] : QString(); };
    DocumentTemplate t;
    t.windowTitle = field(0);
    t.documentName = field(1);
    t.untitledName = field(2);
    t.typeName = field(3);
    t.filterName = field(4);
    t.extension = field(5);
    t.fileTypeId = field(6);
    t.fileTypeName = field(7);
    return t;
}

const DocumentTemplate& ProgramDocumentTemplate() {
    static const DocumentTemplate docTemplate =
        ParseDocumentTemplate(StringText(StringId::kDocumentTemplate));
    return docTemplate;
}

QString DocumentDisplayName(const QString& path, const DocumentTemplate& docTemplate) {
    if (path.isEmpty())
        return docTemplate.untitledName;
    return QFileInfo(path).fileName();
}

QString FrameTitle(const QString& path, const DocumentTemplate& docTemplate,
                   const QString& modifiedMarker) {
    return DocumentDisplayName(path, docTemplate) + modifiedMarker + QStringLiteral(" - ") +
           docTemplate.windowTitle;
}

QString QtFileFilter(const QString& tableFilter) {
    // Pairs of description and patterns; the empty fields of the closing "||" end the list.
    const QStringList parts = tableFilter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i];
        if (description.isEmpty())
            break;
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& pattern : patterns) {
            pattern = pattern.trimmed();
            if (pattern == QLatin1String("*.*"))
                pattern = QStringLiteral("*");
        }
        // Qt reads the patterns from the last parenthesis of the entry, so the description's own
        // copy of them is replaced.
        static const QRegularExpression trailingPatterns(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
        QString name = description;
        name.remove(trailingPatterns);
        entries << QStringLiteral("%1 (%2)").arg(name, patterns.join(QLatin1Char(' ')));
    }
    return entries.join(QStringLiteral(";;"));
}

QString WithParameterFileExtension(const QString& path) {
    if (path.isEmpty() || HasParameterFileExtension(path))
        return path;
    return path + QStringLiteral(".nvp");
}

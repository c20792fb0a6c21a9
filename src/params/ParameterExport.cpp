#include "params/ParameterExport.h"

#include "drive/CatalogueTable.h"
#include "drive/ParameterCatalogue.h"
#include "params/NolvaServoDoc.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QStringList>

namespace {

const QString kHeader = QStringLiteral("code,name,value,unit,range,default");

// Field codes of the non-parameter content.
const QString kVersionCode = QStringLiteral("version");
const QString kStatusPrefix = QStringLiteral("status.");
const QString kDiagnosticsPrefix = QStringLiteral("diagnostics.");
const QString kAlarmPositionCode = QStringLiteral("alarm.position");
const QString kAlarmPrefix = QStringLiteral("alarm.");
const QString kSlotPrefix = QStringLiteral("slot.");
const QString kReservedAPrefix = QStringLiteral("reservedA.");
const QString kReservedBPrefix = QStringLiteral("reservedB.");

QString CsvField(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r'))) {
        return text;
    }
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString CsvRow(const QStringList& fields) {
    QStringList out;
    for (const QString& f : fields) {
        out << CsvField(f);
    }
    return out.join(QLatin1Char(',')) + QLatin1Char('\n');
}

// Splits CSV text into rows of fields (quotes, doubled quotes, quoted line breaks). Returns
// false with a message on an unterminated quote.
bool ParseCsv(const QString& text, QList<QStringList>* rows, QList<int>* lineOfRow,
              QString* error) {
    QStringList row;
    QString field;
    bool quoted = false;
    bool fieldStarted = false;
    int line = 1;
    int rowLine = 1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                if (c == QLatin1Char('\n')) {
                    ++line;
                }
                field += c;
            }
            continue;
        }
        if (c == QLatin1Char('"') && !fieldStarted) {
            quoted = true;
            fieldStarted = true;
        } else if (c == QLatin1Char(',')) {
            row << field;
            field.clear();
            fieldStarted = false;
        } else if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() &&
                text.at(i + 1) == QLatin1Char('\n')) {
                ++i;
            }
            row << field;
            if (!(row.size() == 1 && row.front().isEmpty())) {
                rows->append(row);
                lineOfRow->append(rowLine);
            }
            row.clear();
            field.clear();
            fieldStarted = false;
            ++line;
            rowLine = line;
        } else {
            field += c;
            fieldStarted = true;
        }
    }
    if (quoted) {
        *error = QStringLiteral("第 %1 行：引号没有结束").arg(rowLine);
        return false;
    }
    if (fieldStarted || !row.isEmpty()) {
        row << field;
        rows->append(row);
        lineOfRow->append(rowLine);
    }
    return true;
}

bool ParseValue(const QString& text, bool hex, int32_t* value) {
    bool ok = false;
    if (hex) {
        if (text.isEmpty() || text.size() > 8) {
            return false;
        }
        const uint32_t u = text.toUInt(&ok, 16);
        *value = static_cast<int32_t>(u);
    } else {
        *value = text.toInt(&ok, 10);
    }
    return ok;
}

// Where a non-parameter field lives in the document.
int32_t* FieldSlot(CNolvaServoDoc& doc, const QString& code) {
    auto indexAfter = [&code](const QString& prefix, int count) -> int {
        if (!code.startsWith(prefix)) {
            return -1;
        }
        bool ok = false;
        const int n = code.mid(prefix.size()).toInt(&ok);
        return ok && n >= 1 && n <= count ? n - 1 : -1;
    };
    int i = -1;
    if (code == kAlarmPositionCode) {
        return &doc.alarmHistoryPosition;
    }
    if ((i = indexAfter(kStatusPrefix, 20)) >= 0) {
        return &doc.statusSnapshot[i];
    }
    if ((i = indexAfter(kDiagnosticsPrefix, 20)) >= 0) {
        return &doc.diagnosticsSnapshot[i];
    }
    if ((i = indexAfter(kAlarmPrefix, 20)) >= 0) {
        return &doc.alarmHistory[i];
    }
    if ((i = indexAfter(kReservedAPrefix, 256)) >= 0) {
        return &doc.reservedA[i];
    }
    if ((i = indexAfter(kReservedBPrefix, 256)) >= 0) {
        return &doc.reservedB[i];
    }
    if (code.startsWith(kSlotPrefix) && code.size() > kSlotPrefix.size() + 2 &&
        code.at(kSlotPrefix.size() + 1) == QLatin1Char('.')) {
        // "slot.T.9": an unused slot of a group's table
        const int g = GroupIndexOfLetter(code.at(kSlotPrefix.size()).toLatin1());
        if (g < 0) {
            return nullptr;
        }
        bool ok = false;
        const int n = code.mid(kSlotPrefix.size() + 2).toInt(&ok);
        const ParamGroupInfo& info = GroupInfo(g);
        if (!ok || n <= info.count || n > info.documentSlots) {
            return nullptr;
        }
        return &doc.values.Group(static_cast<ParamGroup>(g))[n - 1];
    }
    return nullptr;
}

QString ParameterCode(const ParamSpec& p) {
    return ParamCode{p.letter, p.number}.Text();
}

} // namespace

QByteArray ExportCsv(const CNolvaServoDoc& doc) {
    QString out = kHeader + QLatin1Char('\n');
    for (const ParamSpec& p : AllParameters()) {
        const QString code = ParameterCode(p);
        out += CsvRow(
            {code, ParameterName({p.letter, p.number}),
             FormatValue({p.letter, p.number}, *doc.values.Slot({p.letter, p.number}), false),
             UnitText({p.letter, p.number}),
             RangeText({p.letter, p.number}, *doc.minimums.Slot({p.letter, p.number}),
                       *doc.maximums.Slot({p.letter, p.number})),
             FormatValue({p.letter, p.number}, *doc.defaults.Slot({p.letter, p.number}), true)});
    }
    auto plain = [&out](const QString& code, const QString& name, int32_t value) {
        out += CsvRow({code, name, QString::number(value), {}, {}, {}});
    };
    out += CsvRow({kVersionCode, {}, doc.versionText, {}, {}, {}});
    for (int i = 0; i < 20; ++i) {
        plain(kStatusPrefix + QString::number(i + 1), ParameterName({'U', i + 1}),
              doc.statusSnapshot[i]);
    }
    for (int i = 0; i < 20; ++i) {
        plain(kDiagnosticsPrefix + QString::number(i + 1), ParameterName({'D', i + 1}),
              doc.diagnosticsSnapshot[i]);
    }
    plain(kAlarmPositionCode, {}, doc.alarmHistoryPosition);
    for (int i = 0; i < 20; ++i) {
        plain(kAlarmPrefix + QString::number(i + 1), ParameterName({'A', i + 1}),
              doc.alarmHistory[i]);
    }
    for (int g = 0; g < kParamGroupCount; ++g) {
        const ParamGroupInfo& info = GroupInfo(g);
        const auto values = doc.values.Group(static_cast<ParamGroup>(g));
        for (int n = info.count + 1; n <= info.documentSlots; ++n) {
            if (values[n - 1] != 0) {
                plain(kSlotPrefix + QLatin1Char(info.letter) + QLatin1Char('.') +
                          QString::number(n),
                      {}, values[n - 1]);
            }
        }
    }
    for (int i = 0; i < 256; ++i) {
        if (doc.reservedA[i] != 0) {
            plain(kReservedAPrefix + QString::number(i + 1), {}, doc.reservedA[i]);
        }
    }
    for (int i = 0; i < 256; ++i) {
        if (doc.reservedB[i] != 0) {
            plain(kReservedBPrefix + QString::number(i + 1), {}, doc.reservedB[i]);
        }
    }
    return out.toUtf8();
}

QByteArray ExportJson(const CNolvaServoDoc& doc) {
    QJsonArray parameters;
    for (const ParamSpec& p : AllParameters()) {
        const QString code = ParameterCode(p);
        const int32_t value = *doc.values.Slot({p.letter, p.number});
        QJsonObject row{{"code", code},
                        {"name", ParameterName({p.letter, p.number})},
                        {"value", value},
                        {"text", FormatValue({p.letter, p.number}, value, false)},
                        {"unit", UnitText({p.letter, p.number})},
                        {"min", *doc.minimums.Slot({p.letter, p.number})},
                        {"max", *doc.maximums.Slot({p.letter, p.number})},
                        {"default", *doc.defaults.Slot({p.letter, p.number})},
                        {"restart", IsRestartParameter({p.letter, p.number})}};
        parameters.append(row);
    }
    auto array = [](std::span<const int32_t> values) {
        QJsonArray a;
        for (int32_t v : values) {
            a.append(v);
        }
        return a;
    };
    QJsonObject root{{"version", doc.versionText},
                     {"parameters", parameters},
                     {"statusSnapshot", array(doc.statusSnapshot)},
                     {"diagnosticsSnapshot", array(doc.diagnosticsSnapshot)},
                     {"alarmHistoryPosition", doc.alarmHistoryPosition},
                     {"alarmHistory", array(doc.alarmHistory)},
                     {"reservedA", array(doc.reservedA)},
                     {"reservedB", array(doc.reservedB)}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

bool ImportCsv(QByteArrayView csv, CNolvaServoDoc& document, QString* error) {
    QString text = QString::fromUtf8(csv);
    if (text.startsWith(QChar(0xFEFF))) {
        text.remove(0, 1); // byte order mark of spreadsheet programs
    }
    QList<QStringList> rows;
    QList<int> lines;
    if (!ParseCsv(text, &rows, &lines, error)) {
        return false;
    }
    if (rows.isEmpty() || rows.front().join(QLatin1Char(',')) != kHeader) {
        *error = QStringLiteral("第 1 行：表头必须是 \"%1\"").arg(kHeader);
        return false;
    }

    // The fields a file stores start cleared, so what the CSV omits is 0 as in a new file;
    // the rest of the document (ranges, defaults, drive state) is kept.
    CNolvaServoDoc result = document;
    result.versionText = QString::fromLatin1(CNolvaServoDoc::kVersionText);
    result.statusSnapshot.fill(0);
    result.diagnosticsSnapshot.fill(0);
    result.alarmHistoryPosition = 0;
    result.alarmHistory.fill(0);
    result.values.Fill(0);
    result.reservedA.fill(0);
    result.reservedB.fill(0);
    QSet<QString> seen;
    for (qsizetype r = 1; r < rows.size(); ++r) {
        const QStringList& row = rows[r];
        const QString where = QStringLiteral("第 %1 行").arg(lines[r]);
        if (row.size() != 6) {
            *error = QStringLiteral("%1：应有 6 列，实有 %2 列").arg(where).arg(row.size());
            return false;
        }
        const QString& code = row[0];
        if (seen.contains(code)) {
            *error = QStringLiteral("%1：%2 出现了两次").arg(where, code);
            return false;
        }
        seen.insert(code);
        if (code == kVersionCode) {
            result.versionText = row[2];
            continue;
        }
        const ParamCode pc = ParamCode::FromText(code);
        const ParamSpec* param = FindParam(pc);
        if (param != nullptr && ParamCode{param->letter, param->number}.Text() == code) {
            int32_t value = 0;
            if (!ParseValue(row[2], IsHexFormat(pc), &value)) {
                *error = QStringLiteral("%1：%2 的数值 \"%3\" 无效").arg(where, code, row[2]);
                return false;
            }
            const int32_t min = *result.minimums.Slot(pc);
            const int32_t max = *result.maximums.Slot(pc);
            if (value < min || value > max) {
                *error = QStringLiteral("%1：%2 的数值 %3 超出范围 %4")
                             .arg(where, code, row[2], RangeText(pc, min, max));
                return false;
            }
            *result.values.Slot(pc) = value;
            continue;
        }
        int32_t* slot = FieldSlot(result, code);
        int32_t value = 0;
        if (slot == nullptr) {
            *error = QStringLiteral("%1：未知的代码 \"%2\"").arg(where, code);
            return false;
        }
        if (!ParseValue(row[2], false, &value)) {
            *error = QStringLiteral("%1：%2 的数值 \"%3\" 无效").arg(where, code, row[2]);
            return false;
        }
        *slot = value;
    }
    for (const ParamSpec& p : AllParameters()) {
        if (!seen.contains(ParameterCode(p))) {
            *error = QStringLiteral("缺少参数 %1").arg(ParameterCode(p));
            return false;
        }
    }
    result.contentReplaced = true;
    document = result;
    return true;
}

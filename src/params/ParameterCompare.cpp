#include "params/ParameterCompare.h"

#include "base/Messenger.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "drive/ParameterCatalogue.h"
#include "params/DriveConnection.h"
#include "params/NolvaServoDoc.h"
#include "params/ParameterEditorRows.h"
#include "params/ParameterTransfer.h"

#include <algorithm>

namespace {

// Position of a code in group order.
int Rank(ParamCode code) {
    return GroupIndexOfLetter(code.letter) * 100 + code.number;
}

} // namespace

QList<ParamCode> CompareCodes() {
    return AllParameterCodes();
}

QList<CompareRow> DifferingParameters(const CNolvaServoDoc& document, const QList<ParamCode>& codes,
                                      const QList<int32_t>& driveValues) {
    QList<CompareRow> rows;
    const qsizetype count = std::min(codes.size(), driveValues.size());
    for (qsizetype i = 0; i < count; ++i) {
        const ParamCode code = codes[i];
        const int32_t* documentValue = document.values.Slot(code);
        if (documentValue == nullptr) {
            continue;
        }
        const int32_t driveValue = WriteRuleOf(code) == WriteRule::LowBitsOnly
                                       ? (driveValues[i] & kLowBitsOnlyMask)
                                       : driveValues[i];
        if (driveValue == *documentValue) {
            continue;
        }
        CompareRow row;
        row.code = code;
        row.documentValue = *documentValue;
        row.driveValue = driveValue;
        row.codeText = code.Text();
        row.name = ParameterName(code);
        row.documentText = QString::number(row.documentValue);
        row.driveText = QString::number(row.driveValue);
        rows.append(row);
    }
    std::stable_sort(rows.begin(), rows.end(), [](const CompareRow& a, const CompareRow& b) {
        return Rank(a.code) < Rank(b.code);
    });
    return rows;
}

CompareResult CompareParameters(ParameterTransfer& transfer, bool linkUp,
                                const CNolvaServoDoc& document, Messenger& messenger) {
    CompareResult result;
    if (!linkUp) {
        ShowNotLinked(messenger);
        result.outcome = CompareOutcome::NotLinked;
        return result;
    }
    const QList<ParamCode> codes = CompareCodes();
    QList<int32_t> driveValues;
    // The transfer shows the failure message naming the parameter.
    if (!transfer.ReadCodes(codes, &driveValues)) {
        result.outcome = CompareOutcome::ReadFailed;
        return result;
    }
    result.rows = DifferingParameters(document, codes, driveValues);
    if (result.rows.isEmpty()) {
        Message message;
        message.text = CompareDoneText();
        message.caption = CompareCaption();
        message.icon = MessageIcon::Information;
        message.topmost = true;
        messenger.Show(message);
        result.outcome = CompareOutcome::Same;
    } else {
        result.outcome = CompareOutcome::Different;
    }
    return result;
}

QString CompareDoneText() {
    return StringText(StringId::kCompareDone);
}

QString CompareCaption() {
    return StringText(StringId::kCompareCaption);
}

QStringList CompareColumnHeaders() {
    return {StringText(StringId::kCodeHeader), StringText(StringId::kNameHeader),
            StringText(StringId::kEditValueHeader), StringText(StringId::kReadValueHeader)};
}

#pragma once

#include "drive/ParamCode.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>

class CNolvaServoDoc;
class Messenger;
class ParameterTransfer;

// Comparing the document with the drive: all 161 parameters are read as the whole-set transfers
// read them, and the parameters whose drive value differs from the document's value are listed
// in group order (C, T, S, P, q, H), numbers ascending. Cn008 counts only by its low two bits in
// the drive (the brake mode); the bits above it are the drive's own.

struct CompareRow {
    ParamCode code;
    int32_t documentValue = 0;
    int32_t driveValue = 0;
    QString codeText;
    QString name;
    QString documentText; // "编辑值": plain decimal, whatever the parameter's usual format
    QString driveText;    // "读取值"
};

enum class CompareOutcome {
    NotLinked,  // nothing read; "通讯错误！！" shown
    ReadFailed, // the failure message named the parameter; no list
    Same,       // "比较参数完成！" shown
    Different,  // the rows go to the compare window
};

struct CompareResult {
    CompareOutcome outcome = CompareOutcome::NotLinked;
    QList<CompareRow> rows;
};

// The codes read, in order.
QList<ParamCode> CompareCodes();

// Rows of the parameters whose read value (as `codes` and `driveValues` pair them) differs from
// the document's value, in group order whatever the order of `codes`.
QList<CompareRow> DifferingParameters(const CNolvaServoDoc& document, const QList<ParamCode>& codes,
                                      const QList<int32_t>& driveValues);

// The compare command. The caller holds the session's Busy flag around it and opens the compare
// window with the rows when the outcome is Different. The progress window is the transfer's.
CompareResult CompareParameters(ParameterTransfer& transfer, bool linkUp,
                                const CNolvaServoDoc& document, Messenger& messenger);

// "比较参数完成！" under "比较", information icon, topmost.
QString CompareDoneText();
QString CompareCaption();

// The compare window's headers: "代号", "参数名称", "编辑值", "读取值".
QStringList CompareColumnHeaders();

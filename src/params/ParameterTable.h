#pragma once

#include "params/CustomTable.h"
#include "params/ParameterRequests.h"
#include "base/Messenger.h"
#include "drive/DriveProfile.h"
#include "drive/ParamCode.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>
#include <set>

class CNolvaServoDoc;

// The texts of the grids of the parameter group windows and the custom parameter table: one row
// per parameter (row 1 is the first parameter, below the header row), six columns.
enum class TableColumn : int { Code = 0, Name, Value, Unit, Range, Default };
inline constexpr int kTableColumnCount = 6;

// "代号", "参数名称", "设定值", "单位", "设定范围", "默认值".
QStringList TableHeaderTexts();
// Pixel widths of the six columns.
std::array<int, kTableColumnCount> TableColumnWidths();

// "写入(&W)" without a parameter row: "没有参数被选择！", "写入讯息", exclamation icon.
Message NoParameterSelectedMessage();
// "默认值(&S)": "您想要将参数设定为默认值吗？", "设定默认值", OK/Cancel, exclamation icon.
Message DefaultsQuestion();

// "写入(&W)" on a quick or contact row of the custom table, which is written only with the whole
// list: nothing is sent and this says so.
Message WholeListOnlyMessage(const QString& codeText);

// A value typed into the value column: a decimal integer inside the document's range (any
// integer when the document gives the parameter no range).
enum class TypedValue { Accepted, Invalid };

class ParameterTable {
public:
    virtual ~ParameterTable() = default;

    int RowCount() const { return static_cast<int>(rows_.size()); }
    // Parameter of a row (1..RowCount()); letter 0 outside.
    ParamCode CodeOfRow(int row) const;
    // Text of a cell; empty outside the rows.
    QString Text(int row, TableColumn column) const;

    // The value column again from the document, "%d".
    void RefreshValues(const CNolvaServoDoc& document);

    // Takes a typed value into the document (marking it modified) or refuses it; either way the
    // row's value text shows the document's value afterwards.
    TypedValue TakeTypedValue(CNolvaServoDoc& document, int row, const QString& text);
    // The message that explains a refused value of `row`.
    QString InvalidValueText(const CNolvaServoDoc& document, int row) const;

    // The maximum motor speed the range and default texts were last made for.
    int32_t LastMaxSpeed() const { return lastMaxSpeed_; }

protected:
    explicit ParameterTable(int32_t maxMotorSpeed) : lastMaxSpeed_(maxMotorSpeed) {}

    struct Row {
        ParamCode code;
        std::array<QString, kTableColumnCount> texts;
    };
    // A row laid out from the document: code text, name, value, `unit`, "%d~%d" of the
    // document's minimum and maximum (empty when equal) and "%d" of its default.
    static Row MakeRow(const CNolvaServoDoc& document, const ParamCode& code,
                       const QString& codeText, const QString& unit);
    static void SetLimitTexts(Row& row, const CNolvaServoDoc& document);
    QString& Cell(int row, TableColumn column);

    QList<Row> rows_;
    int32_t lastMaxSpeed_ = 0;
};

// The grid of one of the four group windows (control, torque, speed, position): the first 16,
// 7, 16 or 10 parameters of the group, with the window's own unit texts.
class GroupTable : public ParameterTable {
public:
    // `maxMotorSpeed` is the drive profile's value when the window is made.
    GroupTable(ParamGroup group, const CNolvaServoDoc& document, int32_t maxMotorSpeed);

    ParamGroup Group() const { return group_; }
    // Window title: "控制参数", "转矩参数", "速度参数", "位置参数".
    QString Title() const;

    // The unit text a group window shows in row `row`; empty for rows it gives none.
    static QString UnitOfRow(ParamGroup group, int row);

    // At activation while linked: when the profile's maximum motor speed differs from the last
    // one, the document's ranges (and for the speed window its defaults) are computed again for
    // it and the speed-dependent range and default texts follow. True when something changed.
    bool AdoptMaxSpeed(CNolvaServoDoc& document, const DriveProfile& profile);

    // "默认值(&S)": the group's whole default table (all 40, 20, 20 or 70 slots, more than the
    // window shows) into the document's values, marked modified; the value column follows.
    void ResetToDefaults(CNolvaServoDoc& document);

private:
    ParamGroup group_;
};

// The grid of the custom parameter table: one row per entry in list order, units from the
// catalogue. A row whose single write failed is marked until the values are shown again.
class CustomParameterTable : public ParameterTable {
public:
    explicit CustomParameterTable(int32_t maxMotorSpeed) : ParameterTable(maxMotorSpeed) {}

    // Every row again from `rows` (CustomTableWindowRows) and the document; marks are cleared.
    void Fill(const QList<CustomEntry>& rows, const CNolvaServoDoc& document);
    // The value column from the document after a read; marks are cleared.
    void RefreshAfterRead(const CNolvaServoDoc& document);

    // Request that writes the parameter of `row` alone; none for quick and contact rows, which
    // the table reads and writes only with the whole list, and for rows outside the table.
    std::optional<ParameterRequest> WriteOneRequestOfRow(int row) const;

    void MarkFailed(int row);
    void ClearMark(int row);
    bool IsMarkedFailed(int row) const { return failed_.count(row) > 0; }

    // At activation while linked, as the group windows: ranges and defaults for a new maximum
    // motor speed, then every row's texts again. True when something changed.
    bool AdoptMaxSpeed(CNolvaServoDoc& document, const DriveProfile& profile);

    // "默认值(&S)": every listed parameter's default into the document, marked modified.
    void ResetToDefaults(CNolvaServoDoc& document);

private:
    QList<CustomEntry> entries_;
    std::set<int> failed_;
};

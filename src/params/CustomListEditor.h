#pragma once

#include "params/CustomTable.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>

// Rows the custom parameter table window holds. A settings file may name more entries; they are
// kept in the application's table, and the window shows and transfers the first ones.
inline constexpr int kCustomTableWindowRows = 80;

// Whether a custom-list entry names one of the 161 parameters (group 1..6, index inside it).
bool IsParameterEntry(const CustomEntry& entry);

// The rows of the custom table window: the entries that name a parameter, in list order, at
// most kCustomTableWindowRows of them.
QList<CustomEntry> CustomTableWindowRows(const CustomTable& table);

// Line of an entry in the add/remove lists: "Cn010:" followed by the parameter's name.
QString CustomEntryText(const CustomEntry& entry);

// The add/remove dialog's two lists without their window: "所有参数" holds every parameter not
// in the custom list in catalogue order (C, T, S, P, q, H, numbers ascending), "自定义参数" the
// custom list in its own order. Each list has one selected row or none (-1). Entries that name
// no parameter and second occurrences of a parameter are dropped when the editor opens.
class CustomListEditor {
public:
    // Additions stop at the window's size: the 81st entry is refused with a message.
    static constexpr int kMaxEntries = kCustomTableWindowRows;

    explicit CustomListEditor(const QList<CustomEntry>& entries);

    const QList<CustomEntry>& Available() const { return available_; }
    const QList<CustomEntry>& Custom() const { return custom_; }
    QStringList AvailableTexts() const;
    QStringList CustomTexts() const;

    int AvailableSelection() const { return availableSelection_; }
    int CustomSelection() const { return customSelection_; }
    // Out-of-range rows select nothing.
    void SelectAvailable(int row);
    void SelectCustom(int row);

    // False while the parameter is in the custom list.
    bool IsAvailable(const CustomEntry& entry) const;

    enum class Result {
        Done,    // the lists changed
        Nothing, // no selection, or nothing left to move
        Full     // refused: the custom list already holds kMaxEntries entries
    };

    // "加入(&A) ->": the selected parameter of "所有参数" goes before the selected entry of
    // "自定义参数", or to its end when none is selected; that selection stays on its entry. The
    // selection of "所有参数" moves to the next row, or the last one.
    Result Add();
    // "<- 移除(&R)": the reverse; the entry returns to its catalogue place in "所有参数" and the
    // selection of "自定义参数" moves to the next row, or the last one.
    Result Remove();
    // "加入所有(&L)": every remaining parameter, in catalogue order, at the end of the custom list,
    // as far as the limit allows (Full when some had to stay behind).
    Result AddAll();
    // "移除所有(&V)": clears every availability flag and rebuilds both lists.
    Result RemoveAll();
    // "向上移动(&U)" / "向下移动(&D)": swap the selected entry with its neighbour, keep it
    // selected.
    Result MoveUp();
    Result MoveDown();

    struct Buttons {
        bool add = false;
        bool remove = false;
        bool addAll = false;
        bool removeAll = false;
        bool moveUp = false;
        bool moveDown = false;
        bool operator==(const Buttons&) const = default;
    };
    // Remove and the moves follow the selection in "自定义参数" (up not on the first row, down not
    // on the last); remove-all needs entries; the additions stay enabled while "所有参数" has rows,
    // so that an addition beyond the limit is told why it is refused.
    Buttons EnabledButtons() const;

    // The entries in the order of "自定义参数" ("确定").
    QList<CustomEntry> Entries() const { return custom_; }

    // Text of the refusal of the 81st entry.
    static QString FullMessageText();

private:
    std::array<bool, 70>& Flags(const CustomEntry& entry);
    void RebuildAvailable();
    int CatalogueRank(const CustomEntry& entry) const;

    QList<CustomEntry> available_;
    QList<CustomEntry> custom_;
    int availableSelection_ = -1;
    int customSelection_ = -1;
    // Per group, per index: the parameter is not in the custom list.
    std::array<std::array<bool, 70>, 6> availableFlags_{};
};

#pragma once

#include "planning/ContactPlan.h"

#include <QDialog>

#include <array>

class QGroupBox;
class QLabel;
class QPushButton;

// "输入/输出接点规划参数": a two-page matrix, one column per contact and one row per function,
// the input page first (DI-1..DI-13, 28 functions) and the output page after "下一步(&N) >"
// (DO-1..DO-4, 8 functions). A click on a cell selects the function for that contact or switches
// its contact between normally closed and normally open (ContactPlan). "完成(&F)", the dialog's
// OK, exists only on the output page; nothing ends the dialog with OK on the input page.
class CInOutParaDialog : public QDialog {
    Q_OBJECT
public:
    explicit CInOutParaDialog(const ContactValues& values, QWidget* parent = nullptr);

    // The planned values (the values it opened with where nothing named a row).
    ContactValues Values() const { return plan_.Values(); }
    // 0 for the input page, 1 for the output page.
    int Page() const { return page_; }
    // The cell of contact 0..16 (inputs, then outputs) and row 0..27.
    QPushButton* Cell(int contact, int row) const;

    void OnNext();
    void OnBack();
    void accept() override; // "完成(&F)"

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void MakeCells();
    void MakeLabels();
    void OnCell(int contact, int row);
    // Each row's cell shows bitmap 225 (pressed) or 226 at the selection, 224 elsewhere.
    void ShowColumn(int contact);
    void ShowPage();

    ContactPlan plan_;
    int page_ = 0;
    std::array<std::array<QPushButton*, kInputFunctions>, kPlannedContacts> cells_{};
    std::array<QLabel*, kPlannedContacts> codeHeads_{};
    std::array<QLabel*, kPlannedContacts> contactHeads_{};
    std::array<QLabel*, kInputFunctions> rowNumbers_{};
    std::array<QLabel*, kInputFunctions> rowNames_{};
    QWidget* matrix_ = nullptr; // the matrix with its heads and legends, in a scroll area
    QGroupBox* group_ = nullptr;
    QLabel* closedLegend_ = nullptr;
    QLabel* openLegend_ = nullptr;
    QPushButton* back_ = nullptr;
    QPushButton* next_ = nullptr;
    QPushButton* finish_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

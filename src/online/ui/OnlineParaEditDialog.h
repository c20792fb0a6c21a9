#pragma once

#include "online/OnlinePanels.h"

#include <QDialog>

#include <array>

class DigitDisplay;
class Messenger;
class OnlineEditor;
class QLabel;
class QPushButton;
struct DriveProfile;

// "在线参数设定": four panels, each with its parameter's code, name, unit and range, a large digit
// display and an up and a down button per digit. Every press goes to the drive at once;
// "设定" chooses the panels' parameters. The window only shows: the editor decides and talks to
// the drive. It closes itself when the drive is gone.
class COnlineParaEdit : public QDialog {
    Q_OBJECT
public:
    COnlineParaEdit(OnlineEditor& editor, const DriveProfile& profile, Messenger& messenger,
                    QWidget* parent = nullptr);

    // The buttons of `panel` (0..3) for `digit` (1..5), and its display.
    QPushButton* UpButton(int panel, int digit) const;
    QPushButton* DownButton(int panel, int digit) const;
    DigitDisplay* Display(int panel) const;

    void OnUp(int panel, int digit);
    void OnDown(int panel, int digit);
    void OnSetup();
    // Texts, display mode and buttons of every panel from the editor.
    void RefreshPanels();

private:
    struct PanelWidgets {
        QLabel* code = nullptr;
        QLabel* name = nullptr;
        QLabel* unit = nullptr;
        QLabel* range = nullptr;
        DigitDisplay* display = nullptr;
        std::array<QPushButton*, kDigitPairs> up{};   // by digit - 1
        std::array<QPushButton*, kDigitPairs> down{}; // by digit - 1
    };
    QWidget* MakePanel(int panel);
    void OnPress(int panel, int digit, bool up);
    void ShowValue(int panel);

    OnlineEditor& editor_;
    const DriveProfile& profile_;
    Messenger& messenger_;
    std::array<PanelWidgets, kOnlinePanelCount> panels_;
};

#pragma once

#include "online/OnlinePanels.h"

#include <array>
#include <cstdint>
#include <functional>

class DriveConnection;
class Messenger;
struct DriveProfile;

// What a press of an up or down button came to.
enum class PressOutcome {
    Written,     // the new value is in the drive
    AtLimit,     // "超出范围！！": nothing sent
    WriteFailed, // the drive did not take it: the panel shows the old value again
    LinkDown,    // "通讯错误！！": the editor closes
    Ignored,     // another drive operation is under way, or the button stands for nothing
};

// The online editor without its window: the four panels, their reads and writes through the
// drive connection, and the messages. Every drive sequence runs as a drive operation under Busy.
// A write goes straight to the parameter's stored and live copies through the page-'5' mailbox,
// whatever the link settings say; the document is never changed.
class OnlineEditor {
public:
    // `kept` is the application's copy of the four codes: the set-up writes it. All parts belong
    // to the caller and outlive the editor.
    OnlineEditor(DriveConnection& connection, DriveProfile& profile, Messenger& messenger,
                 OnlinePanelCodes& kept);

    const OnlinePanel& Panel(int panel) const { return panels_[static_cast<size_t>(panel)]; }
    const OnlinePanelCodes& Codes() const { return kept_; }

    // False, after "通讯错误！！", when no drive is linked.
    bool CheckLink();
    // The value into the drive; false after "线上参数编辑失败！！" when a step is not
    // acknowledged (earlier steps stay done), or after "通讯错误！！" without a drive.
    bool WriteOnline(ParamCode code, int32_t value);

    // Reads the drive's maximum speed, then each active panel's value in order; the first failed
    // read ends it silently, the panels after it keeping their values. `shown` hears of each
    // panel whose value came in.
    void RefreshFromDrive(const std::function<void(int panel)>& shown = {});
    // The set-up's result: the four codes are kept application-wide, the panels remade from the
    // catalogue and read from the drive.
    void TakeCodes(const OnlinePanelCodes& codes, const std::function<void(int panel)>& shown = {});

    // An up or down button of `panel` for `digit` (1..5). `shown` hears of the panel each time
    // its value changes: the new value before it is written, the old one again when the write
    // failed.
    PressOutcome Press(int panel, int digit, bool up, const std::function<void(int panel)>& shown);
    // A press the user made, as `press`: runs at once, or, while the status poll reads, once the
    // poll's tick has given way (every press once). Refused while another operation runs, with
    // a message.
    void RunPress(std::function<void()> press);

private:
    // Runs `job` as a drive operation now; false, with nothing done, when another one is running
    // (its event pumping let this press in).
    bool RunNow(const std::function<void()>& job);
    void RemakePanels();

    DriveConnection& connection_;
    DriveProfile& profile_;
    Messenger& messenger_;
    OnlinePanelCodes& kept_;
    std::array<OnlinePanel, kOnlinePanelCount> panels_;
};

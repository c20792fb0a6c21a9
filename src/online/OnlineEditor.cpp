#include "online/OnlineEditor.h"

#include "base/Messenger.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "drive/DriveMap.h"
#include "link/DriveOperations.h"
#include "params/DriveConnection.h"

#include <algorithm>

namespace {

void ShowMessage(Messenger& messenger, const QString& text, const QString& caption,
                 MessageIcon icon) {
    Message message;
    message.text = text;
    message.caption = caption;
    message.icon = icon;
    messenger.Show(message);
}

} // namespace

OnlineEditor::OnlineEditor(DriveConnection& connection, DriveProfile& profile, Messenger& messenger,
                           OnlinePanelCodes& kept)
    : connection_(connection), profile_(profile), messenger_(messenger), kept_(kept) {
    RemakePanels();
}

void OnlineEditor::RemakePanels() {
    for (int p = 0; p < kOnlinePanelCount; ++p) {
        OnlinePanel& panel = panels_[static_cast<size_t>(p)];
        const OnlinePanel before = panel;
        panel = MakeOnlinePanel(kept_[static_cast<size_t>(p)], profile_);
        // The same parameter keeps the value shown until the drive gives another.
        if (before.PanelCode == panel.PanelCode) {
            panel.PanelValue = before.PanelValue;
        }
    }
}

bool OnlineEditor::RunNow(const std::function<void()>& job) {
    return connection_.Operations().RunIfIdle(job);
}

bool OnlineEditor::CheckLink() {
    return connection_.RequireLink(messenger_);
}

bool OnlineEditor::WriteOnline(ParamCode code, int32_t value) {
    if (!CheckLink()) {
        return false;
    }
    bool written = false;
    RunNow([&] {
        written = connection_.Parameters().WriteByRule(code, value, ParameterRoute::Mailbox, true);
    });
    if (!written) {
        ShowMessage(messenger_, QString::fromUtf8("线上参数编辑失败！！"),
                    StringText(StringId::kLinkCaption), MessageIcon::Error);
    }
    return written;
}

void OnlineEditor::RefreshFromDrive(const std::function<void(int)>& shown) {
    const bool anyActive = std::any_of(panels_.begin(), panels_.end(),
                                       [](const OnlinePanel& p) { return p.PanelActive; });
    if (!connection_.LinkUp() || !anyActive) {
        return;
    }
    RunNow([&] {
        DriveAccess& access = connection_.Access();
        if (access.ReadDriveWord(DriveMap::kMaxMotorSpeed)) {
            profile_.maxMotorSpeed = access.LastValue;
            RemakePanels(); // ranges in speed follow the drive's maximum speed
        }
        for (int p = 0; p < kOnlinePanelCount; ++p) {
            OnlinePanel& panel = panels_[static_cast<size_t>(p)];
            if (!panel.PanelActive) {
                continue;
            }
            int32_t value = 0;
            if (!connection_.Parameters().ReadByRule(panel.PanelCode, ParameterRoute::Mailbox,
                                                     &value)) {
                return;
            }
            panel.PanelValue = value;
            if (shown) {
                shown(p);
            }
        }
    });
}

void OnlineEditor::TakeCodes(const OnlinePanelCodes& codes, const std::function<void(int)>& shown) {
    kept_ = codes;
    RemakePanels();
    RefreshFromDrive(shown);
}

void OnlineEditor::RunPress(std::function<void()> press) {
    RunPressed(connection_.Operations(), messenger_, std::move(press));
}

PressOutcome OnlineEditor::Press(int panelIndex, int digit, bool up,
                                 const std::function<void(int)>& shown) {
    if (panelIndex < 0 || panelIndex >= kOnlinePanelCount || connection_.Operations().Running()) {
        return PressOutcome::Ignored;
    }
    OnlinePanel& panel = panels_[static_cast<size_t>(panelIndex)];
    const int32_t step = DigitStep(digit, panel.PanelHex);
    if (!panel.PanelActive || step == 0) {
        return PressOutcome::Ignored;
    }
    if (!CheckLink()) {
        return PressOutcome::LinkDown;
    }
    const int32_t old = panel.PanelValue;
    const std::optional<int32_t> next =
        up ? StepUp(old, step, panel.PanelMax, panel.PanelHex, digit)
           : StepDown(old, step, panel.PanelMin, panel.PanelHex, digit);
    if (!next) {
        ShowMessage(messenger_, QString::fromUtf8("超出范围！！\n\n"),
                    QString::fromUtf8("错误信息"), MessageIcon::Warning);
        return PressOutcome::AtLimit;
    }
    panel.PanelValue = *next;
    if (shown) {
        shown(panelIndex);
    }
    if (WriteOnline(panel.PanelCode, *next)) {
        return PressOutcome::Written;
    }
    panel.PanelValue = old;
    if (shown) {
        shown(panelIndex);
    }
    return connection_.LinkUp() ? PressOutcome::WriteFailed : PressOutcome::LinkDown;
}

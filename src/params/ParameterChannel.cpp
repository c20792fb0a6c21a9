#include "params/ParameterChannel.h"

#include "base/Messenger.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "drive/CatalogueTable.h"
#include "drive/DriveMap.h"
#include "drive/DriveProfile.h"
#include "drive/ParameterCatalogue.h"
#include "link/DriveAccess.h"
#include "link/LinkSettings.h"
#include "params/ParameterTransfer.h"

namespace {

// Stands in when nobody watches an operation.
class NoProgress : public TransferProgress {
public:
    void Open(const QString&, int) override {}
    void SetText(const QString&) override {}
    void Step() override {}
    void Close() override {}
};

NoProgress noProgress;

// A 32-bit parameter's register pair cannot travel as one Modbus register.
ParameterRoute RouteOf(ParamCode code, ParameterRoute route) {
    return route == ParameterRoute::Modbus && IsTwoRegister(code) ? ParameterRoute::Mailbox : route;
}

bool HasRule(ParamCode code, WriteRule rule) {
    return WriteRuleOf(code) == rule;
}

} // namespace

ParameterChannel::ParameterChannel(DriveAccess& access, const LinkSettings& settings,
                                   const DriveProfile& profile, Messenger& messenger)
    : access_(access), settings_(settings), profile_(profile), messenger_(messenger),
      progress_(&noProgress) {}

void ParameterChannel::SetProgress(TransferProgress* progress) {
    progress_ = progress != nullptr ? progress : &noProgress;
}

bool ParameterChannel::LinkUp() const {
    return access_.LinkUp();
}

ParameterRoute ParameterChannel::LinkRoute(ParameterRoute otherwise) const {
    return settings_.RS485Port ? ParameterRoute::Modbus : otherwise;
}

// ---- Progress and failure ----

void ParameterChannel::BeginParameter(const QString& text, int steps) {
    currentText_ = text;
    stepsWanted_ = steps;
    progress_->SetText(text);
    progress_->Step();
    stepsOfParameter_ = 1;
}

void ParameterChannel::EndParameter() {
    for (; stepsOfParameter_ < stepsWanted_; ++stepsOfParameter_) {
        progress_->Step();
    }
}

// Every exchange passes through here: the window gets its chance to keep the event loop alive,
// and the bar advances while the parameter has steps left.
bool ParameterChannel::Acknowledged(bool ok) {
    progress_->ExchangeDone();
    if (ok && stepsOfParameter_ < stepsWanted_) {
        progress_->Step();
        ++stepsOfParameter_;
    }
    return ok;
}

bool ParameterChannel::Fail() {
    return Fail(currentText_, StringText(StringId::kLinkCaption));
}

bool ParameterChannel::Fail(const QString& step, const QString& caption) {
    progress_->Close();
    access_.NoteFailureTold();
    Message message;
    message.text = StringText(StringId::kErrorCaption) + QStringLiteral(":\n\n") + step;
    message.caption = caption;
    message.icon = MessageIcon::Error;
    messenger_.Show(message);
    return false;
}

// ---- Mailbox words ----

bool ParameterChannel::FetchWord(int index, int32_t* word) {
    for (int step = 0; step < DriveAccess::kFetchSteps; ++step) {
        if (!Acknowledged(access_.FetchStep(step, index))) {
            return false;
        }
    }
    *word = access_.LastValue;
    return true;
}

// The mailbox store without the live write: 0x71 := index, 0x72 := word, 0x70 := 1.
bool ParameterChannel::StoreWord(int index, int32_t word) {
    for (int step = 0; step < DriveAccess::kStoreSteps - 1; ++step) {
        if (!Acknowledged(access_.StoreStep(step, index, word))) {
            return false;
        }
    }
    return true;
}

bool ParameterChannel::WriteLiveWord(int index, int32_t word) {
    return Acknowledged(access_.StoreStep(DriveAccess::kStoreSteps - 1, index, word));
}

// ---- Parameters ----

bool ParameterChannel::Read(ParamCode code, ParameterRoute route, int32_t* value) {
    if (!LinkUp()) {
        return false;
    }
    const int index = ParameterIndexOf(code);
    int32_t raw = 0;
    switch (RouteOf(code, route)) {
    case ParameterRoute::Modbus:
        // The link converts the register's word itself.
        if (!Acknowledged(access_.ReadParameterModbus(code, settings_.AsciiMode))) {
            return false;
        }
        *value = access_.LastValue;
        return true;
    case ParameterRoute::LiveCopy:
        if (!Acknowledged(access_.ReadSignedWord(DriveMap::kParameterPage, index, &raw))) {
            return false;
        }
        break;
    case ParameterRoute::Mailbox:
        if (!FetchWord(index, &raw)) {
            return false;
        }
        if (IsTwoRegister(code)) {
            int32_t low = 0;
            if (!FetchWord(index + 1, &low)) {
                return false;
            }
            raw = static_cast<int32_t>((static_cast<uint32_t>(raw) << 16) |
                                       (static_cast<uint32_t>(low) & 0xFFFF));
        }
        break;
    }
    *value = RawToDisplay(code, raw, profile_.maxMotorSpeed);
    return true;
}

bool ParameterChannel::Write(ParamCode code, int32_t value, ParameterRoute route, bool live) {
    if (!LinkUp()) {
        return false;
    }
    const int index = ParameterIndexOf(code);
    const int32_t raw = DisplayToRaw(code, value, profile_.maxMotorSpeed);
    const bool twoWords = IsTwoRegister(code);
    const int32_t high = twoWords ? raw >> 16 : raw;
    const int32_t low = raw & 0xFFFF;
    const auto writeLive = [&] {
        return WriteLiveWord(index, high) && (!twoWords || WriteLiveWord(index + 1, low));
    };
    switch (RouteOf(code, route)) {
    case ParameterRoute::Modbus:
        return Acknowledged(access_.WriteParameterModbus(code, raw, settings_.AsciiMode));
    case ParameterRoute::LiveCopy: return writeLive();
    case ParameterRoute::Mailbox:
        return StoreWord(index, high) && (!twoWords || StoreWord(index + 1, low)) &&
               (!live || writeLive());
    }
    return false;
}

bool ParameterChannel::ReadByRule(ParamCode code, ParameterRoute route, int32_t* value) {
    if (!Read(code, route, value)) {
        return false;
    }
    if (HasRule(code, WriteRule::LowBitsOnly)) {
        *value &= kLowBitsOnlyMask;
    }
    return true;
}

bool ParameterChannel::WriteByRule(ParamCode code, int32_t value, ParameterRoute route, bool live) {
    if (HasRule(code, WriteRule::LowBitsOnly)) {
        int32_t stored = 0;
        if (!Read(code, route, &stored)) {
            return false;
        }
        value = (stored & ~kLowBitsOnlyMask) | (value & kLowBitsOnlyMask);
    }
    return Write(code, value, route, live) && CommitWrite(code);
}

// The write of 1 that makes the drive take over a FollowUpCommit parameter's change.
bool ParameterChannel::CommitWrite(ParamCode code) {
    if (!HasRule(code, WriteRule::FollowUpCommit)) {
        return true;
    }
    return Acknowledged(access_.WriteDriveWord(DriveMap::kCommitWord, 1, false));
}

#include "monitor/StatusMonitor.h"

#include "drive/DriveProfile.h"
#include "drive/ParameterCatalogue.h"
#include "link/DriveAccess.h"
#include "params/NolvaServoDoc.h"

#include <cstdlib>

namespace {

constexpr int kVoltageValue = 9; // Un-09, in hundredths of a volt

bool InRange(int number) {
    return number >= 1 && number <= StatusMonitor::kValueCount;
}

size_t Slot(int number) {
    return static_cast<size_t>(number - 1);
}

struct ValueLabel {
    const char* name;
    const char* unit;
};

// The window's own names (Un-15 reads "脉冲数" here, unlike its string table entry).
constexpr ValueLabel kLabels[StatusMonitor::kValueCount] = {
    {"实际电机速度", " rpm"},
    {"实际电机转矩", " %"},
    {"回生负荷率", " %"},
    {"实效负荷率", " %"},
    {"最大负荷率", " %"},
    {"速度命令", " rpm"},
    {"位置误差量", " pulse"},
    {"位置回授量", " pulse"},
    {"外部电压命令", " V"},
    {"主回路(Vdc Bus)电压", " V"},
    {"外部速度限制命令值", " rpm"},
    {"外部CCW方向转矩限制命令值", " %"},
    {"外部CW方向转矩限制命令值", " %"},
    {"电机回授-旋转圈数(绝对值)", " rev"},
    {"电机回授-旋转一圈内的脉冲数(绝对值)", " pulse"},
    {"脉冲命令-旋转圈数(绝对值)", " rev"},
    {"脉冲命令-旋转一圈内的脉冲数(绝对值)", " pulse"},
    {"转矩命令", " %"},
    {"负载惯量比", " *0.1"},
};

} // namespace

QString StatusValueName(int number) {
    return InRange(number) ? QString::fromUtf8(kLabels[Slot(number)].name) : QString();
}

QString StatusValueUnit(int number) {
    return InRange(number) ? QString::fromUtf8(kLabels[Slot(number)].unit) : QString();
}

QString StatusValueText(int number, int32_t value) {
    if (number != kVoltageValue) {
        return QString::number(value);
    }
    const int64_t magnitude = std::llabs(static_cast<int64_t>(value));
    return QString::asprintf("%s%lld.%02lld", value < 0 ? "-" : "",
                             static_cast<long long>(magnitude / 100),
                             static_cast<long long>(magnitude % 100));
}

StatusMonitor::StatusMonitor(DriveAccess& access, const DriveProfile& profile,
                             CNolvaServoDoc& document)
    : access_(access), profile_(profile), document_(document) {}

bool StatusMonitor::Selected(int number) const {
    return InRange(number) && selected_[Slot(number)];
}

void StatusMonitor::SetSelected(int number, bool selected) {
    if (!InRange(number)) {
        return;
    }
    selected_[Slot(number)] = selected;
    if (!selected) {
        texts_[Slot(number)].clear();
    }
}

void StatusMonitor::SelectAll() {
    selected_.fill(true);
}

void StatusMonitor::ClearAll() {
    selected_.fill(false);
    ClearTexts();
}

void StatusMonitor::ClearTexts() {
    for (QString& text : texts_) {
        text.clear();
    }
}

QString StatusMonitor::Text(int number) const {
    return InRange(number) ? texts_[Slot(number)] : QString();
}

bool StatusMonitor::ReadValue(int number, int32_t* raw, const std::function<bool()>& exchangeDone) {
    const ParamCode code{'U', number};
    const DriveLocation at = MonitorLocation(code);
    int32_t high = 0;
    const bool ok = access_.ReadSignedWord(at, &high);
    if ((exchangeDone && !exchangeDone()) || !ok) {
        return false;
    }
    if (!IsTwoRegister(code)) {
        *raw = high;
        return true;
    }
    // The second word is the low half of a signed 32-bit value.
    int32_t low = 0;
    const bool lowOk = access_.ReadSignedWord(at.page, at.location + 1, &low);
    if ((exchangeDone && !exchangeDone()) || !lowOk) {
        return false;
    }
    *raw = static_cast<int32_t>((static_cast<uint32_t>(high) << 16) |
                                (static_cast<uint32_t>(low) & 0xFFFFu));
    return true;
}

bool StatusMonitor::Update(const std::function<bool()>& exchangeDone) {
    // The user may tick or untick while the event loop turns between the reads: the values read
    // are those selected when the update began.
    const std::array<bool, kValueCount> reading = selected_;
    std::array<int32_t, kValueCount> values{};
    for (int number = 1; number <= kValueCount; ++number) {
        if (!reading[Slot(number)]) {
            continue;
        }
        int32_t raw = 0;
        if (!ReadValue(number, &raw, exchangeDone)) {
            return false;
        }
        values[Slot(number)] = RawToDisplay({'U', number}, raw, profile_.maxMotorSpeed);
        document_.statusSnapshot[Slot(number)] = values[Slot(number)];
    }
    for (int number = 1; number <= kValueCount; ++number) {
        const size_t slot = Slot(number);
        if (!selected_[slot]) {
            document_.statusSnapshot[slot] = 0;
            texts_[slot].clear();
        } else if (reading[slot]) {
            texts_[slot] = StatusValueText(number, values[slot]);
        }
    }
    if (access_.LinkUp()) {
        emit changed();
    }
    return true;
}

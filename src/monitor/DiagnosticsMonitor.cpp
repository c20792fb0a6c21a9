#include "monitor/DiagnosticsMonitor.h"

#include "base/StringIds.h"
#include "base/StringTable.h"
#include "drive/DriveProfile.h"
#include "drive/ParameterCatalogue.h"
#include "drive/StatusTexts.h"
#include "link/DriveAccess.h"
#include "params/ContactTransfer.h"
#include "params/NolvaServoDoc.h"

namespace {

constexpr int kControlModeValue = 1; // dn-01
constexpr int kOutputsValue = 2;     // dn-02
constexpr int kInputsValue = 3;      // dn-03
constexpr int kVersionValue = 4;     // dn-04

// Document slots of the contact parameters: Hn501.. for the inputs, Hn514.. for the outputs.
constexpr int kFirstOutputParameter = 13;

// The contact parameter's value 0x01.. is function 0..; the normally-closed bit adds 0x100.
constexpr int32_t kNormallyClosed = 0x100;

int FunctionCode(int32_t value) {
    const int32_t code = value - 1;
    return code >= kNormallyClosed ? value - (kNormallyClosed + 1) : code;
}

QString LabelText(const char* format, int n, int32_t value, QString (*name)(int)) {
    const int code = FunctionCode(value);
    QString shown = name(code);
    if (shown.isEmpty()) {
        shown = QString::number(code + 1);
    }
    return QString::asprintf(format, n) + shown;
}

QString DefaultOutputLabel(int n) {
    static const char* const kFixed[] = {"R5: LM/A0", "R6: PC/A1", "R7: ST/A2", "R8: GC/A3"};
    if (n > DiagnosticsMonitor::kPlannedOutputCount) {
        return QString::fromLatin1(kFixed[n - DiagnosticsMonitor::kPlannedOutputCount - 1]);
    }
    return QString::asprintf("R%d: DO-%d", n, n);
}

bool Bit(uint16_t word, int n) {
    return (word >> (n - 1)) & 1u;
}

} // namespace

QString DiagnosticName(int number) {
    if (number < 1 || number > DiagnosticsMonitor::kValueCount) {
        return {};
    }
    return StringText(StringId::kFirstDiagnosticsName + number - 1);
}

QString ControlModeDiagnosticText(int32_t mode) {
    const QString torque = StringText(StringId::kTorqueModeName);
    const QString speed = StringText(StringId::kSpeedModeName);
    const QString pulse = StringText(StringId::kPulsePositionModeName);
    const QString internal = StringText(StringId::kInternalPositionModeName);
    const QString dash = QStringLiteral("-");
    QString name;
    switch (mode) {
    case 0: name = torque; break;
    case 1: name = speed; break;
    case 2: name = pulse; break;
    case 3: name = pulse + dash + speed; break;
    case 4: name = speed + dash + torque; break;
    case 5: name = pulse + dash + torque; break;
    case 6: name = internal; break;
    default: return {};
    }
    return QString::asprintf("%d: ", mode) + name;
}

QString InputContactDigits(uint16_t dn03) {
    QString digits;
    for (int n = DiagnosticsMonitor::kInputCount; n >= 1; --n) {
        digits += Bit(dn03, n) ? QLatin1Char('1') : QLatin1Char('0');
    }
    return digits;
}

QString OutputContactDigits(uint16_t dn02) {
    QString digits;
    for (int n = DiagnosticsMonitor::kOutputCount; n >= 1; --n) {
        digits += Bit(dn02, n) ? QLatin1Char('0') : QLatin1Char('1');
    }
    return digits;
}

QString InputContactLabel(int n, int32_t parameterValue) {
    return LabelText("S%d: ", n, parameterValue, DiFunctionName);
}

QString OutputContactLabel(int n, int32_t parameterValue) {
    return LabelText("R%d: ", n, parameterValue, DoFunctionName);
}

DiagnosticsMonitor::DiagnosticsMonitor(DriveAccess& access, ContactTransfer& contacts,
                                       const DriveProfile& profile, CNolvaServoDoc& document)
    : access_(access), contacts_(contacts), profile_(profile), document_(document) {
    Reset();
}

void DiagnosticsMonitor::Reset() {
    texts_ = {};
    inputs_ = {};
    outputs_ = {};
    for (int n = 1; n <= kInputCount; ++n) {
        inputLabels_[static_cast<size_t>(n - 1)] = QString::asprintf("S%d: DI-%d", n, n);
    }
    for (int n = 1; n <= kOutputCount; ++n) {
        outputLabels_[static_cast<size_t>(n - 1)] = DefaultOutputLabel(n);
    }
}

QString DiagnosticsMonitor::Text(int number) const {
    return number >= 1 && number <= kValueCount ? texts_[static_cast<size_t>(number - 1)]
                                                : QString();
}

bool DiagnosticsMonitor::InputOn(int n) const {
    return n >= 1 && n <= kInputCount && inputs_[static_cast<size_t>(n - 1)];
}

bool DiagnosticsMonitor::OutputOn(int n) const {
    return n >= 1 && n <= kOutputCount && outputs_[static_cast<size_t>(n - 1)];
}

QString DiagnosticsMonitor::InputLabel(int n) const {
    return n >= 1 && n <= kInputCount ? inputLabels_[static_cast<size_t>(n - 1)] : QString();
}

QString DiagnosticsMonitor::OutputLabel(int n) const {
    return n >= 1 && n <= kOutputCount ? outputLabels_[static_cast<size_t>(n - 1)] : QString();
}

void DiagnosticsMonitor::RelabelContacts() {
    const auto& values = document_.contactsInDrive;
    for (int n = 1; n <= kInputCount; ++n) {
        inputLabels_[static_cast<size_t>(n - 1)] =
            InputContactLabel(n, values[static_cast<size_t>(n - 1)]);
    }
    for (int n = 1; n <= kPlannedOutputCount; ++n) {
        outputLabels_[static_cast<size_t>(n - 1)] =
            OutputContactLabel(n, values[static_cast<size_t>(kFirstOutputParameter + n - 1)]);
    }
}

bool DiagnosticsMonitor::Update(TransferProgress* progress,
                                const std::function<bool()>& exchangeDone) {
    if (firstUpdate_) {
        contacts_.SetProgress(progress);
        const bool read = contacts_.Read();
        contacts_.SetProgress(nullptr);
        if (!read) {
            return false; // the next tick tries again
        }
    }
    std::array<int32_t, kValueCount> values{};
    for (int number = 1; number <= kValueCount; ++number) {
        const ParamCode code{'D', number};
        int32_t word = 0;
        const bool ok = access_.ReadSignedWord(MonitorLocation(code), &word);
        if ((exchangeDone && !exchangeDone()) || !ok) {
            return false;
        }
        values[static_cast<size_t>(number - 1)] = RawToDisplay(code, word, profile_.maxMotorSpeed);
        document_.diagnosticsSnapshot[static_cast<size_t>(number - 1)] =
            values[static_cast<size_t>(number - 1)];
    }
    const auto inputs = static_cast<uint16_t>(values[kInputsValue - 1]);
    const auto outputs = static_cast<uint16_t>(values[kOutputsValue - 1]);
    texts_[kControlModeValue - 1] = ControlModeDiagnosticText(values[kControlModeValue - 1]);
    texts_[kInputsValue - 1] = InputContactDigits(inputs);
    texts_[kOutputsValue - 1] = OutputContactDigits(outputs);
    texts_[kVersionValue - 1] = VersionText(values[kVersionValue - 1]);
    for (int n = 1; n <= kInputCount; ++n) {
        inputs_[static_cast<size_t>(n - 1)] = Bit(inputs, n);
    }
    for (int n = 1; n <= kOutputCount; ++n) {
        outputs_[static_cast<size_t>(n - 1)] = !Bit(outputs, n);
    }
    if (access_.LinkUp()) {
        if (firstUpdate_) {
            RelabelContacts();
        }
        emit changed();
    }
    firstUpdate_ = false;
    return true;
}

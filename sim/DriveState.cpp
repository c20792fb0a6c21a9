#include "sim/DriveState.h"

#include "sim/MotorEncoders.h"
#include "sim/RegisterMap.h"

#include <QList>

DriveState::DriveState(const DriveIdentity& identity) : identity_(identity) {
    for (const RegisterRow& p : RegisterRows()) {
        if (p.IsQuick()) {
            continue;
        }
        parameterIndex_.set(static_cast<size_t>(p.index));
        if (p.twoWords) {
            parameterIndex_.set(static_cast<size_t>(p.index + 1));
        }
    }
    ResetParameters();
    Restart();
    SetWord(DriveLayout::kModelCode, static_cast<uint16_t>(identity_.modelCode));
    SetWord(DriveLayout::kMaxMotorSpeed, static_cast<uint16_t>(identity_.maxMotorSpeed));
    SetWord(DriveLayout::kSoftwareVersion, static_cast<uint16_t>(identity_.softwareVersion));
    storedChanged_ = false;
}

uint16_t DriveState::Word(int page, int location) const {
    return pages_.at(static_cast<size_t>(page)).at(static_cast<size_t>(location));
}

void DriveState::SetWord(int page, int location, uint16_t value) {
    pages_.at(static_cast<size_t>(page)).at(static_cast<size_t>(location)) = value;
}

bool DriveState::WriteWord(int page, int location, uint16_t value) {
    if (page != kParameterPage || location != DriveLayout::kMailboxCommand) {
        SetWord(page, location, value);
        return true;
    }
    auto& p5 = pages_[kParameterPage];
    if (value == DriveLayout::kMailboxStore) {
        const int index = p5[DriveLayout::kMailboxStoreIndex];
        if (!IsMailboxIndex(index)) {
            return false;
        }
        stored_[static_cast<size_t>(index)] = p5[DriveLayout::kMailboxStoreValue];
        storedChanged_ = true;
        p5[DriveLayout::kMailboxCommand] = 0;
        return true;
    }
    if (value == DriveLayout::kMailboxFetch) {
        const int index = p5[DriveLayout::kMailboxFetchIndex];
        if (!IsMailboxIndex(index)) {
            return false;
        }
        p5[DriveLayout::kMailboxFetchResult] = stored_[static_cast<size_t>(index)];
        p5[DriveLayout::kMailboxCommand] = 0;
        return true;
    }
    p5[DriveLayout::kMailboxCommand] = value;
    return true;
}

bool DriveState::IsParameterIndex(int index) const {
    return index >= 0 && index < kPageSize && parameterIndex_.test(static_cast<size_t>(index));
}

bool DriveState::IsTuningIndex(int index) {
    for (const TuningWordRow& w : TuningWordRows()) {
        if (index == w.at.location) {
            return true;
        }
    }
    return index == DriveLayout::kOfflineTuning.location;
}

bool DriveState::IsMailboxIndex(int index) const {
    return IsParameterIndex(index) || (index >= 0 && index <= kAlarmRingLast) ||
           IsTuningIndex(index);
}

uint16_t DriveState::StoredWord(int index) const {
    return stored_.at(static_cast<size_t>(index));
}

void DriveState::SetStoredWord(int index, uint16_t value) {
    stored_.at(static_cast<size_t>(index)) = value;
}

namespace {

template <typename Words> int32_t RawOf(const RegisterRow* p, const Words& words) {
    if (p == nullptr) {
        return 0;
    }
    const auto i = static_cast<size_t>(p->index);
    if (p->twoWords) {
        return static_cast<int32_t>((static_cast<uint32_t>(words[i]) << 16) | words[i + 1]);
    }
    return static_cast<int16_t>(words[i]);
}

} // namespace

int32_t DriveState::StoredRaw(char letter, int number) const {
    return RawOf(WordsOfCode(letter, number), stored_);
}

int32_t DriveState::LiveRaw(char letter, int number) const {
    return RawOf(WordsOfCode(letter, number), pages_[kParameterPage]);
}

void DriveState::ResetParameters() {
    // The factory defaults for this drive, converted to the words the drive holds.
    const int32_t n = identity_.maxMotorSpeed;
    const DriveFacts facts{n, EncoderPulsesOfModel(identity_.modelCode), identity_.modelCode};
    for (const RegisterRow& p : RegisterRows()) {
        if (p.IsQuick()) {
            continue;
        }
        const auto raw =
            static_cast<uint32_t>(ValueToRaw(p.scaling, p.defaultValue.Resolve(facts), n));
        const auto i = static_cast<size_t>(p.index);
        if (p.twoWords) {
            stored_[i] = static_cast<uint16_t>(raw >> 16);
            stored_[i + 1] = static_cast<uint16_t>(raw & 0xFFFF);
        } else {
            stored_[i] = static_cast<uint16_t>(raw & 0xFFFF);
        }
    }
    // The tuning pattern's factory values; its switch off.
    for (const TuningWordRow& w : TuningWordRows()) {
        stored_[static_cast<size_t>(w.at.location)] =
            static_cast<uint16_t>(ValueToRaw(w.scaling, w.factoryValue, n) & 0xFFFF);
    }
    stored_[DriveLayout::kOfflineTuning.location] = 0;
    storedChanged_ = true;
}

void DriveState::Restart() {
    for (int i = 0; i < kPageSize; ++i) {
        if (IsMailboxIndex(i)) {
            pages_[kParameterPage][static_cast<size_t>(i)] = stored_[static_cast<size_t>(i)];
        }
    }
}

void DriveState::ClearWorkingWords() {
    const WordAddress kept[] = {DriveLayout::kModelCode, DriveLayout::kMaxMotorSpeed,
                                DriveLayout::kSoftwareVersion};
    uint16_t values[std::size(kept)];
    for (size_t i = 0; i < std::size(kept); ++i) {
        values[i] = Word(kept[i]);
    }
    for (auto& page : pages_) {
        page.fill(0);
    }
    for (size_t i = 0; i < std::size(kept); ++i) {
        SetWord(kept[i], values[i]);
    }
}

int DriveState::RegisterLocation(int reg, bool* isParameter, int* page) const {
    *isParameter = false;
    *page = kParameterPage;
    if (reg == 0) {
        return DriveLayout::kModelCode.location;
    }
    const char letter = GroupOfModbusRegister(reg);
    const int number = reg & 0xFF;
    if (letter == 'U') {
        const MonitorRow* value = FindMonitorRow('U', number);
        if (value == nullptr) {
            return -1;
        }
        *page = DriveLayout::PageNumber(value->at.page);
        return value->at.location + (value->twoWords ? 1 : 0);
    }
    const RegisterRow* p = letter != 0 ? WordsOfCode(letter, number) : nullptr;
    if (p == nullptr) {
        return -1;
    }
    *isParameter = true;
    return p->index + (p->twoWords ? 1 : 0);
}

std::optional<uint16_t> DriveState::ReadRegister(int reg) const {
    bool isParameter = false;
    int page = 0;
    const int location = RegisterLocation(reg, &isParameter, &page);
    if (location < 0) {
        return std::nullopt;
    }
    return pages_[static_cast<size_t>(page)][static_cast<size_t>(location)];
}

bool DriveState::IsWritableRegister(int reg) const {
    bool isParameter = false;
    int page = 0;
    return RegisterLocation(reg, &isParameter, &page) >= 0 && isParameter;
}

void DriveState::WriteRegister(int reg, uint16_t value) {
    bool isParameter = false;
    int page = 0;
    const int location = RegisterLocation(reg, &isParameter, &page);
    if (location < 0 || !isParameter) {
        return;
    }
    pages_[kParameterPage][static_cast<size_t>(location)] = value;
    stored_[static_cast<size_t>(location)] = value;
    storedChanged_ = true;
}

bool DriveState::TakeStoredChanged() {
    const bool changed = storedChanged_;
    storedChanged_ = false;
    return changed;
}

QByteArray DriveState::StoredText() const {
    QByteArray out = "# Stored parameter words of the simulated drive (hexadecimal)\n";
    for (const RegisterRow& p : RegisterRows()) {
        if (p.IsQuick()) {
            continue;
        }
        const auto raw = static_cast<uint32_t>(StoredRaw(p.letter, p.number));
        out += CodeText(p) + ' ' +
               (p.twoWords ? QByteArray::number(raw, 16).rightJustified(8, '0')
                           : QByteArray::number(raw & 0xFFFF, 16).rightJustified(4, '0'))
                   .toUpper() +
               '\n';
    }
    return out;
}

bool DriveState::LoadStoredText(const QByteArray& text, QString* error) {
    std::array<uint16_t, kPageSize> loaded = stored_;
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QByteArray line = lines[n].trimmed();
        if (line.isEmpty() || line.startsWith('#')) {
            continue;
        }
        const QList<QByteArray> fields = line.simplified().split(' ');
        const RegisterRow* p = RowOfCodeText(fields.value(0));
        bool ok = fields.size() == 2 && p != nullptr && !p->IsQuick() &&
                  fields[1].size() == (p->twoWords ? 8 : 4);
        const uint32_t raw = ok ? fields[1].toUInt(&ok, 16) : 0;
        if (!ok) {
            if (error != nullptr) {
                *error = QStringLiteral("line %1: expected a parameter code and its hexadecimal "
                                        "word, found \"%2\"")
                             .arg(n + 1)
                             .arg(QString::fromLatin1(line));
            }
            return false;
        }
        const auto i = static_cast<size_t>(p->index);
        if (p->twoWords) {
            loaded[i] = static_cast<uint16_t>(raw >> 16);
            loaded[i + 1] = static_cast<uint16_t>(raw & 0xFFFF);
        } else {
            loaded[i] = static_cast<uint16_t>(raw);
        }
    }
    stored_ = loaded;
    return true;
}

#include "sim/DriveState.h"

#include "drive/CatalogueTable.h"
#include "drive/ModelTable.h"
#include "drive/ParamCode.h"
#include "drive/ParameterCatalogue.h"
#include "params/NolvaServoDoc.h"

#include <QList>

namespace {

// The parameter a code stands for in the drive: quick codes are their speed/position twins.
const ParamSpec* DriveParameter(char letter, int number) {
    if (letter == 'q') {
        const ParamCode twin = QuickTwinOf(number);
        return twin.letter != 0 ? FindParam(twin) : nullptr;
    }
    return FindParam({letter, number});
}

// Modbus register groups, in the order of their bases 0x000, 0x100, ... 0x600.
constexpr char kRegisterGroups[] = {'C', 'T', 'S', 'P', 'q', 'H', 'U'};
constexpr int kMonitorValueCount = 19;

} // namespace

DriveState::DriveState(const DriveIdentity& identity) : identity_(identity) {
    for (const ParamSpec& p : AllParameters()) {
        if (p.letter == 'q') {
            continue;
        }
        parameterIndex_.set(p.index);
        if (p.twoRegister) {
            parameterIndex_.set(p.index + 1);
        }
    }
    resetParameters();
    restart();
    setWord(DriveMap::kModelCode, static_cast<uint16_t>(identity_.modelCode));
    setWord(DriveMap::kMaxMotorSpeed, static_cast<uint16_t>(identity_.maxMotorSpeed));
    setWord(DriveMap::kSoftwareVersion, static_cast<uint16_t>(identity_.softwareVersion));
    storedChanged_ = false;
}

uint16_t DriveState::word(int page, int location) const {
    return pages_.at(static_cast<size_t>(page)).at(static_cast<size_t>(location));
}

void DriveState::setWord(int page, int location, uint16_t value) {
    pages_.at(static_cast<size_t>(page)).at(static_cast<size_t>(location)) = value;
}

bool DriveState::writeWord(int page, int location, uint16_t value) {
    if (page != kParameterPage || location != DriveMap::kMailboxCommand) {
        setWord(page, location, value);
        return true;
    }
    auto& p5 = pages_[kParameterPage];
    if (value == DriveMap::kMailboxStore) {
        const int index = p5[DriveMap::kMailboxStoreIndex];
        if (!isMailboxIndex(index)) {
            return false;
        }
        stored_[static_cast<size_t>(index)] = p5[DriveMap::kMailboxStoreValue];
        storedChanged_ = true;
        p5[DriveMap::kMailboxCommand] = 0;
        return true;
    }
    if (value == DriveMap::kMailboxFetch) {
        const int index = p5[DriveMap::kMailboxFetchIndex];
        if (!isMailboxIndex(index)) {
            return false;
        }
        p5[DriveMap::kMailboxFetchResult] = stored_[static_cast<size_t>(index)];
        p5[DriveMap::kMailboxCommand] = 0;
        return true;
    }
    p5[DriveMap::kMailboxCommand] = value;
    return true;
}

bool DriveState::isParameterIndex(int index) const {
    return index >= 0 && index < kPageSize && parameterIndex_.test(static_cast<size_t>(index));
}

bool DriveState::isTuningIndex(int index) {
    return index == DriveMap::kTuningSpeed.location || index == DriveMap::kTuningValue.location ||
           index == DriveMap::kTuningResult.location || index == DriveMap::kOfflineTuning.location;
}

bool DriveState::isMailboxIndex(int index) const {
    return isParameterIndex(index) || (index >= 0 && index <= kAlarmRingLast) ||
           isTuningIndex(index);
}

uint16_t DriveState::storedWord(int index) const {
    return stored_.at(static_cast<size_t>(index));
}

void DriveState::setStoredWord(int index, uint16_t value) {
    stored_.at(static_cast<size_t>(index)) = value;
}

namespace {

template <typename Words> int32_t RawOf(const ParamSpec* p, const Words& words) {
    if (p == nullptr) {
        return 0;
    }
    if (p->twoRegister) {
        return static_cast<int32_t>((static_cast<uint32_t>(words[p->index]) << 16) |
                                    words[p->index + 1]);
    }
    return static_cast<int16_t>(words[p->index]);
}

} // namespace

int32_t DriveState::storedRaw(char letter, int number) const {
    return RawOf(DriveParameter(letter, number), stored_);
}

int32_t DriveState::liveRaw(char letter, int number) const {
    return RawOf(DriveParameter(letter, number), pages_[kParameterPage]);
}

void DriveState::resetParameters() {
    // The catalogue's display defaults for this drive, converted to the words the drive holds.
    const DriveProfile profile{identity_.maxMotorSpeed, EncoderPulsesForModel(identity_.modelCode),
                               identity_.modelCode};
    const CNolvaServoDoc defaults(profile);
    for (const ParamSpec& p : AllParameters()) {
        if (p.letter == 'q') {
            continue;
        }
        const int32_t display = *defaults.defaults.slot({p.letter, p.number});
        const auto raw = static_cast<uint32_t>(
            DisplayToRaw({p.letter, p.number}, display, identity_.maxMotorSpeed));
        if (p.twoRegister) {
            stored_[p.index] = static_cast<uint16_t>(raw >> 16);
            stored_[p.index + 1] = static_cast<uint16_t>(raw & 0xFFFF);
        } else {
            stored_[p.index] = static_cast<uint16_t>(raw & 0xFFFF);
        }
    }
    // The tuning pattern's factory values: 1000 rpm, 7400 rpm/s, 2000 x 0.1 ms; switch off.
    const int32_t n = identity_.maxMotorSpeed;
    stored_[DriveMap::kTuningSpeed.location] =
        static_cast<uint16_t>(DisplayToRaw({'O', 6}, 1000, n) & 0xFFFF);
    stored_[DriveMap::kTuningValue.location] =
        static_cast<uint16_t>(DisplayToRaw({'O', 7}, 7400, n) & 0xFFFF);
    stored_[DriveMap::kTuningResult.location] = 2000;
    stored_[DriveMap::kOfflineTuning.location] = 0;
    storedChanged_ = true;
}

void DriveState::restart() {
    for (int i = 0; i < kPageSize; ++i) {
        if (isMailboxIndex(i)) {
            pages_[kParameterPage][static_cast<size_t>(i)] = stored_[static_cast<size_t>(i)];
        }
    }
}

void DriveState::clearWorkingWords() {
    const DriveLocation kept[] = {DriveMap::kModelCode, DriveMap::kMaxMotorSpeed,
                                  DriveMap::kSoftwareVersion};
    uint16_t values[std::size(kept)];
    for (size_t i = 0; i < std::size(kept); ++i) {
        values[i] = word(kept[i]);
    }
    for (auto& page : pages_) {
        page.fill(0);
    }
    for (size_t i = 0; i < std::size(kept); ++i) {
        setWord(kept[i], values[i]);
    }
}

int DriveState::registerLocation(int reg, bool* isParameter, int* page) const {
    *isParameter = false;
    *page = kParameterPage;
    if (reg == 0) {
        return DriveMap::kModelCode.location;
    }
    const int group = reg >> 8;
    const int number = reg & 0xFF;
    if (reg < 0 || group >= static_cast<int>(sizeof kRegisterGroups)) {
        return -1;
    }
    const char letter = kRegisterGroups[group];
    if (letter == 'U') {
        if (number < 1 || number > kMonitorValueCount) {
            return -1;
        }
        const DriveLocation at = MonitorLocation({'U', number});
        *page = DriveMap::PageNumber(at.page);
        return at.location + (IsTwoRegister({'U', number}) ? 1 : 0);
    }
    const ParamSpec* p = DriveParameter(letter, number);
    if (p == nullptr) {
        return -1;
    }
    *isParameter = true;
    return p->index + (p->twoRegister ? 1 : 0);
}

std::optional<uint16_t> DriveState::readRegister(int reg) const {
    bool isParameter = false;
    int page = 0;
    const int location = registerLocation(reg, &isParameter, &page);
    if (location < 0) {
        return std::nullopt;
    }
    return pages_[static_cast<size_t>(page)][static_cast<size_t>(location)];
}

bool DriveState::isWritableRegister(int reg) const {
    bool isParameter = false;
    int page = 0;
    return registerLocation(reg, &isParameter, &page) >= 0 && isParameter;
}

void DriveState::writeRegister(int reg, uint16_t value) {
    bool isParameter = false;
    int page = 0;
    const int location = registerLocation(reg, &isParameter, &page);
    if (location < 0 || !isParameter) {
        return;
    }
    pages_[kParameterPage][static_cast<size_t>(location)] = value;
    stored_[static_cast<size_t>(location)] = value;
    storedChanged_ = true;
}

bool DriveState::takeStoredChanged() {
    const bool changed = storedChanged_;
    storedChanged_ = false;
    return changed;
}

QByteArray DriveState::storedText() const {
    QByteArray out = "# Stored parameter words of the simulated drive (hexadecimal)\n";
    for (const ParamSpec& p : AllParameters()) {
        if (p.letter == 'q') {
            continue;
        }
        const QString code = ParamCode{p.letter, p.number}.text();
        const auto raw = static_cast<uint32_t>(storedRaw(p.letter, p.number));
        out += code.toLatin1() + ' ' +
               (p.twoRegister ? QByteArray::number(raw, 16).rightJustified(8, '0')
                              : QByteArray::number(raw & 0xFFFF, 16).rightJustified(4, '0'))
                   .toUpper() +
               '\n';
    }
    return out;
}

bool DriveState::loadStoredText(const QByteArray& text, QString* error) {
    std::array<uint16_t, kPageSize> loaded = stored_;
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QByteArray line = lines[n].trimmed();
        if (line.isEmpty() || line.startsWith('#')) {
            continue;
        }
        const QList<QByteArray> fields = line.simplified().split(' ');
        const ParamCode code = ParamCode::fromText(QString::fromLatin1(fields.value(0)));
        const ParamSpec* p = code.letter == 'q' ? nullptr : FindParam(code);
        bool ok = fields.size() == 2 && p != nullptr &&
                  fields[0] == ParamCode{p->letter, p->number}.text().toLatin1() &&
                  fields[1].size() == (p->twoRegister ? 8 : 4);
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
        if (p->twoRegister) {
            loaded[p->index] = static_cast<uint16_t>(raw >> 16);
            loaded[p->index + 1] = static_cast<uint16_t>(raw & 0xFFFF);
        } else {
            loaded[p->index] = static_cast<uint16_t>(raw);
        }
    }
    stored_ = loaded;
    return true;
}

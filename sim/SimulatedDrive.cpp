#include "sim/SimulatedDrive.h"

#include "base/AtomicFile.h"
#include "sim/CommandProtocol.h"
#include "sim/ModbusSlave.h"

#include <algorithm>
#include <thread>

namespace {

RequestFramer::Modbus FramingOf(const DriveLinkOptions& link) {
    if (!link.rs485) {
        return RequestFramer::Modbus::None;
    }
    return link.AsciiMode() ? RequestFramer::Modbus::Ascii : RequestFramer::Modbus::Rtu;
}

char NextHexDigit(char c) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const int value = (c >= 'A' && c <= 'F') ? c - 'A' + 10 : (c >= '0' && c <= '9') ? c - '0' : 0;
    return kDigits[(value + 1) % 16];
}

// Damages the check value of a reply; false for a reply that carries none ('%', '!').
bool DamageCheckValue(RequestFramer::Kind kind, QByteArray& reply) {
    switch (kind) {
    case RequestFramer::Kind::Command:
        if (reply.size() < 3) {
            return false;
        }
        reply.back() = NextHexDigit(reply.back());
        return true;
    case RequestFramer::Kind::ModbusAscii: // ':' .. LRC LRC CR LF
        reply[reply.size() - 3] = NextHexDigit(reply[reply.size() - 3]);
        return true;
    case RequestFramer::Kind::ModbusRtu:
        reply.back() = static_cast<char>(reply.back() ^ 0xFF);
        return true;
    }
    return false;
}

} // namespace

SimulatedDrive::SimulatedDrive(const DriveIdentity& identity, const DriveLinkOptions& link)
    : state_(identity), link_(link), framer_(FramingOf(link), static_cast<uint8_t>(link.station)) {
    machine_.Sync();
}

SimulatedDrive::~SimulatedDrive() = default;

QString SimulatedDrive::LogLine(const RequestFramer::Frame& frame) {
    switch (frame.kind) {
    case RequestFramer::Kind::Command: return QString::fromLatin1(frame.bytes);
    case RequestFramer::Kind::ModbusAscii: return QString::fromLatin1(frame.bytes.chopped(2));
    case RequestFramer::Kind::ModbusRtu:
        return QString::fromLatin1(frame.bytes.toHex(' ').toUpper());
    }
    return {};
}

void SimulatedDrive::Record(const RequestFramer::Frame& frame) {
    const QString line = LogLine(frame);
    if (keepLog_) {
        log_.append(line);
    }
    if (logFile_) {
        logFile_->write(line.toLatin1() + '\n');
        logFile_->flush();
    }
}

QByteArray SimulatedDrive::Answer(const RequestFramer::Frame& frame, bool refuse) {
    if (frame.kind == RequestFramer::Kind::Command) {
        return refuse ? QByteArray(1, kCommandRefused) : AnswerCommand(state_, frame.bytes);
    }
    QByteArray adu; // station, function, data
    if (frame.kind == RequestFramer::Kind::ModbusAscii) {
        if (!DecodeAsciiFrame(frame.bytes, &adu)) {
            return {};
        }
    } else {
        adu = frame.bytes.chopped(2); // the framer has checked the CRC
    }
    if (adu.size() < 2 || static_cast<uint8_t>(adu[0]) != link_.station) {
        return {};
    }
    const QByteArray pdu = AnswerModbusPdu(state_, QByteArrayView(adu).sliced(1));
    const auto station = static_cast<uint8_t>(link_.station);
    return frame.kind == RequestFramer::Kind::ModbusAscii ? AsciiFrame(station, pdu)
                                                          : RtuFrame(station, pdu);
}

std::vector<SimulatedDrive::TimedReply> SimulatedDrive::Process(QByteArrayView bytes) {
    std::vector<TimedReply> replies;
    const std::chrono::microseconds byteTime =
        faults_.pace && faults_.baud > 0 ? std::chrono::microseconds(10'000'000LL / faults_.baud)
                                         : std::chrono::microseconds{0};
    if (echo_ && !bytes.isEmpty()) {
        // The converter's copy leaves as the bytes come in, whatever the drive makes of them.
        replies.push_back({bytes.toByteArray(), std::chrono::microseconds{0}, byteTime, true});
    }
    framer_.Append(bytes);
    while (auto frame = framer_.Next()) {
        ++counters_.requests;
        if (frame->kind == RequestFramer::Kind::ModbusRtu && pendingSilence_.count() >= 0 &&
            (smallestRtuSilence_.count() < 0 || pendingSilence_ < smallestRtuSilence_)) {
            smallestRtuSilence_ = pendingSilence_;
        }
        pendingSilence_ = std::chrono::microseconds{-1};
        Record(*frame);
        if (faults_.hangUpAfter >= 0 &&
            counters_.requests > static_cast<uint64_t>(faults_.hangUpAfter)) {
            hungUp_ = true;
        }
        if (hungUp_) {
            ++counters_.ignored;
            continue;
        }
        // A read sees the machine as it is now.
        if (followsClock_) {
            FollowClock();
        } else {
            machine_.Sync();
        }
        const FaultDice::Roll roll = dice_.Draw(faults_);
        const bool refuse = roll.refuse && frame->kind == RequestFramer::Kind::Command;
        QByteArray reply = Answer(*frame, refuse);
        counters_.refused += refuse ? 1 : 0;
        PersistIfStored();
        if (reply.isEmpty()) {
            ++counters_.ignored;
            continue;
        }
        if (roll.drop) {
            ++counters_.dropped;
            continue;
        }
        if (roll.corrupt && DamageCheckValue(frame->kind, reply)) {
            ++counters_.corrupted;
        }
        ++counters_.replies;

        TimedReply timed;
        timed.delay = std::chrono::milliseconds(faults_.latencyMs);
        if (byteTime.count() > 0) {
            // 10 bits a byte: start, 8 data, stop (or 7 data and parity, or 7 data and 2 stops).
            // An echo has already spent the request's wire time.
            timed.byteTime = byteTime;
            if (!echo_) {
                timed.delay += timed.byteTime * frame->bytes.size();
            }
        }
        timed.bytes = std::move(reply);
        replies.push_back(std::move(timed));
    }
    return replies;
}

QByteArray SimulatedDrive::Receive(QByteArrayView bytes) {
    QByteArray out;
    std::chrono::microseconds wait{0};
    for (TimedReply& reply : Process(bytes)) {
        wait += reply.delay + reply.byteTime * reply.bytes.size();
        out += reply.bytes;
    }
    if (wait.count() > 0) {
        std::this_thread::sleep_for(wait);
    }
    return out;
}

std::function<QByteArray(QByteArrayView)> SimulatedDrive::Responder() {
    return [this](QByteArrayView written) { return Receive(written); };
}

void SimulatedDrive::LineIdle() {
    framer_.LineIdle();
}

bool SimulatedDrive::HasPendingBytes() const {
    return framer_.HasPendingBytes();
}

void SimulatedDrive::Advance(std::chrono::microseconds duration) {
    machine_.Advance(duration);
}

void SimulatedDrive::SetFollowsClock(bool follows) {
    followsClock_ = follows;
    lastFollow_ = std::chrono::steady_clock::now();
}

void SimulatedDrive::FollowClock() {
    const auto now = std::chrono::steady_clock::now();
    const auto passed = std::chrono::duration_cast<std::chrono::microseconds>(now - lastFollow_);
    lastFollow_ = now;
    machine_.Advance(std::clamp(passed, std::chrono::microseconds{0},
                                std::chrono::microseconds{std::chrono::seconds(1)}));
}

void SimulatedDrive::Restart() {
    framer_.LineIdle();
    state_.ClearWorkingWords();
    state_.Restart();
    machine_.PowerUp();
    lastFollow_ = std::chrono::steady_clock::now(); // the machine starts again from now
    machine_.Sync();
}

void SimulatedDrive::SetAlarm(uint16_t alarmBits) {
    state_.SetWord(DriveLayout::kAlarmBits, alarmBits);
}

void SimulatedDrive::SetServoOn(bool on) {
    machine_.SetServoCommand(on);
    machine_.Sync();
}

void SimulatedDrive::SetInputContacts(uint16_t contacts) {
    machine_.SetInputs(contacts);
    machine_.Sync();
}

void SimulatedDrive::SetMaxSpeed(int32_t rpm) {
    state_.SetWord(DriveLayout::kMaxMotorSpeed, static_cast<uint16_t>(rpm));
    machine_.Sync();
}

void SimulatedDrive::SetModelCode(int32_t code) {
    state_.SetWord(DriveLayout::kModelCode, static_cast<uint16_t>(code));
    machine_.Sync();
}

void SimulatedDrive::SetSoftwareVersion(int32_t version) {
    state_.SetWord(DriveLayout::kSoftwareVersion, static_cast<uint16_t>(version));
}

void SimulatedDrive::SetWord(char page, int location, uint16_t value) {
    state_.SetWord(WordAddress{page, location}, value);
}

uint16_t SimulatedDrive::Word(char page, int location) const {
    return state_.Word(WordAddress{page, location});
}

void SimulatedDrive::SetFaults(const FaultSettings& faults) {
    faults_ = faults;
    dice_ = FaultDice(faults.seed);
    hungUp_ = false;
}

void SimulatedDrive::SetHungUp(bool hungUp) {
    hungUp_ = hungUp;
    if (!hungUp) {
        faults_.hangUpAfter = -1;
    }
}

bool SimulatedDrive::HungUp() const {
    return hungUp_;
}

bool SimulatedDrive::SetLogFile(const QString& path, QString* error) {
    logFile_.reset();
    if (path.isEmpty()) {
        return true;
    }
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Append)) {
        if (error != nullptr) {
            *error = QStringLiteral("cannot open the log %1: %2").arg(path, file->errorString());
        }
        return false;
    }
    logFile_ = std::move(file);
    return true;
}

bool SimulatedDrive::SetPersistFile(const QString& path, QString* error) {
    persistPath_ = path;
    persistError_.clear();
    QFile file(path);
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly)) {
            if (error != nullptr) {
                *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
            }
            return false;
        }
        QString reason;
        if (!state_.LoadStoredText(file.readAll(), &reason)) {
            if (error != nullptr) {
                *error = QStringLiteral("%1, %2").arg(path, reason);
            }
            return false;
        }
        state_.Restart();
    }
    state_.TakeStoredChanged();
    return true;
}

void SimulatedDrive::PersistIfStored() {
    if (!state_.TakeStoredChanged() || persistPath_.isEmpty()) {
        return;
    }
    QString reason;
    persistError_ =
        WriteFileAtomically(persistPath_, state_.StoredText(), &reason) ? QString() : reason;
}

SimulatedDrive::Counters SimulatedDrive::Counts() const {
    Counters c = counters_;
    c.noiseBytes = framer_.DiscardedBytes();
    return c;
}

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
    return link.asciiMode() ? RequestFramer::Modbus::Ascii : RequestFramer::Modbus::Rtu;
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
    machine_.sync();
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

void SimulatedDrive::record(const RequestFramer::Frame& frame) {
    const QString line = LogLine(frame);
    if (keepLog_) {
        log_.append(line);
    }
    if (logFile_) {
        logFile_->write(line.toLatin1() + '\n');
        logFile_->flush();
    }
}

QByteArray SimulatedDrive::answer(const RequestFramer::Frame& frame, bool refuse) {
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

std::vector<SimulatedDrive::TimedReply> SimulatedDrive::process(QByteArrayView bytes) {
    std::vector<TimedReply> replies;
    const std::chrono::microseconds byteTime =
        faults_.pace && faults_.baud > 0 ? std::chrono::microseconds(10'000'000LL / faults_.baud)
                                         : std::chrono::microseconds{0};
    if (echo_ && !bytes.isEmpty()) {
        // The converter's copy leaves as the bytes come in, whatever the drive makes of them.
        replies.push_back({bytes.toByteArray(), std::chrono::microseconds{0}, byteTime, true});
    }
    framer_.append(bytes);
    while (auto frame = framer_.next()) {
        ++counters_.requests;
        if (frame->kind == RequestFramer::Kind::ModbusRtu && pendingSilence_.count() >= 0 &&
            (smallestRtuSilence_.count() < 0 || pendingSilence_ < smallestRtuSilence_)) {
            smallestRtuSilence_ = pendingSilence_;
        }
        pendingSilence_ = std::chrono::microseconds{-1};
        record(*frame);
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
            followClock();
        } else {
            machine_.sync();
        }
        const FaultDice::Roll roll = dice_.roll(faults_);
        const bool refuse = roll.refuse && frame->kind == RequestFramer::Kind::Command;
        QByteArray reply = answer(*frame, refuse);
        counters_.refused += refuse ? 1 : 0;
        persistIfStored();
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

QByteArray SimulatedDrive::receive(QByteArrayView bytes) {
    QByteArray out;
    std::chrono::microseconds wait{0};
    for (TimedReply& reply : process(bytes)) {
        wait += reply.delay + reply.byteTime * reply.bytes.size();
        out += reply.bytes;
    }
    if (wait.count() > 0) {
        std::this_thread::sleep_for(wait);
    }
    return out;
}

std::function<QByteArray(QByteArrayView)> SimulatedDrive::responder() {
    return [this](QByteArrayView written) { return receive(written); };
}

void SimulatedDrive::lineIdle() {
    framer_.lineIdle();
}

bool SimulatedDrive::hasPendingBytes() const {
    return framer_.hasPendingBytes();
}

void SimulatedDrive::advance(std::chrono::microseconds duration) {
    machine_.advance(duration);
}

void SimulatedDrive::setFollowsClock(bool follows) {
    followsClock_ = follows;
    lastFollow_ = std::chrono::steady_clock::now();
}

void SimulatedDrive::followClock() {
    const auto now = std::chrono::steady_clock::now();
    const auto passed = std::chrono::duration_cast<std::chrono::microseconds>(now - lastFollow_);
    lastFollow_ = now;
    machine_.advance(std::clamp(passed, std::chrono::microseconds{0},
                                std::chrono::microseconds{std::chrono::seconds(1)}));
}

void SimulatedDrive::restart() {
    framer_.lineIdle();
    state_.clearWorkingWords();
    state_.restart();
    machine_.powerUp();
    lastFollow_ = std::chrono::steady_clock::now(); // the machine starts again from now
    machine_.sync();
}

void SimulatedDrive::setAlarm(uint16_t alarmBits) {
    state_.setWord(DriveLayout::kAlarmBits, alarmBits);
}

void SimulatedDrive::setServoOn(bool on) {
    machine_.setServoCommand(on);
    machine_.sync();
}

void SimulatedDrive::setInputContacts(uint16_t contacts) {
    machine_.setInputs(contacts);
    machine_.sync();
}

void SimulatedDrive::setMaxSpeed(int32_t rpm) {
    state_.setWord(DriveLayout::kMaxMotorSpeed, static_cast<uint16_t>(rpm));
    machine_.sync();
}

void SimulatedDrive::setModelCode(int32_t code) {
    state_.setWord(DriveLayout::kModelCode, static_cast<uint16_t>(code));
    machine_.sync();
}

void SimulatedDrive::setSoftwareVersion(int32_t version) {
    state_.setWord(DriveLayout::kSoftwareVersion, static_cast<uint16_t>(version));
}

void SimulatedDrive::setWord(char page, int location, uint16_t value) {
    state_.setWord(WordAddress{page, location}, value);
}

uint16_t SimulatedDrive::word(char page, int location) const {
    return state_.word(WordAddress{page, location});
}

void SimulatedDrive::setFaults(const FaultSettings& faults) {
    faults_ = faults;
    dice_ = FaultDice(faults.seed);
    hungUp_ = false;
}

void SimulatedDrive::setHungUp(bool hungUp) {
    hungUp_ = hungUp;
    if (!hungUp) {
        faults_.hangUpAfter = -1;
    }
}

bool SimulatedDrive::hungUp() const {
    return hungUp_;
}

bool SimulatedDrive::setLogFile(const QString& path, QString* error) {
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

bool SimulatedDrive::setPersistFile(const QString& path, QString* error) {
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
        if (!state_.loadStoredText(file.readAll(), &reason)) {
            if (error != nullptr) {
                *error = QStringLiteral("%1, %2").arg(path, reason);
            }
            return false;
        }
        state_.restart();
    }
    state_.takeStoredChanged();
    return true;
}

void SimulatedDrive::persistIfStored() {
    if (!state_.takeStoredChanged() || persistPath_.isEmpty()) {
        return;
    }
    QString reason;
    persistError_ =
        WriteFileAtomically(persistPath_, state_.storedText(), &reason) ? QString() : reason;
}

SimulatedDrive::Counters SimulatedDrive::counters() const {
    Counters c = counters_;
    c.noiseBytes = framer_.discardedBytes();
    return c;
}

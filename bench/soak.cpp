// Fault soak: whole-set parameter writes and reads against the simulated drive while a share of
// its replies is dropped, damaged or refused, with the status poll in between, on RS-232 and on
// RS-485 (Modbus RTU and ASCII).
//
// Each cycle writes a random parameter set (every value within its range for the drive) as copy
// to drive does, then checks the drive's stored values directly, not over the faulty link:
// - after a reported success every parameter holds its new value (the live copy too, where the
//   write includes it);
// - after a reported failure the message names one parameter, the parameters before it hold
//   their new values, those after it their old ones, and each word of the named one the one or
//   the other.
// Then a whole-set read (copy to computer) is checked against the drive, quick parameters
// included; a failed one must name a parameter and store nothing. Around each transfer the
// status poll runs and, when it succeeds, must agree with the drive's words.
//
// Usage: soak [--seconds N] [--link rs232|rtu|ascii|all] [--faults 0.05] [--seed N]
//   --seconds is per link kind. Exit status 1 when a value was wrong after a reported success or
//   a failure broke its promise, 3 when the link hung.

#include "soak_port.h"

#include "base/Messenger.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "drive/CatalogueTable.h"
#include "drive/DriveMap.h"
#include "drive/ParameterCatalogue.h"
#include "drive/ParameterSet.h"
#include "link/DriveOperations.h"
#include "params/DriveConnection.h"
#include "params/NolvaServoDoc.h"
#include "params/ParameterTransfer.h"

#include <QCoreApplication>
#include <QStringList>

#include <array>
#include <cstdio>
#include <random>

namespace {

struct Options {
    int seconds = 60;
    QStringList links{"rs232", "rtu", "ascii"};
    double faults = 0.05;
    uint32_t seed = 1;
};

struct Tally {
    long cycles = 0;
    long writesFailed = 0;
    long readsFailed = 0;
    long pollsFailed = 0;
    long wrong = 0;  // values wrong after a reported success
    long broken = 0; // failures that did not keep their promise
};

using StoredWords = std::array<uint16_t, DriveState::kPageSize>;

// Complaints are printed, the first few of each run only.
int complaintsLeft = 20;
void Complain(const char* kind, long cycle, const QString& what) {
    if (complaintsLeft-- > 0) {
        std::printf("  cycle %ld: %s: %s\n", cycle, kind, qPrintable(what));
    }
}

QList<int32_t> RandomSet(const QList<ParamCode>& codes, const DriveProfile& profile,
                         std::mt19937& random) {
    ParameterSet minimums;
    ParameterSet maximums;
    FillRangeTables(minimums, maximums, profile);
    QList<int32_t> values;
    for (const ParamCode& code : codes) {
        std::uniform_int_distribution<int32_t> pick(*minimums.Slot(code), *maximums.Slot(code));
        values.append(pick(random));
    }
    return values;
}

StoredWords Stored(const DriveState& state) {
    StoredWords words{};
    for (int i = 0; i < DriveState::kPageSize; ++i) {
        words[static_cast<size_t>(i)] = state.StoredWord(i);
    }
    return words;
}

int WordCount(ParamCode code) {
    return IsTwoRegister(code) ? 2 : 1;
}

// The words a write of `value` must leave in the stored copy, the high word first. The brake
// mode keeps the other bits of the word it replaces.
std::array<uint16_t, 2> NewWords(ParamCode code, int32_t value, const StoredWords& old,
                                 int32_t maxSpeed) {
    const int index = ParameterIndexOf(code);
    if (WriteRuleOf(code) == WriteRule::LowBitsOnly) {
        const int32_t current =
            RawToDisplay(code, static_cast<int16_t>(old[static_cast<size_t>(index)]), maxSpeed);
        value = (current & ~kLowBitsOnlyMask) | (value & kLowBitsOnlyMask);
    }
    const int32_t raw = DisplayToRaw(code, value, maxSpeed);
    if (IsTwoRegister(code)) {
        return {static_cast<uint16_t>(static_cast<uint32_t>(raw) >> 16),
                static_cast<uint16_t>(raw & 0xFFFF)};
    }
    return {static_cast<uint16_t>(raw & 0xFFFF), 0};
}

QString Hex(uint16_t word) {
    return QString::asprintf("%04X", word);
}

// The message a failed whole-set transfer shows for the parameter at `index`, or -1 when the
// last message is no such failure.
qsizetype NamedIndex(const RecordingMessenger& messenger, const QList<ParamCode>& codes,
                     int headingId) {
    if (messenger.messages.isEmpty() || messenger.messages.last().icon != MessageIcon::Error) {
        return -1;
    }
    const QString prefix =
        StringText(StringId::kErrorCaption) + QStringLiteral(":\n\n") + StringText(headingId);
    const QString& text = messenger.messages.last().text;
    for (qsizetype i = 0; i < codes.size(); ++i) {
        if (text == prefix + codes[i].Text()) {
            return i;
        }
    }
    return -1;
}

class Soak {
public:
    Soak(const char* name, DriveLinkOptions link, const Options& options, uint32_t seed)
        : name_(name), drive_({}, link), random_(seed),
          noise_(options.faults / (link.rs485 ? 4 : 6), seed) {
        drive_.SetKeepLogInMemory(false);
        settings_.RS485Port = link.rs485;
        settings_.StationID = link.station;
        settings_.FrameFormat = link.frameFormat;
        settings_.AsciiMode = link.AsciiMode();
        document_.OnNewDocument();
        FaultSettings faults;
        // Dropped, refused and damaged replies in equal shares, damage half to the check value
        // (the drive's) and half a flipped bit anywhere (line noise). Modbus has no refusal: on
        // RS-485 the share goes to the other two faults.
        const double share = options.faults / (link.rs485 ? 2 : 3);
        faults.drop = share;
        faults.corrupt = share / 2;
        faults.refuse = share;
        faults.pace = true;
        faults.baud = 9600;
        faults.seed = seed;
        drive_.SetFaults(faults);
    }

    bool Connect() {
        if (connection_.Open(QStringLiteral("sim"), 9600) != 0) {
            return false;
        }
        for (int attempt = 0; attempt < 10 && !connection_.Probe(); ++attempt) {
        }
        return connection_.LinkUp();
    }

    void RunFor(int seconds) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        port_->StartGaps();
        while (std::chrono::steady_clock::now() < end) {
            Cycle();
            if (tally_.cycles % 20 == 0) {
                port_->Renew();
            }
        }
    }

    bool Report() const {
        const SimulatedDrive::Counters c = drive_.Counts();
        const uint64_t faults = c.dropped + c.corrupted + noise_.flipped + c.refused;
        std::printf(
            "%-5s cycles %ld, requests %llu, faults injected %llu (%.2f %% of requests: dropped "
            "%llu, check value damaged %llu, bit flipped %llu, refused %llu), failures: write %ld, "
            "read %ld, poll %ld; "
            "broken promises %ld, wrong after success %ld; longest time without a "
            "request or reply %.0f ms on the line, %.2f ms wall clock\n",
            name_, tally_.cycles, static_cast<unsigned long long>(c.requests),
            static_cast<unsigned long long>(faults),
            c.requests ? 100.0 * static_cast<double>(faults) / c.requests : 0.0,
            static_cast<unsigned long long>(c.dropped),
            static_cast<unsigned long long>(c.corrupted),
            static_cast<unsigned long long>(noise_.flipped),
            static_cast<unsigned long long>(c.refused), tally_.writesFailed, tally_.readsFailed,
            tally_.pollsFailed, tally_.broken, tally_.wrong, port_->LongestLinkGapMs(),
            port_->LongestWallGapMs());
        return tally_.wrong == 0 && tally_.broken == 0;
    }

private:
    void Cycle() {
        ++tally_.cycles;
        Poll();
        const QList<int32_t> values = RandomSet(codes_, profile_, random_);
        const StoredWords before = Stored(drive_.State());
        const int32_t maxSpeed = profile_.maxMotorSpeed;
        messenger_.messages.clear();
        qsizetype written = 0;
        const bool ok = connection_.Transfer().WriteCodes(codes_, values, &written);
        CheckWrite(ok, written, values, before, maxSpeed);
        Poll();
        messenger_.messages.clear();
        const ParameterSet buffers = document_.transfer;
        CheckRead(connection_.Transfer().ReadAll(), buffers);
    }

    void Poll() {
        DriveStatus status;
        if (!connection_.ReadStatus(status)) {
            ++tally_.pollsFailed;
            return;
        }
        const DriveState& s = drive_.State();
        const bool agrees = profile_.maxMotorSpeed == s.Word(DriveMap::kMaxMotorSpeed) &&
                            profile_.modelCode == s.Word(DriveMap::kModelCode) &&
                            status.alarmWord == s.Word(DriveMap::kAlarmBits) &&
                            status.servoOn == ((s.Word(DriveMap::kServoState) & 1) != 0);
        if (!agrees) {
            ++tally_.wrong;
            Complain("status", tally_.cycles, QStringLiteral("poll disagrees with the drive"));
        }
    }

    void CheckWrite(bool ok, qsizetype written, const QList<int32_t>& values,
                    const StoredWords& before, int32_t maxSpeed) {
        const StoredWords after = Stored(drive_.State());
        // Stored words that are neither parameters nor the alarm ring (which the drive itself
        // writes when an alarm comes) never change.
        for (int i = 0; i < DriveState::kPageSize; ++i) {
            if (!drive_.State().IsMailboxIndex(i) &&
                before[static_cast<size_t>(i)] != after[static_cast<size_t>(i)]) {
                ++(ok ? tally_.wrong : tally_.broken);
                Complain("write", tally_.cycles,
                         QStringLiteral("stored word %1 changed").arg(i, 2, 16));
            }
        }
        qsizetype named = codes_.size();
        if (!ok) {
            ++tally_.writesFailed;
            named = NamedIndex(messenger_, codes_, StringId::kWritingAll);
            if (named < 0 || named != written) {
                ++tally_.broken;
                Complain("write failure", tally_.cycles,
                         QStringLiteral("message names no parameter or not the one it stopped "
                                        "at (%1 written): %2")
                             .arg(written)
                             .arg(messenger_.messages.isEmpty() ? QString()
                                                                : messenger_.messages.last().text));
                return;
            }
        } else if (messenger_.messages.isEmpty() ||
                   messenger_.messages.last().icon == MessageIcon::Error) {
            ++tally_.wrong;
            Complain("write", tally_.cycles, QStringLiteral("success without its message"));
        }
        for (qsizetype i = 0; i < codes_.size(); ++i) {
            const ParamCode code = codes_[i];
            const size_t index = ParameterIndexOf(code);
            const std::array<uint16_t, 2> fresh = NewWords(code, values[i], before, maxSpeed);
            for (int w = 0; w < WordCount(code); ++w) {
                const uint16_t now = after[index + w];
                const uint16_t old = before[index + w];
                const bool good = i < named    ? now == fresh[w]
                                  : i == named ? now == fresh[w] || now == old
                                               : now == old;
                if (!good) {
                    ++(ok ? tally_.wrong : tally_.broken);
                    Complain(ok ? "wrong after success" : "broken promise", tally_.cycles,
                             QStringLiteral("%1 stored %2, new %3, old %4 (failure at %5)")
                                 .arg(code.Text(), Hex(now), Hex(fresh[w]), Hex(old))
                                 .arg(named));
                }
            }
            CheckLive(code, ok, i < named, fresh);
        }
    }

    // A parameter that takes effect at once has its new value in the live copy too.
    void CheckLive(ParamCode code, bool ok, bool done, const std::array<uint16_t, 2>& fresh) {
        if (!done || IsRestartParameter(code) || WriteRuleOf(code) != WriteRule::Plain) {
            return;
        }
        const int index = ParameterIndexOf(code);
        for (int w = 0; w < WordCount(code); ++w) {
            const uint16_t live = drive_.State().Word(DriveState::kParameterPage, index + w);
            if (live != fresh[w]) {
                ++(ok ? tally_.wrong : tally_.broken);
                Complain("live copy", tally_.cycles,
                         QStringLiteral("%1 live %2, new %3")
                             .arg(code.Text(), Hex(live), Hex(fresh[w])));
            }
        }
    }

    // The value a read must bring for `code`: Modbus reads the live copy; the mailbox (RS-232,
    // and the 32-bit parameters on RS-485) the stored one. Quick parameters are their twins'.
    int32_t DriveValue(ParamCode code) const {
        if (code.letter == 'q') {
            code = QuickTwinOf(code.number);
        }
        const DriveState& s = drive_.State();
        const bool live = settings_.RS485Port && !IsTwoRegister(code);
        const int32_t raw =
            live ? s.LiveRaw(code.letter, code.number) : s.StoredRaw(code.letter, code.number);
        const int32_t value = RawToDisplay(code, raw, profile_.maxMotorSpeed);
        return WriteRuleOf(code) == WriteRule::LowBitsOnly ? value & kLowBitsOnlyMask : value;
    }

    void CheckRead(bool ok, const ParameterSet& before) {
        if (!ok) {
            ++tally_.readsFailed;
            if (NamedIndex(messenger_, codes_, StringId::kReadingAll) < 0) {
                ++tally_.broken;
                Complain("read failure", tally_.cycles, QStringLiteral("names no parameter"));
            }
            if (!(document_.transfer == before)) {
                ++tally_.broken;
                Complain("read failure", tally_.cycles, QStringLiteral("stored values read"));
            }
            return;
        }
        for (const ParamSpec& p : AllParameters()) {
            const ParamCode code{p.letter, p.number};
            const int32_t read = *document_.transfer.Slot(code);
            if (read != DriveValue(code)) {
                ++tally_.wrong;
                Complain("read", tally_.cycles,
                         QStringLiteral("%1 read %2, drive %3")
                             .arg(code.Text())
                             .arg(read)
                             .arg(DriveValue(code)));
            }
        }
    }

    const char* name_;
    SimulatedDrive drive_;
    std::mt19937 random_;
    LineNoise noise_;
    WatchedPort* port_ = new WatchedPort(drive_, noise_);
    LinkSettings settings_;
    DriveProfile profile_;
    CNolvaServoDoc document_{profile_};
    RecordingMessenger messenger_;
    DriveOperations operations_;
    DriveConnection connection_{settings_,  profile_,    document_,
                                messenger_, operations_, std::unique_ptr<SerialBackend>(port_)};
    const QList<ParamCode> codes_ = WholeSet();
    Tally tally_;
};

bool ParseOptions(const QStringList& args, Options* options) {
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (i + 1 >= args.size()) {
            return false;
        }
        const QString value = args[++i];
        bool ok = true;
        if (arg == QLatin1String("--seconds")) {
            options->seconds = value.toInt(&ok);
            ok = ok && options->seconds > 0;
        } else if (arg == QLatin1String("--link")) {
            options->links = value == QLatin1String("all") ? Options{}.links : QStringList{value};
            ok = Options{}.links.contains(options->links.first());
        } else if (arg == QLatin1String("--faults")) {
            options->faults = value.toDouble(&ok);
            ok = ok && options->faults >= 0 && options->faults <= 1;
        } else if (arg == QLatin1String("--seed")) {
            options->seed = value.toUInt(&ok);
        } else {
            ok = false;
        }
        if (!ok) {
            return false;
        }
    }
    return true;
}

DriveLinkOptions LinkOf(const QString& name) {
    DriveLinkOptions link;
    link.rs485 = name != QLatin1String("rs232");
    link.frameFormat = name == QLatin1String("rtu") ? 6 : 0;
    return link;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    Options options;
    if (!ParseOptions(QCoreApplication::arguments(), &options)) {
        std::fprintf(stderr, "usage: soak [--seconds N] [--link rs232|rtu|ascii|all] "
                             "[--faults 0.05] [--seed N]\n");
        return 2;
    }
    std::printf("fault soak: %d s per link, %.1f %% of replies faulty, seed %u\n", options.seconds,
                options.faults * 100, options.seed);
    bool good = true;
    Watchdog watchdog(std::chrono::seconds(30));
    for (qsizetype k = 0; k < options.links.size(); ++k) {
        const QByteArray name = options.links[k].toLatin1();
        Soak soak(name.constData(), LinkOf(options.links[k]), options,
                  options.seed + static_cast<uint32_t>(k));
        if (!soak.Connect()) {
            std::printf("%s: no drive\n", name.constData());
            good = false;
            continue;
        }
        soak.RunFor(options.seconds);
        good = soak.Report() && good;
        std::fflush(stdout);
    }
    return good ? 0 : 1;
}

// Link throughput against the simulated drive on a pseudo-terminal.
//
// 1. Exchanges per second with no pacing: command-protocol 'R' reads and Modbus RTU function 03.
// 2. With wire-time pacing at 9600 and 115200 bit/s: the 154 single-register Modbus RTU reads of a
//    whole-set transfer by our link, against the same reads by a libmodbus client, in the same
//    run against the same simulator, and against the pure wire time (bytes x 10 bits / baud).
//
// Usage: orvan_bench_link [--sim PATH] [--rounds N]

#include "app/AppSettings.h"
#include "drive/CatalogueTable.h"
#include "drive/ParameterCatalogue.h"
#include "link/DriveAccess.h"
#include "link/Frames.h"
#include "link/ModbusLink.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <modbus.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct Sim {
    QProcess process;
    QString path;
};

bool StartSim(Sim& sim, const QString& program, const QStringList& args) {
    sim.process.start(program, args);
    if (!sim.process.waitForStarted(5000) || !sim.process.waitForReadyRead(5000)) {
        return false;
    }
    sim.path = QString::fromUtf8(sim.process.readLine()).trimmed();
    return !sim.path.isEmpty();
}

void StopSim(Sim& sim) {
    sim.process.terminate();
    if (!sim.process.waitForFinished(3000)) {
        sim.process.kill();
        sim.process.waitForFinished();
    }
}

// The Modbus registers of the 154 parameters a whole-set transfer reads (C, T, S, P, H).
std::vector<int> TransferRegisters() {
    std::vector<int> registers;
    for (const ParamSpec& p : AllParameters()) {
        if (p.letter != 'q') {
            registers.push_back(ModbusRegisterOf({p.letter, p.number}));
        }
    }
    return registers;
}

double OurRtuReads(const QString& device, uint32_t baud, const std::vector<int>& registers) {
    LinkSettings settings;
    settings.RS485Port = true;
    settings.FrameFormat = 6;
    settings.AsciiMode = false;
    ModbusLink link;
    if (OpenLinkPort(link, device, baud, settings) != 0) {
        return -1;
    }
    uint8_t request[kRtuRequestLength];
    uint8_t reply[16];
    QElapsedTimer timer;
    timer.start();
    for (int reg : registers) {
        const int replyLength = BuildReadRegisters(request, 1, reg, 1, false);
        if (link.ExchangeRtu(request, kRtuRequestLength, reply, replyLength, 400) !=
            ExchangeResult::Good) {
            link.Close();
            return -1;
        }
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    link.Close();
    return seconds;
}

double LibmodbusRtuReads(const QString& device, uint32_t baud, const std::vector<int>& registers) {
    modbus_t* ctx =
        modbus_new_rtu(device.toLocal8Bit().constData(), static_cast<int>(baud), 'N', 8, 2);
    if (ctx == nullptr) {
        return -1;
    }
    modbus_set_slave(ctx, 1);
    modbus_set_response_timeout(ctx, 0, 400000);
    if (modbus_connect(ctx) != 0) {
        modbus_free(ctx);
        return -1;
    }
    QElapsedTimer timer;
    timer.start();
    bool ok = true;
    for (int reg : registers) {
        uint16_t value = 0;
        if (modbus_read_registers(ctx, reg, 1, &value) != 1) {
            ok = false;
            break;
        }
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    modbus_close(ctx);
    modbus_free(ctx);
    return ok ? seconds : -1;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[v.size() / 2];
}

// Returns the seconds of one unpaced RTU exchange: the simulator's turnaround on this machine.
double Unpaced(const QString& simPath) {
    Sim sim;
    // The drive's line is the one the link opens: 115200 bit/s, frame format 6 (8N2).
    if (!StartSim(sim, simPath,
                  {"--rs485", "--station", "1", "--frame-format", "6", "--baud", "115200"})) {
        std::printf("simulator did not start\n");
        return 0;
    }
    LinkSettings settings;
    settings.RS485Port = true;
    settings.FrameFormat = 6;
    settings.AsciiMode = false;
    ModbusLink link;
    OpenLinkPort(link, sim.path, 115200, settings);
    constexpr int kCount = 5000;
    uint8_t request[16];
    uint8_t reply[16];

    QElapsedTimer timer;
    timer.start();
    int good = 0;
    for (int i = 0; i < kCount; ++i) {
        BuildReadCommand(request, '5', 0x10);
        good += link.ExchangeCommand(request, kReadCommandLength, reply, kReadReplyLength) ==
                        ExchangeResult::Good
                    ? 1
                    : 0;
    }
    const double commandSeconds = timer.nsecsElapsed() / 1e9;

    timer.restart();
    int goodRtu = 0;
    for (int i = 0; i < kCount; ++i) {
        const int replyLength = BuildReadRegisters(request, 1, 30, 1, false);
        goodRtu += link.ExchangeRtu(request, kRtuRequestLength, reply, replyLength, 400) ==
                           ExchangeResult::Good
                       ? 1
                       : 0;
    }
    const double rtuSeconds = timer.nsecsElapsed() / 1e9;
    link.Close();
    StopSim(sim);
    std::printf("unpaced, %d exchanges each over a pseudo-terminal:\n", kCount);
    std::printf("  command 'R' read   %8.0f exchanges/s (%d good)\n", kCount / commandSeconds,
                good);
    std::printf("  Modbus RTU 03      %8.0f exchanges/s (%d good)\n", kCount / rtuSeconds, goodRtu);
    return rtuSeconds / kCount;
}

void Paced(const QString& simPath, uint32_t baud, int rounds, double turnaround) {
    const std::vector<int> registers = TransferRegisters();
    std::vector<double> ours;
    std::vector<double> theirs;
    for (int round = 0; round < rounds; ++round) {
        // Alternate who goes first so that neither always meets a warm or cold simulator.
        for (int who = 0; who < 2; ++who) {
            Sim sim;
            if (!StartSim(sim, simPath,
                          {"--rs485", "--station", "1", "--frame-format", "6", "--pace", "--baud",
                           QString::number(baud)})) {
                std::printf("simulator did not start\n");
                return;
            }
            const bool oursNow = (who == 0) == (round % 2 == 0);
            const double s = oursNow ? OurRtuReads(sim.path, baud, registers)
                                     : LibmodbusRtuReads(sim.path, baud, registers);
            (oursNow ? ours : theirs).push_back(s);
            StopSim(sim);
        }
    }
    // Request 8 bytes and reply 7 bytes per read, 10 bits per byte on the wire.
    const double wire = registers.size() * (8 + 7) * 10.0 / baud;
    const double wireAndTurnaround = wire + registers.size() * turnaround;
    const double o = Median(ours);
    const double t = Median(theirs);
    std::printf("paced at %u bit/s, %zu RTU reads, median of %d rounds:\n", baud, registers.size(),
                rounds);
    std::printf("  ours       %8.1f ms\n", o * 1000);
    std::printf("  libmodbus  %8.1f ms\n", t * 1000);
    std::printf("  wire time  %8.1f ms (%.1f ms with the simulator's turnaround)\n", wire * 1000,
                wireAndTurnaround * 1000);
    std::printf("  ours / libmodbus = %.3f, ours / (wire + turnaround) = %.3f\n", o / t,
                o / wireAndTurnaround);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QString simPath = QStringLiteral(ORVAN_DRIVE_SIM_PATH);
    int rounds = 3;
    const QStringList args = QCoreApplication::arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--sim")) {
            simPath = args[++i];
        } else if (args[i] == QLatin1String("--rounds")) {
            rounds = std::max(1, args[++i].toInt());
        }
    }
    const double turnaround = Unpaced(simPath);
    Paced(simPath, 9600, rounds, turnaround);
    Paced(simPath, 115200, rounds, turnaround);
    return 0;
}

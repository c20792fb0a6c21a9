#pragma once

#include <QString>

#include <atomic>
#include <chrono>
#include <csignal>
#include <functional>

class SimulatedDrive;
struct ControlReply;

// Puts a SimulatedDrive behind a pseudo-terminal, so that a program opens the drive like a
// serial device.
//
// The terminal is raw (no echo, no CR/LF translation). The host keeps a descriptor of the slave
// side open for its whole life: without one, the master sees a hang-up between clients and
// every client's close would leave the terminal without a reader. The slave path exists as long
// as the host does.
//
// While it serves, the drive's machine follows the wall clock: it is brought up to date on every
// turn of the loop and before every request.
//
// The drive is half-duplex, as an RS-485 drive is: while a reply is being delayed or paced out
// the host does not read; requests that arrive meanwhile wait in the terminal's buffer. A
// request left unfinished for longer than the silence time is discarded (RTU: 3.5 character
// times at the baud rate, at least 5 ms; command protocol and Modbus ASCII: 1 s). Reply bytes a
// client leaves unread stay in the terminal for whoever reads next, as on a real line: a client
// clears its input when it opens the port.
//
// The drive's line is honest: the terminal starts at the drive's own baud rate and stop bits (the
// frame format's on RS-485, one on RS-232), and a client that set another baud rate or other stop
// bits gets every reply garbled, as a real line at the wrong settings would give it. (A
// pseudo-terminal always carries 8 data bits without parity whatever a client sets, so those
// cannot be told apart here.)
class PtyDriveHost {
public:
    explicit PtyDriveHost(SimulatedDrive& drive, int baud = 9600);
    ~PtyDriveHost();

    PtyDriveHost(const PtyDriveHost&) = delete;
    PtyDriveHost& operator=(const PtyDriveHost&) = delete;

    bool Open(QString* error);
    QString SlavePath() const { return slavePath_; }

    // A symbolic link at `linkPath` to the slave path (an existing link there is replaced; any
    // other file is left alone and refused). The host removes it when it closes.
    bool MakeLink(const QString& linkPath, QString* error);

    // Serves until `stop` is set. `waitMask`, when given, is the signal mask in force while the
    // host waits for input (ppoll), so a caller can block its stop signals everywhere else and
    // still be woken by them without a race. Returns false when the terminal failed.
    bool Run(const std::atomic<bool>& stop, const sigset_t* waitMask = nullptr);

    // Called once per turn of the loop (at least every 100 ms), for work the caller wants done
    // between requests.
    void SetIdleHook(std::function<void()> hook) { idleHook_ = std::move(hook); }
    // Also wakes for input on `fd` (standard input, say) and calls `onReadable`, which returns
    // false when the input has ended and is not to be watched any more.
    void WatchInput(int fd, std::function<bool()> onReadable) {
        watchedFd_ = fd;
        onReadable_ = std::move(onReadable);
    }

    void Close();

    // The cable pulled, as a USB adapter is: the terminal closes on both sides, so a client that
    // still has it open reads a hang-up and gets EIO, and the link made by MakeLink goes. Until
    // Replug the drive hears nothing. Replug makes a new terminal (a new slave path) and puts the
    // link back at the same path. False, with the reason, when the new terminal cannot be made.
    void Unplug();
    bool Replug(QString* error);
    bool Unplugged() const { return unplugged_; }

    std::chrono::microseconds SilenceTime() const { return silence_; }

    // Whether the terminal's line settings, as the client left them, are the drive's own.
    bool LineMatches() const;

    // Before the first bytes of each request the host tells the drive how long the line was
    // silent (SimulatedDrive::NoteSilence): from the later of the last bytes read and the moment
    // the last reply byte was handed to the terminal, to the read that brought the new bytes.

private:
    bool WriteReply(const QByteArray& bytes, std::chrono::microseconds delay,
                    std::chrono::microseconds byteTime, const std::atomic<bool>& stop);
    bool WriteAll(const char* data, qsizetype size, const std::atomic<bool>& stop);

    SimulatedDrive& drive_;
    int master_ = -1;
    int slave_ = -1;
    QString slavePath_;
    QString linkPath_;
    QString unpluggedLink_; // the link to put back on Replug
    bool unplugged_ = false;
    std::chrono::microseconds silence_;
    int baud_ = 9600;
    bool twoStopBits_ = false;
    std::function<void()> idleHook_;
    int watchedFd_ = -1;
    std::function<bool()> onReadable_;
    const sigset_t* waitMask_ = nullptr;
    std::chrono::steady_clock::time_point lastSent_{};
};

// A control line for the drive behind `host`: RunControlLine, then the port action it asks for
// (unplug, replug; the reply to replug names the new terminal).
ControlReply RunHostControlLine(SimulatedDrive& drive, PtyDriveHost& host, const QString& line);

#include "app/ui/StopSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

int gWriteEnd = -1;

extern "C" void OnStopSignal(int signalNumber) {
    const int savedErrno = errno;
    const char byte = static_cast<char>(signalNumber);
    if (gWriteEnd >= 0) {
        // A full pipe already holds a pending stop; nothing is lost by dropping this byte.
        [[maybe_unused]] const ssize_t n = ::write(gWriteEnd, &byte, 1);
    }
    errno = savedErrno;
}

} // namespace

StopSignals::StopSignals(QObject* parent) : QObject(parent) {
    if (gWriteEnd >= 0 || ::pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    gWriteEnd = pipe_[1];
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, &previousTerm_);
    sigaction(SIGINT, &action, &previousInt_);
    notifier_ = std::make_unique<QSocketNotifier>(pipe_[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &StopSignals::Drain);
    installed_ = true;
}

StopSignals::~StopSignals() {
    if (installed_) {
        sigaction(SIGTERM, &previousTerm_, nullptr);
        sigaction(SIGINT, &previousInt_, nullptr);
        gWriteEnd = -1;
    }
    notifier_.reset();
    for (int fd : pipe_) {
        if (fd >= 0)
            ::close(fd);
    }
}

void StopSignals::Drain() {
    char bytes[16];
    ssize_t n = 0;
    int last = 0;
    while ((n = ::read(pipe_[0], bytes, sizeof bytes)) > 0)
        last = bytes[n - 1];
    if (last != 0)
        emit stopRequested(last);
}

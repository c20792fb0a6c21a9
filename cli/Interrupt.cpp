#include "cli/Interrupt.h"

namespace {

volatile std::sig_atomic_t gInterrupted = 0;

extern "C" void OnInterrupt(int signal) {
    gInterrupted = 1;
    std::signal(signal, SIG_DFL); // a second Ctrl+C ends the program at once
}

} // namespace

InterruptGuard::InterruptGuard() {
    gInterrupted = 0;
    previousInt_ = std::signal(SIGINT, OnInterrupt);
    previousTerm_ = std::signal(SIGTERM, OnInterrupt);
}

InterruptGuard::~InterruptGuard() {
    std::signal(SIGINT, previousInt_);
    std::signal(SIGTERM, previousTerm_);
}

bool InterruptGuard::Interrupted() {
    return gInterrupted != 0;
}

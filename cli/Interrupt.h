#pragma once

#include <csignal>

// Ctrl+C and SIGTERM, while an InterruptGuard lives, only set a flag that the command looks at
// between its exchanges: a monitor ends between two samples, a measurement ends the drive's run
// before the program goes. A second signal ends the program at once.
class InterruptGuard {
public:
    InterruptGuard();
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

    static bool Interrupted();

private:
    void (*previousInt_)(int) = SIG_DFL;
    void (*previousTerm_)(int) = SIG_DFL;
};

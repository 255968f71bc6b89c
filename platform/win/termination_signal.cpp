#include "platform/win/termination_signal.h"

#include <csignal>
#include <ctime>

namespace {

volatile std::sig_atomic_t gTerminationSignal = 0;

extern "C" void RecordTermination(int signalNumber) {
    if (gTerminationSignal == 0) gTerminationSignal = signalNumber;
}

}  // namespace

void InstallTerminationHandlers() {
    struct sigaction action {};
    action.sa_handler = RecordTermination;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a blocking wait returns early so the loop sees the request at once.
    action.sa_flags = 0;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

int TerminationSignal() { return gTerminationSignal; }

void RaiseTerminationSignal() {
    const int signalNumber = gTerminationSignal;
    if (signalNumber == 0) return;
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signalNumber, &action, nullptr);
    sigset_t unblock;
    sigemptyset(&unblock);
    sigaddset(&unblock, signalNumber);
    sigprocmask(SIG_UNBLOCK, &unblock, nullptr);
    std::raise(signalNumber);
}

bool SleepUnlessTerminated(long long microseconds) {
    constexpr long long kSliceUs = 50000;
    while (microseconds > 0) {
        if (gTerminationSignal != 0) return false;
        const long long slice = microseconds < kSliceUs ? microseconds : kSliceUs;
        timespec wait{0, static_cast<long>(slice * 1000)};
        // A signal cuts the slice short (EINTR); the rest of the slice is not slept again.
        nanosleep(&wait, nullptr);
        microseconds -= slice;
    }
    return gTerminationSignal == 0;
}

void ClearTerminationSignal() { gTerminationSignal = 0; }

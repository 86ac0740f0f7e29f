#include "platform/interrupt.h"

#include <csignal>

namespace folvane {

namespace {

volatile std::sig_atomic_t interrupted = 0;

extern "C" void RecordInterrupt(int) {
    interrupted = 1;
}

}  // namespace

void CatchInterrupts() {
    struct sigaction action {};
    action.sa_handler = RecordInterrupt;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a prompt waiting for a line must wake up and give up.
    action.sa_flags = 0;
    sigaction(SIGINT, &action, nullptr);
}

bool TakeInterrupt() {
    if (interrupted == 0) return false;
    interrupted = 0;
    return true;
}

}  // namespace folvane

#include "platform/interrupt.h"

#include <windows.h>

#include <atomic>

namespace folvane {

namespace {

std::atomic<bool> interrupted{false};

// Runs on a thread of its own that the system starts for each Ctrl+C or Ctrl+Break; TRUE
// keeps the default handler, which would end the process, from running.
BOOL WINAPI RecordInterrupt(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
    interrupted = true;
    return TRUE;
}

}  // namespace

void CatchInterrupts() {
    SetConsoleCtrlHandler(RecordInterrupt, TRUE);
}

bool TakeInterrupt() {
    return interrupted.exchange(false);
}

}  // namespace folvane

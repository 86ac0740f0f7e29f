#pragma once
// The terminal's interrupt key (Ctrl+C) as a request, taken when the program is ready for it.

namespace folvane {

// From now on an interrupt is recorded instead of ending the process. A blocking read from the
// terminal returns when one arrives.
void CatchInterrupts();

// True once for each interrupt recorded since the last call.
bool TakeInterrupt();

}  // namespace folvane

#pragma once
// The Windows desktop program "folvane.exe": common controls, COM for the shell's dialogs, the
// main window and the message loop.

namespace folvane {

// The desktop program: returns the process exit code (1 when the command line was rejected).
int RunWin32Program(int argc, char** argv);

}  // namespace folvane

#pragma once

namespace folvane {

// The console program: returns the process exit code.
int RunConsoleProgram(int argc, char** argv);

}  // namespace folvane

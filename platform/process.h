#pragma once
// Facts of the running program.

#include <string>
#include <vector>

namespace folvane {

// The folder that holds the running executable, as a path-space path without a final "\"
// (except at a drive root: "Z:\"); "" when it cannot be found out.
std::string ExecutableFolder();

// The full path-space path of the running executable ("Z:\usr\bin\folvane"); "" when it
// cannot be found out.
std::string ExecutablePath();

// The program's arguments after its own name, as UTF-8 texts. On POSIX these are argv[1] to
// argv[argc - 1] as given. On Windows argv holds the arguments in the ANSI code page, which
// loses every character it cannot hold, so argv is not used: the command line's own Unicode
// text is split as the C runtime splits it.
std::vector<std::string> ProgramArguments(int argc, char** argv);

}  // namespace folvane

#pragma once
// Facts of the running program.

#include <string>

namespace folvane {

// The folder that holds the running executable, as a path-space path without a final "\"
// (except at a drive root: "Z:\"); "" when it cannot be found out.
std::string ExecutableFolder();

// The full path-space path of the running executable ("Z:\usr\bin\folvane"); "" when it
// cannot be found out.
std::string ExecutablePath();

}  // namespace folvane

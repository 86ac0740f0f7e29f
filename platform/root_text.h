#pragma once
// Backend-facing: the root of a path-space path read off its text alone.

#include <string>
#include <string_view>

namespace folvane {

// The root of the drive or share that holds path: "\\srv\shr\" for "\\srv\shr\dir" ("\\srv\shr"
// and "\\srv" stay as they are), "C:\" for "C:" and "C:\Data", the first character for a path
// without ":".
std::string RootFromText(std::string_view path);

}  // namespace folvane

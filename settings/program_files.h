#pragma once
// Where the program finds the files it brings along. A program in a folder of its own (or in
// a build tree) keeps them beside its executable; an installed one keeps them in the share
// folder of its prefix: "/usr/bin/folvane" reads "/usr/share/folvane".

#include <string>
#include <string_view>

namespace folvane {

// The folder of HTML templates, beside the executable or in the installed data folder.
inline constexpr std::string_view kTemplateFolderName = "basehtml";

// The data folder of an installed program whose executable lies in executableFolder (a
// path-space path): the parent of executableFolder followed by "share\folvane\", when that
// folder holds the installed templates; "" otherwise (no parent, or not installed). A
// "share\folvane" without templates, such as the user's own data folder beside "~/.local/bin",
// does not make a program installed.
std::string InstalledDataFolder(std::string_view executableFolder);

}  // namespace folvane

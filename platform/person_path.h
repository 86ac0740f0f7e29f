#pragma once
// The paths a person reads and types. Inside the program every path is a path-space path
// (path_space.h); a person reads and types the host's own form. Where the host's form is the
// path space itself both functions give their text unchanged.

#include <string>
#include <string_view>

namespace folvane {

// The text a person reads for a path-space path: on a host whose files live below one root,
// a path on the drive that stands for that root becomes the host path ("Z:\home\ann\" reads
// "/home/ann", "Z:\" reads "/"); any other text is returned unchanged. Pure text: nothing is
// looked up, and names that are no valid UTF-8 keep their escape code points.
std::string PathForPerson(std::string_view path);

// The path-space path of a text a person typed, dropped, picked or passed: a host path
// ("/home/ann/x", or relative to the process's current folder: "docs/x") becomes the path it
// names; a text in path-space form ("C:\x", "C:x", "\\srv\shr", "sub\x") is returned
// unchanged, as is "". Blanks are not trimmed. The inverse of PathForPerson.
std::string PathFromPerson(std::string_view typed);

// True where an argument that starts with "/" may be a host path as well as an option
// ("/home/ann" on POSIX hosts); false where "/" starts options only (Windows).
bool SlashStartsHostPaths();

}  // namespace folvane

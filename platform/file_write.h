#pragma once
// Writing, deleting and creating on path-space paths (path_space.h). Every operation is total:
// a path that cannot be mapped, a missing folder or a refusal of the system gives false or "".

#include <string>
#include <string_view>

namespace folvane {

// Replaces the file at path with bytes as one step: the bytes go to a new temporary file in
// the same folder, which is flushed to disk and then renamed over path. A symbolic link at
// path keeps pointing where it did: the file it leads to is replaced. False when anything
// fails (no such folder, path names a folder, disk full, no permission); the temporary file
// is then removed and whatever was at path before is left as it was. An empty byte string
// gives an empty file.
bool WriteFileReplacing(std::string_view path, std::string_view bytes);

// Deletes the file at path; false when there is none or it cannot be deleted (also when path
// names a folder).
bool DeletePath(std::string_view path);

// True when folder exists as a folder and the program may create files in it.
bool CanWriteFolder(std::string_view folder);

// The user's configuration folder as a path-space path without a final "\": the absolute
// folder named by XDG_CONFIG_HOME, else ".config" in the home folder: HOME when it is an
// absolute path, else the account's home. "" when none of these is known.
std::string UserConfigFolder();

// The user's data folder as a path-space path without a final "\": the absolute folder named
// by XDG_DATA_HOME, else ".local\share" in the home folder (found as for UserConfigFolder).
// "" when none of these is known.
std::string UserDataFolder();

// Creates folder and any missing folders above it. True when folder exists as a folder
// afterwards (also when it existed before).
bool MakeFolders(std::string_view folder);

}  // namespace folvane

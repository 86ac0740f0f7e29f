#pragma once
// Backend-private companions of path_space.h for code that opens a path at once.

#include <optional>
#include <string>
#include <string_view>

#include "platform/posix/host_open.h"

namespace folvane {

// The host path of a full path-space path exactly as it is spelled, without asking the file
// system anything; nullopt where HostPathOf gives nullopt. Opening it succeeds whenever the
// letter case is the stored one, which saves a lookup of the whole path; when it fails,
// HostPathOf finds the stored spelling.
std::optional<std::string> SpelledHostPathOf(std::string_view path);

// Opens a full path-space path with open(2) flags: as spelled first, then in its stored spelling.
// The descriptor is not open when neither opens.
HostDescriptor OpenPathSpacePath(std::string_view path, int flags);

}  // namespace folvane

#pragma once
// Backend-facing side of the test hooks declared in path_space.h, volume.h and registry.h: the
// drive and share mappings, the substituted volume and disk answers and the registry's stand-in
// home, kept in one place so that every backend honours them in the same way.

#include <optional>
#include <string>
#include <string_view>

#include "platform/volume.h"

namespace folvane {

// The host folder that drive letter (either case) was mapped onto, exactly as the test gave it.
std::optional<std::string> MappedDriveRoot(char driveLetter);

// The host folder that \\server\share was mapped onto (names compared ignoring ASCII case).
std::optional<std::string> MappedShareRoot(std::string_view server, std::string_view share);

// The recorded current folder of a mapped drive ("D:\" unless a test set another).
std::optional<std::string> MappedDriveCurrentFolder(char driveLetter);

// The substitute a test set for path itself or for the root that holds it (VolumeRootOf): the
// outer optional tells whether there is one, the inner one is the answer (nullopt: a failure).
std::optional<std::optional<VolumeFacts>> VolumeSubstituteFor(std::string_view path);
std::optional<std::optional<DiskSpace>> DiskSpaceSubstituteFor(std::string_view path);

// The host folder a test put in place of the user's home for the registry ("" for none).
std::string RegistryHomeForTesting();

}  // namespace folvane

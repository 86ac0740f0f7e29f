#pragma once
// Volume and disk queries for path-space paths. On POSIX they answer for the mounted file
// system that holds the path: label, serial number, free and total bytes.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace folvane {

struct VolumeFacts {
    std::string label;  // "" when the volume has none
    uint32_t serial = 0;
    uint32_t maxComponentLength = 0;
    uint32_t flags = 0;
    std::string fileSystemName;
};

struct DiskSpace {
    int64_t freeBytes = 0;  // all free bytes, not only those available to the caller
    int64_t totalBytes = 0;
};

// The root that a listing shows for path: for a path on Z: the mount point of the file system
// holding it ("Z:\", "Z:\home\"); for another drive or a share its root. "" when unknown.
std::string VolumeRootOf(std::string_view path);

// Facts of the volume whose root is root; nullopt when root is no existing folder.
std::optional<VolumeFacts> QueryVolume(std::string_view root);

// Free and total bytes of the disk that holds path; nullopt when it cannot be queried.
std::optional<DiskSpace> QueryDiskSpace(std::string_view path);

// The root that a listing of folder shows, with its volume facts and free space (nullopt where
// a query fails), asked with as few queries as the host allows.
struct ListedVolume {
    std::string root;
    std::optional<VolumeFacts> volume;
    std::optional<DiskSpace> space;
};
ListedVolume QueryListedVolume(std::string_view folder);

// Test hooks: the answers for a root (compared ignoring ASCII case) are replaced by the given
// ones (nullopt: the query fails) until ClearVolumeSubstitutesForTesting.
void SubstituteVolumeForTesting(std::string root, std::optional<VolumeFacts> facts);
void SubstituteDiskSpaceForTesting(std::string root, std::optional<DiskSpace> space);
void ClearVolumeSubstitutesForTesting();

}  // namespace folvane

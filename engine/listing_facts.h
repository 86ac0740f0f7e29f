#pragma once
// The system queries behind a listing's volume line and free-space footer, asked once per run.

#include <cstdint>
#include <string>
#include <string_view>

#include "render/listing_writer.h"

namespace folvane {

// The root of the drive or share that holds folder ("C:\", "\\srv\shr\"); on hosts where
// drives are mount points below one root, the mount point of the file system holding it.
std::string RootPath(std::string_view folder);

// 0 and info filled for an existing root, -1 otherwise.
int GetVolumeInfo(std::string_view root, VolumeInfo& info);
// Free bytes / capacity of the disk that holds path; -1 when it cannot be queried.
int64_t DiskFreeBytes(std::string_view path);
int64_t DiskTotalBytes(std::string_view path);
// Whether the 64-bit disk-space query is available (always on hosts that have only that one).
bool HasDiskFreeSpaceEx();

// The root of folder with its volume and disk facts, each queried once.
ListingFacts GatherListingFacts(std::string_view folder);

}  // namespace folvane

#include "engine/listing_facts.h"

#include <optional>

#include "platform/volume.h"

namespace folvane {

std::string RootPath(std::string_view folder) {
    return VolumeRootOf(folder);
}

int GetVolumeInfo(std::string_view root, VolumeInfo& info) {
    const std::optional<VolumeFacts> facts = QueryVolume(root);
    if (!facts) return -1;
    info.label = facts->label;
    info.serial = facts->serial;
    info.maxComponentLength = facts->maxComponentLength;
    info.flags = facts->flags;
    info.fileSystemName = facts->fileSystemName;
    return 0;
}

int64_t DiskFreeBytes(std::string_view path) {
    const std::optional<DiskSpace> space = QueryDiskSpace(path);
    return space ? space->freeBytes : -1;
}

int64_t DiskTotalBytes(std::string_view path) {
    const std::optional<DiskSpace> space = QueryDiskSpace(path);
    return space ? space->totalBytes : -1;
}

bool HasDiskFreeSpaceEx() {
    // The 64-bit disk-space query is the only one this program uses.
    return true;
}

ListingFacts GatherListingFacts(std::string_view folder) {
    const ListedVolume listed = QueryListedVolume(folder);
    ListingFacts facts;
    facts.root = listed.root;
    if (listed.volume) {
        facts.volume =
            VolumeInfo{listed.volume->label, listed.volume->serial, listed.volume->maxComponentLength,
                       listed.volume->flags, listed.volume->fileSystemName};
    }
    if (listed.space) {
        facts.freeBytes = listed.space->freeBytes;
        facts.totalBytes = listed.space->totalBytes;
    }
    return facts;
}

}  // namespace folvane

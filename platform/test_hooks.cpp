// The test hooks of every backend. They change process-wide state and are set by
// single-threaded tests, but the lookups may run on worker threads, so every access goes
// through one lock and hands out copies.

#include "platform/test_hooks.h"

#include <map>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/path_space.h"
#include "platform/registry.h"
#include "platform/text.h"

namespace folvane {

namespace {

struct DriveMapping {
    std::string hostFolder;
    std::string currentFolder;  // a path-space path on the drive
};

struct ShareMapping {
    std::string server;
    std::string share;
    std::string hostFolder;
};

template <typename T>
using SubstituteList = std::vector<std::pair<std::string, std::optional<T>>>;

struct Hooks {
    std::map<char, DriveMapping> drives;  // keyed by the capital letter
    std::vector<ShareMapping> shares;
    SubstituteList<VolumeFacts> volumes;
    SubstituteList<DiskSpace> disks;
    std::string registryHome;
};

std::mutex& HooksLock() {
    static std::mutex lock;
    return lock;
}

Hooks& TheHooks() {
    static Hooks hooks;
    return hooks;
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && AsciiUpper(a) == AsciiUpper(b);
}

template <typename T>
void PutSubstitute(SubstituteList<T> Hooks::*list, std::string root, std::optional<T> value) {
    std::lock_guard guard(HooksLock());
    auto& entries = TheHooks().*list;
    std::erase_if(entries, [&](const auto& entry) { return EqualIgnoringAsciiCase(entry.first, root); });
    entries.emplace_back(std::move(root), std::move(value));
}

template <typename T>
std::optional<std::optional<T>> FindSubstitute(const SubstituteList<T>& list, std::string_view root) {
    for (const auto& [key, value] : list) {
        if (EqualIgnoringAsciiCase(key, root)) return value;
    }
    return std::nullopt;
}

template <typename T>
std::optional<std::optional<T>> SubstituteFor(SubstituteList<T> Hooks::*list, std::string_view path) {
    {
        std::lock_guard guard(HooksLock());
        const auto& entries = TheHooks().*list;
        if (entries.empty()) return std::nullopt;
        if (auto found = FindSubstitute(entries, path)) return found;
    }
    // Outside the lock: finding the root may ask the mappings.
    const std::string root = VolumeRootOf(path);
    std::lock_guard guard(HooksLock());
    return FindSubstitute(TheHooks().*list, root);
}

}  // namespace

std::optional<std::string> MappedDriveRoot(char driveLetter) {
    std::lock_guard guard(HooksLock());
    const auto& drives = TheHooks().drives;
    const auto found = drives.find(AsciiUpperChar(driveLetter));
    if (found == drives.end()) return std::nullopt;
    return found->second.hostFolder;
}

std::optional<std::string> MappedShareRoot(std::string_view server, std::string_view share) {
    std::lock_guard guard(HooksLock());
    for (const auto& mapping : TheHooks().shares) {
        if (EqualIgnoringAsciiCase(mapping.server, server) && EqualIgnoringAsciiCase(mapping.share, share))
            return mapping.hostFolder;
    }
    return std::nullopt;
}

std::optional<std::string> MappedDriveCurrentFolder(char driveLetter) {
    std::lock_guard guard(HooksLock());
    const auto& drives = TheHooks().drives;
    const auto found = drives.find(AsciiUpperChar(driveLetter));
    if (found == drives.end()) return std::nullopt;
    return found->second.currentFolder;
}

std::optional<std::optional<VolumeFacts>> VolumeSubstituteFor(std::string_view path) {
    return SubstituteFor(&Hooks::volumes, path);
}

std::optional<std::optional<DiskSpace>> DiskSpaceSubstituteFor(std::string_view path) {
    return SubstituteFor(&Hooks::disks, path);
}

std::string RegistryHomeForTesting() {
    std::lock_guard guard(HooksLock());
    return TheHooks().registryHome;
}

void MapDriveForTesting(char driveLetter, std::string hostFolder) {
    const char drive = AsciiUpperChar(driveLetter);
    std::lock_guard guard(HooksLock());
    TheHooks().drives[drive] = DriveMapping{std::move(hostFolder), {drive, ':', '\\'}};
}

void MapShareForTesting(std::string server, std::string share, std::string hostFolder) {
    std::lock_guard guard(HooksLock());
    auto& shares = TheHooks().shares;
    std::erase_if(shares, [&](const ShareMapping& mapping) {
        return EqualIgnoringAsciiCase(mapping.server, server) && EqualIgnoringAsciiCase(mapping.share, share);
    });
    shares.push_back(ShareMapping{std::move(server), std::move(share), std::move(hostFolder)});
}

void SetDriveCurrentFolderForTesting(char driveLetter, std::string folder) {
    // A current folder never ends in "\" except at the root ("C:\"); "C:" alone is the root.
    while (folder.size() > 3 && folder.back() == '\\')
        folder.pop_back();
    if (folder.size() == 2 && folder[1] == ':') folder += '\\';
    std::lock_guard guard(HooksLock());
    auto& drives = TheHooks().drives;
    const auto found = drives.find(AsciiUpperChar(driveLetter));
    if (found != drives.end()) found->second.currentFolder = std::move(folder);
}

void ClearMappingsForTesting() {
    std::lock_guard guard(HooksLock());
    TheHooks().drives.clear();
    TheHooks().shares.clear();
}

void SubstituteVolumeForTesting(std::string root, std::optional<VolumeFacts> facts) {
    PutSubstitute(&Hooks::volumes, std::move(root), std::move(facts));
}

void SubstituteDiskSpaceForTesting(std::string root, std::optional<DiskSpace> space) {
    PutSubstitute(&Hooks::disks, std::move(root), std::move(space));
}

void ClearVolumeSubstitutesForTesting() {
    std::lock_guard guard(HooksLock());
    TheHooks().volumes.clear();
    TheHooks().disks.clear();
}

void SetRegistryHomeForTesting(std::string hostFolder) {
    std::lock_guard guard(HooksLock());
    TheHooks().registryHome = std::move(hostFolder);
}

}  // namespace folvane

// Volume and disk queries on POSIX: they answer for the mounted file system that holds a
// path, found in /proc/self/mountinfo (or, without it, by comparing device numbers up the
// parent chain), with labels and serial numbers from the links udev keeps in /dev/disk.

#include "platform/volume.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

#include "platform/path_space.h"
#include "platform/posix/host_open.h"
#include "platform/root_text.h"
#include "platform/test_hooks.h"
#include "platform/text.h"

namespace folvane {

namespace {

constexpr const char* kMountTable = "/proc/self/mountinfo";
constexpr const char* kLabelLinks = "/dev/disk/by-label";
constexpr const char* kUuidLinks = "/dev/disk/by-uuid";

// Flags as the volume query of Windows reports them; only these three say anything true of
// a POSIX file system.
constexpr uint32_t kCaseSensitiveSearch = 0x1;
constexpr uint32_t kCasePreservedNames = 0x2;
constexpr uint32_t kReadOnlyVolume = 0x80000;

// ---- Host files and folders ---------------------------------------------------------------------

std::optional<std::string> ReadHostFile(const char* path) {
    HostDescriptor file = OpenHostPath(path, O_RDONLY);
    if (!file.IsOpen()) return std::nullopt;
    std::string content;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(file.Get(), buffer, sizeof buffer);
        if (n == 0) break;
        if (n > 0) {
            content.append(buffer, static_cast<std::size_t>(n));
        } else if (errno != EINTR) {
            return std::nullopt;
        }
    }
    file.Close();  // read-only: a failing close loses nothing
    return content;
}

std::optional<std::string> CanonicalOf(const std::string& hostPath) {
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(hostPath.c_str(), nullptr),
                                                               &std::free);
    if (!resolved) return std::nullopt;
    return std::string(resolved.get());
}

std::string HostParent(std::string_view path) {
    while (path.size() > 1 && path.back() == '/')
        path.remove_suffix(1);
    const std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos || slash == 0) return "/";
    return std::string(path.substr(0, slash));
}

// The canonical form of the nearest existing folder at or above hostPath, so that a missing
// folder is answered for the file system it would be created on.
std::string NearestExisting(std::string hostPath) {
    for (;;) {
        if (auto canonical = CanonicalOf(hostPath)) return *canonical;
        if (hostPath == "/" || hostPath.empty()) return "/";
        hostPath = HostParent(hostPath);
    }
}

// ---- Mount table --------------------------------------------------------------------------------

struct Mount {
    std::string mountPoint;
    std::string source;
    std::string fileSystem;
    dev_t device = 0;
};

// The kernel writes space, tab, newline and "\" in mount table fields as "\" and three octal
// digits.
std::string UnescapeOctal(std::string_view field) {
    std::string text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        const bool octal = field[i] == '\\' && i + 3 < field.size() &&
                           std::all_of(field.begin() + i + 1, field.begin() + i + 4,
                                       [](char c) { return c >= '0' && c <= '7'; });
        if (octal) {
            text += static_cast<char>(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) |
                                      (field[i + 3] - '0'));
            i += 3;
        } else {
            text += field[i];
        }
    }
    return text;
}

std::vector<std::string_view> SplitBlanks(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (start < line.size()) {
        const std::size_t end = std::min(line.find(' ', start), line.size());
        if (end > start) fields.push_back(line.substr(start, end - start));
        start = end + 1;
    }
    return fields;
}

std::optional<dev_t> ParseDevice(std::string_view field) {
    const std::size_t colon = field.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    const std::string majorText(field.substr(0, colon));
    const std::string minorText(field.substr(colon + 1));
    char* end = nullptr;
    const unsigned long majorNumber = std::strtoul(majorText.c_str(), &end, 10);
    if (end == majorText.c_str() || *end != '\0') return std::nullopt;
    const unsigned long minorNumber = std::strtoul(minorText.c_str(), &end, 10);
    if (end == minorText.c_str() || *end != '\0') return std::nullopt;
    return makedev(majorNumber, minorNumber);
}

// One line: id, parent id, major:minor, root, mount point, options, optional fields, "-",
// file system type, source, super options.
std::optional<Mount> ParseMountLine(std::string_view line) {
    const auto fields = SplitBlanks(line);
    const auto dash = std::find(fields.begin(), fields.end(), std::string_view("-"));
    if (fields.size() < 5 || dash == fields.end() || dash - fields.begin() < 6 || fields.end() - dash < 3)
        return std::nullopt;
    const auto device = ParseDevice(fields[2]);
    if (!device || !fields[4].starts_with('/')) return std::nullopt;
    return Mount{UnescapeOctal(fields[4]), UnescapeOctal(dash[2]), UnescapeOctal(dash[1]), *device};
}

std::vector<Mount> ReadMounts() {
    std::vector<Mount> mounts;
    const auto table = ReadHostFile(kMountTable);
    if (!table) return mounts;
    std::size_t start = 0;
    while (start < table->size()) {
        const std::size_t end = std::min(table->find('\n', start), table->size());
        if (auto mount = ParseMountLine(std::string_view(*table).substr(start, end - start)))
            mounts.push_back(std::move(*mount));
        start = end + 1;
    }
    return mounts;
}

bool IsAtOrBelow(std::string_view path, std::string_view mountPoint) {
    if (mountPoint == "/") return true;
    return path.starts_with(mountPoint) &&
           (path.size() == mountPoint.size() || path[mountPoint.size()] == '/');
}

// The mount that holds the canonical path: the deepest mount point at or above it. A mount
// can be hidden by a later one on the same or a higher point (/dev/pts mounted twice), so
// mounts whose device is the path's own come first; among equals the later line wins.
std::optional<Mount> MountHolding(const std::vector<Mount>& mounts, const std::string& canonical,
                                  dev_t device) {
    const Mount* best = nullptr;
    auto rank = [&](const Mount& m) { return std::pair{m.device == device, m.mountPoint.size()}; };
    for (const auto& mount : mounts) {
        if (IsAtOrBelow(canonical, mount.mountPoint) && (best == nullptr || rank(mount) >= rank(*best)))
            best = &mount;
    }
    if (best == nullptr) return std::nullopt;
    return *best;
}

// Without a mount table: the highest folder above the canonical path on the same device.
std::string MountPointByDevice(const std::string& canonical, dev_t device) {
    std::string point = canonical;
    while (point != "/") {
        const std::string parent = HostParent(point);
        struct stat facts {};
        if (::stat(parent.c_str(), &facts) != 0 || facts.st_dev != device) break;
        point = parent;
    }
    return point;
}

struct HostVolume {
    std::string canonical;
    std::string mountPoint;
    std::optional<Mount> mount;
};

// The file system holding hostPath (or its nearest existing folder).
HostVolume VolumeHolding(const std::string& hostPath) {
    std::string canonical = NearestExisting(hostPath);
    struct stat facts {};
    if (::stat(canonical.c_str(), &facts) != 0)
        return HostVolume{std::move(canonical), std::string(1, '/'), {}};
    auto mount = MountHolding(ReadMounts(), canonical, facts.st_dev);
    std::string point = mount ? mount->mountPoint : MountPointByDevice(canonical, facts.st_dev);
    return HostVolume{std::move(canonical), std::move(point), std::move(mount)};
}

// ---- Labels and serial numbers ------------------------------------------------------------------

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// udev writes bytes outside a small safe set in link names as "\x" and two hex digits.
std::string UnescapeHex(std::string_view name) {
    std::string text;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x' && HexValue(name[i + 2]) >= 0 &&
            HexValue(name[i + 3]) >= 0) {
            text += static_cast<char>(HexValue(name[i + 2]) * 16 + HexValue(name[i + 3]));
            i += 3;
        } else {
            text += name[i];
        }
    }
    return text;
}

// The name of the first link in folder that leads to the block device the mount lives on.
std::optional<std::string> LinkNameFor(const char* folder, const Mount& mount) {
    // Sources such as "proc" or "overlay" name no file; only a device path is looked at.
    struct stat source {};
    const bool sourceIsDevice = mount.source.starts_with('/') && ::stat(mount.source.c_str(), &source) == 0 &&
                                S_ISBLK(source.st_mode);
    HostDirectory links(folder);
    while (const auto name = links.NextName()) {
        struct stat target {};
        const std::string link = std::string(folder) + "/" + *name;
        if (::stat(link.c_str(), &target) != 0 || !S_ISBLK(target.st_mode)) continue;
        if (target.st_rdev == mount.device || (sourceIsDevice && target.st_rdev == source.st_rdev))
            return name;
    }
    return std::nullopt;
}

std::string LabelOf(const Mount& mount) {
    const auto name = LinkNameFor(kLabelLinks, mount);
    return name ? NameFromHost(UnescapeHex(*name)) : std::string();
}

// The first eight hexadecimal digits of the file system's UUID ("1a2b3c4d-..." or the
// "1A2B-3C4D" of FAT), dashes skipped.
std::optional<uint32_t> SerialFromUuid(const Mount& mount) {
    const auto name = LinkNameFor(kUuidLinks, mount);
    if (!name) return std::nullopt;
    uint32_t serial = 0;
    int digits = 0;
    for (const char c : UnescapeHex(*name)) {
        if (digits == 8) break;
        if (c == '-') continue;
        if (HexValue(c) < 0) return std::nullopt;
        serial = (serial << 4) | static_cast<uint32_t>(HexValue(c));
        ++digits;
    }
    if (digits < 8) return std::nullopt;
    return serial;
}

uint32_t FoldFileSystemId(unsigned long fsid) {
    const auto id = static_cast<uint64_t>(fsid);
    return static_cast<uint32_t>(id ^ (id >> 32));
}

uint32_t ClampToUint32(unsigned long value) {
    return static_cast<uint32_t>(std::min<uint64_t>(value, std::numeric_limits<uint32_t>::max()));
}

int64_t SaturatingBytes(uint64_t blocks, uint64_t blockSize) {
    constexpr auto kMax = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
    if (blockSize != 0 && blocks > kMax / blockSize) return std::numeric_limits<int64_t>::max();
    return static_cast<int64_t>(blocks * blockSize);
}

// ---- Roots --------------------------------------------------------------------------------------

bool SameRoot(std::string_view a, std::string_view b) {
    return a.size() == b.size() && AsciiUpper(a) == AsciiUpper(b);
}

bool ZIsTheHostRoot() {
    return HostPathOf("Z:\\") == std::optional<std::string>("/");
}

std::string WithFinalBackslash(std::string path) {
    if (!path.ends_with('\\')) path += '\\';
    return path;
}

}  // namespace

std::string VolumeRootOf(std::string_view path) {
    std::string root = RootFromText(path);
    if (!SameRoot(root, "Z:\\") || !ZIsTheHostRoot()) return root;
    // "Z:" alone and "Z:x" are not absolute; they stand for the root itself.
    const auto host =
        path.size() >= 3 && path[2] == '\\' ? HostPathOf(path) : std::optional<std::string>("/");
    if (!host) return root;
    return WithFinalBackslash(PathFromHost(VolumeHolding(*host).mountPoint));
}

namespace {

VolumeFacts FactsOf(const HostVolume& volume, const struct statvfs& space) {
    VolumeFacts result;
    if (volume.mount) {
        result.label = LabelOf(*volume.mount);
        result.fileSystemName = volume.mount->fileSystem;
    }
    const auto uuidSerial = volume.mount ? SerialFromUuid(*volume.mount) : std::nullopt;
    result.serial = uuidSerial ? *uuidSerial : FoldFileSystemId(space.f_fsid);
    result.maxComponentLength = ClampToUint32(space.f_namemax);
    result.flags =
        kCaseSensitiveSearch | kCasePreservedNames | ((space.f_flag & ST_RDONLY) ? kReadOnlyVolume : 0);
    return result;
}

DiskSpace SpaceOf(const struct statvfs& space) {
    const uint64_t blockSize = space.f_frsize != 0 ? space.f_frsize : space.f_bsize;
    return DiskSpace{SaturatingBytes(space.f_bfree, blockSize), SaturatingBytes(space.f_blocks, blockSize)};
}

bool IsHostFolder(const std::string& host) {
    struct stat facts {};
    return ::stat(host.c_str(), &facts) == 0 && S_ISDIR(facts.st_mode);
}

}  // namespace

std::optional<VolumeFacts> QueryVolume(std::string_view root) {
    if (auto substitute = VolumeSubstituteFor(root)) return *substitute;
    const auto host = HostPathOf(root);
    if (!host || !IsHostFolder(*host)) return std::nullopt;
    const HostVolume volume = VolumeHolding(*host);
    struct statvfs space {};
    if (::statvfs(volume.canonical.c_str(), &space) != 0) return std::nullopt;
    return FactsOf(volume, space);
}

std::optional<DiskSpace> QueryDiskSpace(std::string_view path) {
    if (auto substitute = DiskSpaceSubstituteFor(path)) return *substitute;
    const auto host = HostPathOf(path);
    struct statvfs space {};
    if (!host || ::statvfs(host->c_str(), &space) != 0) return std::nullopt;
    return SpaceOf(space);
}

// On Z: the file system holding the folder is found once and answers every question; other
// roots (mapped for tests) are asked as they are.
ListedVolume QueryListedVolume(std::string_view folder) {
    ListedVolume listed;
    listed.root = RootFromText(folder);
    const bool onHostRoot = SameRoot(listed.root, "Z:\\") && ZIsTheHostRoot();
    const auto host = !onHostRoot                               ? std::nullopt
                      : folder.size() >= 3 && folder[2] == '\\' ? HostPathOf(folder)
                                                                : std::optional<std::string>("/");
    if (!host) {
        listed.volume = QueryVolume(listed.root);
        listed.space = QueryDiskSpace(listed.root);
        return listed;
    }
    const HostVolume volume = VolumeHolding(*host);
    listed.root = WithFinalBackslash(PathFromHost(volume.mountPoint));
    struct statvfs space {};
    const bool measured = ::statvfs(volume.canonical.c_str(), &space) == 0;
    if (auto substitute = VolumeSubstituteFor(listed.root)) {
        listed.volume = *substitute;
    } else if (measured) {
        listed.volume = FactsOf(volume, space);
    }
    if (auto substitute = DiskSpaceSubstituteFor(listed.root)) {
        listed.space = *substitute;
    } else if (measured) {
        listed.space = SpaceOf(space);
    }
    return listed;
}

}  // namespace folvane

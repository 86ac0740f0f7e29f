#include "platform/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <new>
#include <stdexcept>
#include <utility>

#include "platform/path_space.h"
#include "platform/posix/host_open.h"
#include "platform/posix/path_space_internal.h"

namespace folvane {

namespace {

// ---- Metadata ---------------------------------------------------------------------------------

// What one metadata query tells about a host path.
struct HostFacts {
    mode_t mode = 0;
    int64_t size = 0;
    UtcSeconds updated = 0;
    std::optional<UtcSeconds> born;  // only where the file system records it
    FileIdentity identity;
};

enum class Links { kFollow, kReportLink };

HostFacts FactsFromStat(const struct stat& facts) {
    HostFacts host;
    host.mode = facts.st_mode;
    host.size = facts.st_size;
    host.updated = facts.st_mtim.tv_sec;
    host.identity = {static_cast<uint64_t>(facts.st_dev), static_cast<uint64_t>(facts.st_ino)};
    return host;
}

std::optional<HostFacts> QueryWithStat(const std::string& hostPath, Links links) {
    struct stat facts {};
    const int result =
        links == Links::kFollow ? stat(hostPath.c_str(), &facts) : lstat(hostPath.c_str(), &facts);
    if (result != 0) return std::nullopt;
    return FactsFromStat(facts);
}

#ifdef STATX_BTIME
// statx is the one query that also reports the birth time. Kernels or sandboxes without it
// answer ENOSYS (or EPERM from a seccomp filter); stat answers for them, without birth time.
std::optional<HostFacts> QueryHost(const std::string& hostPath, Links links) {
    struct statx facts {};
    const int flags = links == Links::kFollow ? 0 : AT_SYMLINK_NOFOLLOW;
    if (statx(AT_FDCWD, hostPath.c_str(), flags, STATX_BASIC_STATS | STATX_BTIME, &facts) != 0) {
        if (errno == ENOSYS || errno == EPERM) return QueryWithStat(hostPath, links);
        return std::nullopt;
    }
    HostFacts host;
    host.mode = facts.stx_mode;
    host.size = static_cast<int64_t>(facts.stx_size);
    host.updated = facts.stx_mtime.tv_sec;
    if (facts.stx_mask & STATX_BTIME) host.born = facts.stx_btime.tv_sec;
    host.identity = {static_cast<uint64_t>(makedev(facts.stx_dev_major, facts.stx_dev_minor)), facts.stx_ino};
    return host;
}
#else
std::optional<HostFacts> QueryHost(const std::string& hostPath, Links links) {
    return QueryWithStat(hostPath, links);
}
#endif

// The facts of a path's target, or of the link itself when the link leads nowhere (dangling,
// looping). The path itself is asked first, so an ordinary entry costs one query.
struct ResolvedFacts {
    HostFacts facts;
    bool isLink = false;
};

std::optional<ResolvedFacts> ResolveHost(const std::string& hostPath) {
    const auto own = QueryHost(hostPath, Links::kReportLink);
    if (!own) return std::nullopt;
    if (!S_ISLNK(own->mode)) return ResolvedFacts{*own, false};
    const auto target = QueryHost(hostPath, Links::kFollow);
    return ResolvedFacts{target ? *target : *own, true};
}

std::optional<ResolvedFacts> Resolve(std::string_view path) {
    const auto hostPath = HostPathOf(path);
    if (!hostPath) return std::nullopt;
    return ResolveHost(*hostPath);
}

// ---- Attributes -------------------------------------------------------------------------------

// The last component of a path-space path; "" for a root.
std::string_view LastComponent(std::string_view path) {
    while (path.ends_with('\\'))
        path.remove_suffix(1);
    const std::size_t separator = path.rfind('\\');
    return separator == std::string_view::npos ? std::string_view() : path.substr(separator + 1);
}

bool IsHiddenName(std::string_view name) {
    return name.starts_with('.') && name != "." && name != "..";
}

uint32_t AttributesOf(mode_t mode, std::string_view name) {
    uint32_t attributes = 0;
    if (S_ISDIR(mode)) attributes |= kAttrFolder;
    if (S_ISREG(mode)) attributes |= kAttrArchive;
    // A link's own permission bits mean nothing; only a dangling link is reported as itself.
    if (!S_ISLNK(mode) && (mode & S_IWUSR) == 0) attributes |= kAttrReadOnly;
    if (IsHiddenName(name)) attributes |= kAttrHidden;
    return attributes;
}

// ---- Files ------------------------------------------------------------------------------------

// Opens a regular file for reading. O_NONBLOCK keeps a FIFO without a writer from blocking the
// open; it has no effect on a regular file, and anything else is refused.
HostDescriptor OpenRegularFile(std::string_view path, int64_t& length) {
    HostDescriptor file = OpenPathSpacePath(path, O_RDONLY | O_NONBLOCK);
    struct stat facts {};
    if (!file.IsOpen() || fstat(file.Get(), &facts) != 0 || !S_ISREG(facts.st_mode)) return HostDescriptor();
    length = facts.st_size;
    return file;
}

// Reads to the end of the file, however its length has changed since it was opened.
bool ReadToEnd(const HostDescriptor& file, std::string& content) {
    char block[65536];
    for (;;) {
        const ssize_t count = read(file.Get(), block, sizeof block);
        if (count == 0) return true;
        if (count < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        content.append(block, static_cast<std::size_t>(count));
    }
}

}  // namespace

int64_t LocalSecondsOf(UtcSeconds t) {
    const time_t moment = static_cast<time_t>(t);
    struct tm local {};
    // A moment outside the range the C library can convert is left as it is.
    if (localtime_r(&moment, &local) == nullptr) return t;
    return t + local.tm_gmtoff;
}

int64_t LocalSecondsNow() {
    return LocalSecondsOf(static_cast<UtcSeconds>(time(nullptr)));
}

std::optional<uint32_t> GetAttributes(std::string_view path) {
    const auto resolved = Resolve(path);
    if (!resolved) return std::nullopt;
    return AttributesOf(resolved->facts.mode, LastComponent(path));
}

std::optional<FileFacts> GetFileFacts(std::string_view path) {
    const auto resolved = Resolve(path);
    if (!resolved) return std::nullopt;
    const HostFacts& host = resolved->facts;
    FileFacts facts;
    facts.attributes = AttributesOf(host.mode, LastComponent(path));
    // Only a regular file has a length of its contents; a folder, device or link counts 0.
    facts.size = S_ISREG(host.mode) ? host.size : 0;
    facts.updated = host.updated;
    facts.created = host.born.value_or(host.updated);
    facts.isLink = resolved->isLink;
    facts.identity = host.identity;
    return facts;
}

std::optional<std::string> StoredName(std::string_view folder, std::string_view name) {
    if (name.empty() || name == "." || name == ".." || name.find('\\') != std::string_view::npos) {
        return std::nullopt;
    }
    std::string path(folder);
    if (!path.ends_with('\\')) path += '\\';
    path += name;
    // The path space looks every component up exactly and then ignoring ASCII case.
    const auto hostPath = HostPathOf(path);
    if (!hostPath) return std::nullopt;
    struct stat facts {};
    if (lstat(hostPath->c_str(), &facts) != 0) return std::nullopt;
    return NameFromHost(std::string_view(*hostPath).substr(hostPath->rfind('/') + 1));
}

std::string ShortPathOf(std::string_view path) {
    // POSIX file systems have no short names: an existing path is its own short form.
    return GetAttributes(path) ? std::string(path) : std::string();
}

std::optional<std::string> ReadWholeFile(std::string_view path) {
    int64_t length = 0;
    HostDescriptor file = OpenRegularFile(path, length);
    if (!file.IsOpen()) return std::nullopt;
    std::string content;
    try {
        content.reserve(static_cast<std::size_t>(length));
        if (!ReadToEnd(file, content)) return std::nullopt;
    } catch (const std::bad_alloc&) {
        return std::nullopt;  // a file larger than memory cannot be read whole
    } catch (const std::length_error&) {
        return std::nullopt;
    }
    // Everything has been read; a failing close of a read-only descriptor loses nothing.
    file.Close();
    return content;
}

std::optional<int64_t> FileLength(std::string_view path) {
    const auto resolved = Resolve(path);
    if (!resolved || !S_ISREG(resolved->facts.mode)) return std::nullopt;
    return resolved->facts.size;
}

}  // namespace folvane

// FolderReader on POSIX: one directory stream, each entry examined relative to it.

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cerrno>
#include <optional>
#include <utility>

#include "platform/file_system.h"
#include "platform/path_space.h"
#include "platform/posix/host_open.h"
#include "platform/posix/path_space_internal.h"

namespace folvane {

namespace {

DIR* StreamOf(void* handle) {
    return static_cast<DIR*>(handle);
}

// What one metadata query tells about an entry.
struct EntryFacts {
    mode_t mode = 0;
    int64_t size = 0;
    UtcSeconds updated = 0;
    std::optional<UtcSeconds> born;  // only where the file system records it
    FileIdentity identity;
};

std::optional<EntryFacts> QueryWithStat(int folder, const char* name, int flags) {
    struct stat facts {};
    if (::fstatat(folder, name, &facts, flags) != 0) return std::nullopt;
    EntryFacts entry;
    entry.mode = facts.st_mode;
    entry.size = facts.st_size;
    entry.updated = facts.st_mtim.tv_sec;
    entry.identity = {static_cast<uint64_t>(facts.st_dev), static_cast<uint64_t>(facts.st_ino)};
    return entry;
}

#ifdef STATX_BTIME
// statx is the one query that also reports the birth time. Kernels or sandboxes without it
// answer ENOSYS (or EPERM from a seccomp filter); fstatat answers for them, without birth time.
std::optional<EntryFacts> Query(int folder, const char* name, int flags) {
    struct statx facts {};
    if (::statx(folder, name, flags, STATX_BASIC_STATS | STATX_BTIME, &facts) != 0) {
        if (errno == ENOSYS || errno == EPERM) return QueryWithStat(folder, name, flags);
        return std::nullopt;
    }
    EntryFacts entry;
    entry.mode = facts.stx_mode;
    entry.size = static_cast<int64_t>(facts.stx_size);
    entry.updated = facts.stx_mtime.tv_sec;
    if (facts.stx_mask & STATX_BTIME) entry.born = facts.stx_btime.tv_sec;
    entry.identity = {static_cast<uint64_t>(makedev(facts.stx_dev_major, facts.stx_dev_minor)),
                      facts.stx_ino};
    return entry;
}
#else
std::optional<EntryFacts> Query(int folder, const char* name, int flags) {
    return QueryWithStat(folder, name, flags);
}
#endif

bool IsHiddenName(std::string_view hostName) {
    return hostName.starts_with('.') && hostName != "." && hostName != "..";
}

// The same rule GetAttributes follows for a whole path.
uint32_t AttributesOf(mode_t mode, std::string_view hostName) {
    uint32_t attributes = 0;
    if (S_ISDIR(mode)) attributes |= kAttrFolder;
    if (S_ISREG(mode)) attributes |= kAttrArchive;
    // A link's own permission bits mean nothing; only a dangling link is reported as itself.
    if (!S_ISLNK(mode) && (mode & S_IWUSR) == 0) attributes |= kAttrReadOnly;
    if (IsHiddenName(hostName)) attributes |= kAttrHidden;
    return attributes;
}

FileFacts FactsFrom(const EntryFacts& entry, std::string_view hostName, bool isLink) {
    FileFacts facts;
    facts.attributes = AttributesOf(entry.mode, hostName);
    // Only a regular file has a length of its contents; a folder, device or link counts 0.
    facts.size = S_ISREG(entry.mode) ? entry.size : 0;
    facts.updated = entry.updated;
    facts.created = entry.born.value_or(entry.updated);
    facts.isLink = isLink;
    facts.identity = entry.identity;
    return facts;
}

// What the directory stream itself tells when the entry cannot be examined: a folder that may
// be listed but not searched, or an entry removed since the folder was read.
FileFacts FactsFromListing(const dirent& entry) {
    FileFacts facts;
    if (entry.d_type == DT_DIR) facts.attributes |= kAttrFolder;
    if (entry.d_type == DT_REG) facts.attributes |= kAttrArchive;
    if (IsHiddenName(entry.d_name)) facts.attributes |= kAttrHidden;
    facts.isLink = entry.d_type == DT_LNK;
    return facts;
}

FileFacts DotFacts() {
    FileFacts facts;
    facts.attributes = kAttrFolder;
    return facts;
}

// The facts of an entry's target, or of the link itself when the link leads nowhere. The
// entry itself is asked first, so anything but a link costs one query.
FileFacts FactsOf(int folder, const dirent& entry) {
    const auto own = Query(folder, entry.d_name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT);
    if (!own) return FactsFromListing(entry);
    if (!S_ISLNK(own->mode)) return FactsFrom(*own, entry.d_name, false);
    const auto target = Query(folder, entry.d_name, AT_NO_AUTOMOUNT);
    return FactsFrom(target ? *target : *own, entry.d_name, true);
}

}  // namespace

FolderReader::FolderReader(FolderReader&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}

FolderReader& FolderReader::operator=(FolderReader&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
}

FolderReader::~FolderReader() {
    Close();
}

bool FolderReader::Open(std::string_view path) {
    Close();
    // O_DIRECTORY refuses anything but a folder before a FIFO could block the open.
    HostDescriptor folder = OpenPathSpacePath(path, O_RDONLY | O_DIRECTORY | O_NONBLOCK);
    if (!folder.IsOpen()) return false;
    DIR* stream = ::fdopendir(folder.Get());
    if (stream == nullptr) return false;
    folder.Release();  // the stream owns the descriptor now
    handle_ = stream;
    return true;
}

bool FolderReader::Next(FolderItem& item) {
    DIR* stream = StreamOf(handle_);
    if (stream == nullptr) return false;
    const dirent* entry = ::readdir(stream);
    if (entry == nullptr) return false;
    item.name = NameFromHost(entry->d_name);
    // Every folder has the two; nothing but their kind is ever asked of them.
    const bool dots = item.name == "." || item.name == "..";
    item.facts = dots ? DotFacts() : FactsOf(::dirfd(stream), *entry);
    return true;
}

bool FolderReader::Close() {
    DIR* stream = StreamOf(std::exchange(handle_, nullptr));
    if (stream == nullptr) return false;
    return ::closedir(stream) == 0;
}

}  // namespace folvane

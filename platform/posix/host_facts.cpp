#include "platform/posix/host_facts.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cerrno>

namespace folvane {

namespace {

std::optional<HostFacts> QueryWithStat(int folder, const char* name, int flags) {
    struct stat facts {};
    if (::fstatat(folder, name, &facts, flags) != 0) return std::nullopt;
    HostFacts host;
    host.mode = facts.st_mode;
    host.size = facts.st_size;
    host.updated = facts.st_mtim.tv_sec;
    host.identity = {static_cast<uint64_t>(facts.st_dev), static_cast<uint64_t>(facts.st_ino)};
    return host;
}

}  // namespace

#ifdef STATX_BTIME
// statx is the one query that also reports the birth time. Kernels or sandboxes without it
// answer ENOSYS (or EPERM from a seccomp filter); fstatat answers for them, without birth time.
std::optional<HostFacts> QueryHostFacts(int folder, const char* name, int flags) {
    struct statx facts {};
    if (::statx(folder, name, flags, STATX_BASIC_STATS | STATX_BTIME, &facts) != 0) {
        if (errno == ENOSYS || errno == EPERM) return QueryWithStat(folder, name, flags);
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
std::optional<HostFacts> QueryHostFacts(int folder, const char* name, int flags) {
    return QueryWithStat(folder, name, flags);
}
#endif

std::optional<ResolvedFacts> ResolveHostFacts(int folder, const char* name, int flags) {
    const auto own = QueryHostFacts(folder, name, flags | AT_SYMLINK_NOFOLLOW);
    if (!own) return std::nullopt;
    if (!S_ISLNK(own->mode)) return ResolvedFacts{*own, false};
    const auto target = QueryHostFacts(folder, name, flags);
    return ResolvedFacts{target ? *target : *own, true};
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

FileFacts FileFactsOf(const ResolvedFacts& resolved, std::string_view name) {
    const HostFacts& host = resolved.facts;
    FileFacts facts;
    facts.attributes = AttributesOf(host.mode, name);
    // Only a regular file has a length of its contents; a folder, device or link counts 0.
    facts.size = S_ISREG(host.mode) ? host.size : 0;
    facts.updated = host.updated;
    facts.created = host.born.value_or(host.updated);
    facts.isLink = resolved.isLink;
    facts.isRegular = S_ISREG(host.mode);
    facts.identity = host.identity;
    return facts;
}

}  // namespace folvane

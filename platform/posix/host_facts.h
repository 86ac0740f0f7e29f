#pragma once
// Backend-private: what one metadata query tells about a host entry. The path queries and the
// folder reader share it, so an entry shows the same facts and attributes either way.

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/file_system.h"

namespace folvane {

struct HostFacts {
    mode_t mode = 0;
    int64_t size = 0;
    UtcSeconds updated = 0;
    std::optional<UtcSeconds> born;  // only where the file system records it
    FileIdentity identity;
};

// The facts of name, relative to the open folder (or AT_FDCWD), with fstatat's flags.
std::optional<HostFacts> QueryHostFacts(int folder, const char* name, int flags);

// The facts of an entry's target, or of the link itself when the link leads nowhere (dangling,
// looping). The entry itself is asked first, so anything but a link costs one query.
struct ResolvedFacts {
    HostFacts facts;
    bool isLink = false;
};
std::optional<ResolvedFacts> ResolveHostFacts(int folder, const char* name, int flags);

// A name that starts with "." is hidden, as file managers show it; "." and ".." are not.
bool IsHiddenName(std::string_view name);

// The attribute bits of an entry of this kind and name.
uint32_t AttributesOf(mode_t mode, std::string_view name);

// The facts a caller receives for a resolved entry of this name.
FileFacts FileFactsOf(const ResolvedFacts& resolved, std::string_view name);

}  // namespace folvane

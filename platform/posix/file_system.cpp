#include "platform/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <new>
#include <stdexcept>
#include <utility>

#include "platform/path_space.h"
#include "platform/posix/host_facts.h"
#include "platform/posix/host_open.h"
#include "platform/posix/path_space_internal.h"

namespace folvane {

namespace {

// ---- Metadata ---------------------------------------------------------------------------------

std::optional<ResolvedFacts> Resolve(std::string_view path) {
    const auto hostPath = HostPathOf(path);
    if (!hostPath) return std::nullopt;
    if (auto resolved = ResolveHostFacts(AT_FDCWD, hostPath->c_str(), 0)) return resolved;
    if (errno != ENAMETOOLONG) return std::nullopt;
    // Too long for the host as a whole: ask about the last component, relative to its folder,
    // which opens piece by piece. A final "/" stays with the component and demands a folder.
    std::string_view host = *hostPath;
    std::size_t end = host.size();
    while (end > 1 && host[end - 1] == '/')
        --end;
    const std::size_t slash = host.rfind('/', end - 1);
    if (slash == std::string_view::npos) return std::nullopt;
    const HostDescriptor folder = OpenHostPath(slash == 0 ? "/" : host.substr(0, slash), kPassThroughFlags);
    if (!folder.IsOpen()) return std::nullopt;
    return ResolveHostFacts(folder.Get(), std::string(host.substr(slash + 1)).c_str(), 0);
}

// The last component of a path-space path; "" for a root.
std::string_view LastComponent(std::string_view path) {
    while (path.ends_with('\\'))
        path.remove_suffix(1);
    const std::size_t separator = path.rfind('\\');
    return separator == std::string_view::npos ? std::string_view() : path.substr(separator + 1);
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
    return FileFactsOf(*resolved, LastComponent(path));
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

std::optional<int64_t> FileLength(std::string_view path) {
    const auto resolved = Resolve(path);
    if (!resolved || !S_ISREG(resolved->facts.mode)) return std::nullopt;
    return resolved->facts.size;
}

}  // namespace folvane

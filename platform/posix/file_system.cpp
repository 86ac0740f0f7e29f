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
    return ResolveHostFacts(AT_FDCWD, hostPath->c_str(), 0);
}

// The last component of a path-space path; "" for a root.
std::string_view LastComponent(std::string_view path) {
    while (path.ends_with('\\'))
        path.remove_suffix(1);
    const std::size_t separator = path.rfind('\\');
    return separator == std::string_view::npos ? std::string_view() : path.substr(separator + 1);
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

// Reads to the end of the file, however its length has changed since it was opened; false
// when reading fails or the file holds more than maxBytes.
bool ReadToEnd(const HostDescriptor& file, std::string& content, int64_t maxBytes) {
    char block[65536];
    for (;;) {
        const ssize_t count = read(file.Get(), block, sizeof block);
        if (count == 0) return true;
        if (count < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (static_cast<int64_t>(content.size()) + count > maxBytes) return false;
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

std::optional<std::string> ReadWholeFile(std::string_view path, int64_t maxBytes) {
    int64_t length = 0;
    HostDescriptor file = OpenRegularFile(path, length);
    if (!file.IsOpen() || length > maxBytes) return std::nullopt;
    std::string content;
    try {
        content.reserve(static_cast<std::size_t>(length));
        if (!ReadToEnd(file, content, maxBytes)) return std::nullopt;
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

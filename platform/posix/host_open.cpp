#include "platform/posix/host_open.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <string>
#include <utility>

namespace folvane {

namespace {

constexpr int kPassThrough = kPassThroughFlags;

// The longest piece the host accepts, without its terminating NUL.
constexpr std::size_t kPieceLimit = PATH_MAX - 1;

int OpenAt(int at, const char* path, int flags) {
    int fd = -1;
    do {
        fd = ::openat(at, path, flags | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

std::size_t SkipSlashes(std::string_view path, std::size_t pos) {
    while (pos < path.size() && path[pos] == '/')
        ++pos;
    return pos;
}

// The end of the piece that starts at pos: the rest of the path when it fits, else the end of
// the last whole component that fits. npos when one component alone is too long.
std::size_t PieceEnd(std::string_view path, std::size_t pos) {
    if (path.size() - pos <= kPieceLimit) return path.size();
    const std::size_t slash = path.rfind('/', pos + kPieceLimit);
    return slash == std::string_view::npos || slash <= pos ? std::string_view::npos : slash;
}

HostDescriptor OpenInPieces(std::string_view path, int flags) {
    HostDescriptor folder;
    int at = AT_FDCWD;
    std::size_t pos = 0;
    if (path.starts_with('/')) {
        folder = HostDescriptor(OpenAt(AT_FDCWD, "/", kPassThrough));
        if (!folder.IsOpen()) return folder;
        at = folder.Get();
        pos = SkipSlashes(path, 0);
    }
    for (;;) {
        // A path that ends in "/" names the folder reached; "." opens it and demands a folder.
        if (pos == path.size()) return HostDescriptor(OpenAt(at, ".", flags));
        const std::size_t end = PieceEnd(path, pos);
        if (end == std::string_view::npos) {
            errno = ENAMETOOLONG;
            return HostDescriptor();
        }
        const std::string piece(path.substr(pos, end - pos));
        if (end == path.size()) return HostDescriptor(OpenAt(at, piece.c_str(), flags));
        HostDescriptor next(OpenAt(at, piece.c_str(), kPassThrough));
        if (!next.IsOpen()) return next;
        folder = std::move(next);
        at = folder.Get();
        pos = SkipSlashes(path, end);
    }
}

}  // namespace

HostDescriptor::HostDescriptor(HostDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

HostDescriptor& HostDescriptor::operator=(HostDescriptor&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

HostDescriptor::~HostDescriptor() {
    // errno may tell a caller why an open failed; closing an unrelated descriptor must not
    // overwrite it.
    const int saved = errno;
    Close();
    errno = saved;
}

int HostDescriptor::Release() {
    return std::exchange(fd_, -1);
}

bool HostDescriptor::Close() {
    if (fd_ < 0) return false;
    // Linux releases the descriptor even when close() fails, so it is never closed twice.
    return ::close(std::exchange(fd_, -1)) == 0;
}

HostDescriptor OpenHostPath(std::string_view hostPath, int flags) {
    const std::string path(hostPath);
    const int fd = OpenAt(AT_FDCWD, path.c_str(), flags);
    if (fd >= 0 || errno != ENAMETOOLONG) return HostDescriptor(fd);
    return OpenInPieces(hostPath, flags);
}

bool StatHostPath(std::string_view hostPath, struct stat& facts, HostLinks links) {
    const std::string path(hostPath);
    const int result =
        links == HostLinks::kFollow ? ::stat(path.c_str(), &facts) : ::lstat(path.c_str(), &facts);
    if (result == 0) return true;
    if (errno != ENAMETOOLONG) return false;
    // Open the folder that holds the last component, then ask about the component alone. A
    // trailing "/" stays with the component, so it still demands a folder.
    std::size_t end = path.size();
    while (end > 1 && path[end - 1] == '/')
        --end;
    const std::size_t slash = path.rfind('/', end - 1);
    const std::string parent = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const HostDescriptor folder = OpenHostPath(parent, kPassThrough);
    if (!folder.IsOpen()) return false;
    const int flags = links == HostLinks::kFollow ? 0 : AT_SYMLINK_NOFOLLOW;
    return ::fstatat(folder.Get(), name.c_str(), &facts, flags) == 0;
}

HostDirectory::HostDirectory(std::string_view hostFolder) {
    HostDescriptor folder = OpenHostPath(hostFolder, O_RDONLY | O_DIRECTORY);
    if (!folder.IsOpen()) return;
    stream_ = ::fdopendir(folder.Get());
    if (stream_ != nullptr) folder.Release();  // the stream owns the descriptor now
}

HostDirectory::HostDirectory(HostDirectory&& other) noexcept
    : stream_(std::exchange(other.stream_, nullptr)) {}

HostDirectory& HostDirectory::operator=(HostDirectory&& other) noexcept {
    if (this != &other) {
        Close();
        stream_ = std::exchange(other.stream_, nullptr);
    }
    return *this;
}

HostDirectory::~HostDirectory() {
    Close();
}

std::optional<std::string> HostDirectory::NextName() {
    while (stream_ != nullptr) {
        const dirent* entry = ::readdir(static_cast<DIR*>(stream_));
        if (entry == nullptr) return std::nullopt;
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") return std::string(name);
    }
    return std::nullopt;
}

bool HostDirectory::Close() {
    if (stream_ == nullptr) return false;
    return ::closedir(static_cast<DIR*>(std::exchange(stream_, nullptr))) == 0;
}

}  // namespace folvane

// FileReader on POSIX: a read-only descriptor of a regular file.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <limits>
#include <utility>

#include "platform/file_system.h"
#include "platform/path_space.h"
#include "platform/posix/host_open.h"
#include "platform/posix/path_space_internal.h"
#include "platform/posix/regular_open.h"

namespace folvane {

FileReader::FileReader(FileReader&& other) noexcept
    : handle_(std::exchange(other.handle_, -1)), length_(std::exchange(other.length_, 0)) {}

FileReader& FileReader::operator=(FileReader&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = std::exchange(other.handle_, -1);
        length_ = std::exchange(other.length_, 0);
    }
    return *this;
}

FileReader::~FileReader() {
    Close();
}

bool FileReader::Open(std::string_view path) {
    Close();
    const HostDescriptor probe = OpenPathSpacePath(path, kProbeFlags | O_CLOEXEC);
    struct stat seen {};
    HostDescriptor file = OpenRegularForReading(
        probe, nullptr, [&](int flags) { return OpenPathSpacePath(path, flags); }, seen);
    if (!file.IsOpen()) return false;
    handle_ = file.Release();
    length_ = static_cast<int64_t>(seen.st_size);
    return true;
}

std::ptrdiff_t FileReader::Read(void* buffer, std::size_t size) {
    if (handle_ < 0) return -1;
    // Linux reads at most 0x7ffff000 bytes at a time; larger requests are implementation-
    // defined by POSIX, so ask for no more than a signed 32-bit count.
    if (size > static_cast<std::size_t>(INT_MAX)) size = static_cast<std::size_t>(INT_MAX);
    for (;;) {
        const ssize_t n = ::read(static_cast<int>(handle_), buffer, size);
        if (n >= 0) return n;
        if (errno != EINTR) return -1;
    }
}

std::ptrdiff_t FileReader::ReadAt(int64_t offset, void* buffer, std::size_t size) {
    if (handle_ < 0 || offset < 0) return -1;
    // The kernel refuses a range whose end does not fit in off_t; no file reaches that far, so
    // such a read is a read past the end.
    const auto limit = static_cast<uint64_t>(std::numeric_limits<off_t>::max());
    if (static_cast<uint64_t>(offset) >= limit) return 0;
    if (size > static_cast<std::size_t>(INT_MAX)) size = static_cast<std::size_t>(INT_MAX);
    const uint64_t room = limit - static_cast<uint64_t>(offset);
    if (size > room) size = static_cast<std::size_t>(room);
    for (;;) {
        const ssize_t n = ::pread(static_cast<int>(handle_), buffer, size, static_cast<off_t>(offset));
        if (n >= 0) return n;
        if (errno != EINTR) return -1;
    }
}

bool FileReader::Close() {
    if (handle_ < 0) return false;
    const int fd = static_cast<int>(std::exchange(handle_, -1));
    length_ = 0;
    // The descriptor is released even when close() fails (also on EINTR, on Linux), so it is
    // never closed twice.
    return ::close(fd) == 0;
}

}  // namespace folvane

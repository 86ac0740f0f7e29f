#include "platform/posix/regular_open.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace folvane {

namespace {

bool IsExpectedFile(int fd, const FileIdentity* expected, struct stat& seen) {
    if (::fstat(fd, &seen) != 0 || !S_ISREG(seen.st_mode)) return false;
    if (expected == nullptr) return true;
    return FileIdentity{static_cast<uint64_t>(seen.st_dev), static_cast<uint64_t>(seen.st_ino)} == *expected;
}

int OpenThroughProc(int probe) {
    const std::string self = "/proc/self/fd/" + std::to_string(probe);
    int fd = -1;
    do {
        fd = ::open(self.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

}  // namespace

HostDescriptor OpenRegularForReading(const HostDescriptor& probe, const FileIdentity* expected,
                                     const std::function<HostDescriptor(int flags)>& openDirectly,
                                     struct stat& seen) {
    if (!probe.IsOpen() || !IsExpectedFile(probe.Get(), expected, seen)) return HostDescriptor();
    const FileIdentity checked{static_cast<uint64_t>(seen.st_dev), static_cast<uint64_t>(seen.st_ino)};
#ifdef O_PATH
    HostDescriptor file(OpenThroughProc(probe.Get()));
    if (!file.IsOpen() && errno == ENOENT) file = openDirectly(O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
#else
    HostDescriptor file(::dup(probe.Get()));
    static_cast<void>(openDirectly);
#endif
    if (!file.IsOpen() || !IsExpectedFile(file.Get(), &checked, seen)) return HostDescriptor();
    ClearNonBlocking(file.Get());
    return file;
}

void ClearNonBlocking(int fd) {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0 && (flags & O_NONBLOCK) != 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
}

}  // namespace folvane

// Writing files on POSIX: a temporary file beside the target, flushed and renamed over it.

#include "platform/file_write.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <optional>
#include <utility>
#include <vector>

#include "platform/path_space.h"
#include "platform/posix/host_open.h"

namespace folvane {

namespace {

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        // Linux writes at most about 2 GiB at once; ask for less and loop.
        const std::size_t chunk = std::min<std::size_t>(bytes.size(), 1u << 30);
        const ssize_t written = write(fd, bytes.data(), chunk);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        // A write that stores nothing without an error would otherwise loop for ever.
        if (written == 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool SyncToDisk(int fd) {
    int result = 0;
    do {
        result = fsync(fd);
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

// The file a write to hostPath should replace: the target of a symbolic link, so that the
// link survives; the path itself otherwise, and also for a link that leads nowhere.
std::string ReplacedFile(const std::string& hostPath) {
    struct stat facts {};
    if (lstat(hostPath.c_str(), &facts) != 0 || !S_ISLNK(facts.st_mode)) return hostPath;
    char* resolved = realpath(hostPath.c_str(), nullptr);
    if (resolved == nullptr) return hostPath;
    std::string target(resolved);
    std::free(resolved);
    return target;
}

// A name for the temporary file that no other writer picks: the target's name behind a dot
// (hidden, and recognisable when a crash leaves it), the process id and a counter; O_EXCL
// settles any remaining clash. The target's name is shortened so that the whole stays within
// the usual 255-byte limit of a name.
std::string TemporaryName(const std::string& folder, std::string_view name) {
    static std::atomic<unsigned> counter{0};
    std::string temporary = folder;
    if (!temporary.ends_with('/')) temporary += '/';
    temporary += '.';
    temporary += name.substr(0, 180);
    temporary += '.' + std::to_string(getpid()) + '-' + std::to_string(counter.fetch_add(1)) + ".tmp";
    return temporary;
}

// Creates a new temporary file in folder; leaves name "" when none could be created.
HostDescriptor CreateTemporary(const std::string& folder, std::string_view targetName, std::string& name) {
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        name = TemporaryName(folder, targetName);
        // 0666 before the umask, as any newly created file gets.
        const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd >= 0) return HostDescriptor(fd);
        if (errno != EEXIST && errno != EINTR) break;
    }
    name.clear();
    return HostDescriptor();
}

// Best effort: makes the rename itself durable. A failure loses nothing that was written.
void SyncFolder(const std::string& folder) {
    HostDescriptor descriptor(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (descriptor.IsOpen()) SyncToDisk(descriptor.Get());
}

bool FillAndClose(HostDescriptor& file, std::string_view bytes) {
    const bool stored = WriteAll(file.Get(), bytes) && SyncToDisk(file.Get());
    const bool closed = file.Close();
    return stored && closed;
}

bool IsHostFolder(const std::string& hostPath) {
    struct stat facts {};
    return stat(hostPath.c_str(), &facts) == 0 && S_ISDIR(facts.st_mode);
}

// An absolute host folder from an environment variable; relative or empty values do not count.
std::optional<std::string> AbsoluteFromEnvironment(const char* variable) {
    const char* value = std::getenv(variable);
    if (value == nullptr || value[0] != '/') return std::nullopt;
    return std::string(value);
}

std::optional<std::string> AccountHome() {
    long suggested = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : 4096);
    for (;;) {
        passwd entry{};
        passwd* found = nullptr;
        const int error = getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found);
        if (error == ERANGE && buffer.size() < (1u << 20)) {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (error != 0 || found == nullptr || found->pw_dir == nullptr || found->pw_dir[0] != '/') {
            return std::nullopt;
        }
        return std::string(found->pw_dir);
    }
}

// HOME when it is an absolute path, else the account's home.
std::optional<std::string> HomeFolder() {
    auto home = AbsoluteFromEnvironment("HOME");
    if (!home) home = AccountHome();
    return home;
}

}  // namespace

bool WriteFileReplacing(std::string_view path, std::string_view bytes) {
    const auto hostPath = HostPathOf(path);
    // A final "/" demands a folder, and a folder is never replaced by a file.
    if (!hostPath || hostPath->ends_with('/')) return false;
    const std::string target = ReplacedFile(*hostPath);
    const std::size_t slash = target.rfind('/');
    if (slash == std::string::npos || slash + 1 == target.size()) return false;
    const std::string folder = slash == 0 ? "/" : target.substr(0, slash);

    std::string temporary;
    HostDescriptor file = CreateTemporary(folder, std::string_view(target).substr(slash + 1), temporary);
    if (!file.IsOpen()) return false;
    if (!FillAndClose(file, bytes) || rename(temporary.c_str(), target.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    SyncFolder(folder);
    return true;
}

bool DeletePath(std::string_view path) {
    const auto hostPath = HostPathOf(path);
    if (!hostPath) return false;
    struct stat facts {};
    if (lstat(hostPath->c_str(), &facts) != 0 || S_ISDIR(facts.st_mode)) return false;
    return unlink(hostPath->c_str()) == 0;
}

bool CanWriteFolder(std::string_view folder) {
    const auto hostPath = HostPathOf(folder);
    if (!hostPath || !IsHostFolder(*hostPath)) return false;
    // Creating an entry needs write and search permission on the folder.
    return access(hostPath->c_str(), W_OK | X_OK) == 0;
}

std::string UserConfigFolder() {
    if (const auto configHome = AbsoluteFromEnvironment("XDG_CONFIG_HOME")) return PathFromHost(*configHome);
    const auto home = HomeFolder();
    return home ? PathFromHost(*home + "/.config") : "";
}

std::string UserDataFolder() {
    if (const auto dataHome = AbsoluteFromEnvironment("XDG_DATA_HOME")) return PathFromHost(*dataHome);
    const auto home = HomeFolder();
    return home ? PathFromHost(*home + "/.local/share") : "";
}

bool MakeFolders(std::string_view folder) {
    const auto hostPath = HostPathOf(folder);
    if (!hostPath) return false;
    const std::string& host = *hostPath;
    // Each folder on the way down, the last one included; the root always exists. A folder
    // that is there already may still refuse mkdir with another error than EEXIST.
    for (std::size_t start = 1; start <= host.size();) {
        const std::size_t end = std::min(host.find('/', start), host.size());
        if (end > start) {
            const std::string step = host.substr(0, end);
            if (mkdir(step.c_str(), 0777) != 0 && errno != EEXIST && !IsHostFolder(step)) return false;
        }
        start = end + 1;
    }
    return IsHostFolder(host);
}

}  // namespace folvane

// Writing files on POSIX: a temporary file beside the target, flushed and renamed over it.

#include "platform/file_write.h"

#include <fcntl.h>
#include <pthread.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
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

// The name a link leads to, followed link by link (at most kMaxLinks of them), for a link whose
// final target does not exist yet; nullopt when the chain does not end.
std::optional<std::string> FinalLinkTarget(std::string path) {
    constexpr int kMaxLinks = 40;
    for (int hop = 0; hop < kMaxLinks; ++hop) {
        struct stat facts {};
        if (lstat(path.c_str(), &facts) != 0 || !S_ISLNK(facts.st_mode)) return path;
        std::string target(PATH_MAX, '\0');
        const ssize_t length = readlink(path.c_str(), target.data(), target.size());
        if (length <= 0 || static_cast<std::size_t>(length) >= target.size()) return std::nullopt;
        target.resize(static_cast<std::size_t>(length));
        if (!target.starts_with('/')) target = path.substr(0, path.rfind('/') + 1) + target;
        path = std::move(target);
    }
    return std::nullopt;
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

// The replaced file's owner and permission bits for the new one. The owner first: changing it
// clears the set-user-id bits, which the mode then restores. Taking over the owner needs
// privileges the program usually lacks; the file is then the program's, with the old mode.
void TakeOverOwnerAndMode(int fd, const struct stat& old) {
    if (old.st_uid != geteuid() || old.st_gid != getegid()) {
        if (fchown(fd, old.st_uid, old.st_gid) != 0) static_cast<void>(fchown(fd, geteuid(), old.st_gid));
    }
    static_cast<void>(fchmod(fd, old.st_mode & 07777));
}

// A write into a pipe whose reader has gone raises SIGPIPE, which would end the program. While
// one of these lives, the signal is held back for this thread and, if raised, taken away, so
// the write fails with EPIPE instead.
class SigpipeHeld {
  public:
    SigpipeHeld() {
        sigemptyset(&pipe_);
        sigaddset(&pipe_, SIGPIPE);
        sigset_t pending;
        sigpending(&pending);
        wasPending_ = sigismember(&pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &pipe_, &previous_);
    }
    ~SigpipeHeld() {
        sigset_t pending;
        sigpending(&pending);
        if (!wasPending_ && sigismember(&pending, SIGPIPE) == 1) {
            const timespec now{0, 0};
            sigtimedwait(&pipe_, nullptr, &now);
        }
        pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
    }
    SigpipeHeld(const SigpipeHeld&) = delete;
    SigpipeHeld& operator=(const SigpipeHeld&) = delete;

  private:
    sigset_t pipe_{};
    sigset_t previous_{};
    bool wasPending_ = false;
};

// Copies the whole content of the file at from into the open descriptor to, from its start.
bool CopyInto(const std::string& from, int to) {
    HostDescriptor source(open(from.c_str(), O_RDONLY | O_CLOEXEC));
    if (!source.IsOpen()) return false;
    char block[65536];
    for (;;) {
        const ssize_t count = read(source.Get(), block, sizeof block);
        if (count == 0) return true;
        if (count < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (!WriteAll(to, std::string_view(block, static_cast<std::size_t>(count)))) return false;
    }
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

// ---- ReplacingWriter ---------------------------------------------------------------------

enum class WriteKind {
    kReplace,  // a new file, renamed over the target
    kInPlace,  // a device or pipe, written into
};

struct ReplacingWriter::State {
    WriteKind kind = WriteKind::kReplace;
    HostDescriptor file;    // the temporary file, or the device
    std::string temporary;  // its name; "" for a device
    std::string target;     // the host path that receives the content
    std::string folder;     // the folder of both
    bool hardLinked = false;
    bool failed = false;
};

ReplacingWriter::ReplacingWriter() = default;
ReplacingWriter::ReplacingWriter(ReplacingWriter&& other) noexcept = default;
ReplacingWriter& ReplacingWriter::operator=(ReplacingWriter&& other) noexcept {
    if (this != &other) {
        Abandon();
        state_ = std::move(other.state_);
    }
    return *this;
}

ReplacingWriter::~ReplacingWriter() {
    Abandon();
}

namespace {

// Opens a device or pipe for writing into it. A FIFO waits for its reader, as a shell's
// redirection does.
bool OpenInPlace(const std::string& hostPath, HostDescriptor& file) {
    file = HostDescriptor(open(hostPath.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC));
    return file.IsOpen();
}

// Prepares the temporary file beside target; old describes the file it replaces, if any.
bool OpenReplacement(const std::string& target, const struct stat* old, HostDescriptor& file,
                     std::string& temporary, std::string& folder) {
    const std::size_t slash = target.rfind('/');
    if (slash == std::string::npos || slash + 1 == target.size()) return false;
    folder = slash == 0 ? "/" : target.substr(0, slash);
    file = CreateTemporary(folder, std::string_view(target).substr(slash + 1), temporary);
    if (!file.IsOpen()) return false;
    if (old != nullptr) TakeOverOwnerAndMode(file.Get(), *old);
    return true;
}

}  // namespace

bool ReplacingWriter::Open(std::string_view path) {
    Abandon();
    const auto hostPath = HostPathOf(path);
    // A final "/" demands a folder, and a folder is never replaced by a file.
    if (!hostPath || hostPath->ends_with('/')) return false;
    auto state = std::make_unique<State>();
    struct stat facts {};
    if (stat(hostPath->c_str(), &facts) == 0) {
        if (S_ISCHR(facts.st_mode) || S_ISFIFO(facts.st_mode)) {
            state->kind = WriteKind::kInPlace;
            state->target = *hostPath;
            if (!OpenInPlace(*hostPath, state->file)) return false;
        } else if (S_ISREG(facts.st_mode)) {
            char* resolved = realpath(hostPath->c_str(), nullptr);
            if (resolved == nullptr) return false;
            state->target = resolved;
            std::free(resolved);
            state->hardLinked = facts.st_nlink > 1;
            if (!OpenReplacement(state->target, &facts, state->file, state->temporary, state->folder))
                return false;
        } else {
            return false;  // a folder, a block device, a socket
        }
    } else {
        if (errno != ENOENT) return false;
        // Nothing there yet, or a link that leads to a name not made yet.
        const auto target = FinalLinkTarget(*hostPath);
        if (!target) return false;
        state->target = *target;
        if (!OpenReplacement(state->target, nullptr, state->file, state->temporary, state->folder))
            return false;
    }
    state_ = std::move(state);
    return true;
}

bool ReplacingWriter::Write(std::string_view bytes) {
    if (!state_ || state_->failed) return false;
    const SigpipeHeld held;
    if (!WriteAll(state_->file.Get(), bytes)) {
        Abandon();
        return false;
    }
    return true;
}

bool ReplacingWriter::Commit() {
    if (!state_) return false;
    std::unique_ptr<State> state = std::move(state_);
    if (state->kind == WriteKind::kInPlace) return state->file.Close();
    const bool stored = SyncToDisk(state->file.Get());
    const bool closed = state->file.Close();
    if (!stored || !closed) {
        unlink(state->temporary.c_str());
        return false;
    }
    if (state->hardLinked) {
        // Written over in place, every name of the file shows the new content. Only when that
        // fails does the complete new file take the place of this name.
        HostDescriptor target(open(state->target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOFOLLOW));
        if (target.IsOpen() && CopyInto(state->temporary, target.Get()) && SyncToDisk(target.Get()) &&
            target.Close()) {
            unlink(state->temporary.c_str());
            return true;
        }
    }
    if (rename(state->temporary.c_str(), state->target.c_str()) != 0) {
        unlink(state->temporary.c_str());
        return false;
    }
    SyncFolder(state->folder);
    return true;
}

void ReplacingWriter::Abandon() {
    if (!state_) return;
    state_->file.Close();
    if (!state_->temporary.empty()) unlink(state_->temporary.c_str());
    state_.reset();
}

bool WriteFileReplacing(std::string_view path, std::string_view bytes) {
    ReplacingWriter writer;
    return writer.Open(path) && writer.Write(bytes) && writer.Commit();
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

std::string_view ProgramConfigFolderName() {
    return "folvane";
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

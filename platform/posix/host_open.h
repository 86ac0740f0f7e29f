#pragma once
// Host paths of any length, for the POSIX backend only. The host refuses a path of PATH_MAX
// bytes or more (ENAMETOOLONG), yet folders can nest deeper than that. These helpers then reach
// the target in pieces that each fit, opening every piece relative to the folder the previous
// piece reached, so every path that exists can be opened and examined.

#include <fcntl.h>
#include <sys/stat.h>

#include <optional>
#include <string>
#include <string_view>

namespace folvane {

// An open file descriptor. Not copyable; movable.
class HostDescriptor {
  public:
    HostDescriptor() = default;
    explicit HostDescriptor(int fd) : fd_(fd) {}
    HostDescriptor(const HostDescriptor&) = delete;
    HostDescriptor& operator=(const HostDescriptor&) = delete;
    HostDescriptor(HostDescriptor&& other) noexcept;
    HostDescriptor& operator=(HostDescriptor&& other) noexcept;
    ~HostDescriptor();

    bool IsOpen() const { return fd_ >= 0; }
    int Get() const { return fd_; }
    // Gives up ownership: the caller closes the descriptor returned.
    int Release();
    // Closes the descriptor; false when closing failed or nothing was open.
    bool Close();

  private:
    int fd_ = -1;
};

// Flags for a folder that is only passed through on the way to something inside it. O_PATH
// needs no read permission, just as the host's own lookup of a path would not.
#ifdef O_PATH
inline constexpr int kPassThroughFlags = O_PATH | O_DIRECTORY;
#else
inline constexpr int kPassThroughFlags = O_RDONLY | O_DIRECTORY;
#endif

// Opens hostPath as open(2) does with flags (O_CLOEXEC is always added; an interrupted open is
// retried). A path too long for the host is opened piece by piece with openat. Not open on
// failure, with errno telling why.
HostDescriptor OpenHostPath(std::string_view hostPath, int flags);

enum class HostLinks { kFollow, kReportLink };

// stat(2) or lstat(2) of hostPath, also for a path too long for the host; false on failure,
// with errno telling why.
bool StatHostPath(std::string_view hostPath, struct stat& facts, HostLinks links);

// The names in a host folder, read once from start to end. Not copyable; movable.
class HostDirectory {
  public:
    // Opens hostFolder, also when its path is too long for the host; IsOpen tells.
    explicit HostDirectory(std::string_view hostFolder);
    HostDirectory(const HostDirectory&) = delete;
    HostDirectory& operator=(const HostDirectory&) = delete;
    HostDirectory(HostDirectory&& other) noexcept;
    HostDirectory& operator=(HostDirectory&& other) noexcept;
    ~HostDirectory();

    bool IsOpen() const { return stream_ != nullptr; }
    // The next entry's name other than "." and ".."; nullopt at the end or on a read error.
    std::optional<std::string> NextName();
    // False when closing failed or nothing was open.
    bool Close();

  private:
    void* stream_ = nullptr;  // DIR*, kept out of this header
};

}  // namespace folvane

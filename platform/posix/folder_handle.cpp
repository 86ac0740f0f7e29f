// FolderHandle on POSIX: a directory descriptor; everything below it is reached with the *at
// calls relative to it.

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <utility>

#include "platform/file_system.h"
#include "platform/path_space.h"
#include "platform/posix/host_facts.h"
#include "platform/posix/host_open.h"
#include "platform/posix/path_space_internal.h"
#include "platform/posix/regular_open.h"

namespace folvane {

struct FolderHandle::Backend {
    HostDescriptor folder;
};

namespace {

// O_DIRECTORY refuses anything but a folder before a FIFO could block the open.
constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC;

int OpenAt(int at, const char* name, int flags) {
    int fd = -1;
    do {
        fd = ::openat(at, name, flags);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// What the directory stream itself tells when the entry cannot be examined: a folder that may
// be listed but not searched, or an entry removed since the folder was read.
FileFacts FactsFromListing(const dirent& entry) {
    FileFacts facts;
    if (entry.d_type == DT_DIR) facts.attributes |= kAttrFolder;
    if (IsHiddenName(entry.d_name)) facts.attributes |= kAttrHidden;
    facts.isLink = entry.d_type == DT_LNK;
    return facts;
}

bool IsDotName(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

}  // namespace

FolderHandle::FolderHandle() = default;
FolderHandle::FolderHandle(FolderHandle&& other) noexcept = default;
FolderHandle& FolderHandle::operator=(FolderHandle&& other) noexcept = default;
FolderHandle::~FolderHandle() = default;

bool FolderHandle::Open(std::string_view path) {
    Close();
    HostDescriptor folder = OpenPathSpacePath(path, kFolderFlags);
    if (!folder.IsOpen()) return false;
    backend_ = std::make_unique<Backend>();
    backend_->folder = std::move(folder);
    return true;
}

bool FolderHandle::OpenChild(const FolderHandle& parent, std::string_view name) {
    Close();
    if (!parent.IsOpen() || name.empty() || name == "." || name == "..") return false;
    const std::string hostName = HostName(name);
    if (hostName.find('/') != std::string::npos) return false;
    HostDescriptor folder(OpenAt(parent.backend_->folder.Get(), hostName.c_str(), kFolderFlags | O_NOFOLLOW));
    if (!folder.IsOpen()) return false;
    backend_ = std::make_unique<Backend>();
    backend_->folder = std::move(folder);
    return true;
}

bool FolderHandle::IsOpen() const {
    return backend_ != nullptr && backend_->folder.IsOpen();
}

bool FolderHandle::Close() {
    if (!backend_) return false;
    const bool closed = backend_->folder.Close();
    backend_.reset();
    return closed;
}

bool FolderHandle::ReadItems(std::vector<FolderItem>& items) const {
    if (!IsOpen()) return false;
    // A stream of its own, so that several readers never share one position. Reopening through
    // /proc needs only the permission to read the folder; "." inside it also needs the one to
    // search it, which a folder that may be listed but not entered lacks.
    const int folderFd = backend_->folder.Get();
    HostDescriptor own(OpenAt(AT_FDCWD, ("/proc/self/fd/" + std::to_string(folderFd)).c_str(), kFolderFlags));
    if (!own.IsOpen()) own = HostDescriptor(OpenAt(folderFd, ".", kFolderFlags));
    if (!own.IsOpen()) return false;
    DIR* stream = ::fdopendir(own.Get());
    if (stream == nullptr) return false;
    own.Release();  // the stream owns the descriptor now
    const int folder = ::dirfd(stream);
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(stream);
        if (entry == nullptr) break;
        if (IsDotName(entry->d_name)) continue;
        FolderItem& item = items.emplace_back();
        item.name = NameFromHost(entry->d_name);
        if (const auto resolved = ResolveHostFacts(folder, entry->d_name, AT_NO_AUTOMOUNT)) {
            item.facts = FileFactsOf(*resolved, entry->d_name);
        } else {
            item.facts = FactsFromListing(*entry);
            item.factsRead = false;
        }
    }
    ::closedir(stream);
    return true;
}

bool FolderHandle::OpenFile(std::string_view name, const FileFacts& facts, FileReader& reader) const {
    reader.Close();
    if (!IsOpen() || !facts.isRegular) return false;
    const std::string hostName = HostName(name);
    if (hostName.empty() || hostName.find('/') != std::string::npos) return false;
    const int folder = backend_->folder.Get();
    // A link that has been put in place of the file since it was examined is not followed.
    const int follow = facts.isLink ? 0 : O_NOFOLLOW;
    const HostDescriptor probe(OpenAt(folder, hostName.c_str(), kProbeFlags | O_CLOEXEC | follow));
    struct stat seen {};
    HostDescriptor file = OpenRegularForReading(
        probe, &facts.identity,
        [&](int flags) { return HostDescriptor(OpenAt(folder, hostName.c_str(), flags | follow)); }, seen);
    if (!file.IsOpen()) return false;
    reader.handle_ = file.Release();
    reader.length_ = static_cast<int64_t>(seen.st_size);
    return true;
}

}  // namespace folvane

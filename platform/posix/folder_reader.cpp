// FolderReader on POSIX: one directory stream, each entry examined relative to it.

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <optional>
#include <utility>

#include "platform/file_system.h"
#include "platform/path_space.h"
#include "platform/posix/host_facts.h"
#include "platform/posix/host_open.h"
#include "platform/posix/path_space_internal.h"

namespace folvane {

namespace {

DIR* StreamOf(void* handle) {
    return static_cast<DIR*>(handle);
}

// What the directory stream itself tells when the entry cannot be examined: a folder that may
// be listed but not searched, or an entry removed since the folder was read.
FileFacts FactsFromListing(const dirent& entry) {
    FileFacts facts;
    if (entry.d_type == DT_DIR) facts.attributes |= kAttrFolder;
    if (entry.d_type == DT_REG) facts.attributes |= kAttrArchive;
    if (IsHiddenName(entry.d_name)) facts.attributes |= kAttrHidden;
    facts.isLink = entry.d_type == DT_LNK;
    return facts;
}

FileFacts DotFacts() {
    FileFacts facts;
    facts.attributes = kAttrFolder;
    return facts;
}

// An entry's facts, from one query where it can be examined, else from the stream.
FileFacts FactsOf(int folder, const dirent& entry) {
    const auto resolved = ResolveHostFacts(folder, entry.d_name, AT_NO_AUTOMOUNT);
    return resolved ? FileFactsOf(*resolved, entry.d_name) : FactsFromListing(entry);
}

}  // namespace

FolderReader::FolderReader(FolderReader&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}

FolderReader& FolderReader::operator=(FolderReader&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
}

FolderReader::~FolderReader() {
    Close();
}

bool FolderReader::Open(std::string_view path) {
    Close();
    // O_DIRECTORY refuses anything but a folder before a FIFO could block the open.
    HostDescriptor folder = OpenPathSpacePath(path, O_RDONLY | O_DIRECTORY | O_NONBLOCK);
    if (!folder.IsOpen()) return false;
    DIR* stream = ::fdopendir(folder.Get());
    if (stream == nullptr) return false;
    folder.Release();  // the stream owns the descriptor now
    handle_ = stream;
    return true;
}

bool FolderReader::Next(FolderItem& item) {
    DIR* stream = StreamOf(handle_);
    if (stream == nullptr) return false;
    const dirent* entry = ::readdir(stream);
    if (entry == nullptr) return false;
    item.name = NameFromHost(entry->d_name);
    // Every folder has the two; nothing but their kind is ever asked of them.
    const bool dots = item.name == "." || item.name == "..";
    item.facts = dots ? DotFacts() : FactsOf(::dirfd(stream), *entry);
    return true;
}

bool FolderReader::Close() {
    DIR* stream = StreamOf(std::exchange(handle_, nullptr));
    if (stream == nullptr) return false;
    return ::closedir(stream) == 0;
}

}  // namespace folvane

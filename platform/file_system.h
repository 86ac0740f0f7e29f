#pragma once
// File-system queries on path-space paths (path_space.h). Every query is total: a path that
// cannot be mapped, a missing file or a denied access gives the documented failure value.

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace folvane {

// Attribute bits as the listing knows them.
enum AttributeBits : uint32_t {
    kAttrReadOnly = 1,
    kAttrHidden = 2,
    kAttrSystem = 4,
    kAttrVolume = 8,
    kAttrFolder = 16,
    kAttrArchive = 32,
};

// A moment as whole seconds since 1970-01-01 00:00 UTC.
using UtcSeconds = int64_t;

// Identity of a file system object, equal for two paths that reach the same object.
struct FileIdentity {
    uint64_t device = 0;
    uint64_t object = 0;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// Facts of one file or folder, from one metadata query.
struct FileFacts {
    uint32_t attributes = 0;  // AttributeBits
    int64_t size = 0;         // length of a regular file in bytes; 0 for a folder or anything else
    UtcSeconds created = 0;   // birth time where the file system records one, else last write
    UtcSeconds updated = 0;   // last write
    bool isLink = false;      // the path is a symbolic link (facts of its target; of itself if dangling)
    bool isRegular = false;   // a regular file, the only kind whose contents are ever read
    FileIdentity identity;
};

// Local wall-clock seconds since 1970-01-01 00:00 for a UTC moment, by the system's rules for
// the current time zone (the offset in force at that moment).
int64_t LocalSecondsOf(UtcSeconds t);

// The current local date and time as local wall-clock seconds since 1970-01-01 00:00.
int64_t LocalSecondsNow();

// Attributes of a path; nullopt when they cannot be read. Folder for a directory; read-only
// when the owner may not write; hidden when the name starts with "."; archive for a regular
// file; system never. A symbolic link reports its target; a dangling link reports itself.
std::optional<uint32_t> GetAttributes(std::string_view path);

// Facts of a path (see FileFacts); nullopt when they cannot be read.
std::optional<FileFacts> GetFileFacts(std::string_view path);

// The stored spelling of the entry called name in folder, found exactly or ignoring ASCII
// letter case; nullopt when the folder holds no such entry or cannot be read, or when name is
// empty, "." or "..", or holds a "\".
std::optional<std::string> StoredName(std::string_view folder, std::string_view name);

// The short (8.3) form of an existing path. Host systems without short names keep the path
// as it is. "" when the path does not exist.
std::string ShortPathOf(std::string_view path);

// The whole content of a file; nullopt when it cannot be opened or read, is not a regular file,
// or holds more than maxBytes bytes (it is then never read further than that).
std::optional<std::string> ReadWholeFile(std::string_view path,
                                         int64_t maxBytes = std::numeric_limits<int64_t>::max());

// The length in bytes of a file; nullopt when it cannot be read or is not a file.
std::optional<int64_t> FileLength(std::string_view path);

class FolderHandle;

// A file open for reading from the start, block by block. Only regular files open, so a
// device or pipe can never block a reader. Not copyable; movable.
class FileReader {
  public:
    FileReader() = default;
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;
    FileReader(FileReader&& other) noexcept;
    FileReader& operator=(FileReader&& other) noexcept;
    ~FileReader();

    // Opens path; false when it cannot be opened or is not a regular file.
    bool Open(std::string_view path);
    bool IsOpen() const { return handle_ != -1; }
    // Length of the open file in bytes at the moment it was opened.
    int64_t Length() const { return length_; }
    // Reads up to size bytes into buffer; the count read (0 at the end), or -1 on an error.
    std::ptrdiff_t Read(void* buffer, std::size_t size);
    // Reads up to size bytes at offset without moving the position Read continues from; the
    // count read (0 at or past the end), or -1 on an error, a negative offset or no open file.
    std::ptrdiff_t ReadAt(int64_t offset, void* buffer, std::size_t size);
    // Closes the file; false when closing reported an error or nothing was open.
    bool Close();

  private:
    friend class FolderHandle;
    std::intptr_t handle_ = -1;  // a descriptor or a HANDLE, by backend
    int64_t length_ = 0;
};

// One entry of a folder as FolderHandle::ReadItems delivers it.
struct FolderItem {
    std::string name;  // in path-space spelling (NameFromHost, path_space.h)
    // From one metadata query relative to the open folder.
    FileFacts facts;
    // False when the entry could not be examined (it vanished, or the folder may be listed but
    // not searched): facts then holds only what the enumeration itself told, the folder and
    // hidden bits (for the walk's attribute mask) and isLink; nothing else of it is known.
    bool factsRead = true;
};

// A folder open for reading its entries and for opening what it holds relative to it: a walk
// opens each subfolder through its parent's handle, never by its whole path, so depth and
// path length cost nothing. The const operations may run on several threads at once. Not
// copyable; movable.
class FolderHandle {
  public:
    FolderHandle();
    FolderHandle(const FolderHandle&) = delete;
    FolderHandle& operator=(const FolderHandle&) = delete;
    FolderHandle(FolderHandle&& other) noexcept;
    FolderHandle& operator=(FolderHandle&& other) noexcept;
    ~FolderHandle();

    // Opens the folder at a full path-space path (a link to a folder opens its target); false
    // when it cannot be opened or is no folder.
    bool Open(std::string_view path);
    // Opens the subfolder called name (one path-space name) of parent; a symbolic link is not
    // followed. False when parent holds no such folder or it cannot be opened.
    bool OpenChild(const FolderHandle& parent, std::string_view name);
    bool IsOpen() const;
    // Closes the folder; false when closing reported an error or nothing was open.
    bool Close();

    // Reads the folder's entries once, in the order the file system keeps them, "." and ".."
    // left out. False when the folder cannot be read at all; when reading fails part-way, the
    // entries read before stay in items.
    bool ReadItems(std::vector<FolderItem>& items) const;

    // Opens the entry called name for reading its contents, provided it is still the regular
    // file that facts describe (the same identity; a symbolic link is followed only when facts
    // say the entry is one). Nothing else is ever opened, not even for a moment: no device,
    // pipe or socket is touched. False otherwise.
    bool OpenFile(std::string_view name, const FileFacts& facts, FileReader& reader) const;

  private:
    struct Backend;
    std::unique_ptr<Backend> backend_;
};

}  // namespace folvane

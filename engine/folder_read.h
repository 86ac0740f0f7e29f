#pragma once
// Reading one folder into entry records: the attribute mask, the wildcard filter and the view
// style decide which entries count; each record gets the facts the listing can show.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/listing_context.h"
#include "platform/file_system.h"
#include "render/file_entry.h"

namespace folvane {

// The entries of folderPath (a full path ending in "\") that count, in the order the file
// system delivers them. An entry whose hidden, system or folder bit is missing from SearchAttr
// is not delivered at all. "." and ".." never count; with ViewType 3 or more files do not
// count; files must match one of run.FilterPatterns (AsciiLower of the name, WildMatch) when
// there are any; folders are never filtered. Files get their size unless ViewType is 3 or
// more, and in the full view (ViewType 0) their times, and version and CRC when switched on.
// Pumps events after every delivered name. Ends early, keeping what was counted, when the
// folder cannot be read further; returns no entries after a cancel.
std::vector<FileEntry> ReadFolder(ListingContext& context, std::string_view folderPath);

// The record of one entry called name in folderPath. Never fails: a fact that cannot be read
// keeps its empty value.
FileEntry ReadEntry(ListingContext& context, std::string_view folderPath, std::string_view name);

// An entry as the walk sees it: its record and what decides whether a folder is descended.
struct FolderEntry {
    FileEntry record;
    bool viaLink = false;   // reached through a symbolic link (the record holds the target's facts)
    FileIdentity identity;  // of the file or folder itself; all zero when it could not be read
};

class FolderPrefetch;

// As ReadFolder, with each entry's link flag and identity. With a prefetch, the folder's items
// are taken from it when it has them or is reading them; the result is the same either way.
std::vector<FolderEntry> ReadFolderEntries(ListingContext& context, std::string_view folderPath,
                                           FolderPrefetch* prefetch = nullptr);

// Reads folders ahead of a walk on a worker thread, so that the file system's answers for the
// next folders arrive while the walk writes the lines of this one. Only names and facts are
// read ahead; the records, the filter, CRCs, versions and every event pump stay with the
// caller. Without a second processor (or when no thread can be started) it reads nothing and
// every folder is read when it is needed. Not copyable; the destructor stops the worker.
class FolderPrefetch {
  public:
    FolderPrefetch();
    FolderPrefetch(const FolderPrefetch&) = delete;
    FolderPrefetch& operator=(const FolderPrefetch&) = delete;
    ~FolderPrefetch();

    // Asks for these folders (full paths ending in "\"), in this order, before every folder
    // asked for earlier: a depth-first walk asks for a folder's subfolders on entering it.
    void Request(std::vector<std::string> folderPaths);

    struct Items {
        bool opened = false;  // false: the folder could not be opened
        std::vector<FolderItem> items;
    };
    // The items of a requested folder, waiting while the worker reads it; nullopt when the
    // worker has not started on it (it is then dropped from the queue) or was never asked.
    std::optional<Items> Take(const std::string& folderPath);

  private:
    struct Shared;
    std::unique_ptr<Shared> shared_;
};

struct FileTimes {
    DateTime Created = 0;
    DateTime Updated = 0;
};
// Creation and last-write times of path in local time; both 0 when they cannot be read.
FileTimes GetFileTimes(std::string_view path);

// Length of the file at path; 0 when it cannot be read.
int64_t GetFileSize64(std::string_view path);

}  // namespace folvane

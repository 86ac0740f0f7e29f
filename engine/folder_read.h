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

// An entry as the walk sees it: its record and what decides whether a folder is descended.
struct FolderEntry {
    FileEntry record;
    std::string enumeratedName;  // the name the folder holds it under (record.Name may be short)
    bool viaLink = false;        // reached through a symbolic link (the record holds the target's facts)
    FileIdentity identity;       // of the file or folder itself; all zero when it could not be read
};

class ChecksumPool;

// The entries of the open folder at folderPath (a full path ending in "\") that count, in the
// order the file system delivers them. An entry whose hidden, system or folder bit is missing
// from SearchAttr is not delivered at all. "." and ".." never count; with ViewType 3 or more
// files do not count; files must match one of run.FilterPatterns (AsciiLower of the name,
// WildMatch) when there are any; folders are never filtered. Files get their size unless
// ViewType is 3 or more, and in the full view (ViewType 0) their times, and version and CRC
// when switched on, read only from regular files. An entry whose facts cannot be read keeps
// them all empty (no attributes, size or times), which lists it as a file. Pumps events after
// every delivered name and for every block of every checksum. items are the folder's entries
// as read (ReadItems), when they were read already; pool, when given, checksums files on its
// threads too. Returns no entries after a cancel.
std::vector<FolderEntry> ReadFolder(ListingContext& context, const FolderHandle& folder,
                                    std::string_view folderPath,
                                    const std::vector<FolderItem>* items = nullptr,
                                    ChecksumPool* pool = nullptr);

// ReadFolder of the folder at folderPath, opened for the purpose; no entries when it cannot be
// opened.
std::vector<FolderEntry> ReadFolder(ListingContext& context, std::string_view folderPath);

// The record of one entry called name in folderPath. Never fails: a fact that cannot be read
// keeps its empty value.
FileEntry ReadEntry(ListingContext& context, std::string_view folderPath, std::string_view name);

struct FileTimes {
    DateTime Created = 0;
    DateTime Updated = 0;
};
// Creation and last-write times of path in local time; both 0 when they cannot be read.
FileTimes GetFileTimes(std::string_view path);

// Length of the file at path; 0 when it cannot be read.
int64_t GetFileSize64(std::string_view path);

// Computes the CRC-32 of files on worker threads beside the run's own thread, so that both
// processors read while a folder's files are checksummed. Not copyable; the destructor stops
// the workers. Without a second processor (or a thread) it has no workers and the run's
// thread checksums every file itself; the results are the same either way.
class ChecksumPool {
  public:
    // Without useWorkers the run's thread does all the work.
    explicit ChecksumPool(bool useWorkers = true);
    ChecksumPool(const ChecksumPool&) = delete;
    ChecksumPool& operator=(const ChecksumPool&) = delete;
    ~ChecksumPool();

    struct Job {
        std::string name;  // in folder
        FileFacts facts;
        uint32_t crc = 0;  // the result; 0 when the file could not be read
    };
    // Checksums every job's file of folder. The calling thread takes part; it calls pump (which
    // lets pending events run and tells whether the run is to stop) once for every block that
    // any thread has read, and at least every 20 ms while it waits for the workers. False when
    // pump asked to stop: the workers then leave their files after the block they are reading.
    // Every block's bytes are counted in run (CountCrcBlock) on the calling thread before pump.
    bool Run(const FolderHandle& folder, std::vector<Job>& jobs, RunState& run,
             const std::function<bool()>& pump);

  private:
    struct Shared;
    std::unique_ptr<Shared> shared_;
};

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

    struct Request {
        std::string path;  // the subfolder's full path ending in "\", which also names it below
        std::string name;  // its name in the parent
    };
    // Asks for these subfolders of parent, in this order, before every folder asked for
    // earlier: a depth-first walk asks for a folder's subfolders on entering it.
    void Ask(std::shared_ptr<const FolderHandle> parent, std::vector<Request> subfolders);

    struct Read {
        std::shared_ptr<const FolderHandle> folder;  // null: the folder could not be opened
        bool itemsRead = false;
        std::vector<FolderItem> items;
    };
    // What was read of a subfolder asked for, waiting while the worker reads it; nullopt when
    // the worker has not started on it (it is then dropped from the queue) or was never asked.
    std::optional<Read> Take(const std::string& path);

  private:
    struct Shared;
    std::unique_ptr<Shared> shared_;
};

}  // namespace folvane

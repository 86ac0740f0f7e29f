#include "engine/folder_read.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>
#include <utility>

#include "engine/crc32.h"
#include "engine/file_version.h"
#include "platform/file_system.h"
#include "platform/text.h"
#include "settings/path_utils.h"

namespace folvane {

namespace {

bool IsDotName(std::string_view name) {
    return name == "." || name == "..";
}

// The file system delivers an entry only when each of its hidden, system and folder bits is
// also in the mask; read-only and archive never keep an entry out.
bool IsDelivered(uint32_t attributes, int16_t searchAttr) {
    constexpr uint32_t kSelecting = kAttrHidden | kAttrSystem | kAttrFolder;
    return (attributes & kSelecting & ~static_cast<uint32_t>(searchAttr)) == 0;
}

// The name shown: the enumerated (long) name, or the last component of the short form.
std::string ShownName(const Settings& settings, const std::string& fullPath, std::string_view name) {
    if (settings.LongNameFlg) return std::string(name);
    const std::string shortPath = ShortPath(fullPath);
    return shortPath.empty() ? std::string(name) : FileNamePart(shortPath);
}

// The filter ignores the case of A-Z only, whatever CompMode says; patterns are lower-cased
// already.
bool PassesFilter(const std::vector<std::string>& patterns, std::string_view name) {
    if (patterns.empty()) return true;
    const std::string lower = AsciiLower(name);
    return std::any_of(patterns.begin(), patterns.end(),
                       [&](const std::string& pattern) { return WildMatch(lower, pattern); });
}

// Whether a record with its name and attributes filled is kept in the folder's list.
bool Counts(const ListingContext& context, const FileEntry& entry, std::string_view enumeratedName) {
    if (entry.IsFolder()) return !IsDotName(enumeratedName);
    if (context.settings.ViewType >= 3) return false;
    return PassesFilter(context.run.FilterPatterns, entry.Name);
}

// The record with its name and attributes; facts is null when the attributes cannot be read.
FileEntry NamedRecord(const Settings& settings, const std::string& fullPath, std::string_view name,
                      const FileFacts* facts) {
    FileEntry entry;
    entry.Name = ShownName(settings, fullPath, name);
    if (facts != nullptr) entry.Attr = facts->attributes;
    return entry;
}

// The facts the view style asks for. Times, version and CRC each cost extra file accesses, so
// they are read for the full view only; the abbreviated views show sizes only.
void FillFileFacts(ListingContext& context, const std::string& fullPath, const FileFacts& facts,
                   FileEntry& entry) {
    const Settings& settings = context.settings;
    if (settings.ViewType >= 3) return;
    entry.Size = facts.size;
    if (settings.ViewType != 0) return;
    entry.Created = LocalDateTimeOf(facts.created);
    entry.Updated = LocalDateTimeOf(facts.updated);
    if (settings.VersionFlg) entry.Version = FileVersionText(fullPath);
    if (settings.CRCFlg) entry.Crc = FileCrc32(fullPath, context.ui, context.run);
}

// A folder shows its last modification in the creation column. An entry whose attributes
// cannot be read is treated the same way, and keeps its zero date then.
void FillFolderFacts(const FileFacts* facts, std::string_view name, FileEntry& entry) {
    if (facts != nullptr && !IsDotName(name)) entry.Created = LocalDateTimeOf(facts->updated);
}

void FillFacts(ListingContext& context, const std::string& fullPath, std::string_view name,
               const FileFacts* facts, FileEntry& entry) {
    if (facts != nullptr && !entry.IsFolder()) {
        FillFileFacts(context, fullPath, *facts, entry);
    } else {
        FillFolderFacts(facts, name, entry);
    }
}

}  // namespace

std::vector<FolderEntry> ReadFolderEntries(ListingContext& context, std::string_view folderPath,
                                           FolderPrefetch* prefetch) {
    std::vector<FolderEntry> entries;
    std::string fullPath(folderPath);
    // Adds the record of one delivered item; false when the run was cancelled.
    auto add = [&](const FolderItem& item) {
        if (!IsDelivered(item.facts.attributes, context.settings.SearchAttr)) return true;
        if (context.PumpAndCheckCancel()) return false;
        if (IsDotName(item.name)) return true;
        fullPath.resize(folderPath.size());
        fullPath += item.name;
        FileEntry entry = NamedRecord(context.settings, fullPath, item.name, &item.facts);
        // Decide first, so that a file the filter rejects is never checksummed.
        if (!Counts(context, entry, item.name)) return true;
        FillFacts(context, fullPath, item.name, &item.facts, entry);
        entries.push_back(FolderEntry{std::move(entry), item.facts.isLink, item.facts.identity});
        return true;
    };
    if (auto read = prefetch != nullptr ? prefetch->Take(fullPath) : std::nullopt) {
        for (const FolderItem& item : read->items)
            if (!add(item)) return {};
    } else {
        FolderReader reader;
        // A folder that cannot be opened is listed without contents.
        if (!reader.Open(folderPath)) return entries;
        FolderItem item;
        while (reader.Next(item))
            if (!add(item)) return {};
    }
    // A cancel during the last file's CRC is only seen here.
    if (context.run.CancelRequested()) return {};
    return entries;
}

std::vector<FileEntry> ReadFolder(ListingContext& context, std::string_view folderPath) {
    std::vector<FolderEntry> read = ReadFolderEntries(context, folderPath);
    std::vector<FileEntry> entries;
    entries.reserve(read.size());
    for (auto& entry : read)
        entries.push_back(std::move(entry.record));
    return entries;
}

FileEntry ReadEntry(ListingContext& context, std::string_view folderPath, std::string_view name) {
    const std::string fullPath = std::string(folderPath) + std::string(name);
    const std::optional<FileFacts> facts = GetFileFacts(fullPath);
    const FileFacts* known = facts ? &*facts : nullptr;
    FileEntry entry = NamedRecord(context.settings, fullPath, name, known);
    FillFacts(context, fullPath, name, known, entry);
    return entry;
}

FileTimes GetFileTimes(std::string_view path) {
    const auto facts = GetFileFacts(path);
    if (!facts) return {};
    return FileTimes{LocalDateTimeOf(facts->created), LocalDateTimeOf(facts->updated)};
}

int64_t GetFileSize64(std::string_view path) {
    const auto facts = GetFileFacts(path);
    return facts ? facts->size : 0;
}

// ---- Reading ahead ----------------------------------------------------------------------------

struct FolderPrefetch::Shared {
    // Folders read ahead and not yet taken; the worker waits when this many are.
    static constexpr std::size_t kMaxReady = 256;

    std::mutex lock;
    std::condition_variable changed;
    std::deque<std::string> queue;
    std::string reading;  // the folder the worker reads now; "" none
    std::unordered_map<std::string, Items> ready;
    bool stopping = false;
    // Who sleeps on `changed`: waking a thread costs a system call, so only a sleeper is woken.
    bool workerWaiting = false;
    int takersWaiting = 0;
    std::thread worker;

    void Work();
    static Items ReadItems(const std::string& folderPath);
};

FolderPrefetch::Items FolderPrefetch::Shared::ReadItems(const std::string& folderPath) {
    Items read;
    FolderReader reader;
    read.opened = reader.Open(folderPath);
    FolderItem item;
    while (read.opened && reader.Next(item))
        read.items.push_back(std::move(item));
    return read;
}

void FolderPrefetch::Shared::Work() {
    std::unique_lock guard(lock);
    for (;;) {
        workerWaiting = true;
        changed.wait(guard, [&] { return stopping || (!queue.empty() && ready.size() < kMaxReady); });
        workerWaiting = false;
        if (stopping) return;
        const std::string folder = std::move(queue.front());
        queue.pop_front();
        reading = folder;
        guard.unlock();
        std::optional<Items> read;
        try {
            read = ReadItems(folder);
        } catch (...) {
            // Out of memory: the walk reads this folder itself when it gets there.
        }
        guard.lock();
        if (read) ready.emplace(folder, std::move(*read));
        reading.clear();
        if (takersWaiting > 0) changed.notify_all();
    }
}

FolderPrefetch::FolderPrefetch() {
    // One processor gains nothing from a second thread.
    if (std::thread::hardware_concurrency() < 2) return;
    try {
        auto shared = std::make_unique<Shared>();
        shared->worker = std::thread([state = shared.get()] { state->Work(); });
        shared_ = std::move(shared);
    } catch (...) {
        // No thread: every folder is read when it is needed.
    }
}

FolderPrefetch::~FolderPrefetch() {
    if (!shared_) return;
    {
        std::lock_guard guard(shared_->lock);
        shared_->stopping = true;
    }
    shared_->changed.notify_all();
    shared_->worker.join();
}

void FolderPrefetch::Request(std::vector<std::string> folderPaths) {
    if (!shared_ || folderPaths.empty()) return;
    bool wake = false;
    {
        std::lock_guard guard(shared_->lock);
        auto& queue = shared_->queue;
        queue.insert(queue.begin(), std::make_move_iterator(folderPaths.begin()),
                     std::make_move_iterator(folderPaths.end()));
        wake = shared_->workerWaiting;
    }
    if (wake) shared_->changed.notify_all();
}

std::optional<FolderPrefetch::Items> FolderPrefetch::Take(const std::string& folderPath) {
    if (!shared_) return std::nullopt;
    std::unique_lock guard(shared_->lock);
    ++shared_->takersWaiting;
    shared_->changed.wait(guard, [&] { return shared_->reading != folderPath; });
    --shared_->takersWaiting;
    const auto found = shared_->ready.find(folderPath);
    if (found == shared_->ready.end()) {
        std::erase(shared_->queue, folderPath);
        return std::nullopt;
    }
    Items read = std::move(found->second);
    shared_->ready.erase(found);
    // A full store may have stopped the worker.
    const bool wake = shared_->workerWaiting;
    guard.unlock();
    if (wake) shared_->changed.notify_all();
    return read;
}

}  // namespace folvane

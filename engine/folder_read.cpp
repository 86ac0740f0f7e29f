#include "engine/folder_read.h"

#include <algorithm>
#include <optional>
#include <string>
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
    return (attributes & kSelecting & ~static_cast<uint32_t>(static_cast<uint16_t>(searchAttr))) == 0;
}

// The name shown: the enumerated (long) name, or the last component of the short form.
std::string ShownName(const Settings& settings, std::string_view folderPath, std::string_view name) {
    if (settings.LongNameFlg) return std::string(name);
    const std::string shortPath = ShortPath(std::string(folderPath) + std::string(name));
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
bool Counts(const ListingContext& context, const FileEntry& entry) {
    if (entry.IsFolder()) return true;
    if (context.settings.ViewType >= 3) return false;
    return PassesFilter(context.run.FilterPatterns, entry.Name);
}

// A folder shows its last modification in the creation column; a file its size and, in the
// full view, its times. Version and CRC come later, from the file's contents.
void FillFacts(const Settings& settings, const FileFacts& facts, FileEntry& entry) {
    if (entry.IsFolder()) {
        entry.Created = LocalDateTimeOf(facts.updated);
        return;
    }
    if (settings.ViewType >= 3) return;
    entry.Size = facts.size;
    if (settings.ViewType != 0) return;
    entry.Created = LocalDateTimeOf(facts.created);
    entry.Updated = LocalDateTimeOf(facts.updated);
}

// The record of a delivered item; nullopt when it does not count.
std::optional<FolderEntry> RecordOf(const ListingContext& context, std::string_view folderPath,
                                    const FolderItem& item) {
    FolderEntry entry;
    entry.record.Name = ShownName(context.settings, folderPath, item.name);
    // Facts that could not be read stay empty: no attributes, which lists the entry as a file.
    if (item.factsRead) entry.record.Attr = item.facts.attributes;
    // Decide first, so that a file the filter rejects is never opened.
    if (!Counts(context, entry.record)) return std::nullopt;
    if (item.factsRead) FillFacts(context.settings, item.facts, entry.record);
    entry.enumeratedName = item.name;
    entry.viaLink = item.facts.isLink;
    entry.identity = item.facts.identity;
    return entry;
}

// The facts the contents give, for the full view: the version of each file that may have one,
// and the CRC-32 of all of them (on the pool's threads too). False when the run was cancelled.
bool ReadContents(ListingContext& context, const FolderHandle& folder, ChecksumPool* pool,
                  std::vector<FolderEntry>& entries, const std::vector<const FileFacts*>& facts) {
    const Settings& settings = context.settings;
    if (settings.ViewType != 0 || (!settings.VersionFlg && !settings.CRCFlg)) return true;
    std::vector<ChecksumPool::Job> jobs;
    std::vector<std::size_t> owners;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (facts[i] == nullptr || !facts[i]->isRegular) continue;
        if (settings.VersionFlg) {
            FileReader file;
            if (folder.OpenFile(entries[i].enumeratedName, *facts[i], file))
                entries[i].record.Version = FileVersionText(file);
        }
        if (settings.CRCFlg) {
            jobs.push_back(ChecksumPool::Job{entries[i].enumeratedName, *facts[i]});
            owners.push_back(i);
        }
    }
    if (jobs.empty()) return true;
    ChecksumPool alone(false);
    ChecksumPool& checksums = pool != nullptr ? *pool : alone;
    if (!checksums.Run(folder, jobs, context.run, [&] { return context.PumpAndCheckCancel(); })) return false;
    for (std::size_t k = 0; k < jobs.size(); ++k)
        entries[owners[k]].record.Crc = jobs[k].crc;
    return true;
}

}  // namespace

std::vector<FolderEntry> ReadFolder(ListingContext& context, const FolderHandle& folder,
                                    std::string_view folderPath, const std::vector<FolderItem>* items,
                                    ChecksumPool* pool) {
    std::vector<FolderItem> own;
    if (items == nullptr) {
        // A folder that cannot be read is listed without contents; one that fails part-way keeps
        // what was read.
        folder.ReadItems(own);
        items = &own;
    }
    std::vector<FolderEntry> entries;
    std::vector<const FileFacts*> facts;
    for (const FolderItem& item : *items) {
        if (!IsDelivered(item.facts.attributes, context.settings.SearchAttr)) continue;
        if (context.PumpAndCheckCancel()) return {};
        if (IsDotName(item.name)) continue;
        if (auto entry = RecordOf(context, folderPath, item)) {
            entries.push_back(std::move(*entry));
            facts.push_back(item.factsRead && !entries.back().record.IsFolder() ? &item.facts : nullptr);
        }
    }
    if (!ReadContents(context, folder, pool, entries, facts) || context.run.CancelRequested()) return {};
    return entries;
}

std::vector<FolderEntry> ReadFolder(ListingContext& context, std::string_view folderPath) {
    FolderHandle folder;
    if (!folder.Open(folderPath)) return {};
    return ReadFolder(context, folder, folderPath);
}

FileEntry ReadEntry(ListingContext& context, std::string_view folderPath, std::string_view name) {
    const std::string fullPath = std::string(folderPath) + std::string(name);
    FileEntry entry;
    entry.Name = ShownName(context.settings, folderPath, name);
    const std::optional<FileFacts> facts = GetFileFacts(fullPath);
    // Unreadable attributes leave Attr 0; the entry is then taken as a folder whose date is not
    // known either.
    if (!facts) return entry;
    entry.Attr = facts->attributes;
    if (!entry.IsFolder()) {
        FillFacts(context.settings, *facts, entry);
        const Settings& settings = context.settings;
        if (settings.ViewType == 0 && facts->isRegular) {
            if (settings.VersionFlg) entry.Version = FileVersionText(fullPath);
            if (settings.CRCFlg) entry.Crc = FileCrc32(fullPath, context.ui, context.run);
        }
    } else if (!IsDotName(name)) {
        entry.Created = LocalDateTimeOf(facts->updated);
    }
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

}  // namespace folvane

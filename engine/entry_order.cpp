#include "engine/entry_order.h"

#include <algorithm>

#include "platform/text.h"
#include "settings/path_utils.h"

namespace folvane {

namespace {

enum SortKeyValue : int16_t { kByName = 0, kByExtension = 1, kBySize = 2, kByUpdated = 3, kByCreated = 4 };

// CompMode 0 compares by character code; any other mode ignores letter case.
int CompareText(const Settings& settings, std::string_view a, std::string_view b) {
    return settings.CompMode == 0 ? CompareTextBinary(a, b) : CompareTextIgnoringCase(a, b);
}

template <typename T>
int Ascending(T a, T b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

struct KeyResult {
    int primary = 0;   // follows SortFlg
    int tieBreak = 0;  // names, always ascending
};

KeyResult CompareByKey(const Settings& settings, const FileEntry& a, const FileEntry& b) {
    KeyResult result;
    switch (settings.SortKey) {
        case kByName:
            result.primary = CompareText(settings, a.Name, b.Name);
            return result;
        case kByExtension:
            result.primary = CompareText(settings, Extension(a.Name), Extension(b.Name));
            break;
        case kBySize:
            result.primary = Ascending(a.Size, b.Size);
            break;
        case kByUpdated:
            result.primary = Ascending(b.Updated, a.Updated);  // newest first
            break;
        case kByCreated:
            result.primary = Ascending(b.Created, a.Created);
            break;
        default:
            return result;
    }
    if (result.primary == 0) result.tieBreak = CompareText(settings, a.Name, b.Name);
    return result;
}

}  // namespace

int CompareEntries(const Settings& settings, const FileEntry& a, const FileEntry& b) {
    const bool aFolder = a.IsFolder();
    if (aFolder != b.IsFolder()) return aFolder ? -1 : 1;
    KeyResult result = CompareByKey(settings, a, b);
    if (!settings.SortFlg) result.primary = -result.primary;
    return result.primary != 0 ? result.primary : result.tieBreak;
}

bool SortsBefore(const Settings& settings, const FileEntry& a, const FileEntry& b) {
    const int order = CompareEntries(settings, a, b);
    if (order != 0) return order < 0;
    return CompareTextBinary(a.Name, b.Name) < 0;
}

void SortEntries(const Settings& settings, std::vector<FolderEntry>& entries) {
    if (entries.size() < 2) return;
    // The extensions are taken once per entry, not once per comparison.
    std::vector<std::string> extensions;
    if (settings.SortKey == kByExtension) {
        extensions.reserve(entries.size());
        for (const FolderEntry& entry : entries)
            extensions.push_back(Extension(entry.record.Name));
    }
    std::vector<std::size_t> order(entries.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    const auto before = [&](std::size_t x, std::size_t y) {
        const FileEntry& a = entries[x].record;
        const FileEntry& b = entries[y].record;
        if (a.IsFolder() != b.IsFolder()) return a.IsFolder();
        if (!extensions.empty()) {
            int primary = CompareText(settings, extensions[x], extensions[y]);
            if (!settings.SortFlg) primary = -primary;
            if (primary != 0) return primary < 0;
            const int names = CompareText(settings, a.Name, b.Name);
            if (names != 0) return names < 0;
            return CompareTextBinary(a.Name, b.Name) < 0;
        }
        return SortsBefore(settings, a, b);
    };
    std::stable_sort(order.begin(), order.end(), before);
    std::vector<FolderEntry> sorted;
    sorted.reserve(entries.size());
    for (const std::size_t i : order)
        sorted.push_back(std::move(entries[i]));
    entries = std::move(sorted);
}

}  // namespace folvane

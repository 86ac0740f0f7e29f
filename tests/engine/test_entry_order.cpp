#include "engine/entry_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

namespace folvane {
namespace {

FileEntry Folder(std::string name, DateTime created = 0) {
    return FileEntry{kAttrFolder, 0, std::move(name), 0, created, "", 0};
}

FileEntry File(std::string name, int64_t size = 0, DateTime updated = 0, DateTime created = 0) {
    return FileEntry{kAttrArchive, size, std::move(name), updated, created, "", 0};
}

using Entries = std::vector<FileEntry>;
using Names = std::vector<std::string>;

Names SortedNames(const Settings& settings, Entries entries) {
    SortEntries(settings, entries);
    Names names;
    for (const auto& entry : entries)
        names.push_back(entry.Name);
    return names;
}

TEST(EntryOrder, EveryKeyInBothDirections) {
    const Entries mixed = {File("c.TXT"), Folder("b"), File("a.txt"), Folder("A")};
    const Entries extensions = {File("b.txt"), File("noext"), File("x.doc"), File("a.txt"), File("z.DOC")};
    const Entries sizes = {File("b10", 10), File("s30", 30), File("a10", 10), File("s20", 20), Folder("dir")};
    const Entries updated = {File("old", 0, 100),  File("new", 0, 300), File("mid", 0, 200),
                             File("mid2", 0, 200), Folder("f2"),        Folder("f1")};
    const Entries created = {Folder("young", 500), Folder("aged", 100), File("b", 0, 0, 7),
                             File("a", 0, 0, 9)};
    // SortKey, SortFlg, CompMode, the entries and their order
    const std::vector<std::tuple<int16_t, bool, int16_t, Entries, Names>> cases = {
        {0, true, 1, mixed, {"A", "b", "a.txt", "c.TXT"}},
        {0, false, 1, mixed, {"b", "A", "c.TXT", "a.txt"}},  // folders still first
        {0, true, 0, {File("a"), File("B")}, {"B", "a"}},
        {0, true, 1, {File("B"), File("a")}, {"a", "B"}},
        {1, true, 1, extensions, {"noext", "x.doc", "z.DOC", "a.txt", "b.txt"}},
        {1, false, 1, extensions, {"a.txt", "b.txt", "x.doc", "z.DOC", "noext"}},  // ties stay ascending
        {1, true, 0, extensions, {"noext", "z.DOC", "x.doc", "a.txt", "b.txt"}},
        {2, true, 1, sizes, {"dir", "a10", "b10", "s20", "s30"}},
        {2, false, 1, sizes, {"dir", "s30", "s20", "a10", "b10"}},
        {3, true, 1, updated, {"f1", "f2", "new", "mid", "mid2", "old"}},  // newest first
        {3, false, 1, updated, {"f1", "f2", "old", "mid", "mid2", "new"}},
        {4, true, 1, created, {"young", "aged", "a", "b"}},  // folders by their modification
        {4, false, 1, created, {"aged", "young", "b", "a"}},
        {-1, false, 1, mixed, {"A", "b", "a.txt", "c.TXT"}},  // unknown key: folders first, then code points
    };
    for (const auto& [key, up, mode, entries, expected] : cases) {
        SCOPED_TRACE(::testing::Message() << "key " << key << " up " << up << " mode " << mode);
        Settings settings;
        settings.SortKey = key;
        settings.SortFlg = up;
        settings.CompMode = mode;
        EXPECT_EQ(SortedNames(settings, entries), expected);
        EXPECT_EQ(SortedNames(settings, {entries.rbegin(), entries.rend()}), expected) << "given reversed";
    }
}

TEST(EntryOrder, NamesEqualIgnoringCaseStillComeInAFixedOrder) {
    Entries entries = {File("README"), File("Readme"), File("other"), File("readme")};  // by code point
    EXPECT_EQ(CompareEntries(Settings{}, entries[0], entries[1]), 0);
    do {
        EXPECT_EQ(SortedNames(Settings{}, entries), (Names{"other", "README", "Readme", "readme"}));
    } while (std::next_permutation(entries.begin(), entries.end(),
                                   [](const FileEntry& a, const FileEntry& b) { return a.Name < b.Name; }));
}

}  // namespace
}  // namespace folvane

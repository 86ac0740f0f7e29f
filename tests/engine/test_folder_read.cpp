// Reading a folder: which entries count, the facts they get, and the order they are listed in.

#include "engine/folder_read.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <tuple>

#include "engine/entry_order.h"
#include "tests/engine/folder_read_fixture.h"
#include "tests/engine/golden_support.h"

namespace folvane {
namespace {

TEST_F(FolderReadTest, TheMaskAndTheFilterDecideWhichEntriesAreDelivered) {
    for (const char* name :
         {"A.TXT", ".hidden.txt", "c.text", "file#1.txt", "file11.txt", "x.doc", "ａbc", "Ａxy"})
        dir.WriteFile(name);
    dir.WriteFile("locked.txt");
    dir.MakeReadOnly("locked.txt");
    dir.MakeFolder("dir.text");
    dir.MakeFolder(".hiddenSub");
    for (const char* hidden : {".hidden.txt", ".hiddenSub"})
        dir.MakeHidden(hidden);
    const Names all = {".hidden.txt", ".hiddenSub", "A.TXT", "c.text", "dir.text", "file#1.txt",
                       "file11.txt",  "locked.txt", "x.doc", "Ａxy",   "ａbc"};
    const std::vector<std::tuple<int16_t, Names, Names>> cases = {
        {23, {}, all},
        {21, {}, Names(all.begin() + 2, all.end())},  // without hidden
        {7, {"?.txt"}, {"A.TXT"}},                    // without folders, which no filter keeps out
        {0, {"*.txt"}, {"A.TXT", "file#1.txt", "file11.txt", "locked.txt"}},  // read-only never counts
        {23, {"file#1.txt"}, {".hiddenSub", "dir.text", "file#1.txt"}},       // "#" is no digit wildcard
        {23, {"ａ*"}, {".hiddenSub", "dir.text", "ａbc"}},  // full-width letters keep their case
        {23,
         {"*.txt", "*.doc"},
         {".hidden.txt", ".hiddenSub", "A.TXT", "dir.text", "file#1.txt", "file11.txt", "locked.txt",
          "x.doc"}},
    };
    for (const auto& [mask, patterns, names] : cases) {
        rig.settings.SearchAttr = mask;
        rig.run.FilterPatterns = patterns;
        EXPECT_EQ(Listed(), names) << mask << ::testing::PrintToString(patterns);
    }
}

// Style 3 reads no files at all; the tree body's golden rows show that.
TEST_F(FolderReadTest, TheViewStyleDecidesWhichFactsAreRead) {
    dir.WriteFile("check.txt", "123456789");
    dir.SetUpdated("check.txt", 1000000000);
    dir.MakeFolder("sub");
    dir.SetUpdated("sub", 1100000000);
    rig.settings.CRCFlg = true;
    // A folder shows its last modification as its creation; a file's creation is left out here.
    const std::string sub = "sub " + std::to_string(LocalDateTimeOf(1100000000)) + " 0 0 00000000";
    const std::pair<int16_t, Names> cases[] = {
        {0, {"check.txt - " + std::to_string(LocalDateTimeOf(1000000000)) + " 9 CBF43926", sub}},
        {1, {"check.txt - 0 9 00000000", sub}}};  // view style 2 alike
    for (const auto& [viewType, facts] : cases) {
        rig.settings.ViewType = viewType;
        const Names read = Listed([](const FileEntry& e) {
            char crc[9];
            std::snprintf(crc, sizeof crc, "%08X", e.Crc);
            return e.Name + " " + (e.IsFolder() ? std::to_string(e.Created) : "-") + " " +
                   std::to_string(e.Updated) + " " + std::to_string(e.Size) + " " + crc;
        });
        EXPECT_EQ(read, facts) << "view " << viewType;
    }
    EXPECT_EQ(ReadEntry(rig.context, Folder(), "missing").Attr, 0u);

    std::filesystem::resize_file(dir.WriteFile("check.txt"), 4294967296);  // sparse: no disk used
    rig.settings.ViewType = 2;
    for (const auto& entry : ReadFolder(rig.context, Folder()))
        EXPECT_EQ(entry.record.Size, entry.record.IsFolder() ? 0 : 4294967296);
}

FileEntry Dir(std::string name, DateTime created = 0) {
    return FileEntry{kAttrFolder, 0, std::move(name), 0, created, "", 0};
}

FileEntry File(std::string name, int64_t size = 0, DateTime updated = 0, DateTime created = 0) {
    return FileEntry{kAttrArchive, size, std::move(name), updated, created, "", 0};
}

using Entries = std::vector<FileEntry>;

// Each order is reached from the entries as given and reversed: a tie left to the input order
// would give two different orders.
TEST(EntryOrder, EveryKeyInBothDirections) {
    const Entries mixed = {File("c.TXT"), Dir("b"), File("a.txt"), Dir("A")};
    const Entries extensions = {File("b.txt"), File("noext"), File("x.doc"), File("a.txt"), File("z.DOC")};
    const Entries sizes = {File("b10", 10), File("s30", 30), File("a10", 10), File("s20", 20), Dir("dir")};
    const Entries updated = {File("old", 0, 100),  File("new", 0, 300), File("mid", 0, 200),
                             File("mid2", 0, 200), Dir("f2"),           Dir("f1")};
    const Entries created = {Dir("young", 500), Dir("aged", 100), File("b", 0, 0, 7), File("a", 0, 0, 9)};
    const Entries caseless = {File("README"), File("Readme"), File("other"), File("readme")};
    // SortKey, SortFlg, CompMode, the entries and their order
    const std::vector<std::tuple<int16_t, bool, int16_t, Entries, Names>> cases = {
        {0, true, 1, mixed, {"A", "b", "a.txt", "c.TXT"}},
        {0, false, 1, mixed, {"b", "A", "c.TXT", "a.txt"}},  // folders still first
        {0, true, 0, {File("a"), File("B")}, {"B", "a"}},
        {0, true, 1, {File("B"), File("a")}, {"a", "B"}},
        {0, true, 1, caseless, {"other", "README", "Readme", "readme"}},  // equal ignoring case: code points
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
        for (const Entries& given : {entries, Entries(entries.rbegin(), entries.rend())}) {
            std::vector<FolderEntry> sorted;
            for (const FileEntry& entry : given)
                sorted.push_back(FolderEntry{entry, entry.Name, false, {}});
            SortEntries(settings, sorted);
            Names names;
            for (const auto& entry : sorted)
                names.push_back(entry.record.Name);
            EXPECT_EQ(names, expected);
        }
    }
}

}  // namespace
}  // namespace folvane

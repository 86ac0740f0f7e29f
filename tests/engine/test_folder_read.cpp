#include "engine/folder_read.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <tuple>

#include "tests/engine/golden_support.h"

namespace folvane {
namespace {

using Names = std::vector<std::string>;

class FolderReadTest : public ::testing::Test {
  protected:
    std::string Folder() const { return dir.path() + "\\"; }

    // What describe makes of each entry ReadFolder delivers, sorted.
    Names Listed(std::string (*describe)(const FileEntry&) = [](const FileEntry& e) { return e.Name; }) {
        Names names;
        for (const auto& entry : ReadFolder(rig.context, Folder()))
            names.push_back(describe(entry));
        std::sort(names.begin(), names.end());
        return names;
    }

    testing::ListingRig rig;
    testing::TempDir dir;
};

TEST_F(FolderReadTest, TheMaskAndTheFilterDecideWhichEntriesAreDelivered) {
    for (const char* name :
         {"A.TXT", ".hidden.txt", "c.text", "file#1.txt", "file11.txt", "x.doc", "ａbc", "Ａbc"})
        dir.WriteFile(name);
    chmod(dir.WriteFile("locked.txt").c_str(), 0444);
    dir.MakeFolder("dir.text");
    dir.MakeFolder(".hiddenSub");
    const Names all = {".hidden.txt", ".hiddenSub", "A.TXT", "c.text", "dir.text", "file#1.txt",
                       "file11.txt",  "locked.txt", "x.doc", "Ａbc",   "ａbc"};
    const std::vector<std::tuple<int16_t, Names, Names>> cases = {
        {23, {}, all},
        {21, {}, Names(all.begin() + 2, all.end())},  // without hidden
        {7, {"?.txt"}, {"A.TXT"}},                    // without folders, which no filter keeps out
        {0, {"*.txt"}, {"A.TXT", "file#1.txt", "file11.txt", "locked.txt"}},  // read-only never counts
        {23, {"file#1.txt"}, {".hiddenSub", "dir.text", "file#1.txt"}},       // "#" is no digit wildcard
        {23,
         {"*.txt", "*.doc"},
         {".hidden.txt", ".hiddenSub", "A.TXT", "dir.text", "file#1.txt", "file11.txt", "locked.txt",
          "x.doc"}},
        {23, {"ａ*"}, {".hiddenSub", "dir.text", "ａbc"}},  // full-width letters keep their case
    };
    for (const auto& [mask, patterns, names] : cases) {
        rig.settings.SearchAttr = mask;
        rig.run.FilterPatterns = patterns;
        EXPECT_EQ(Listed(), names) << mask << ::testing::PrintToString(patterns);
    }
}

TEST_F(FolderReadTest, TheViewStyleDecidesWhichFactsAreRead) {
    dir.WriteFile("check.txt", "123456789");
    dir.SetUpdated("check.txt", 1000000000);
    dir.MakeFolder("sub");
    dir.SetUpdated("sub", 1100000000);
    rig.settings.CRCFlg = true;
    const DateTime written = LocalDateTimeOf(1000000000);
    // A folder shows its last modification as its creation; a file's creation is left out here.
    const std::string sub = "sub " + std::to_string(LocalDateTimeOf(1100000000)) + " 0 0 00000000";
    const std::pair<int16_t, Names> cases[] = {
        {0, {"check.txt - " + std::to_string(written) + " 9 CBF43926", sub}},
        {1, {"check.txt - 0 9 00000000", sub}},  // view style 2 alike
        {3, {sub}}};
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
    rig.settings.ViewType = 0;
    EXPECT_EQ(ReadEntry(rig.context, Folder(), "check.txt").Crc, 0xCBF43926u);
    EXPECT_EQ(ReadEntry(rig.context, Folder(), "missing").Attr, 0u);
    EXPECT_EQ(GetFileTimes(dir.path("check.txt")).Updated, written);

    std::filesystem::resize_file(dir.WriteFile("check.txt"), 4294967296);  // sparse: no disk used
    rig.settings.ViewType = 2;
    for (const auto& entry : ReadFolder(rig.context, Folder()))
        EXPECT_EQ(entry.Size, entry.IsFolder() ? 0 : 4294967296);
    EXPECT_EQ(GetFileSize64(dir.path("check.txt")), 4294967296);
    EXPECT_EQ(GetFileSize64(dir.path("missing")), 0);
}

}  // namespace
}  // namespace folvane

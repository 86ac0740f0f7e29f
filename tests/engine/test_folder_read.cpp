#include "engine/folder_read.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace folvane {
namespace {

class StillClock : public Clock {
  public:
    std::chrono::milliseconds Now() const override { return std::chrono::milliseconds{0}; }
};

using Names = std::vector<std::string>;

class FolderReadTest : public ::testing::Test {
  protected:
    FolderReadTest() : caption_(run_, ui_, clock_), context_{settings_, chars_, run_, ui_, caption_} {
        SetDefaults(settings_);
    }

    std::string Folder() const { return dir_.path() + "\\"; }

    Names ListedNames() {
        Names names;
        for (const auto& entry : ReadFolder(context_, Folder()))
            names.push_back(entry.Name);
        std::sort(names.begin(), names.end());
        return names;
    }

    Settings settings_;
    CharTable chars_;
    RunState run_;
    testing::ScriptedUi ui_;
    StillClock clock_;
    CaptionTimer caption_;
    ListingContext context_;
    testing::TempDir dir_;
};

TEST_F(FolderReadTest, TheMaskDecidesWhichEntriesAreDelivered) {
    EXPECT_EQ(ListedNames(), Names{});  // "." and ".." never count
    dir_.WriteFile("a.txt");
    dir_.WriteFile(".hidden.txt");
    chmod(dir_.WriteFile("locked.txt").c_str(), 0444);
    dir_.MakeFolder("sub");
    dir_.MakeFolder(".hiddenSub");
    const std::vector<std::pair<int16_t, Names>> cases = {
        {23, {".hidden.txt", ".hiddenSub", "a.txt", "locked.txt", "sub"}},
        {21, {"a.txt", "locked.txt", "sub"}},         // without hidden
        {7, {".hidden.txt", "a.txt", "locked.txt"}},  // without folders
        {0, {"a.txt", "locked.txt"}},                 // read-only never keeps an entry out
    };
    for (const auto& [mask, names] : cases) {
        settings_.SearchAttr = mask;
        EXPECT_EQ(ListedNames(), names) << "mask " << mask;
    }
}

TEST_F(FolderReadTest, FilterKeepsMatchingFilesAndEveryFolder) {
    for (const char* name : {"A.TXT", "b.txt", "c.text", "file#1.txt", "file11.txt", "x.doc", "ａbc", "Ａbc"})
        dir_.WriteFile(name);
    dir_.MakeFolder("dir.text");
    const std::vector<std::pair<Names, Names>> cases = {
        {{"*.txt"}, {"A.TXT", "b.txt", "dir.text", "file#1.txt", "file11.txt"}},
        {{"file#1.txt"}, {"dir.text", "file#1.txt"}},  // "#" is no digit wildcard
        {{"*.txt", "*.doc"}, {"A.TXT", "b.txt", "dir.text", "file#1.txt", "file11.txt", "x.doc"}},
        {{"ａ*"}, {"dir.text", "ａbc"}},  // full-width letters keep their case
        {{"?.txt"}, {"A.TXT", "b.txt", "dir.text"}},
    };
    for (const auto& [patterns, names] : cases) {
        run_.FilterPatterns = patterns;
        EXPECT_EQ(ListedNames(), names) << ::testing::PrintToString(patterns);
    }
}

TEST_F(FolderReadTest, TheViewStyleDecidesWhichFactsAreRead) {
    dir_.WriteFile("check.txt", "123456789");
    dir_.SetUpdated("check.txt", 1000000000);
    dir_.MakeFolder("sub");
    dir_.SetUpdated("sub", 1100000000);
    settings_.CRCFlg = true;
    const DateTime written = LocalDateTimeOf(1000000000);
    // view style: size, update time and CRC of the file ("" when it is not listed)
    const std::vector<std::pair<int16_t, std::string>> cases = {
        {0, std::to_string(written) + " 9 CBF43926"}, {1, "0 9 0"}, {2, "0 9 0"}, {3, ""}};
    for (const auto& [viewType, facts] : cases) {
        settings_.ViewType = viewType;
        std::string fileFacts;
        for (const auto& entry : ReadFolder(context_, Folder())) {
            if (entry.IsFolder()) {  // a folder shows its last modification as its creation
                EXPECT_EQ(entry.Created, LocalDateTimeOf(1100000000));
                EXPECT_EQ(entry.Updated, 0);
                continue;
            }
            char crc[9];
            std::snprintf(crc, sizeof crc, "%08X", entry.Crc);
            fileFacts = std::to_string(entry.Updated) + " " + std::to_string(entry.Size) + " " +
                        (entry.Crc != 0 ? crc : "0");
        }
        EXPECT_EQ(fileFacts, facts) << "view " << viewType;
    }
    settings_.ViewType = 0;
    EXPECT_EQ(ReadEntry(context_, Folder(), "check.txt").Crc, 0xCBF43926u);
    EXPECT_EQ(ReadEntry(context_, Folder(), "missing").Attr, 0u);
    EXPECT_EQ(GetFileTimes(dir_.path("check.txt")).Updated, written);

    std::filesystem::resize_file(dir_.WriteFile("check.txt"), 4294967296);  // sparse: no disk used
    settings_.ViewType = 2;
    for (const auto& entry : ReadFolder(context_, Folder()))
        EXPECT_EQ(entry.Size, entry.IsFolder() ? 0 : 4294967296);
    EXPECT_EQ(GetFileSize64(dir_.path("check.txt")), 4294967296);
    EXPECT_EQ(GetFileSize64(dir_.path("missing")), 0);
}

}  // namespace
}  // namespace folvane

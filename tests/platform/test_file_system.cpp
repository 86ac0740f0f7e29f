#include "platform/file_system.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/path_space.h"
#include "tests/support/temp_dir.h"

namespace folvane {
namespace {

class FileSystemTest : public ::testing::Test {
  protected:
    // The path-space path of a relative host name inside the test's folder ("a/b" -> ...\a\b).
    std::string PathOf(std::string_view relative) const { return dir_.path(relative); }
    void Link(std::string_view target, std::string_view relative) const {
        std::filesystem::create_symlink(std::string(target), dir_.host(relative));
    }
    testing::TempDir dir_;
};

TEST_F(FileSystemTest, AttributesFollowTheHostRules) {
    dir_.WriteFile("plain.txt", "x");
    chmod(dir_.WriteFile("locked.txt").c_str(), 0444);
    dir_.WriteFile(".hidden", "x");
    dir_.MakeFolder("folder");
    chmod(dir_.MakeFolder("lockedFolder").c_str(), 0555);
    dir_.MakeFolder(".hiddenFolder");
    Link("plain.txt", "fileLink");
    Link("folder", ".folderLink");
    Link("nowhere", "dangling");

    struct Case {
        std::string relative;
        std::optional<uint32_t> attributes;
    };
    const std::vector<Case> cases = {
        {"plain.txt", kAttrArchive},
        {"locked.txt", kAttrArchive | kAttrReadOnly},
        {".hidden", kAttrArchive | kAttrHidden},
        {"folder", kAttrFolder},
        {"lockedFolder", kAttrFolder | kAttrReadOnly},
        {".hiddenFolder", kAttrFolder | kAttrHidden},
        {"fileLink", kAttrArchive},
        {".folderLink", kAttrFolder | kAttrHidden},
        {"dangling", 0u},
        {"missing", std::nullopt},
        {"plain.txt/below", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetAttributes(PathOf(c.relative)), c.attributes) << c.relative;
    EXPECT_EQ(GetAttributes(dir_.path() + "\\FOLDER\\..\\PLAIN.TXT"), kAttrArchive);  // ".." is not hidden
    EXPECT_EQ(GetAttributes("Q:\\"), std::nullopt);
}

TEST_F(FileSystemTest, FactsComeFromTheTargetOfALink) {
    const int64_t started = time(nullptr);
    dir_.WriteFile("five.txt", "12345");
    dir_.SetUpdated("five.txt", 1000000000);
    dir_.MakeFolder("folder");
    Link("five.txt", "link");
    Link("nowhere", "dangling");
    link(dir_.host("five.txt").c_str(), dir_.host("hard").c_str());

    const auto file = GetFileFacts(PathOf("five.txt"));
    ASSERT_TRUE(file.has_value());
    EXPECT_EQ(file->size, 5);
    EXPECT_EQ(file->updated, 1000000000);
    EXPECT_FALSE(file->isLink);
    // Birth time where the file system keeps one, else the last write.
    EXPECT_TRUE(file->created == file->updated || file->created >= started - 5) << file->created;

    const auto link = GetFileFacts(PathOf("link"));
    ASSERT_TRUE(link.has_value());
    EXPECT_TRUE(link->isLink);
    EXPECT_EQ(link->size, 5);
    EXPECT_EQ(link->identity, file->identity);
    EXPECT_EQ(GetFileFacts(PathOf("hard"))->identity, file->identity);
    EXPECT_NE(GetFileFacts(PathOf("folder"))->identity, file->identity);

    const auto dangling = GetFileFacts(PathOf("dangling"));
    ASSERT_TRUE(dangling.has_value());
    EXPECT_TRUE(dangling->isLink);
    EXPECT_EQ(dangling->size, 0);
    EXPECT_EQ(GetFileFacts(PathOf("folder"))->size, 0);
    EXPECT_EQ(GetFileFacts(PathOf("missing")), std::nullopt);
}

TEST_F(FileSystemTest, StoredNameAndShortPath) {
    dir_.WriteFile("Folder/MixedCase.txt");
    const std::string folder = PathOf("Folder");
    EXPECT_EQ(StoredName(folder, "MixedCase.txt"), "MixedCase.txt");
    EXPECT_EQ(StoredName(folder + "\\", "mixedcase.TXT"), "MixedCase.txt");
    EXPECT_EQ(StoredName(dir_.path() + "\\FOLDER", "mixedcase.txt"), "MixedCase.txt");
    EXPECT_EQ(StoredName(folder, "missing.txt"), std::nullopt);
    EXPECT_EQ(StoredName(PathOf("missing"), "MixedCase.txt"), std::nullopt);
    EXPECT_EQ(StoredName(dir_.path(), "Folder\\MixedCase.txt"), std::nullopt);
    EXPECT_EQ(StoredName(folder, ".."), std::nullopt);
    EXPECT_EQ(StoredName(folder, ""), std::nullopt);

    EXPECT_EQ(ShortPathOf(folder), folder);
    EXPECT_EQ(ShortPathOf(PathOf("missing")), "");
}

TEST_F(FileSystemTest, ReadsWholeRegularFilesOnly) {
    std::string big(200000, 'a');
    big[70000] = '\0';
    big.back() = 'z';
    dir_.WriteFile("big.bin", big);
    dir_.WriteFile("empty.txt");
    dir_.MakeFolder("folder");
    ASSERT_EQ(mkfifo(dir_.host("fifo").c_str(), 0600), 0);  // no writer: a blocking open would hang

    EXPECT_EQ(ReadWholeFile(PathOf("big.bin")), big);
    EXPECT_EQ(ReadWholeFile(PathOf("empty.txt")), "");
    EXPECT_EQ(FileLength(PathOf("big.bin")), 200000);
    EXPECT_EQ(FileLength(PathOf("empty.txt")), 0);
    for (const char* refused : {"folder", "fifo", "missing"}) {
        EXPECT_EQ(ReadWholeFile(PathOf(refused)), std::nullopt) << refused;
        EXPECT_EQ(FileLength(PathOf(refused)), std::nullopt) << refused;
    }
}

// Time-zone rules come from a POSIX TZ text, so no zone database is needed.
TEST(FileSystemTime, LocalSecondsUseTheOffsetInForceAtThatMoment) {
    const char* saved = getenv("TZ");
    const std::string previous = saved != nullptr ? saved : "";
    setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    tzset();
    const UtcSeconds winter = 1704067200;  // 2024-01-01 00:00 UTC
    const UtcSeconds summer = 1719792000;  // 2024-07-01 00:00 UTC
    EXPECT_EQ(LocalSecondsOf(winter), winter + 3600);
    EXPECT_EQ(LocalSecondsOf(summer), summer + 7200);
    EXPECT_NEAR(static_cast<double>(LocalSecondsNow()), static_cast<double>(LocalSecondsOf(time(nullptr))),
                2.0);
    if (saved != nullptr) {
        setenv("TZ", previous.c_str(), 1);
    } else {
        unsetenv("TZ");
    }
    tzset();
}

}  // namespace
}  // namespace folvane

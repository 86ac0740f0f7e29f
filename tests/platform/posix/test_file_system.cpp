#include "platform/file_system.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <map>
#include <tuple>

#include "tests/support/posix/fifo_writer.h"
#include "tests/support/temp_dir.h"

namespace folvane {
namespace {

class FileSystemTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_.WriteFile("five.txt", "12345");
        dir_.SetUpdated("five.txt", 1000000000);
        chmod(dir_.WriteFile("locked.txt").c_str(), 0444);
        dir_.WriteFile(".hidden", "x");
        dir_.WriteFile("日本語の名前.txt", "x");
        dir_.MakeFolder("folder");
        chmod(dir_.MakeFolder("lockedFolder").c_str(), 0555);
        dir_.MakeFolder(".hiddenFolder");
        std::filesystem::create_symlink("five.txt", dir_.host("fileLink"));
        std::filesystem::create_symlink(".hiddenFolder", dir_.host("folderLink"));
        std::filesystem::create_symlink("nowhere", dir_.host("dangling"));
        link(dir_.host("five.txt").c_str(), dir_.host("hard").c_str());
        ASSERT_EQ(mkfifo(dir_.host("fifo").c_str(), 0600), 0);  // no writer: a blocking open would hang
    }
    testing::TempDir dir_;
};

auto Fields(const FileFacts& f) {
    return std::tuple(f.attributes, f.size, f.created, f.updated, f.isLink, f.identity.device,
                      f.identity.object);
}

// Each entry read has the facts of a query of its whole path, and the attributes of the host rules.
TEST_F(FileSystemTest, FolderItemsAndPathQueriesAgreeOnEveryEntry) {
    // clang-format off
    const std::map<std::string, uint32_t> attributes = {
        {"five.txt", kAttrArchive}, {"hard", kAttrArchive},
        {"locked.txt", kAttrArchive | kAttrReadOnly}, {".hidden", kAttrArchive | kAttrHidden},
        {"日本語の名前.txt", kAttrArchive}, {"folder", kAttrFolder}, {"lockedFolder", kAttrFolder | kAttrReadOnly},
        {".hiddenFolder", kAttrFolder | kAttrHidden}, {"fileLink", kAttrArchive}, {"folderLink", kAttrFolder},
        {"dangling", 0}, {"fifo", 0}};
    // clang-format on
    std::map<std::string, FileFacts> items;
    FolderHandle folder;
    ASSERT_TRUE(folder.Open(dir_.path()));
    std::vector<FolderItem> delivered;
    ASSERT_TRUE(folder.ReadItems(delivered));
    for (const FolderItem& item : delivered) {
        EXPECT_TRUE(item.factsRead) << item.name;
        EXPECT_TRUE(items.emplace(item.name, item.facts).second) << "delivered twice: " << item.name;
    }
    EXPECT_TRUE(folder.Close());
    ASSERT_EQ(items.size(), attributes.size());
    for (const auto& [name, read] : items) {
        ASSERT_TRUE(attributes.contains(name)) << name;
        EXPECT_EQ(read.attributes, attributes.at(name)) << name;
        EXPECT_EQ(read.isRegular, name == "five.txt" || name == "hard" || name == "locked.txt" ||
                                      name == ".hidden" || name == "日本語の名前.txt" || name == "fileLink")
            << name;
        EXPECT_EQ(GetAttributes(dir_.path(name)), read.attributes) << name;
        EXPECT_EQ(Fields(GetFileFacts(dir_.path(name)).value_or(FileFacts{})), Fields(read)) << name;
    }
    const FileFacts& file = items.at("five.txt");
    EXPECT_TRUE(file.size == 5 && file.updated == 1000000000 && !file.isLink);
    // Birth time where the file system keeps one (set up just now), else the last write.
    EXPECT_TRUE(file.created == file.updated || file.created >= time(nullptr) - 60) << file.created;
    EXPECT_TRUE(items.at("fileLink").isLink && items.at("fileLink").size == 5);
    EXPECT_TRUE(items.at("fileLink").identity == file.identity && items.at("hard").identity == file.identity);
    EXPECT_NE(items.at("folder").identity, file.identity);
    EXPECT_EQ(items.at("folderLink").identity, items.at(".hiddenFolder").identity);
    EXPECT_TRUE(items.at("dangling").isLink && items.at("dangling").size == 0 &&
                items.at("folder").size == 0);
    EXPECT_EQ(GetAttributes(dir_.path() + "\\FOLDER\\..\\FIVE.TXT"), kAttrArchive);  // ".." is not hidden
    for (const std::string& path : {dir_.path("missing"), dir_.path("five.txt/below"), std::string("Q:\\")})
        EXPECT_TRUE(!GetAttributes(path) && !GetFileFacts(path)) << path;
}

TEST_F(FileSystemTest, ReadsRegularFilesAndFindsStoredNames) {
    std::string big(200000, 'a');
    big[70000] = '\0';
    dir_.WriteFile("big.bin", big);
    EXPECT_EQ(ReadWholeFile(dir_.path("big.bin")), big);
    EXPECT_EQ(FileLength(dir_.path("big.bin")), 200000);
    EXPECT_TRUE(ReadWholeFile(dir_.path("locked.txt")) == "" && FileLength(dir_.path("locked.txt")) == 0);
    for (const char* refused : {"folder", "fifo", "missing"})
        EXPECT_TRUE(!ReadWholeFile(dir_.path(refused)) && !FileLength(dir_.path(refused))) << refused;
    for (const std::string& path :
         {dir_.path("five.txt"), dir_.path("fifo"), dir_.path("missing"), std::string("Q:\\")}) {
        FolderHandle folder;
        std::vector<FolderItem> items;
        EXPECT_FALSE(folder.Open(path) || folder.ReadItems(items) || folder.Close()) << path;
    }
    EXPECT_EQ(StoredName(dir_.path() + "\\", "FIVE.TXT"), "five.txt");
    EXPECT_EQ(StoredName(dir_.path() + "\\FOLDER\\..", "LockedFolder"), "lockedFolder");
    for (const char* name : {"missing.txt", "folder\\x", ".", "..", ""})
        EXPECT_EQ(StoredName(dir_.path(), name), std::nullopt) << name;
    EXPECT_EQ(StoredName(dir_.path("missing"), "five.txt"), std::nullopt);
    EXPECT_EQ(ShortPathOf(dir_.path("folder")), dir_.path("folder"));
    EXPECT_EQ(ShortPathOf(dir_.path("missing")), "");
}

// Subfolders open through their parent, never a link; files open only while they are still the
// regular file that was examined, and nothing else is opened at all.
TEST_F(FileSystemTest, ChildrenAndFilesOpenRelativeToTheirFolder) {
    FolderHandle top;
    ASSERT_TRUE(top.Open(dir_.path()));
    std::vector<FolderItem> items;
    ASSERT_TRUE(top.ReadItems(items));
    const auto facts = [&](std::string_view name) {
        return std::find_if(items.begin(), items.end(), [&](const FolderItem& i) { return i.name == name; })
            ->facts;
    };
    FolderHandle child;
    EXPECT_TRUE(child.OpenChild(top, ".hiddenFolder"));
    for (const char* refused : {"folderLink", "five.txt", "fifo", "missing", ".", "..", ""})
        EXPECT_FALSE(child.OpenChild(top, refused)) << refused;

    FileReader reader;
    char bytes[8] = {};
    ASSERT_TRUE(top.OpenFile("fileLink", facts("fileLink"), reader));  // a link examined as one
    EXPECT_EQ(reader.Read(bytes, sizeof bytes), 5);
    EXPECT_EQ(reader.Length(), 5);
    EXPECT_FALSE(top.OpenFile("five.txt", facts("folder"), reader));  // no longer what was seen
    EXPECT_FALSE(top.OpenFile("fifo", facts("fifo"), reader));
    EXPECT_FALSE(top.OpenFile("dangling", facts("dangling"), reader));

    // A file swapped for a FIFO whose writer waits: refused, and the writer still waits.
    const FileFacts seen = facts("five.txt");
    const testing::FifoWriter writer(dir_.host("five.txt"));
    EXPECT_FALSE(top.OpenFile("five.txt", seen, reader));
    EXPECT_TRUE(writer.StillWaiting()) << "the FIFO was opened and its writer released";
}

// Time-zone rules come from a POSIX TZ text, so no zone database is needed.
TEST(FileSystemTime, LocalSecondsUseTheOffsetInForceAtThatMoment) {
    const char* saved = getenv("TZ");
    const std::string previous = saved != nullptr ? saved : "";
    setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    tzset();
    EXPECT_EQ(LocalSecondsOf(1704067200), 1704067200 + 3600);  // 2024-01-01 00:00 UTC
    EXPECT_EQ(LocalSecondsOf(1719792000), 1719792000 + 7200);  // 2024-07-01 00:00 UTC
    EXPECT_NEAR(LocalSecondsNow(), LocalSecondsOf(time(nullptr)), 2.0);
    saved != nullptr ? setenv("TZ", previous.c_str(), 1) : unsetenv("TZ");
    tzset();
}

}  // namespace
}  // namespace folvane

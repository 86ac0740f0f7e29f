#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <string>

#include "platform/file_system.h"
#include "tests/support/temp_dir.h"

namespace folvane {
namespace {

std::map<std::string, FileFacts> ReadAll(std::string_view path) {
    std::map<std::string, FileFacts> items;
    FolderReader reader;
    EXPECT_TRUE(reader.Open(path)) << path;
    FolderItem item;
    while (reader.Next(item))
        EXPECT_TRUE(items.emplace(item.name, item.facts).second) << "delivered twice: " << item.name;
    EXPECT_TRUE(reader.Close());
    return items;
}

TEST(FolderReader, DeliversEveryNameOnceWithTheFactsOfAPathQuery) {
    testing::TempDir dir;
    dir.WriteFile("plain.txt", "abc");
    dir.SetUpdated("plain.txt", 1234567890);
    chmod(dir.WriteFile("locked.txt", "x").c_str(), 0444);
    dir.WriteFile("日本語の名前.txt", "12345");
    dir.MakeFolder(".hiddenFolder");
    std::filesystem::create_symlink("plain.txt", dir.host("fileLink"));
    std::filesystem::create_symlink(".hiddenFolder", dir.host("folderLink"));
    std::filesystem::create_symlink("nowhere", dir.host("dangling"));
    ASSERT_EQ(mkfifo(dir.host("fifo").c_str(), 0600), 0);

    const auto items = ReadAll(dir.path());
    ASSERT_EQ(items.size(), 10u);
    EXPECT_EQ(items.at(".").attributes, kAttrFolder);
    EXPECT_EQ(items.at("..").attributes, kAttrFolder);
    for (const auto& [name, read] : items) {
        if (name == "." || name == "..") continue;
        SCOPED_TRACE(name);
        const auto queried = GetFileFacts(dir.path(name));
        ASSERT_TRUE(queried.has_value());
        EXPECT_EQ(read.attributes, queried->attributes);
        EXPECT_EQ(read.size, queried->size);
        EXPECT_EQ(read.created, queried->created);
        EXPECT_EQ(read.updated, queried->updated);
        EXPECT_EQ(read.isLink, queried->isLink);
        EXPECT_EQ(read.identity, queried->identity);
    }
    // The path query could share a fault; pin what matters most.
    EXPECT_EQ(items.at("plain.txt").size, 3);
    EXPECT_EQ(items.at("plain.txt").updated, 1234567890);
    EXPECT_EQ(items.at("locked.txt").attributes, kAttrArchive | kAttrReadOnly);
    EXPECT_EQ(items.at("folderLink").attributes, kAttrFolder);  // the target's facts, not hidden
    EXPECT_EQ(items.at("folderLink").identity, items.at(".hiddenFolder").identity);
    EXPECT_TRUE(items.at("dangling").isLink);
    EXPECT_EQ(items.at("dangling").attributes, 0u);
}

TEST(FolderReader, RefusesWhatIsNoFolder) {
    testing::TempDir dir;
    dir.WriteFile("file.txt", "x");
    ASSERT_EQ(mkfifo(dir.host("fifo").c_str(), 0600), 0);  // no writer: a blocking open would hang
    for (const std::string& path :
         {dir.path("file.txt"), dir.path("fifo"), dir.path("missing"), std::string("Q:\\")}) {
        FolderReader reader;
        EXPECT_FALSE(reader.Open(path)) << path;
        FolderItem item;
        EXPECT_FALSE(reader.Next(item)) << path;
        EXPECT_FALSE(reader.Close()) << path;
    }
}

}  // namespace
}  // namespace folvane

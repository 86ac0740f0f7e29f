// The Windows backend's folders, files and writes, on the real file system of the host.

#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/file_write.h"
#include "platform/path_space.h"
#include "platform/scratch_file.h"
#include "tests/support/temp_dir.h"

namespace folvane {
namespace {

namespace fs = std::filesystem;
using Names = std::set<std::string>;

Names NamesIn(const testing::TempDir& dir, std::string_view folder = "") {
    Names names;
    for (const auto& entry : fs::directory_iterator(dir.host(folder)))
        names.insert(testing::Utf8OfHostPath(entry.path().filename()));
    return names;
}

std::vector<FolderItem> ItemsOf(const FolderHandle& folder) {
    std::vector<FolderItem> items;
    EXPECT_TRUE(folder.ReadItems(items));
    return items;
}

const FolderItem* Find(const std::vector<FolderItem>& items, std::string_view name) {
    for (const auto& item : items)
        if (item.name == name) return &item;
    return nullptr;
}

std::string ReadAll(FileReader& reader) {
    std::string content(static_cast<std::size_t>(reader.Length()), '\0');
    const std::ptrdiff_t got = reader.Read(content.data(), content.size());
    content.resize(got < 0 ? 0 : static_cast<std::size_t>(got));
    return content;
}

// Each item tells the same facts as a query of its whole path; files open through the folder
// only while they are the file the facts describe.
TEST(Win32FolderHandle, ItemsCarryTheFactsOfAPathQueryAndFilesOpenOnlyAsDescribed) {
    testing::TempDir dir;
    dir.WriteFile("日本語.txt", "123456789");
    dir.WriteFile("a&b (c).txt", "x");
    dir.WriteFile(".hidden", "");
    dir.MakeHidden(".hidden");
    dir.MakeFolder("sub/deeper");
    FolderHandle folder;
    ASSERT_TRUE(folder.Open(dir.path()));
    const auto items = ItemsOf(folder);
    std::set<std::string> names;
    for (const auto& item : items) {
        names.insert(item.name);
        const auto queried = GetFileFacts(dir.path(item.name));
        ASSERT_TRUE(queried.has_value()) << item.name;
        EXPECT_TRUE(item.factsRead);
        EXPECT_EQ(item.facts.attributes, queried->attributes) << item.name;
        EXPECT_EQ(item.facts.size, queried->size) << item.name;
        EXPECT_EQ(item.facts.updated, queried->updated) << item.name;
        EXPECT_EQ(item.facts.identity, queried->identity) << item.name;
        EXPECT_EQ(item.facts.isRegular, item.name != "sub") << item.name;
    }
    EXPECT_EQ(names, (Names{"日本語.txt", "a&b (c).txt", ".hidden", "sub"}));
    EXPECT_NE(Find(items, ".hidden")->facts.attributes & kAttrHidden, 0u);

    FileReader reader;
    const FileFacts& text = Find(items, "日本語.txt")->facts;
    ASSERT_TRUE(folder.OpenFile("日本語.txt", text, reader));
    EXPECT_EQ(ReadAll(reader), "123456789");
    // Another file under the name, a folder, or a name that is no single entry: nothing opens.
    EXPECT_FALSE(folder.OpenFile("a&b (c).txt", text, reader));
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_FALSE(folder.OpenFile("sub", Find(items, "sub")->facts, reader));
    for (const char* name : {"", ".", "..", "sub\\deeper", "sub/deeper"}) {
        EXPECT_FALSE(folder.OpenFile(name, text, reader)) << name;
        FolderHandle child;
        EXPECT_FALSE(child.OpenChild(folder, name)) << name;
    }
    FolderHandle child;
    EXPECT_FALSE(child.OpenChild(folder, "日本語.txt"));
    ASSERT_TRUE(child.OpenChild(folder, "SUB"));  // names are found as Windows finds them
    ASSERT_EQ(ItemsOf(child).size(), 1u);
    EXPECT_EQ(ItemsOf(child)[0].name, "deeper");  // a second reading starts over
}

// Folders deeper than MAX_PATH are made, listed and opened child by child.
TEST(Win32FolderHandle, WalksFoldersDeeperThanMaxPath) {
    testing::TempDir dir;
    const std::string component(200, 'd');
    std::string deepest = dir.path();
    for (int level = 0; level < 15; ++level)
        deepest += "\\" + component;
    ASSERT_TRUE(MakeFolders(deepest));
    ASSERT_TRUE(WriteFileReplacing(deepest + "\\file.txt", "deep"));
    FolderHandle folder;
    ASSERT_TRUE(folder.Open(dir.path()));
    for (int level = 0; level < 15; ++level) {
        FolderHandle child;
        ASSERT_TRUE(child.OpenChild(folder, component)) << level;
        folder = std::move(child);
    }
    const auto items = ItemsOf(folder);
    ASSERT_EQ(items.size(), 1u);
    FileReader reader;
    ASSERT_TRUE(folder.OpenFile("file.txt", items[0].facts, reader));
    EXPECT_EQ(ReadAll(reader), "deep");
    EXPECT_EQ(GetFileFacts(deepest + "\\file.txt").value_or(FileFacts{}).identity, items[0].facts.identity);
}

TEST(Win32ReplacingWriter, ReplacesKeepingAttributesAndHardLinksAndNeverDamagesWhatItRefuses) {
    testing::TempDir dir;
    for (const std::string& bytes : {std::string("first, longer text"), std::string(), std::string(300000, 'x')}) {
        ASSERT_TRUE(WriteFileReplacing(dir.path("out.txt"), bytes));
        EXPECT_EQ(ReadWholeFile(dir.path("out.txt")), bytes);
        EXPECT_EQ(NamesIn(dir), Names{"out.txt"});
    }
    // A hidden file stays hidden.
    dir.WriteFile(".list.txt", "old");
    dir.MakeHidden(".list.txt");
    ASSERT_TRUE(WriteFileReplacing(dir.path(".list.txt"), "new"));
    EXPECT_EQ(ReadWholeFile(dir.path(".list.txt")), "new");
    EXPECT_NE(GetAttributes(dir.path(".list.txt")).value_or(0) & kAttrHidden, 0u);
    // Every name of a file with several shows the new content.
    dir.WriteFile("linked.txt", "old");
    ASSERT_TRUE(CreateHardLinkW(dir.host("second name.txt").c_str(), dir.host("linked.txt").c_str(), nullptr));
    ASSERT_TRUE(WriteFileReplacing(dir.path("linked.txt"), "new"));
    EXPECT_EQ(ReadWholeFile(dir.path("second name.txt")), "new");
    EXPECT_EQ(NamesIn(dir), (Names{"out.txt", ".list.txt", "linked.txt", "second name.txt"}));

    // Refused: a read-only file, a folder, a missing folder; abandoned: nothing changes.
    dir.WriteFile("locked.txt", "kept");
    dir.MakeReadOnly("locked.txt");
    dir.MakeFolder("folder");
    for (const char* refused : {"locked.txt", "folder", "missing\\out.txt", "out.txt\\"})
        EXPECT_FALSE(WriteFileReplacing(dir.path() + "\\" + refused, "bytes")) << refused;
    EXPECT_EQ(ReadWholeFile(dir.path("locked.txt")), "kept");
    {
        ReplacingWriter writer;
        ASSERT_TRUE(writer.Open(dir.path("out.txt")));
        ASSERT_TRUE(writer.Write("never committed"));
    }
    EXPECT_EQ(ReadWholeFile(dir.path("out.txt")), std::string(300000, 'x'));
    EXPECT_EQ(NamesIn(dir), (Names{"out.txt", ".list.txt", "linked.txt", "second name.txt", "locked.txt", "folder"}));

    // A device is written into in place, in any folder and with any extension.
    for (const char* device : {"NUL", "nul.txt", "folder\\Nul "}) {
        ASSERT_TRUE(WriteFileReplacing(dir.path() + "\\" + device, "to nowhere")) << device;
    }
    EXPECT_TRUE(NamesIn(dir, "folder").empty());
}

TEST(Win32ScratchFile, HoldsWhatIsWrittenAtAnyOffsetAndNothingBeyond) {
    ScratchFile scratch;
    ASSERT_TRUE(scratch.Create());
    ASSERT_TRUE(scratch.WriteAt(0, "abcdef"));
    ASSERT_TRUE(scratch.WriteAt(1 << 20, "tail"));
    ASSERT_TRUE(scratch.WriteAt(2, "CD"));
    char bytes[6] = {};
    ASSERT_TRUE(scratch.ReadAt(0, bytes, 6));
    EXPECT_EQ(std::string(bytes, 6), "abCDef");
    ASSERT_TRUE(scratch.ReadAt(1 << 20, bytes, 4));
    EXPECT_EQ(std::string(bytes, 4), "tail");
    EXPECT_FALSE(scratch.ReadAt((1 << 20) + 2, bytes, 4));
    EXPECT_FALSE(scratch.ReadAt(-1, bytes, 1));
    EXPECT_FALSE(scratch.WriteAt(-1, "x"));
}

TEST(Win32PathSpace, FileUrlsAreTheOnesWindowsReads) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Data\\a b.txt", "file:///C:/Data/a b.txt"},
        {"z:\\tmp", "file:///z:/tmp"},
        {"\\\\srv\\shr\\dir\\x.txt", "file://srv/shr/dir/x.txt"},
        {"sub\\x.txt", "sub/x.txt"},
        {"", ""},
    };
    for (const auto& [path, url] : cases)
        EXPECT_EQ(FileUrlOf(path), url) << path;
}

}  // namespace
}  // namespace folvane

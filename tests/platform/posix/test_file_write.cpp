#include "platform/file_write.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <set>

#include "platform/file_system.h"
#include "tests/support/temp_dir.h"

namespace folvane {
namespace {

namespace fs = std::filesystem;
using Names = std::set<std::string>;

Names NamesIn(const fs::path& folder) {
    Names names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

TEST(FileWriteTest, WritesAndReplacesWholeFilesLeavingNothingElse) {
    testing::TempDir dir;
    const mode_t oldMask = umask(027);
    for (const std::string& bytes : {std::string("first, longer text"), std::string("short"), std::string(),
                                     std::string("a\0b\r\n\xff", 6), std::string(300000, 'x')}) {
        ASSERT_TRUE(WriteFileReplacing(dir.path("out.txt"), bytes));
        EXPECT_EQ(ReadWholeFile(dir.path("out.txt")), bytes);
        EXPECT_EQ(NamesIn(dir.host()), Names{"out.txt"});
    }
    umask(oldMask);
    // Created like any new file: 0666 less the umask.
    EXPECT_EQ(fs::status(dir.host("out.txt")).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    // A link keeps pointing at the file it leads to, which is replaced.
    dir.WriteFile("real/target.txt", "old");
    fs::create_symlink("real/target.txt", dir.host("link.txt"));
    ASSERT_TRUE(WriteFileReplacing(dir.path("link.txt"), "new"));
    EXPECT_TRUE(fs::is_symlink(dir.host("link.txt")));
    EXPECT_EQ(ReadWholeFile(dir.path("real/target.txt")), "new");
    EXPECT_EQ(NamesIn(dir.host("real")), Names{"target.txt"});
}

TEST(FileWriteTest, FailuresLeaveThePreviousStateAndNoTemporaryFile) {
    testing::TempDir dir;
    dir.WriteFile("keep/file.txt", "previous");
    dir.WriteFile("full/inside.txt", "x");
    dir.MakeFolder("empty");
    for (const std::string& path : {dir.path("missing/file.txt"), dir.path("full"), dir.path("empty"),
                                    dir.path("keep/file.txt") + "\\",  // a final "\" asks for a folder
                                    std::string("Q:\\unmapped\\file.txt"), std::string()})
        EXPECT_FALSE(WriteFileReplacing(path, "new")) << path;
    EXPECT_EQ(NamesIn(dir.host()), (Names{"empty", "full", "keep"}));
    EXPECT_EQ(NamesIn(dir.host("full")), Names{"inside.txt"});
    EXPECT_TRUE(NamesIn(dir.host("empty")).empty());
    EXPECT_EQ(ReadWholeFile(dir.path("keep/file.txt")), "previous");

    // A file size limit makes writes fail part-way, as a full disk does; the signal it raises
    // otherwise would end the test program.
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const rlimit small{4096, old.rlim_max};
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = WriteFileReplacing(dir.path("keep/file.txt"), std::string(100000, 'x'));
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(written);
    EXPECT_EQ(ReadWholeFile(dir.path("keep/file.txt")), "previous");
    EXPECT_EQ(NamesIn(dir.host("keep")), Names{"file.txt"});
}

TEST(FileWriteTest, DeletesFilesMakesFoldersAndTellsWritableOnes) {
    testing::TempDir dir;
    dir.WriteFile("file.txt");
    EXPECT_TRUE(DeletePath(dir.path("FILE.txt")));  // found ignoring case, as every lookup
    EXPECT_FALSE(fs::exists(dir.host("file.txt")));
    dir.WriteFile("file.txt");
    EXPECT_TRUE(MakeFolders(dir.path("a/b/c")) && fs::is_directory(dir.host("a/b/c")));
    EXPECT_TRUE(MakeFolders(dir.path("a/b")) && CanWriteFolder(dir.path("a/b")));  // already there
    for (const std::string& path : {dir.path("missing"), dir.path("a"), std::string("Q:\\x")})
        EXPECT_FALSE(DeletePath(path)) << path;
    EXPECT_TRUE(fs::is_directory(dir.host("a/b/c")));
    EXPECT_FALSE(MakeFolders(dir.path("file.txt/sub")) || MakeFolders(dir.path("file.txt")));
    for (const std::string& path : {dir.path("missing"), dir.path("file.txt"), std::string()})
        EXPECT_FALSE(CanWriteFolder(path)) << path;
}

// XDG_CONFIG_HOME when it is absolute, else HOME, else the account database.
TEST(UserConfigFolderTest, FollowsTheEnvironmentThenTheAccount) {
    const char* names[] = {"XDG_CONFIG_HOME", "HOME"};
    std::optional<std::string> saved[2];
    for (int k = 0; k < 2; ++k)
        if (const char* value = std::getenv(names[k])) saved[k] = value;
    setenv("XDG_CONFIG_HOME", "/srv/conf/", 1);
    setenv("HOME", "/home/ann", 1);
    EXPECT_EQ(UserConfigFolder(), "Z:\\srv\\conf");
    setenv("XDG_CONFIG_HOME", "relative/conf", 1);
    EXPECT_EQ(UserConfigFolder(), "Z:\\home\\ann\\.config");
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("HOME");
    const std::string folder = UserConfigFolder();
    EXPECT_TRUE(folder.starts_with("Z:\\") && folder.ends_with("\\.config")) << folder;
    for (int k = 0; k < 2; ++k)
        saved[k] ? setenv(names[k], saved[k]->c_str(), 1) : unsetenv(names[k]);
}

}  // namespace
}  // namespace folvane

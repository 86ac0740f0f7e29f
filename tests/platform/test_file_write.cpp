#include "platform/file_write.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/path_space.h"
#include "tests/support/temp_dir.h"

namespace folvane {
namespace {

namespace fs = std::filesystem;

std::string Content(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Sets an environment variable for one scope (nullopt unsets it) and restores it after.
class ScopedVariable {
  public:
    ScopedVariable(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        value ? setenv(name, value->c_str(), 1) : unsetenv(name);
    }
    ~ScopedVariable() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }

  private:
    const char* name_;
    std::optional<std::string> old_;
};

class FileWriteTest : public ::testing::Test {
  protected:
    testing::TempDir dir_;
};

TEST_F(FileWriteTest, WritesAndReplacesWholeFiles) {
    const mode_t oldMask = umask(027);
    for (const std::string& bytes : {std::string("first, longer text"), std::string("short"), std::string(),
                                     std::string("a\0b\r\n\xff", 6), std::string(300000, 'x')}) {
        ASSERT_TRUE(WriteFileReplacing(dir_.path("out.txt"), bytes));
        EXPECT_EQ(Content(dir_.host("out.txt")), bytes);
        // Nothing but the target is left in the folder.
        EXPECT_EQ(Names(dir_.host()), std::vector<std::string>{"out.txt"});
    }
    umask(oldMask);
    // Created like any new file: 0666 less the umask.
    EXPECT_EQ(fs::status(dir_.host("out.txt")).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(FileWriteTest, FailuresLeaveThePreviousStateAndNoTemporaryFile) {
    dir_.WriteFile("keep/file.txt", "previous");
    dir_.WriteFile("full/inside.txt", "x");
    dir_.MakeFolder("empty");
    const struct {
        std::string path;
    } cases[] = {
        {dir_.path("missing/file.txt")},      // no such folder
        {dir_.path("full")},                  // a folder with entries
        {dir_.path("empty")},                 // an empty folder
        {dir_.path("keep/file.txt") + "\\"},  // a final "\" asks for a folder
        {"Q:\\unmapped\\file.txt"},
        {""},
    };
    for (const auto& c : cases)
        EXPECT_FALSE(WriteFileReplacing(c.path, "new")) << c.path;
    EXPECT_EQ(Names(dir_.host()), (std::vector<std::string>{"empty", "full", "keep"}));
    EXPECT_EQ(Names(dir_.host("full")), std::vector<std::string>{"inside.txt"});
    EXPECT_TRUE(Names(dir_.host("empty")).empty());
    EXPECT_EQ(Content(dir_.host("keep/file.txt")), "previous");
}

TEST_F(FileWriteTest, AFullDiskKeepsThePreviousFile) {
    dir_.WriteFile("file.txt", "previous");
    // A file size limit makes writes fail part-way, as a full disk does; the signal it raises
    // otherwise would end the test program.
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = WriteFileReplacing(dir_.path("file.txt"), std::string(100000, 'x'));
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(Content(dir_.host("file.txt")), "previous");
    EXPECT_EQ(Names(dir_.host()), std::vector<std::string>{"file.txt"});
}

TEST_F(FileWriteTest, ALinkKeepsPointingAtTheReplacedFile) {
    dir_.WriteFile("real/target.txt", "old");
    fs::create_symlink("real/target.txt", dir_.host("link.txt"));
    ASSERT_TRUE(WriteFileReplacing(dir_.path("link.txt"), "new"));
    EXPECT_TRUE(fs::is_symlink(dir_.host("link.txt")));
    EXPECT_EQ(Content(dir_.host("real/target.txt")), "new");
    EXPECT_EQ(Names(dir_.host("real")), std::vector<std::string>{"target.txt"});
}

TEST_F(FileWriteTest, DeletesFilesMakesFoldersAndTellsWritableOnes) {
    dir_.WriteFile("file.txt");
    EXPECT_TRUE(DeletePath(dir_.path("FILE.txt")));  // found ignoring case, as every lookup
    EXPECT_FALSE(fs::exists(dir_.host("file.txt")));
    dir_.WriteFile("file.txt");
    EXPECT_TRUE(MakeFolders(dir_.path("a/b/c")));
    EXPECT_TRUE(fs::is_directory(dir_.host("a/b/c")));
    EXPECT_TRUE(MakeFolders(dir_.path("a/b")));  // already there
    EXPECT_TRUE(CanWriteFolder(dir_.path("a/b")));
    for (const std::string& path :
         {dir_.path("missing"), dir_.path("a"), std::string(), std::string("Q:\\x")})
        EXPECT_FALSE(DeletePath(path)) << path;
    for (const std::string& path : {dir_.path("file.txt/sub"), dir_.path("file.txt"), std::string("Q:\\x")})
        EXPECT_FALSE(MakeFolders(path)) << path;
    for (const std::string& path : {dir_.path("missing"), dir_.path("file.txt"), std::string()})
        EXPECT_FALSE(CanWriteFolder(path)) << path;
    EXPECT_TRUE(fs::is_directory(dir_.host("a")));
}

TEST(UserConfigFolderTest, FollowsTheEnvironmentThenTheAccount) {
    {
        ScopedVariable config("XDG_CONFIG_HOME", "/srv/conf/");
        ScopedVariable home("HOME", "/home/ann");
        EXPECT_EQ(UserConfigFolder(), "Z:\\srv\\conf");
    }
    {
        ScopedVariable config("XDG_CONFIG_HOME", "relative/conf");  // not usable
        ScopedVariable home("HOME", "/home/ann");
        EXPECT_EQ(UserConfigFolder(), "Z:\\home\\ann\\.config");
    }
    {
        ScopedVariable config("XDG_CONFIG_HOME", std::nullopt);
        ScopedVariable home("HOME", std::nullopt);
        const std::string folder = UserConfigFolder();
        // The account database knows the home of the user running the tests.
        EXPECT_TRUE(folder.starts_with("Z:\\")) << folder;
        EXPECT_TRUE(folder.ends_with("\\.config")) << folder;
    }
}

}  // namespace
}  // namespace folvane

#include "platform/file_write.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

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

// What is replaced keeps its permission bits and owner; a file with two names shows the new
// content under both.
TEST(FileWriteTest, AReplacedFileKeepsItsModeOwnerAndOtherNames) {
    testing::TempDir dir;
    dir.WriteFile("private.txt", "old");
    fs::permissions(dir.host("private.txt"), fs::perms::owner_read | fs::perms::owner_write);
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(chown(dir.host("private.txt").c_str(), 65534, 65534), 0);
    }
    ASSERT_TRUE(WriteFileReplacing(dir.path("private.txt"), "new"));
    struct stat facts {};
    ASSERT_EQ(stat(dir.host("private.txt").c_str(), &facts), 0);
    EXPECT_EQ(facts.st_mode & 07777, 0600u);
    if (root) {
        EXPECT_EQ(std::pair(facts.st_uid, facts.st_gid), std::pair(65534u, 65534u));
    }

    dir.WriteFile("one.txt", "old");
    fs::create_hard_link(dir.host("one.txt"), dir.host("two.txt"));
    ASSERT_TRUE(WriteFileReplacing(dir.path("one.txt"), "new content"));
    EXPECT_EQ(ReadWholeFile(dir.path("two.txt")), "new content");
    EXPECT_EQ(fs::hard_link_count(dir.host("one.txt")), 2u);
    EXPECT_EQ(NamesIn(dir.host()), (Names{"one.txt", "private.txt", "two.txt"}));
}

// Writing into pipes, FIFOs and /dev/null is shown by the program's own output target tests:
// here a pipe whose reader is gone, and the kinds of file that are refused.
TEST(FileWriteTest, ABrokenPipeFailsAndSocketsAndBlockDevicesAreRefused) {
    testing::TempDir dir;
    // A link to a pipe's descriptor, as /dev/stdout is. Its reader gone, the write fails; the
    // program is not ended by the broken pipe.
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    close(ends[0]);
    fs::create_symlink("/proc/self/fd/" + std::to_string(ends[1]), dir.host("stdout"));
    EXPECT_FALSE(WriteFileReplacing(dir.path("stdout"), "nobody reads"));
    close(ends[1]);

    // A socket is refused, and so is a block device where one can be made.
    const int sock = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = dir.host("socket").string();
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    socketPath.copy(address.sun_path, socketPath.size());
    ASSERT_EQ(bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_FALSE(WriteFileReplacing(dir.path("socket"), "x"));
    EXPECT_TRUE(fs::is_socket(dir.host("socket")));
    close(sock);
    if (mknod(dir.host("block").c_str(), S_IFBLK | 0600, makedev(7, 200)) == 0) {
        EXPECT_FALSE(WriteFileReplacing(dir.path("block"), "x"));
        EXPECT_TRUE(fs::is_block_file(dir.host("block")));
    }
    Names expected{"socket", "stdout"};
    if (fs::exists(dir.host("block"))) expected.insert("block");
    EXPECT_EQ(NamesIn(dir.host()), expected);
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

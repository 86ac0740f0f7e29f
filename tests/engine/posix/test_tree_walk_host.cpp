// The walk on POSIX hosts: chains of folders deeper than any path limit, symbolic links, bind
// mounts and folders that cannot be read.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <utility>

#include "tests/engine/tree_body_fixture.h"

namespace folvane {
namespace {

using testing::CrLf;

// Deeper than the host's path limit and than any call stack would allow for a recursive walk;
// folders and files down there still open (the CRC reads the file).
TEST_F(TreeBodyTest, WalksAChainThousandsOfFoldersDeep) {
    constexpr int kLevels = 3000;
    int folder = open(tmp.host().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (int level = 0; level < kLevels; ++level) {  // made relative to each other: no long paths
        mkdirat(folder, "d", 0755);
        close(std::exchange(folder, openat(folder, "d", O_RDONLY | O_DIRECTORY | O_CLOEXEC)));
    }
    const int file = openat(folder, "file.txt", O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    close(folder);
    ASSERT_EQ(write(file, "123456789", 9), 9);
    close(file);

    const std::string text = Body({.crc = true}, {}, ""), first = text.substr(0, text.find('\r'));
    EXPECT_EQ(Totals(), (std::vector<int64_t>{kLevels, 1, 9}));
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), kLevels + 1);
    EXPECT_TRUE(first.starts_with("+- d ") && first.ends_with(" CBF43926")) << first;
}

TEST_F(TreeBodyTest, LinksAndLoopsAreListedButNeverFollowed) {
    std::filesystem::create_symlink("real", tmp.host("realLink"));
    std::filesystem::create_symlink(".", tmp.host("self"));
    std::filesystem::create_symlink("real/inside.txt", tmp.host("fileLink"));
    std::filesystem::create_symlink("nowhere", tmp.host("dangling"));
    EXPECT_EQ(Body({}, {"real/inside.txt=abc"}, ""),
              CrLf({"|- real", "|  +- inside.txt", "|- realLink", "|- self", "|- dangling", "+- fileLink"}));
    EXPECT_EQ(Totals(), (std::vector<int64_t>{3, 3, 6}));

    // A bind mount of the folder inside itself shows the same folder below itself.
    if (mount(tmp.host().c_str(), tmp.host("real").c_str(), nullptr, MS_BIND, nullptr) != 0)
        GTEST_SKIP() << "bind mounts are not permitted here";
    EXPECT_EQ(Body({}, {}, ""), CrLf({"|- real", "|- realLink", "|- self", "|- dangling", "+- fileLink"}));
    umount2(tmp.host("real").c_str(), MNT_DETACH);
}

TEST_F(TreeBodyTest, AnUnreadableFolderIsListedWithoutContents) {
    chmod(tmp.host().c_str(), 0755);
    chmod(tmp.WriteFile("closed/x.txt").parent_path().c_str(), 0);
    chmod(tmp.WriteFile("open/a.txt", "abc").c_str(), 0);  // listed, without CRC
    rig.Apply({.columns = 20, .lines = 2, .crc = true});
    const bool root = geteuid() == 0;  // whom permissions do not stop: the walk runs as nobody
    ASSERT_TRUE(!root || seteuid(65534) == 0);
    const std::string body = rig.Walk(tmp.path(), totals);
    ASSERT_TRUE(!root || seteuid(0) == 0);
    EXPECT_EQ(body, CrLf({"|- closed   00000000", "|     ", "+- open     00000000", "   |  ",
                          "   +- a.txt 00000000", "      "}));
    EXPECT_EQ(Totals(), (std::vector<int64_t>{2, 1, 3}));
}

}  // namespace
}  // namespace folvane

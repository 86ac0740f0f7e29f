// The walk on POSIX hosts: the caption as a person reads it (host paths), chains of folders
// deeper than any path limit, symbolic links, bind mounts and folders that cannot be read.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <utility>

#include "tests/engine/tree_body_fixture.h"

namespace folvane {
namespace {

using testing::CrLf;
using testing::Sp;

// File times as they were set, in the zone that TZ names.
TEST_F(TreeBodyTest, DefaultColumnsWithAWrappedName) {
    setenv("TZ", "UTC", 1);  // file times print as they were set
    tzset();
    const std::string longName = "long-file-name-that-does-not-fit-the-name-column.txt";
    testing::MakeTree(tmp, "",
                      {"docs/readme.txt=" + std::string(1234, 'r'), longName + "=1234567", "画像.png=12345"});
    tmp.SetUpdated("docs/readme.txt", 1614834367);  // 2021-03-04 05:06:07
    tmp.SetUpdated(longName, 946684799);            // 1999-12-31 23:59:59
    tmp.SetUpdated("画像.png", 1278580211);         // 2010-07-08 09:10:11
    EXPECT_EQ(rig.Walk(tmp.path(), totals),
              CrLf({"├ docs" + Sp(39) + "< Dir > ----",
                    "│ └ readme.txt" + Sp(32) + "1,234 ---A 2021/03/04 05:06:07",
                    "├ long-file-name-that-does-not-fit-the-n" + Sp(11) + "7 ---A 1999/12/31 23:59:59",
                    "│ ame-column.txt", "└ 画像.png" + Sp(41) + "5 ---A 2010/07/08 09:10:11"}));
    EXPECT_EQ(Totals(), (std::vector<int64_t>{1, 3, 1246}));
}

TEST_F(TreeBodyTest, CaptionNamesEachFolderAsItIsEntered) {
    rig.ui.OnPumpEvents([this](int) { rig.clock.Advance(std::chrono::milliseconds{150}); });
    Body({}, {"a/x.txt", "b/y.txt", "z.txt"}, "c");
    // The caption shows the folder as the person reads it: the host path.
    const std::string root = "Folvane  -  " + tmp.host("c").string() + "/";
    EXPECT_EQ(rig.ui.captionsSet(), (Lines{root + "*", root + "a/*", root + "b/*"}));
}

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

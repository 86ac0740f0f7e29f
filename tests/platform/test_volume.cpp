#include "platform/volume.h"

#include <gtest/gtest.h>
#include <sys/statvfs.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>

#include "platform/path_space.h"
#include "tests/support/temp_dir.h"

namespace folvane {
namespace {

class VolumeTest : public ::testing::Test {
  protected:
    void TearDown() override {
        ClearVolumeSubstitutesForTesting();
        ClearMappingsForTesting();
    }
    testing::TempDir dir_;
};

// Free and total bytes of path's disk, comparable in expectations.
std::optional<std::pair<int64_t, int64_t>> SpaceOf(std::string_view path) {
    const auto space = QueryDiskSpace(path);
    if (!space) return std::nullopt;
    return std::pair{space->freeBytes, space->totalBytes};
}

// /proc and the host root are mount points on every Linux system.
TEST_F(VolumeTest, RootsOfPaths) {
    MapDriveForTesting('C', dir_.MakeFolder("c").string());
    MapShareForTesting("srv", "shr", dir_.MakeFolder("share").string());
    std::filesystem::create_directory_symlink("/proc", dir_.host("toProc"));
    const std::pair<std::string, std::string> cases[] = {
        // Other drives and shares: the root their text gives, mapped or not.
        {"C:\\Data\\x.txt", "C:\\"},
        {"c:", "c:\\"},
        {"D:\\missing", "D:\\"},
        {"\\\\srv\\shr\\dir\\x", "\\\\srv\\shr\\"},
        {"\\\\srv\\shr", "\\\\srv\\shr"},
        {"\\\\srv", "\\\\srv"},
        {"", ""},
        // Z: the mount point of the file system that holds the path.
        {"Z:\\", "Z:\\"},
        {"z:", "Z:\\"},
        {"Z:\\proc\\self\\status", "Z:\\proc\\"},  // a link inside /proc, resolved
        {"z:\\PROC\\", "Z:\\proc\\"},              // the stored spelling
        {"Z:\\proc\\missing\\deeper", "Z:\\proc\\"},
        {dir_.path("toProc"), "Z:\\proc\\"},  // a folder link counts where it leads
        {"Z:\\no such folder\\at all", "Z:\\"},
    };
    for (const auto& [path, root] : cases)
        EXPECT_EQ(VolumeRootOf(path), root) << path;

    const std::string tempRoot = VolumeRootOf(dir_.path("a"));
    EXPECT_TRUE(tempRoot.ends_with('\\') && (dir_.path("a") + "\\").starts_with(tempRoot)) << tempRoot;
    MapDriveForTesting('Z', dir_.host().string());  // Z: mapped by a test is an ordinary drive
    dir_.MakeFolder("proc");
    EXPECT_EQ(VolumeRootOf("Z:\\proc"), "Z:\\");
}

TEST_F(VolumeTest, ExistingFoldersAnswerForTheirFileSystem) {
    const auto root = QueryVolume("Z:\\");
    ASSERT_TRUE(root.has_value());
    EXPECT_GT(root->maxComponentLength, 0u);
    EXPECT_FALSE(root->fileSystemName.empty());
    const auto proc = QueryVolume("Z:\\proc\\self");
    ASSERT_TRUE(proc.has_value());
    EXPECT_EQ(proc->fileSystemName, "proc");
    EXPECT_EQ(proc->label, "");

    MapDriveForTesting('C', dir_.host().string());
    const auto mapped = QueryVolume("c:\\");
    const auto direct = QueryVolume(dir_.path());
    ASSERT_TRUE(mapped && direct);
    EXPECT_EQ(mapped->fileSystemName, direct->fileSystemName);
    EXPECT_EQ(mapped->serial, direct->serial);

    dir_.WriteFile("file.txt", "x");
    for (const std::string& path : {dir_.path("missing"), dir_.path("file.txt"), std::string("Q:\\"),
                                    std::string("\\\\srv\\shr\\"), std::string()})
        EXPECT_EQ(QueryVolume(path), std::nullopt) << path;
}

TEST_F(VolumeTest, DiskSpaceCountsEveryFreeBlock) {
    dir_.WriteFile("file.txt", "x");
    for (const std::string& path : {dir_.path(), dir_.path("file.txt")}) {
        const auto space = QueryDiskSpace(path);
        ASSERT_TRUE(space.has_value()) << path;
        EXPECT_TRUE(space->totalBytes > 0 && space->freeBytes >= 0 && space->freeBytes <= space->totalBytes);
    }
    // Also the blocks kept back for the superuser; free space may move a little meanwhile.
    struct statvfs facts {};
    ASSERT_EQ(statvfs("/", &facts), 0);
    const auto space = QueryDiskSpace("Z:\\");
    ASSERT_TRUE(space.has_value());
    EXPECT_EQ(space->totalBytes, static_cast<int64_t>(facts.f_blocks * facts.f_frsize));
    EXPECT_LT(std::llabs(space->freeBytes - static_cast<int64_t>(facts.f_bfree * facts.f_frsize)), 64 << 20);

    for (const std::string& path : {dir_.path("missing"), std::string("Q:\\"), std::string()})
        EXPECT_EQ(QueryDiskSpace(path), std::nullopt) << path;
}

TEST_F(VolumeTest, SubstitutesReplaceTheAnswersUntilCleared) {
    const auto realRoot = QueryVolume("Z:\\");
    ASSERT_TRUE(realRoot.has_value());
    SubstituteVolumeForTesting("C:\\", VolumeFacts{"DATA", 0x1A2B3C4D, 255, 0, "NTFS"});
    SubstituteVolumeForTesting("Z:\\", std::nullopt);
    SubstituteDiskSpaceForTesting("\\\\srv\\shr\\", DiskSpace{2, 8});
    SubstituteDiskSpaceForTesting("\\\\SRV\\SHR\\", DiskSpace{1, 4});  // the same root: replaces
    SubstituteDiskSpaceForTesting("D:\\", std::nullopt);
    MapDriveForTesting('D', dir_.host().string());

    ASSERT_TRUE(QueryVolume("c:\\").has_value());
    EXPECT_EQ(QueryVolume("c:\\")->label, "DATA");
    EXPECT_EQ(QueryVolume("C:\\Data")->serial, 0x1A2B3C4Du);  // by the root that holds it
    EXPECT_EQ(QueryVolume("Z:\\"), std::nullopt);
    EXPECT_EQ(QueryVolume("E:\\"), std::nullopt);
    EXPECT_EQ(SpaceOf("\\\\Srv\\Shr\\dir\\x.txt"), (std::pair<int64_t, int64_t>(1, 4)));
    EXPECT_EQ(SpaceOf("\\\\srv\\other\\"), std::nullopt);
    EXPECT_EQ(SpaceOf("D:\\"), std::nullopt);  // mapped, but the substitute wins
    EXPECT_TRUE(SpaceOf("Z:\\").has_value());

    ClearVolumeSubstitutesForTesting();
    EXPECT_EQ(QueryVolume("C:\\"), std::nullopt);
    ASSERT_TRUE(QueryVolume("Z:\\").has_value());
    EXPECT_EQ(QueryVolume("Z:\\")->serial, realRoot->serial);
    EXPECT_EQ(SpaceOf("\\\\srv\\shr\\"), std::nullopt);
    EXPECT_TRUE(SpaceOf("D:\\").has_value());
}

}  // namespace
}  // namespace folvane

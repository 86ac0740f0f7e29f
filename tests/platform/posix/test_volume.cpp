#include "platform/volume.h"

#include <gtest/gtest.h>
#include <sys/statvfs.h>

#include <cstdlib>
#include <filesystem>

#include "platform/path_space.h"
#include "tests/support/temp_dir.h"

namespace folvane {
namespace {

class VolumeTest : public ::testing::Test {
  protected:
    void TearDown() override { ClearMappingsForTesting(); }
    testing::TempDir dir_;
};

// /proc and the host root are mount points on every Linux system.
TEST_F(VolumeTest, RootsOfPaths) {
    MapDriveForTesting('C', dir_.MakeFolder("c").string());
    std::filesystem::create_directory_symlink("/proc", dir_.host("toProc"));
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\Data\\x.txt", "C:\\"},
        {"c:", "c:\\"},
        {"\\\\srv\\shr\\dir\\x", "\\\\srv\\shr\\"},
        {"\\\\srv", "\\\\srv"},
        {"", ""},
        {"z:", "Z:\\"},
        {"Z:\\proc\\self\\status", "Z:\\proc\\"},  // a link inside /proc, resolved
        {"z:\\PROC\\missing\\deeper", "Z:\\proc\\"},
        {dir_.path("toProc"), "Z:\\proc\\"},  // a folder link counts where it leads
        {"Z:\\no such folder\\at all", "Z:\\"}};
    for (const auto& [path, root] : cases)
        EXPECT_EQ(VolumeRootOf(path), root) << path;
}

TEST_F(VolumeTest, ExistingFoldersAnswerForTheirFileSystemAndDisk) {
    const auto proc = QueryVolume("Z:\\proc\\self");
    ASSERT_TRUE(proc.has_value());
    EXPECT_TRUE(proc->fileSystemName == "proc" && proc->label.empty() && proc->maxComponentLength > 0);
    MapDriveForTesting('C', dir_.host().string());
    dir_.WriteFile("file.txt", "x");
    const auto mapped = QueryVolume("c:\\"), direct = QueryVolume(dir_.path());
    ASSERT_TRUE(mapped && direct);
    EXPECT_EQ(mapped->serial, direct->serial);
    for (const std::string& path : {dir_.path("missing"), dir_.path("file.txt"), std::string("Q:\\")})
        EXPECT_EQ(QueryVolume(path), std::nullopt) << path;

    // All free blocks count, also those kept back for the superuser; free space may move a little.
    struct statvfs facts {};
    ASSERT_EQ(statvfs("/", &facts), 0);
    const auto space = QueryDiskSpace("Z:\\");
    ASSERT_TRUE(space.has_value());
    EXPECT_EQ(space->totalBytes, static_cast<int64_t>(facts.f_blocks * facts.f_frsize));
    EXPECT_LT(std::llabs(space->freeBytes - static_cast<int64_t>(facts.f_bfree * facts.f_frsize)), 64 << 20);
    const auto ofFile = QueryDiskSpace(dir_.path("file.txt"));
    ASSERT_TRUE(ofFile.has_value());
    EXPECT_TRUE(ofFile->totalBytes > 0 && ofFile->freeBytes >= 0 && ofFile->freeBytes <= ofFile->totalBytes);
    for (const std::string& path : {dir_.path("missing"), std::string("Q:\\"), std::string()})
        EXPECT_EQ(QueryDiskSpace(path), std::nullopt) << path;
}

}  // namespace
}  // namespace folvane

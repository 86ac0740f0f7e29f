// The volume and disk facts of a listing: the root it shows and the queries behind its volume
// line and footer, asked once per run.

#include "engine/listing_facts.h"

#include <gtest/gtest.h>

#include "platform/path_space.h"
#include "platform/volume.h"
#include "tests/support/temp_dir.h"

namespace folvane {
namespace {

// C: and \\srv\shr are mapped onto a temporary folder; their answers are substituted.
class ListingFactsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        MapDriveForTesting('C', dir_.host().string());
        MapShareForTesting("srv", "shr", dir_.host().string());
    }
    void TearDown() override {
        ClearVolumeSubstitutesForTesting();
        ClearMappingsForTesting();
    }
    testing::TempDir dir_;
};

TEST_F(ListingFactsTest, RootsVolumesAndDisks) {
    // clang-format off
    const std::pair<std::string, std::string> roots[] = {
        {"\\\\srv\\shr\\a\\b\\", "\\\\srv\\shr\\"}, {"\\\\srv\\shr", "\\\\srv\\shr"}, {"\\\\srv", "\\\\srv"},
        {"D:", "D:\\"}, {"C:\\Data", "C:\\"}, {"abc", "a"}, {"", ""}, {"Z:\\", "Z:\\"},
        {"z:\\PROC\\self", "Z:\\proc\\"},  // /proc is a mount point
    };
    // clang-format on
    for (const auto& [folder, root] : roots) {
        EXPECT_EQ(RootPath(folder), root) << folder;
        EXPECT_EQ(GatherListingFacts(folder).root, root) << folder;
    }

    SubstituteVolumeForTesting("C:\\", VolumeFacts{"A&B", 0x1A2B3C4D, 255, 0, "ext4"});
    SubstituteDiskSpaceForTesting("c:\\", DiskSpace{1, 2});
    VolumeInfo info;
    ASSERT_EQ(GetVolumeInfo("C:\\", info), 0);
    EXPECT_EQ(info.label + " " + info.fileSystemName + " " + std::to_string(info.serial),
              "A&B ext4 439041101");
    EXPECT_EQ(GetVolumeInfo("Q:\\", info), -1);
    EXPECT_EQ(std::pair(DiskFreeBytes("C:\\"), DiskTotalBytes("C:\\")), (std::pair<int64_t, int64_t>(1, 2)));
    EXPECT_EQ(DiskFreeBytes("Q:\\"), -1);

    const ListingFacts facts = GatherListingFacts("C:\\Data\\");
    ASSERT_TRUE(facts.volume.has_value());
    EXPECT_EQ(facts.volume->label, "A&B");
    EXPECT_EQ(std::pair(facts.freeBytes, facts.totalBytes), (std::pair<int64_t, int64_t>(1, 2)));
    SubstituteVolumeForTesting("C:\\", std::nullopt);
    SubstituteDiskSpaceForTesting("C:\\", std::nullopt);
    const ListingFacts none = GatherListingFacts("C:\\Data\\");
    EXPECT_TRUE(!none.volume && none.freeBytes == -1 && none.totalBytes == -1);

    // The host root's facts come from the file system that holds the folder.
    const ListingFacts host = GatherListingFacts(dir_.path());
    EXPECT_TRUE(host.volume.has_value() && host.totalBytes > 0) << host.root;
}

}  // namespace
}  // namespace folvane

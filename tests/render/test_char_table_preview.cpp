#include "render/char_table_preview.h"

#include <gtest/gtest.h>

namespace folvane {
namespace {

TEST(CharTablePreviewTest, DrawsTheSampleTreeWithTheRuleFirst) {
    EXPECT_EQ(CharTablePreview({"   ", "|  ", "|- ", "+- ", "-"}),
              "--------------------\r\n"
              "Root\r\n"
              "|- Directory\r\n"
              "|  +- Sub Directory\r\n"
              "|     |- File\r\n"
              "|     +- File\r\n"
              "+- File");
}

TEST(CharTablePreviewTest, FitsAWideRuleToTwentyCellsAndLeavesOutAnEmptyOne) {
    const std::string fullWidth = CharTablePreview({"   ", "│ ", "├ ", "└ ", "─"});
    EXPECT_TRUE(fullWidth.starts_with("──────────\r\nRoot\r\n"));
    // An odd width cannot hold a whole double-byte rule at its end: a space fills the cell.
    EXPECT_TRUE(CharTablePreview({"", "", "", "", "x─"}).starts_with("x─x─x─x─x─x─x \r\n"));
    EXPECT_TRUE(CharTablePreview({"", "", "", "", ""}).starts_with("Root\r\n"));
}

}  // namespace
}  // namespace folvane

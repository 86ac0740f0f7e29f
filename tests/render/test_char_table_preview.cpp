#include "render/char_table_preview.h"

#include <gtest/gtest.h>

namespace folvane {
namespace {

TEST(CharTablePreviewTest, DrawsTheSampleTreeUnderARuleFittedToTwentyCells) {
    EXPECT_EQ(CharTablePreview({"   ", "|  ", "|- ", "+- ", "-"}),
              "--------------------\r\nRoot\r\n|- Directory\r\n|  +- Sub Directory\r\n"
              "|     |- File\r\n|     +- File\r\n+- File");
    EXPECT_TRUE(CharTablePreview({"   ", "│ ", "├ ", "└ ", "─"}).starts_with("──────────\r\nRoot\r\n"));
    // An odd width cannot hold a whole double-byte rule at its end: a space fills the cell.
    EXPECT_TRUE(CharTablePreview({"", "", "", "", "x─"}).starts_with("x─x─x─x─x─x─x \r\n"));
    EXPECT_TRUE(CharTablePreview({"", "", "", "", ""}).starts_with("Root\r\n"));  // no rule line
}

}  // namespace
}  // namespace folvane

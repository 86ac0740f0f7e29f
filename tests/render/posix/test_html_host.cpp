// HTML pieces where the POSIX host shows through: links to the host root's drive and a template
// that is a FIFO.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "render/html.h"
#include "tests/support/temp_dir.h"

namespace folvane {
namespace {

// A link on drive Z: names the host path. It is made from the path's text alone: the walk names
// entries as they are stored, so no link needs the file system (a name in other letter case
// stays as written, a "/" inside a name is kept as text).
TEST(Html, LinksOnTheHostRootDriveNameHostPaths) {
    const std::string escapedFF = "\xED\xB3\xBF";  // the escape code point of host byte 0xFF
    EXPECT_EQ(PathLink("z", "Z:\\a/b\\c"), "<A href=\"file:///a/b/c\">z</A>");
    EXPECT_EQ(PathLink("n", "Z:\\nowhere\\A b.txt"), "<A href=\"file:///nowhere/A%20b.txt\">n</A>");
    EXPECT_EQ(PathLink("n", "Z:\\x" + escapedFF), "<A href=\"file:///x%FF\">n</A>");
}

// A template that exists but cannot be read without a writer gives the built-in one, at once.
TEST(Html, AFifoTemplateGivesTheBuiltInOne) {
    testing::TempDir dir;
    dir.MakeFolder("basehtml");
    ASSERT_EQ(mkfifo(dir.host("basehtml/pipe.htm").c_str(), 0600), 0);
    EXPECT_EQ(HtmlTemplateRead(dir.path("basehtml") + "\\", "pipe"), DefaultHtmlTemplate());
}

}  // namespace
}  // namespace folvane

// Templates that only POSIX hosts can make unreadable: a FIFO (which must not block the read)
// and a file its owner may not read.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "render/html.h"
#include "tests/support/temp_dir.h"

namespace folvane {
namespace {

TEST(Html, ATemplateThatExistsButCannotBeReadGivesTheBuiltInOne) {
    testing::TempDir dir;
    ASSERT_EQ(mkfifo(dir.host("pipe.htm").c_str(), 0600), 0);
    chmod(dir.WriteFile("locked.htm", "locked").c_str(), 0);
    EXPECT_EQ(HtmlTemplateRead(dir.path() + "\\", "pipe"), DefaultHtmlTemplate());
    if (access(dir.host("locked.htm").c_str(), R_OK) != 0) {  // the superuser can read it
        EXPECT_EQ(HtmlTemplateRead(dir.path() + "\\", "locked"), DefaultHtmlTemplate());
    }
}

}  // namespace
}  // namespace folvane

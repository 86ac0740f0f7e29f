#pragma once
// The tree-body tests' fixture: a tree made in a temporary folder, walked with a look, its body
// compared with a hand-written text.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/path_space.h"
#include "tests/engine/golden_support.h"

namespace folvane {

using Lines = std::vector<std::string>;

// A tree as MakeTree takes it, listed with a look, and the body expected, where "[ref|text]" is
// a link to ref in the row's folder; totals (folders, files, bytes) when given.
struct Row {
    const char* what;
    testing::Look look;
    Lines tree, body;
    std::vector<int64_t> totals = {};
};

// The body with each "[ref|text]" turned into an HTML link to ref in the folder whose file URL
// is folderUrl.
inline std::string WithLinks(const std::string& body, const std::string& folderUrl) {
    std::string out;
    size_t at = 0;
    for (size_t open; (open = body.find('[', at)) != std::string::npos;) {
        const size_t bar = body.find('|', open), close = body.find(']', open);
        if (bar == std::string::npos || close == std::string::npos || bar > close) break;
        out += body.substr(at, open - at) + "<A href=\"" + folderUrl + "/" +
               body.substr(open + 1, bar - open - 1) + "\">" + body.substr(bar + 1, close - bar - 1) + "</A>";
        at = close + 1;
    }
    return out + body.substr(at);
}

inline const Lines kSmallTree = {"sub/x.txt=xxxx", "a.txt=a", "b.txt=bb"};

class TreeBodyTest : public ::testing::Test {
  protected:
    std::string Body(const testing::Look& look, const Lines& tree, const std::string& base) {
        testing::MakeTree(tmp, base, tree);
        rig.Apply(look);
        totals = {5, 99, 5, 5};  // whatever the caller's record held gives way
        return rig.Walk(tmp.path(base), totals);
    }

    void Check(const std::vector<Row>& rows) {
        for (const Row& row : rows) {
            SCOPED_TRACE(row.what);
            const std::string base = "row" + std::to_string(rowsChecked++);
            const std::string want = WithLinks(testing::CrLf(row.body), FileUrlOf(tmp.path(base)));
            EXPECT_EQ(Body(row.look, row.tree, base), want);
            EXPECT_EQ(row.totals.empty() ? row.totals : Totals(), row.totals);
        }
    }

    std::vector<int64_t> Totals() const { return {totals.Folders, totals.Files, totals.Bytes}; }

    testing::TempDir tmp;
    testing::ListingRig rig;
    FolderTotals totals;
    int rowsChecked = 0;
};

}  // namespace folvane

// Whole tree bodies compared with texts written out by hand: tree lines, margin lines, wrapped
// and packed names, the per-folder count lines, HTML markup and links, and the totals.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/tree_body.h"
#include "tests/engine/golden_support.h"

namespace folvane {
namespace {

using testing::CrLf;
using testing::FileUrl;
using testing::MakeTree;
using testing::Numbered;
using testing::Sp;
using testing::SplitCrLf;
using testing::TreeSpec;

// The settings a table row chooses; every other setting stays at its default.
struct Look {
    int columns = 40;  // all of them for the name column, unless size is set
    int charType = 0;
    int lines = 1;
    int viewType = 0;
    bool subDirs = true;
    bool size = false;  // a 12-cell size column (exact byte counts) after the name column
};

struct Counts {
    int64_t folders, files, bytes;
};

class TreeBodyGolden : public ::testing::Test {
  protected:
    // The tree body of tmp's folder base ("" for tmp itself).
    std::string Body(std::string_view base = "") {
        totals = {};
        return rig.Walk(base.empty() ? tmp.path() : tmp.path(base), totals);
    }

    void ExpectTotals(const Counts& want) {
        EXPECT_EQ(totals.Folders, want.folders);
        EXPECT_EQ(totals.Files, want.files);
        EXPECT_EQ(totals.Bytes, want.bytes);
    }

    void Apply(const Look& look) {
        if (look.size)
            rig.NameAndSize(look.columns);
        else
            rig.NameColumnOnly(look.columns);
        rig.settings.CharType = static_cast<int16_t>(look.charType);
        rig.settings.Lines = static_cast<int16_t>(look.lines);
        rig.settings.ViewType = static_cast<int16_t>(look.viewType);
        rig.settings.SubDirSearchFlg = look.subDirs;
    }

    // The base folder of table row i.
    static std::string Row(size_t i) { return "row" + std::to_string(i); }

    testing::UtcZone utc;  // file times print as they were set
    testing::TempDir tmp;
    testing::ListingRig rig;
    FolderTotals totals;
};

// A subfolder with one file, then two files: 1, 2 and 4 bytes.
const TreeSpec kSmallTree = {{"sub/x.txt", "xxxx"}, {"a.txt", "a"}, {"b.txt", "bb"}};

TEST_F(TreeBodyGolden, BranchesVerticalsAndMarginLinesInBothSets) {
    struct Case {
        int charType, lines;
        std::vector<std::string> body;
    };
    const Case cases[] = {
        {0, 1, {"|- sub", "|  +- x.txt", "|- a.txt", "+- b.txt"}},
        {0, 2, {"|- sub", "|  |  ", "|  +- x.txt", "|     ", "|- a.txt", "|  ", "+- b.txt", "   "}},
        {0,
         3,
         {"|- sub", "|  |  ", "|  |  ", "|  +- x.txt", "|     ", "|     ", "|- a.txt", "|  ", "|  ",
          "+- b.txt", "   ", "   "}},
        {1, 1, {"├ sub", "│ └ x.txt", "├ a.txt", "└ b.txt"}},
        {1, 2, {"├ sub", "│ │ ", "│ └ x.txt", "│    ", "├ a.txt", "│ ", "└ b.txt", "   "}},
    };
    MakeTree(tmp, "", kSmallTree);
    rig.NameColumnOnly(40);
    for (const auto& c : cases) {
        SCOPED_TRACE("CharType " + std::to_string(c.charType) + ", Lines " + std::to_string(c.lines));
        rig.settings.CharType = static_cast<int16_t>(c.charType);
        rig.settings.Lines = static_cast<int16_t>(c.lines);
        EXPECT_EQ(Body(), CrLf(c.body));
        ExpectTotals({1, 3, 7});
    }
}

TEST_F(TreeBodyGolden, AncestorColumnsAndFolderMargins) {
    struct Case {
        const char* what;
        Look look;
        TreeSpec tree;
        std::vector<std::string> body;
    };
    const TreeSpec threeLevels = {{"a/b/c.txt", "c"}, {"a/d.txt", "d"}, {"e.txt", "e"}};
    const std::vector<Case> cases = {
        {"three levels, half-width",
         {},
         threeLevels,
         {"|- a", "|  |- b", "|  |  +- c.txt", "|  +- d.txt", "+- e.txt"}},
        {"three levels, full-width",
         {.charType = 1},
         threeLevels,
         {"├ a", "│ ├ b", "│ │ └ c.txt", "│ └ d.txt", "└ e.txt"}},
        {"last entries all the way down", {}, {{"a/b/c.txt", "c"}}, {"+- a", "   +- b", "      +- c.txt"}},
        {"an empty folder's margin grows by blank, a full one's by vertical",
         {.lines = 2},
         {{"empty/", ""}, {"full/f.txt", "f"}},
         {"|- empty", "|     ", "+- full", "   |  ", "   +- f.txt", "      "}},
        {"subfolders listed but not read",
         {.lines = 2, .subDirs = false},
         kSmallTree,
         {"|- sub", "|  ", "|- a.txt", "|  ", "+- b.txt", "   "}},
        // Margins and names cut at cell 4; a double-byte character on the edge becomes a space.
        {"tight name column, full-width",
         {.columns = 4, .charType = 1, .lines = 2},
         {{"a/x", "x"}, {"b", "b"}},
         {"├ a", "│  ", "│", "│  ", "└ b", "   "}},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(c.what);
        MakeTree(tmp, Row(i), c.tree);
        Apply(c.look);
        EXPECT_EQ(Body(Row(i)), CrLf(c.body));
    }
}

TEST_F(TreeBodyGolden, ViewStylesWithFolderCountLines) {
    struct Case {
        const char* what;
        Look look;
        std::vector<std::string> body;
        Counts totals;
    };
    const std::string dir = Sp(27) + "< Dir >";
    const std::vector<Case> cases = {
        {"normal",
         {.size = true},
         {"|- sub" + dir, "|  +- x.txt" + Sp(28) + "4", "|- a.txt" + Sp(31) + "1", "+- b.txt" + Sp(31) + "2"},
         {1, 3, 7}},
        {"style 1: count line, then the names packed",
         {.viewType = 1, .size = true},
         {"|- sub" + dir, "|  +- ( 1 個のファイル )" + Sp(15) + "4", "|     x.txt",
          "+- ( 2 個のファイル )" + Sp(18) + "3", "   a.txt,b.txt"},
         {1, 3, 7}},
        {"style 1, full-width",
         {.charType = 1, .viewType = 1, .size = true},
         {"├ sub" + Sp(27) + "< Dir >", "│ └ ( 1 個のファイル )" + Sp(15) + "4", "│    x.txt",
          "└ ( 2 個のファイル )" + Sp(18) + "3", "   a.txt,b.txt"},
         {1, 3, 7}},
        {"style 1 with margin lines",
         {.lines = 2, .viewType = 1, .size = true},
         {"|- sub" + dir, "|  |  ", "|  +- ( 1 個のファイル )" + Sp(15) + "4", "|     x.txt", "|     ",
          "+- ( 2 個のファイル )" + Sp(18) + "3", "   a.txt,b.txt", "   "},
         {1, 3, 7}},
        {"style 2: count lines only",
         {.viewType = 2, .size = true},
         {"|- sub" + dir, "|  +- ( 1 個のファイル )" + Sp(15) + "4", "+- ( 2 個のファイル )" + Sp(18) + "3"},
         {1, 3, 7}},
        {"style 2 without subfolders",
         {.viewType = 2, .subDirs = false, .size = true},
         {"|- sub" + dir, "+- ( 2 個のファイル )" + Sp(18) + "3"},
         {1, 2, 3}},
        // Files are not even read in style 3, so nothing counts them.
        {"style 3: folders only", {.viewType = 3, .size = true}, {"+- sub" + dir}, {1, 0, 0}},
    };
    MakeTree(tmp, "", kSmallTree);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Apply(c.look);
        EXPECT_EQ(Body(), CrLf(c.body));
        ExpectTotals(c.totals);
    }
}

TEST_F(TreeBodyGolden, DefaultColumnsWithAWrappedName) {
    MakeTree(tmp, "",
             {{"docs/readme.txt", std::string(1234, 'r')},
              {"long-file-name-that-does-not-fit-the-name-column.txt", "1234567"},
              {"画像.png", "12345"}});
    tmp.SetUpdated("docs/readme.txt", 1614834367);                                      // 2021-03-04 05:06:07
    tmp.SetUpdated("long-file-name-that-does-not-fit-the-name-column.txt", 946684799);  // 1999-12-31 23:59:59
    tmp.SetUpdated("画像.png", 1278580211);                                             // 2010-07-08 09:10:11
    ComputeWidths(rig.settings);
    ASSERT_EQ(rig.settings.NameWidth, 41);

    EXPECT_EQ(Body(),
              CrLf({"├ docs" + Sp(39) + "< Dir > ----",
                    "│ └ readme.txt" + Sp(32) + "1,234 ---A 2021/03/04 05:06:07",
                    "├ long-file-name-that-does-not-fit-the-n" + Sp(11) + "7 ---A 1999/12/31 23:59:59",
                    "│ ame-column.txt", "└ 画像.png" + Sp(41) + "5 ---A 2010/07/08 09:10:11"}));
    ExpectTotals({1, 3, 1246});
}

TEST_F(TreeBodyGolden, FolderCrcIsTheWrappingSumOfItsFiles) {
    MakeTree(tmp, "", {{"sums/abc.txt", "abc"}, {"sums/num.txt", "123456789"}, {"top.txt", "a"}});
    Apply({});
    rig.settings.CRCFlg = true;
    ComputeWidths(rig.settings);

    EXPECT_EQ(Body(), CrLf({"|- sums" + Sp(24) + " 01187AE8", "|  |- abc.txt" + Sp(18) + " 352441C2",
                            "|  +- num.txt" + Sp(18) + " CBF43926", "+- top.txt" + Sp(21) + " E8B7BE43"}));
    EXPECT_EQ(totals.CrcSum, 0xE9D0392Bu);
}

TEST_F(TreeBodyGolden, WrappedNames) {
    struct Case {
        const char* what;
        Look look;
        TreeSpec tree;
        std::vector<std::string> body;
    };
    const TreeSpec longAndShort = {{"longname-abcdefghij.txt", ""}, {"z.txt", ""}};
    const std::vector<Case> cases = {
        {"a file continues in its own name column",
         {.columns = 12},
         longAndShort,
         {"|- longname-", "|  abcdefghi", "|  j.txt", "+- z.txt"}},
        {"margin lines follow the continuation lines",
         {.columns = 12, .lines = 2},
         longAndShort,
         {"|- longname-", "|  abcdefghi", "|  j.txt", "|  ", "+- z.txt", "   "}},
        {"a folder with contents continues one piece further right",
         {.columns = 12},
         {{"longfolder-abcdefgh/x", ""}},
         {"+- longfolde", "   |  r-abcd", "   |  efgh", "   +- x"}},
        {"an empty folder continues behind two blanks",
         {.columns = 12},
         {{"longfolder-abcdefgh/", ""}},
         {"+- longfolde", "      r-abcd", "      efgh"}},
        {"deeper down",
         {.columns = 12},
         {{"d/abcdefghijklm", ""}},
         {"+- d", "   +- abcdef", "      ghijkl", "      m"}},
        // The fifth character would straddle cell 12 of the first line and cell 9 of the next.
        {"double-byte characters move whole to the next line",
         {.columns = 12, .charType = 1},
         {{"日本語のファイル名.txt", ""}},
         {"└ 日本語の", "   ファイル", "   名.txt"}},
        {"two cells left for the name still wrap",
         {.columns = 5},
         {{"abcdefg", ""}},
         {"+- ab", "   cd", "   ef", "   g"}},
        {"one cell left is cut instead", {.columns = 4}, {{"abcdefg", ""}}, {"+- a"}},
        {"blanks at the break are dropped", {.columns = 9}, {{"abcdef   ghi", ""}}, {"+- abcdef", "   ghi"}},
        {"a rest of blanks gives no line", {.columns = 9}, {{"abcdef   ", ""}}, {"+- abcdef"}},
        {"one cell per continuation line",
         {.columns = 7},
         {{"abcdefghij/x", ""}, {"z", ""}},
         {"|- abcd", "|  |  e", "|  |  f", "|  |  g", "|  |  h", "|  |  i", "|  |  j", "|  +- x", "+- z"}},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(c.what);
        MakeTree(tmp, Row(i), c.tree);
        Apply(c.look);
        EXPECT_EQ(Body(Row(i)), CrLf(c.body));
    }
}

TEST_F(TreeBodyGolden, WrappedNameWithNoRoomForContinuationKeepsItsRest) {
    // The folder's grown prefix fills the whole name column; how the rest is shown is open, but
    // it must be there, in order.
    MakeTree(tmp, "", {{"abcdefghij/x", ""}, {"z", ""}});
    Apply({.columns = 6});
    const std::string body = Body();
    std::string letters;
    for (const char ch : body)
        if (ch >= 'a' && ch <= 'z') letters += ch;
    EXPECT_NE(letters.find("abcdefghij"), std::string::npos) << body;
    ASSERT_FALSE(SplitCrLf(body).empty());
    EXPECT_EQ(SplitCrLf(body).front(), "|- abc");
    EXPECT_EQ(SplitCrLf(body).back(), "+- z");
}

TEST_F(TreeBodyGolden, PackedNames) {
    struct Case {
        const char* what;
        Look look;
        std::vector<std::string> files;
        std::vector<std::string> body;  // the count line, then the packed names
    };
    // With 13 columns the names get 10 cells behind the blank piece, and so does the count text,
    // which is cut there; with fewer columns the count text keeps only its first cells.
    const std::string two = "+- ( 2 個のフ", three = "+- ( 3 個のフ";
    const std::vector<Case> cases = {
        {"a comma counts two cells", {.columns = 13}, {"ab", "cd", "ef"}, {three, "   ab,cd,", "   ef"}},
        {"one cell left after a name", {.columns = 13}, {"aaaaaaaaa", "bb"}, {two, "   aaaaaaaaa,", "   bb"}},
        {"two cells left after a name",
         {.columns = 13},
         {"aaaaaaaa", "bb", "cc"},
         {three, "   aaaaaaaa,", "   bb,cc"}},
        {"a name filling the line", {.columns = 13}, {"abcdefghij", "bb"}, {two, "   abcdefghij", "   ,bb"}},
        {"a full last line leaves no empty line",
         {.columns = 13},
         {"abcdefghij"},
         {"+- ( 1 個のフ", "   abcdefghij"}},
        {"a long name runs on over lines",
         {.columns = 13},
         {"abcdefghijklmnopqrstuvwxy", "bb"},
         {two, "   abcdefghij", "   klmnopqrst", "   uvwxy,", "   bb"}},
        {"a name that fits an empty line starts one",
         {.columns = 13},
         {"aaaaaaa", "bbbbbbbb"},
         {two, "   aaaaaaa,", "   bbbbbbbb"}},
        {"a name too long for any line starts where it is",
         {.columns = 13},
         {"aaa", "bbbbbbbbbbbb"},
         {two, "   aaa,bbbbb", "   bbbbbbb"}},
        {"double-byte characters", {.columns = 13}, {"ab", "あいうえお"}, {two, "   ab,あいう", "   えお"}},
        {"a double-byte character never straddles the end",
         {.columns = 13},
         {"abc", "あいうえお"},
         {two, "   abc,あい", "   うえお"}},
        {"margin lines after the names",
         {.columns = 13, .lines = 2},
         {"ab", "cd", "ef"},
         {three, "   ab,cd,", "   ef", "   "}},
        {"two cells: the comma on a line of its own",
         {.columns = 5},
         {"a", "b", "cd"},
         {"+- ( ", "   a", "   ,", "   b", "   ,", "   cd"}},
        {"two cells: a long name",
         {.columns = 5},
         {"a", "bcdef"},
         {"+- ( ", "   a", "   ,", "   bc", "   de", "   f"}},
        {"one cell: a double-byte character alone",
         {.columns = 4},
         {"a", "あb"},
         {"+- (", "   a", "   ,", "   あ", "   b"}},
        {"no cell: no names", {.columns = 3}, {"a", "b"}, {"+- "}},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(c.what);
        TreeSpec tree;
        for (const auto& name : c.files)
            tree.emplace_back(name, "");
        MakeTree(tmp, Row(i), tree);
        Look look = c.look;
        look.viewType = 1;
        Apply(look);
        EXPECT_EQ(Body(Row(i)), CrLf(c.body));
        ExpectTotals({0, static_cast<int64_t>(c.files.size()), 0});
    }
}

TEST_F(TreeBodyGolden, AThousandPackedNamesSixToALine) {
    for (int i = 0; i < 1000; ++i)
        tmp.WriteFile(Numbered(i), "x");
    Apply({.viewType = 1, .size = true});

    std::vector<std::string> lines{"+- ( 1,000 個のファイル )" + Sp(10) + "1,000"};
    for (int first = 0; first < 1000; first += 6) {
        std::string line = "   ";
        for (int i = first; i < first + 6 && i < 1000; ++i)
            line += Numbered(i) + (i + 1 < 1000 ? "," : "");
        lines.push_back(line);
    }
    EXPECT_EQ(Body(), CrLf(lines));
    ExpectTotals({0, 1000, 1000});
}

TEST_F(TreeBodyGolden, HundredsOfEntriesKeepTheirOrder) {
    // Folders on both sides of entry 100, one of them with contents, then more files.
    for (int i = 0; i < 120; ++i)
        tmp.MakeFolder(Numbered(i, "d"));
    tmp.WriteFile("d100/inner.txt", "i");
    for (int i = 0; i < 130; ++i)
        tmp.WriteFile(Numbered(i), "ff");
    Apply({});

    std::vector<std::string> lines;
    for (int i = 0; i < 120; ++i) {
        lines.push_back("|- " + Numbered(i, "d"));
        if (i == 100) lines.push_back("|  +- inner.txt");
    }
    for (int i = 0; i < 130; ++i)
        lines.push_back((i == 129 ? "+- " : "|- ") + Numbered(i));
    EXPECT_EQ(Body(), CrLf(lines));
    ExpectTotals({120, 131, 261});
}

class TreeBodyGoldenHtml : public TreeBodyGolden {
  protected:
    void SetUp() override {
        ASSERT_TRUE(testing::HostPathIsPlain(tmp)) << tmp.host();
        rig.settings.ListType = 1;
    }
    // An opening link tag to the entry relative (as written in the reference) of row i.
    std::string A(size_t i, std::string_view relative) {
        return "<A href=\"" + FileUrl(tmp, Row(i) + "/" + std::string(relative)) + "\">";
    }
};

TEST_F(TreeBodyGoldenHtml, LinksEscapesAndTeletypePrefixes) {
    MakeTree(tmp, Row(0), {{"sub/x.txt", ""}, {"a&b.txt", ""}, {"c d.txt", ""}});
    Apply({.lines = 2});
    rig.settings.FileLinkFlg = true;
    rig.settings.FolderLinkFlg = false;
    EXPECT_EQ(Body(Row(0)),
              CrLf({"<TT>|- </TT>sub", "<TT>|  |  </TT>", "<TT>|  +- </TT>" + A(0, "sub/x.txt") + "x.txt</A>",
                    "<TT>|     </TT>", "<TT>|- </TT>" + A(0, "a&amp;b.txt") + "a&amp;b.txt</A>",
                    "<TT>|  </TT>", "<TT>+- </TT>" + A(0, "c%20d.txt") + "c d.txt</A>", "<TT>   </TT>"}));

    MakeTree(tmp, Row(1), {{"sub/x.txt", ""}, {"a&b.txt", ""}, {"e<f>.txt", ""}});
    rig.settings.Lines = 1;
    rig.settings.FileLinkFlg = false;
    rig.settings.FolderLinkFlg = true;
    EXPECT_EQ(Body(Row(1)), CrLf({"<TT>|- </TT>" + A(1, "sub") + "sub</A>", "<TT>|  +- </TT>x.txt",
                                  "<TT>|- </TT>a&amp;b.txt", "<TT>+- </TT>e&lt;f&gt;.txt"}));
}

TEST_F(TreeBodyGoldenHtml, WrappedNamesCarryTheLinkOnEveryPiece) {
    MakeTree(tmp, Row(0), {{"日本語のファイル名.txt", ""}});
    Apply({.columns = 12, .charType = 1});
    rig.settings.FileLinkFlg = true;
    const std::string a = A(0, "日本語のファイル名.txt");
    EXPECT_EQ(Body(Row(0)), CrLf({"<TT>└ </TT>" + a + "日本語の</A>", "<TT>   </TT>" + a + "ファイル</A>",
                                  "<TT>   </TT>" + a + "名.txt</A>"}));

    MakeTree(tmp, Row(1), {{"longfolder-abcdefgh/x", ""}});
    rig.settings.CharType = 0;
    rig.settings.FileLinkFlg = false;
    rig.settings.FolderLinkFlg = true;
    const std::string folder = A(1, "longfolder-abcdefgh");
    EXPECT_EQ(Body(Row(1)),
              CrLf({"<TT>+- </TT>" + folder + "longfolde</A>", "<TT>   |  </TT>" + folder + "r-abcd</A>",
                    "<TT>   |  </TT>" + folder + "efgh</A>", "<TT>   +- </TT>x"}));

    // Widths count the name, not its escaped form.
    MakeTree(tmp, Row(2), {{"a&b&c&d&e&f.txt", ""}, {"a&b&c.tx", ""}});
    rig.settings.FolderLinkFlg = false;
    EXPECT_EQ(Body(Row(2)), CrLf({"<TT>|- </TT>a&amp;b&amp;c&amp;d&amp;e", "<TT>|  </TT>&amp;f.txt",
                                  "<TT>+- </TT>a&amp;b&amp;c.tx"}));
}

TEST_F(TreeBodyGoldenHtml, PackedNamesAndCountLines) {
    MakeTree(tmp, Row(0), {{"ab", ""}, {"cdefghijklmn", ""}});
    Apply({.columns = 13, .viewType = 1});
    rig.settings.FileLinkFlg = true;
    EXPECT_EQ(Body(Row(0)),
              CrLf({"<TT>+- </TT>( 2 個のフ",
                    "<TT>   </TT>" + A(0, "ab") + "ab</A>," + A(0, "cdefghijklmn") + "cdefgh</A>",
                    "<TT>   </TT>" + A(0, "cdefghijklmn") + "ijklmn</A>"}));

    MakeTree(tmp, Row(1), {{"a&b", ""}, {"cdefghijklmn", ""}});
    rig.settings.FileLinkFlg = false;
    rig.settings.Lines = 2;
    EXPECT_EQ(Body(Row(1)), CrLf({"<TT>+- </TT>( 2 個のフ", "<TT>   </TT>a&amp;b,cdefg",
                                  "<TT>   </TT>hijklmn", "<TT>   </TT>"}));

    MakeTree(tmp, Row(2), kSmallTree);
    Apply({.viewType = 2, .size = true});
    rig.settings.FolderLinkFlg = false;
    EXPECT_EQ(Body(Row(2)), CrLf({"<TT>|- </TT>sub" + Sp(27) + "&lt; Dir &gt;",
                                  "<TT>|  +- </TT>( 1 個のファイル )" + Sp(15) + "4",
                                  "<TT>+- </TT>( 2 個のファイル )" + Sp(18) + "3"}));
}

TEST_F(TreeBodyGoldenHtml, TreeLinePiecesAreEscaped) {
    rig.chars.strings[0] = {"   ", "!  ", "&- ", "<- ", "="};
    MakeTree(tmp, Row(0), {{"sub/x", ""}, {"y", ""}});
    Apply({.lines = 2});
    rig.settings.FileLinkFlg = false;
    EXPECT_EQ(Body(Row(0)), CrLf({"<TT>&amp;- </TT>sub", "<TT>!  !  </TT>", "<TT>!  &lt;- </TT>x",
                                  "<TT>!     </TT>", "<TT>&lt;- </TT>y", "<TT>   </TT>"}));
}

TEST_F(TreeBodyGolden, CaptionNamesEachFolderAsItIsEntered) {
    MakeTree(tmp, "", {{"a/x.txt", ""}, {"b/y.txt", ""}, {"z.txt", ""}});
    rig.ui.OnPumpEvents([this](int) { rig.clock.Advance(std::chrono::milliseconds{150}); });
    Body();
    const std::string root = "Folvane  -  " + tmp.path() + "\\";
    EXPECT_EQ(rig.ui.captionsSet(), (std::vector<std::string>{root + "*", root + "a\\*", root + "b\\*"}));
    EXPECT_EQ(rig.run.PendingCaption, root + "b\\*");
}

TEST_F(TreeBodyGolden, LinkToAFolderIsListedButNotDescended) {
    MakeTree(tmp, "", {{"real/x.txt", "xx"}});
    std::filesystem::create_directory_symlink(tmp.host("real"), tmp.host("zlink"));
    Apply({});
    EXPECT_EQ(Body(), CrLf({"|- real", "|  +- x.txt", "+- zlink"}));
    ExpectTotals({2, 1, 2});
}

TEST_F(TreeBodyGolden, UnreadableFolderIsListedWithoutContents) {
    if (geteuid() == 0) GTEST_SKIP() << "permissions do not stop the superuser";
    MakeTree(tmp, "", {{"closed/x.txt", "x"}, {"open.txt", "o"}});
    chmod(tmp.host("closed").c_str(), 0);
    Apply({.lines = 2, .viewType = 2, .size = true});
    EXPECT_EQ(Body(), CrLf({"|- closed" + Sp(24) + "< Dir >", "|     ",
                            "+- ( 1 個のファイル )" + Sp(18) + "1", "   "}));
    ExpectTotals({1, 1, 1});
}

}  // namespace
}  // namespace folvane

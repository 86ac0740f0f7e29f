// Tree bodies against hand-written texts; the walk's cancels; the debounced caption that names
// the folder being read.

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <utility>

#include "platform/file_system.h"
#include "platform/file_write.h"
#include "platform/person_path.h"
#include "tests/engine/tree_body_fixture.h"

namespace folvane {
namespace {

using testing::CrLf;
using testing::Look;
using testing::Sp;

// A moment as the listing shows it, in the host's time zone ("2021/03/04 14:06:07"); the C
// library does the calendar.
std::string LocalDateTime(UtcSeconds t) {
    const std::time_t local = static_cast<std::time_t>(LocalSecondsOf(t));
    char text[32] = "";
    std::strftime(text, sizeof text, "%Y/%m/%d %H:%M:%S", std::gmtime(&local));
    return text;
}

// clang-format off
TEST_F(TreeBodyTest, TreeLinesMarginLinesAndFolderCrcs) {
    Check({
        {"half-width", {}, kSmallTree, {"|- sub", "|  +- x.txt", "|- a.txt", "+- b.txt"}, {1, 3, 7}},
        {"half-width, Lines 3", {.lines = 3}, kSmallTree,
         {"|- sub", "|  |  ", "|  |  ", "|  +- x.txt", "|     ", "|     ", "|- a.txt", "|  ", "|  ",
          "+- b.txt", "   ", "   "}},
        {"full-width, Lines 2", {.charType = 1, .lines = 2}, kSmallTree,
         {"├ sub", "│ │ ", "│ └ x.txt", "│    ", "├ a.txt", "│ ", "└ b.txt", "   "}},
        {"three levels", {}, {"a/b/c.txt", "a/d.txt", "e.txt"},
         {"|- a", "|  |- b", "|  |  +- c.txt", "|  +- d.txt", "+- e.txt"}},
        {"last entries all the way down", {}, {"a/b/c.txt"}, {"+- a", "   +- b", "      +- c.txt"}},
        {"an empty folder's margin grows by blank, a full one's by vertical", {.lines = 2},
         {"empty/", "full/x"}, {"|- empty", "|     ", "+- full", "   |  ", "   +- x", "      "}},
        {"subfolders listed but not read", {.lines = 2, .subDirs = false}, kSmallTree,
         {"|- sub", "|  ", "|- a.txt", "|  ", "+- b.txt", "   "}, {1, 2, 3}},
        // Margins and names cut at cell 4; a double-byte character on the edge becomes a space.
        {"tight, full-width", {.columns = 4, .charType = 1, .lines = 2}, {"a/x", "b"},
         {"├ a", "│  ", "│", "│  ", "└ b", "   "}},
        {"folder CRCs, wrapping sums", {.crc = true}, {"s/a.txt=abc", "s/n.txt=123456789", "t.txt=a"},
         {"|- s" + Sp(27) + " 01187AE8", "|  |- a.txt" + Sp(20) + " 352441C2",
          "|  +- n.txt" + Sp(20) + " CBF43926", "+- t.txt" + Sp(23) + " E8B7BE43"}},
    });
    EXPECT_EQ(totals.CrcSum, 0xE9D0392Bu);
}

TEST_F(TreeBodyTest, ViewStylesWithFolderCountLines) {
    const std::string dir = Sp(27) + "< Dir >", one = "( 1 個のファイル )" + Sp(15) + "4",
                      two = "( 2 個のファイル )" + Sp(18) + "3";
    Check({
        {"style 1: count line, then the names packed", {.viewType = 1, .size = true}, kSmallTree,
         {"|- sub" + dir, "|  +- " + one, "|     x.txt", "+- " + two, "   a.txt,b.txt"}, {1, 3, 7}},
        {"style 1, full-width", {.charType = 1, .viewType = 1, .size = true}, kSmallTree,
         {"├ sub" + dir, "│ └ " + one, "│    x.txt", "└ " + two, "   a.txt,b.txt"}},
        {"style 1 with margin lines", {.lines = 2, .viewType = 1, .size = true}, kSmallTree, {"|- sub" + dir,
         "|  |  ", "|  +- " + one, "|     x.txt", "|     ", "+- " + two, "   a.txt,b.txt", "   "}},
        {"style 2: count lines only", {.viewType = 2, .size = true}, kSmallTree,
         {"|- sub" + dir, "|  +- " + one, "+- " + two}, {1, 3, 7}},
        {"style 2 without subfolders", {.viewType = 2, .subDirs = false, .size = true}, kSmallTree,
         {"|- sub" + dir, "+- " + two}, {1, 2, 3}},
        // Files are not even read in style 3, so nothing counts them.
        {"style 3: folders only", {.viewType = 3, .size = true}, kSmallTree, {"+- sub" + dir}, {1, 0, 0}},
    });
}

TEST_F(TreeBodyTest, WrappedNames) {
    Check({
        {"a file continues in its own name column, then the margin lines", {.columns = 12, .lines = 2},
         {"longname-abcdefghij.txt", "z.txt"},
         {"|- longname-", "|  abcdefghi", "|  j.txt", "|  ", "+- z.txt", "   "}},
        {"a full folder continues one piece further right", {.columns = 12}, {"longfolder-abcdefgh/x"},
         {"+- longfolde", "   |  r-abcd", "   |  efgh", "   +- x"}},
        {"an empty folder continues behind two blanks", {.columns = 12}, {"longfolder-abcdefgh/"},
         {"+- longfolde", "      r-abcd", "      efgh"}},
        {"deeper down", {.columns = 12}, {"d/abcdefghijklm"},
         {"+- d", "   +- abcdef", "      ghijkl", "      m"}},
        // The fifth character would straddle cell 12 of the first line and cell 9 of the next.
        {"double-byte characters move whole to the next line", {.columns = 12, .charType = 1},
         {"日本語のファイル名.txt"}, {"└ 日本語の", "   ファイル", "   名.txt"}},
        {"two cells left still wrap", {.columns = 5}, {"abcdefg"}, {"+- ab", "   cd", "   ef", "   g"}},
        {"one cell left is cut instead", {.columns = 4}, {"abcdefg"}, {"+- a"}},
        {"blanks at the break are dropped", {.columns = 9}, {"abcdef   ghi"}, {"+- abcdef", "   ghi"}},
        {"a rest of blanks gives no line", {.columns = 9}, {"abcdef   "}, {"+- abcdef"}},
        {"one cell per continuation line", {.columns = 7}, {"abcdefghij/x", "z"},
         {"|- abcd", "|  |  e", "|  |  f", "|  |  g", "|  |  h", "|  |  i", "|  |  j", "|  +- x", "+- z"}},
        // Where the folder's grown prefix leaves no cell, the rest of the name is still all there.
        {"one cell, double-byte", {.columns = 7}, {"あいうえお/x"}, {"+- あい", "う", "え", "お", "   +- x"}},
        {"no cell left", {.columns = 5}, {"abcdefghij/x"}, {"+- ab", "cdefg", "hij", "   +-"}},
        {"no cell, not last", {.columns = 6}, {"abcdefghij/x", "z"},
         {"|- abc", "defghi", "j", "|  +-", "+- z"}},
    });
}

TEST_F(TreeBodyTest, PackedNames) {
    // With 13 columns the names get 10 cells behind the blank piece, and so does the count text,
    // which is cut there; with fewer columns the count text keeps only its first cells.
    const std::string two = "+- ( 2 個のフ", three = "+- ( 3 個のフ";
    auto packed = [](int columns, int lines = 1) { return Look{columns, 0, lines, 1}; };  // view style 1
    Check({
        {"one cell left", packed(13), {"aaaaaaaaa", "bb"}, {two, "   aaaaaaaaa,", "   bb"}},
        {"two cells left", packed(13), {"aaaaaaaa", "bb", "cc"}, {three, "   aaaaaaaa,", "   bb,cc"}},
        {"a name filling the line", packed(13), {"abcdefghij", "bb"}, {two, "   abcdefghij", "   ,bb"}},
        {"a full last line, no empty one", packed(13), {"abcdefghij"}, {"+- ( 1 個のフ", "   abcdefghij"}},
        {"a long name runs on over lines", packed(13), {"abcdefghijklmnopqrstuvwxy", "bb"},
         {two, "   abcdefghij", "   klmnopqrst", "   uvwxy,", "   bb"}},
        {"a name that fits an empty line starts one", packed(13), {"aaaaaaa", "bbbbbbbb"},
         {two, "   aaaaaaa,", "   bbbbbbbb"}},
        {"a name too long for any line starts where it is", packed(13), {"aaa", "bbbbbbbbbbbb"},
         {two, "   aaa,bbbbb", "   bbbbbbb"}},
        {"double-byte characters", packed(13), {"ab", "あいうえお"}, {two, "   ab,あいう", "   えお"}},
        {"a double-byte character never straddles the end", packed(13), {"abc", "あいうえお"},
         {two, "   abc,あい", "   うえお"}},
        {"a comma counts two cells; margin lines after names", packed(13, 2), {"ab", "cd", "ef"},
         {three, "   ab,cd,", "   ef", "   "}},
        {"two cells: the comma on a line of its own", packed(5), {"a", "b", "cd"},
         {"+- ( ", "   a", "   ,", "   b", "   ,", "   cd"}},
        {"two cells: a long name", packed(5), {"a", "bcdef"},
         {"+- ( ", "   a", "   ,", "   bc", "   de", "   f"}},
        {"one cell: double-byte alone", packed(4), {"a", "あb"}, {"+- (", "   a", "   ,", "   あ", "   b"}},
        {"no cell: no names", packed(3), {"a", "b"}, {"+- "}},
    });
}

TEST_F(TreeBodyTest, Html) {
    ASSERT_EQ(tmp.path().find_first_of(" %&#<>\"'[]|"), std::string::npos) << tmp.path();
    Check({
        {"file links, escapes and teletype tree lines", {.lines = 2, .html = true, .fileLink = true},
         {"sub/x.txt", "a&b.txt", "c d.txt"},
         {"<TT>|- </TT>sub", "<TT>|  |  </TT>", "<TT>|  +- </TT>[sub/x.txt|x.txt]", "<TT>|     </TT>",
          "<TT>|- </TT>[a&amp;b.txt|a&amp;b.txt]", "<TT>|  </TT>", "<TT>+- </TT>[c%20d.txt|c d.txt]",
          "<TT>   </TT>"}},
        {"folder links", {.html = true, .folderLink = true}, {"sub/x.txt", "a&b.txt", "e f.txt"},
         {"<TT>|- </TT>[sub|sub]", "<TT>|  +- </TT>x.txt", "<TT>|- </TT>a&amp;b.txt",
          "<TT>+- </TT>e f.txt"}},
        {"wrapped name, each piece a link", {.columns = 12, .charType = 1, .html = true, .fileLink = true},
         {"日本語のファイル名.txt"},
         {"<TT>└ </TT>[日本語のファイル名.txt|日本語の]", "<TT>   </TT>[日本語のファイル名.txt|ファイル]",
          "<TT>   </TT>[日本語のファイル名.txt|名.txt]"}},
        {"a wrapped folder too", {.columns = 12, .html = true, .folderLink = true}, {"longfolder-abcdefgh/x"},
         {"<TT>+- </TT>[longfolder-abcdefgh|longfolde]", "<TT>   |  </TT>[longfolder-abcdefgh|r-abcd]",
          "<TT>   |  </TT>[longfolder-abcdefgh|efgh]", "<TT>   +- </TT>x"}},
        {"widths count names, not escapes", {.columns = 12, .html = true}, {"a&b&c&d&e&f.txt", "a&b&c.tx"},
         {"<TT>|- </TT>a&amp;b&amp;c&amp;d&amp;e", "<TT>|  </TT>&amp;f.txt", "<TT>+- </TT>a&amp;b&amp;c.tx"}},
        {"packed links", {.columns = 13, .viewType = 1, .html = true, .fileLink = true},
         {"ab", "cdefghijklmn"}, {"<TT>+- </TT>( 2 個のフ", "<TT>   </TT>[ab|ab],[cdefghijklmn|cdefgh]",
                                  "<TT>   </TT>[cdefghijklmn|ijklmn]"}},
        {"escaped packed", {.columns = 13, .lines = 2, .viewType = 1, .html = true}, {"a&b", "cdefghijklmn"},
         {"<TT>+- </TT>( 2 個のフ", "<TT>   </TT>a&amp;b,cdefg", "<TT>   </TT>hijklmn", "<TT>   </TT>"}},
        {"count lines", {.viewType = 2, .size = true, .html = true}, kSmallTree,
         {"<TT>|- </TT>sub" + Sp(27) + "&lt; Dir &gt;", "<TT>|  +- </TT>( 1 個のファイル )" + Sp(15) + "4",
          "<TT>+- </TT>( 2 個のファイル )" + Sp(18) + "3"}},
    });
    rig.chars.strings[0] = {"   ", "!  ", "&- ", "<- ", "="};
    Check({{"tree-line pieces escaped", {.lines = 2, .html = true}, {"sub/x", "y"},
            {"<TT>&amp;- </TT>sub", "<TT>!  !  </TT>", "<TT>!  &lt;- </TT>x", "<TT>!     </TT>",
             "<TT>&lt;- </TT>y", "<TT>   </TT>"}}});
}
// clang-format on

TEST_F(TreeBodyTest, DefaultColumnsWithAWrappedName) {
    const std::string longName = "long-file-name-that-does-not-fit-the-name-column.txt";
    testing::MakeTree(tmp, "",
                      {"docs/readme.txt=" + std::string(1234, 'r'), longName + "=1234567", "画像.png=12345"});
    tmp.SetUpdated("docs/readme.txt", 1614834367);  // 2021-03-04 05:06:07 UTC
    tmp.SetUpdated(longName, 946684799);            // 1999-12-31 23:59:59 UTC
    tmp.SetUpdated("画像.png", 1278580211);         // 2010-07-08 09:10:11 UTC
    EXPECT_EQ(
        rig.Walk(tmp.path(), totals),
        CrLf({"├ docs" + Sp(39) + "< Dir > ----",
              "│ └ readme.txt" + Sp(32) + "1,234 ---A " + LocalDateTime(1614834367),
              "├ long-file-name-that-does-not-fit-the-n" + Sp(11) + "7 ---A " + LocalDateTime(946684799),
              "│ ame-column.txt", "└ 画像.png" + Sp(41) + "5 ---A " + LocalDateTime(1278580211)}));
    EXPECT_EQ(Totals(), (std::vector<int64_t>{1, 3, 1246}));
}

TEST_F(TreeBodyTest, AThousandPackedNamesSixToALine) {
    Lines names, lines{"+- ( 1,000 個のファイル )" + Sp(10) + "1,000"};
    for (int i = 0; i < 1000; ++i) {
        names.push_back(testing::Numbered(i) + "=x");
        if (i % 6 == 0) lines.push_back("   ");
        lines.back() += testing::Numbered(i) + (i < 999 ? "," : "");
    }
    EXPECT_EQ(Body({.viewType = 1, .size = true}, names, ""), CrLf(lines));
}

// A chain whose paths run past the 260 characters that Windows paths were once held to: every
// level is listed, and the file at the bottom still opens for its CRC.
TEST_F(TreeBodyTest, WalksAChainPastTheOldWindowsPathLimit) {
    constexpr int kLevels = 12;
    const std::string name(60, 'd');
    std::string deepest = tmp.path();
    for (int level = 0; level < kLevels; ++level)
        deepest += "\\" + name;
    ASSERT_TRUE(MakeFolders(deepest));
    ASSERT_TRUE(WriteFileReplacing(deepest + "\\file.txt", "123456789"));
    const std::string text = Body({.columns = 150, .crc = true}, {}, "");
    EXPECT_EQ(Totals(), (std::vector<int64_t>{kLevels, 1, 9}));
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), kLevels + 1);
    EXPECT_NE(text.find(Sp(3 * kLevels) + "+- file.txt "), std::string::npos) << text;
    EXPECT_TRUE(text.ends_with(" CBF43926\r\n")) << text;
}

TEST(CaptionTimer, ShowsTheLastRequestAfterOneHundredMillisecondsOfQuiet) {
    testing::ListingRig rig;
    const Lines& shown = rig.ui.captionsSet();
    auto pass = [&](int ms) {  // as through the front end's timer or the walk's event pumping
        rig.clock.Advance(std::chrono::milliseconds{ms});
        rig.caption.Tick();
    };
    EXPECT_EQ(rig.caption.TimeUntilDue(), std::nullopt);  // stopped: nothing changes before a request
    rig.run.PendingCaption = "Folvane  -  Z:\\left\\over*";
    pass(1000);
    for (int i = 0; i < 1000; ++i) {  // the walk ticks between the requests, 50 ms apart
        rig.caption.SetPendingCaption("Folvane  -  Z:\\data\\" + std::to_string(i) + "*");
        pass(25);
        pass(25);
    }
    pass(49);
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(rig.caption.TimeUntilDue(), std::chrono::milliseconds{1});
    pass(1);
    pass(1000);  // stopped after firing: later ticks redraw nothing
    EXPECT_EQ(shown, Lines{"Folvane  -  Z:\\data\\999*"});

    // A late tick fires once, with the caption pending at that moment.
    rig.caption.SetPendingCaption("B");
    rig.clock.Advance(std::chrono::milliseconds{250});
    rig.run.PendingCaption = "C";
    EXPECT_EQ(rig.caption.TimeUntilDue(), std::chrono::milliseconds{0});
    pass(0);
    // The caption the window shows is not drawn again, even by way of another one.
    rig.caption.SetPendingCaption("X");
    pass(20);
    rig.caption.SetPendingCaption("C");
    pass(100);
    EXPECT_EQ(shown, (Lines{"Folvane  -  Z:\\data\\999*", "C"}));
}

TEST_F(TreeBodyTest, CaptionNamesEachFolderAsItIsEntered) {
    rig.ui.OnPumpEvents([this](int) { rig.clock.Advance(std::chrono::milliseconds{150}); });
    Body({}, {"a/x.txt", "b/y.txt", "z.txt"}, "c");
    // The caption shows the folder as the person reads it (the host path on hosts with one root).
    auto caption = [&](std::string_view folder) {
        return "Folvane  -  " + PathForPerson(tmp.path(folder) + "\\*");
    };
    EXPECT_EQ(rig.ui.captionsSet(), (Lines{caption("c"), caption("c/a"), caption("c/b")}));
}

// Folders on both sides of entry 100, one of them with contents, then files: the lines keep their
// order, and whenever a cancel comes, the walk stops at once, all levels together.
TEST_F(TreeBodyTest, HundredsOfEntriesInBlocksAndACancelAtAnyPoint) {
    Lines names = {"d100/inner/x.txt=x"}, lines;
    for (int i = 0; i < 115; ++i) {  // 105 folders, 10 files
        const std::string name = i < 105 ? testing::Numbered(i, "d") : testing::Numbered(i - 105);
        names.push_back(name + (i < 105 ? "/" : "=ff"));
        lines.push_back((i < 114 ? "|- " : "+- ") + name);
        if (i == 100) lines.insert(lines.end(), {"|  +- inner", "|     +- x.txt"});
    }
    EXPECT_EQ(Body({}, names, ""), CrLf(lines));
    EXPECT_EQ(Totals(), (std::vector<int64_t>{106, 11, 21}));

    for (int cancelAt = 1, pumps = rig.ui.pumps(); cancelAt <= pumps; ++cancelAt) {
        testing::ListingRig cancelled;
        cancelled.Apply({});
        cancelled.ui.OnPumpEvents([&](int call) {
            if (call == cancelAt) cancelled.run.CancelFlag = kCancelByClosing;
        });
        cancelled.Walk(tmp.path(), totals);
        ASSERT_EQ(cancelled.ui.pumps(), cancelAt);
    }
}

}  // namespace
}  // namespace folvane

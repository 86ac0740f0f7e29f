#include "render/text_width.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace folvane {
namespace {

TEST(TextWidth, StrWidthCountsCodePageBytes) {
    const std::pair<std::string, int> cases[] = {{"", 0},
                                                 {"abc", 3},
                                                 {"ファイル", 8},
                                                 {"ｶﾀｶﾅ", 4},
                                                 {"😀", 1},
                                                 {"a😀b", 3},
                                                 {"\xFF", 1},
                                                 {"¥‖", 3},
                                                 {"abcdefghijあ", 12},
                                                 {"abcdefgh\xE3\x81", 10},
                                                 {"\xE0\x80\xAF", 3},
                                                 {"\xED\xB2\x80", 1},
                                                 {"x\xC2", 2}};
    for (const auto& [s, cells] : cases)
        EXPECT_EQ(StrWidth(s), cells) << s;
}

TEST(TextWidth, LeadByteAtScansFromTheStart) {
    // あ, a, 表 (its trail byte is a backslash), then a pair whose trail byte is in the lead range.
    const std::string t = std::string("\x82\xA0") + "a" + "\x95\x5C" + "\x82\x82";
    const std::pair<int, bool> cases[] = {{1, true},  {2, false},  {3, false},      {4, true},
                                          {5, false}, {6, true},   {7, false},      {0, false},
                                          {8, false}, {-1, false}, {INT_MAX, false}};
    for (const auto& [n, lead] : cases)
        EXPECT_EQ(LeadByteAt(t, n), lead) << n;
    EXPECT_FALSE(LeadByteAt("", 1));
}

// One row per text and width: what each fitting operation makes of it.
TEST(TextWidth, FitCutPadAndRightAlign) {
    struct Case {
        std::string s;
        int n;
        std::string fitLeft, cutWidth, padSpace, fitRight;
    };
    const Case cases[] = {
        {"ab", 5, "ab   ", "ab", "   ", "   ab"},
        {"12", 5, "12   ", "12", "   ", "   12"},
        {"あいう", 5, "あい ", "あい ", "", " いう"},
        {"あいう", 6, "あいう", "あいう", "", "あいう"},
        {"バイト数", 7, "バイト ", "バイト ", "", " イト数"},
        {"バイト数", 6, "バイト", "バイト", "", "イト数"},
        {"abcdef", 5, "abcde", "abcde", "", "bcdef"},
        {"abあ", 3, "ab ", "ab ", "", "bあ"},
        {"ab あ", 3, "ab ", "ab ", "", " あ"},
        {"abcdefghijあ", 11, "abcdefghij ", "abcdefghij ", "", "bcdefghijあ"},
        {"ｶﾀｶﾅ", 3, "ｶﾀｶ", "ｶﾀｶ", "", "ﾀｶﾅ"},
        {"あ", 1, " ", " ", "", " "},
        {"", 3, "   ", "", "   ", "   "},
        {"ab", 0, "", "", "", ""},
        {"ab", -7, "", "", "", ""},
        {"😀", 2, "? ", "?", " ", " ?"},  // outside the code page: "?", one cell
        {"¥100", 4, "\\100", "\\100", "", "\\100"},
        {"\u2016x", 3, "\u2225x", "\u2225x", "", "\u2225x"},
    };
    for (const Case& k : cases) {
        EXPECT_EQ(FitLeft(k.s, k.n), k.fitLeft) << "'" << k.s << "', " << k.n;
        EXPECT_EQ(CutWidth(k.s, k.n), k.cutWidth) << "'" << k.s << "', " << k.n;
        EXPECT_EQ(PadSpace(k.s, k.n), k.padSpace) << "'" << k.s << "', " << k.n;
        EXPECT_EQ(FitRight(k.s, k.n), k.fitRight) << "'" << k.s << "', " << k.n;
    }
}

TEST(TextWidth, SplitWidth) {
    const std::vector<std::tuple<std::string, int, std::string, std::string>> cases = {
        {"あいう", 5, "あい", "う"}, {"abcdef", 4, "abcd", "ef"}, {"abc", 5, "abc", ""},
        {"abc", 0, "", "abc"},       {"abc", -1, "", "abc"},      {"😀x", 1, "?", "x"},
        {"あ", 1, "", "あ"},         {"¥あ", 2, "\\", "あ"},      {"", 3, "", ""},
        {"ab😀", 40000, "ab?", ""},
    };
    for (const auto& [s, n, head, rest] : cases) {
        const SplitResult r = SplitWidth(s, n);
        EXPECT_EQ(r.head, head) << s << ", " << n;
        EXPECT_EQ(r.rest, rest) << s << ", " << n;
    }
}

TEST(TextWidth, WrapLines) {
    using Lines = std::vector<std::string>;
    const std::vector<std::tuple<std::string, int, Lines>> cases = {
        {"  abcdefg ", 3, {"abc", "def", "g"}},
        {"あいう", 3, {"あ", "い", "う"}},
        {"あいう", 1, {"あ", "い", "う"}},
        {"abあc", 1, {"a", "b", "あ", "c"}},
        {"abc def", 3, {"abc", " de", "f"}},
        {"ab", 5, {"ab"}},
        {"😀¥", 1, {"?", "\\"}},
        {"ｶﾀｶﾅ", 2, {"ｶﾀ", "ｶﾅ"}},
        {"", 3, {}},
        {"   ", 3, {}},
        {"abc", 0, {}},
        {"abc", -1, {}},
    };
    for (const auto& [s, n, lines] : cases)
        EXPECT_EQ(WrapLines(s, n), lines) << s << ", " << n;
    EXPECT_EQ(WrapLines(std::string(250, 'a'), 2).size(), 125u);
}

TEST(TextWidth, HugeWidthsCountAsMaxCells) {
    for (const int n : {kMaxCells, kMaxCells + 1, INT_MAX}) {
        EXPECT_EQ(FitLeft("ab", n).size(), static_cast<std::size_t>(kMaxCells));
        EXPECT_EQ(FitRight("ab", n).size(), static_cast<std::size_t>(kMaxCells));
        EXPECT_EQ(PadSpace("ab", n).size(), static_cast<std::size_t>(kMaxCells - 2));
        EXPECT_EQ(CutWidth(std::string(40000, 'x'), n).size(), static_cast<std::size_t>(kMaxCells));
    }
}

// The column code relies on these relations: a link holds CutWidth and the padding after it
// is PadSpace, and the pieces of a split add up to the whole text.
TEST(TextWidth, OperationsAgreeWithEachOther) {
    const std::string texts[] = {"", "abc", "ファイル名.txt", "aｶあ😀¥ b", "表示\xFF漢字テスト", "  あ a  "};
    for (const std::string& s : texts) {
        const std::string whole = SplitWidth(s, 0).rest;
        for (int n = -1; n <= 20; ++n) {
            EXPECT_EQ(FitLeft(s, n), CutWidth(s, n) + PadSpace(s, n)) << s << ", " << n;
            EXPECT_EQ(StrWidth(FitLeft(s, n)), std::max(n, 0)) << s << ", " << n;
            EXPECT_EQ(StrWidth(FitRight(s, n)), std::max(n, 0)) << s << ", " << n;
            const SplitResult split = SplitWidth(s, n);
            EXPECT_EQ(split.head + split.rest, whole) << s << ", " << n;
            EXPECT_LE(StrWidth(split.head), std::max(n, 0)) << s << ", " << n;
        }
    }
}

}  // namespace
}  // namespace folvane

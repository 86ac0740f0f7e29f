#include "render/text_width.h"

#include <gtest/gtest.h>

#include <climits>

namespace folvane {
namespace {

TEST(TextWidth, StrWidthAndLeadByteAt) {
    // clang-format off
    const std::pair<std::string, int> widths[] = {
        {"", 0}, {"abc", 3}, {"ファイル", 8}, {"ｶﾀｶﾅ", 4}, {"😀", 1}, {"a😀b", 3}, {"\xFF", 1}, {"¥‖", 3},
        {"abcdefghijあ", 12}, {"abcdefgh\xE3\x81", 10}, {"\xE0\x80\xAF", 3}, {"\xED\xB2\x80", 1},
        {"x\xC2", 2}};
    // clang-format on
    for (const auto& [s, cells] : widths)
        EXPECT_EQ(StrWidth(s), cells) << s;
    // あ, a, 表 (its trail byte is a backslash), then a pair whose trail byte is in the lead range.
    const std::string t = std::string("\x82\xA0") + "a" + "\x95\x5C" + "\x82\x82";
    for (int n = -1; n <= 9; ++n)
        EXPECT_EQ(LeadByteAt(t, n), n == 1 || n == 4 || n == 6) << n;
    EXPECT_FALSE(LeadByteAt(t, INT_MAX) || LeadByteAt("", 1));
}

// Per text and width: FitLeft | CutWidth | PadSpace | FitRight.
TEST(TextWidth, FitCutPadAndRightAlign) {
    // clang-format off
    const std::tuple<std::string, int, std::string> cases[] = {
        {"ab", 5, "ab   |ab|   |   ab"},                  {"あいう", 5, "あい |あい || いう"},
        {"あいう", 6, "あいう|あいう||あいう"},           {"バイト数", 6, "バイト|バイト||イト数"},
        {"abcdef", 5, "abcde|abcde||bcdef"},              {"abあ", 3, "ab |ab ||bあ"},
        {"abcdefghijあ", 11, "abcdefghij |abcdefghij ||bcdefghijあ"},
        {"ｶﾀｶﾅ", 3, "ｶﾀｶ|ｶﾀｶ||ﾀｶﾅ"},                     {"あ", 1, " | || "},
        {"", 3, "   ||   |   "},                          {"ab", 0, "|||"},
        {"ab", -7, "|||"},                                {"😀", 2, "? |?| | ?"},  // not in cp932: "?"
        {"¥100", 4, "\\100|\\100||\\100"},                {"\u2016x", 3, "\u2225x|\u2225x||\u2225x"},
    };
    // clang-format on
    for (const auto& [s, n, fitted] : cases)
        EXPECT_EQ(FitLeft(s, n) + "|" + CutWidth(s, n) + "|" + PadSpace(s, n) + "|" + FitRight(s, n), fitted)
            << "'" << s << "', " << n;
    const std::string pad(kMaxCells - 2, ' ');
    for (const int n : {kMaxCells, kMaxCells + 1, INT_MAX})  // huge widths count as kMaxCells
        EXPECT_EQ(FitLeft("ab", n) + "|" + FitRight("ab", n) + "|" + PadSpace("ab", n) + "|" +
                      CutWidth(std::string(40000, 'x'), n),
                  "ab" + pad + "|" + pad + "ab|" + pad + "|" + std::string(kMaxCells, 'x'));
}

TEST(TextWidth, SplitAndWrap) {
    // clang-format off
    const std::vector<std::tuple<std::string, int, std::string>> splits = {
        {"あいう", 5, "あい|う"}, {"abcdef", 4, "abcd|ef"}, {"abc", 5, "abc|"}, {"abc", 0, "|abc"},
        {"abc", -1, "|abc"}, {"😀x", 1, "?|x"}, {"あ", 1, "|あ"}, {"¥あ", 2, "\\|あ"}, {"", 3, "|"},
        {"ab😀", 40000, "ab?|"}};
    using Lines = std::vector<std::string>;
    const std::vector<std::tuple<std::string, int, Lines>> wraps = {
        {"  abcdefg ", 3, {"abc", "def", "g"}}, {"あいう", 3, {"あ", "い", "う"}},
        {"abあc", 1, {"a", "b", "あ", "c"}}, {"abc def", 3, {"abc", " de", "f"}},
        {"ab", 5, {"ab"}}, {"😀¥", 1, {"?", "\\"}}, {"ｶﾀｶﾅ", 2, {"ｶﾀ", "ｶﾅ"}}, {"", 3, {}}, {"   ", 3, {}},
        {"abc", 0, {}}, {"abc", -1, {}}};
    // clang-format on
    for (const auto& [s, n, split] : splits)
        EXPECT_EQ(SplitWidth(s, n).head + "|" + SplitWidth(s, n).rest, split) << s << ", " << n;
    for (const auto& [s, n, lines] : wraps)
        EXPECT_EQ(WrapLines(s, n), lines) << s << ", " << n;
    EXPECT_EQ(WrapLines(std::string(250, 'a'), 2).size(), 125u);
}

// The column code relies on these relations: a link holds CutWidth and the padding after it
// is PadSpace, and the pieces of a split add up to the whole text.
TEST(TextWidth, OperationsAgreeWithEachOther) {
    for (const std::string s : {"", "ファイル名.txt", "aｶあ😀¥ b", "表示\xFF漢字テスト", "  あ a  "})
        for (int n = -1; n <= 20; ++n) {
            const SplitResult split = SplitWidth(s, n);
            EXPECT_EQ(FitLeft(s, n), CutWidth(s, n) + PadSpace(s, n)) << s << ", " << n;
            EXPECT_EQ(std::pair(StrWidth(FitLeft(s, n)), StrWidth(FitRight(s, n))),
                      std::pair(std::max(n, 0), std::max(n, 0)));
            EXPECT_EQ(split.head + split.rest, SplitWidth(s, 0).rest) << s << ", " << n;
            EXPECT_LE(StrWidth(split.head), std::max(n, 0)) << s << ", " << n;
        }
}

}  // namespace
}  // namespace folvane

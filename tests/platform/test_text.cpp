#include "platform/text.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace folvane {
namespace {

TEST(Utf8, DecodesValidAndEscapesInvalidBytes) {
    const auto Esc = [](unsigned char b) -> char32_t { return kEscapeBase + b; };
    // Stray, overlong, cut short (at the end, before ASCII), above U+10FFFF; escapes survive.
    // clang-format off
    const std::pair<std::string, std::vector<char32_t>> cases[] = {
        {"aé表😀", {U'a', U'é', U'表', U'\U0001F600'}}, {"\x80", {Esc(0x80)}},
        {"\xC0\xAF", {Esc(0xC0), Esc(0xAF)}}, {"\xE0\x80\xAF", {Esc(0xE0), Esc(0x80), Esc(0xAF)}},
        {"\xE3\x81", {Esc(0xE3), Esc(0x81)}}, {"\xE3\x81z", {Esc(0xE3), Esc(0x81), U'z'}},
        {"\xF4\x90\x80\x80", {Esc(0xF4), Esc(0x90), Esc(0x80), Esc(0x80)}},
        {"\xF5\x80", {Esc(0xF5), Esc(0x80)}}, {"\xED\xB2\x80", {Esc(0x80)}}};
    // clang-format on
    for (const auto& [text, expected] : cases) {
        std::vector<char32_t> decoded;
        for (std::size_t pos = 0; pos < text.size();)
            decoded.push_back(DecodeUtf8(text, pos));
        EXPECT_EQ(decoded, expected) << text;
        EXPECT_EQ(CodePointCount(text), expected.size()) << text;
    }
    std::string encoded = "a";
    AppendUtf8(encoded, 0x110000);
    EXPECT_EQ(encoded, "a\uFFFD");
}

TEST(WildMatch, MatchesStarsAndQuestionMarksOnlyInLinearTime) {
    // clang-format off
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"file#1.txt", "*#1.txt", true}, {"file1.txt", "*#.txt", false}, {"a[1]", "a[1]", true},
        {"ABC", "a*", false}, {"", "*", true}, {"", "?", false}, {"a", "", false},
        {"表.txt", "?.txt", true}, {"表示.txt", "?.txt", false}, {"abcbc", "*bc", true},
        {"mississippi", "m*iss*ppi", true}, {"abc", "**a**b**c**", true}, {"ab", "a*?*?", false}};
    // clang-format on
    for (const auto& [name, pattern, match] : cases)
        EXPECT_EQ(WildMatch(name, pattern), match) << name << " ~ " << pattern;
    // A backtracking matcher takes exponential time here and the test times out.
    const std::string pattern = RepeatStr(200, "*a");
    EXPECT_FALSE(WildMatch(std::string(5000, 'a'), pattern + "*b"));
    EXPECT_TRUE(WildMatch(std::string(5000, 'a'), pattern + "*"));
}

TEST(TextHelpers, ReplaceFoldTrimAndRepeat) {
    const std::tuple<const char*, const char*, const char*, const char*> cases[] = {
        {"a\\b\\c", "\\", "/", "a/b/c"}, {"aaa", "aa", "b", "ba"}, {"aa", "a", "aa", "aaaa"},
        {"abc", "", "x", "abc"},         {"ab", "abc", "x", "ab"}, {"表示表", "表", "", "示"},
        {"AbA", "a", "x", "AbA"}};
    for (const auto& [s, find, replacement, expected] : cases)
        EXPECT_EQ(ReplaceAll(s, find, replacement), expected) << s;
    EXPECT_EQ(AsciiLower("ABＣ\xFFÉ"), "abＣ\xFFÉ");
    EXPECT_EQ(AsciiUpper("abｃ\xFFé"), "ABｃ\xFFé");
    EXPECT_EQ(TrimBlanks("  \ta b\u3000  "), "\ta b\u3000");  // spaces only
    EXPECT_EQ(TrimBlanks("   "), "");
    EXPECT_EQ(RepeatStr(3, "─"), "───");
    EXPECT_EQ(RepeatStr(-5, "a"), "");
}

TEST(CompareText, IgnoringCaseAndBinary) {
    const std::tuple<const char*, const char*, int, int> cases[] = {
        {"abc", "ABC", 0, 1}, {"Ａ", "ａ", 0, -1}, {"É", "é", 0, -1},  {"Σ", "σ", 0, -1},
        {"Ж", "ж", 0, -1},    {"Ё", "ё", 0, -1},   {"×", "÷", -1, -1}, {"a", "ab", -1, -1},
        {"", "", 0, 0},       {"_", "A", -1, 1},   {"b", "A", 1, 1},   {"あ", "z", 1, 1}};
    for (const auto& [a, b, ignoringCase, binary] : cases) {
        EXPECT_EQ(CompareTextIgnoringCase(a, b), ignoringCase) << a << " " << b;
        EXPECT_EQ(CompareTextIgnoringCase(b, a), -ignoringCase) << a << " " << b;
        EXPECT_EQ(CompareTextBinary(a, b), binary) << a << " " << b;
    }
}

}  // namespace
}  // namespace folvane

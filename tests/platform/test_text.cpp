#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/text.h"

namespace folvane {
namespace {

std::vector<char32_t> CodePoints(std::string_view s) {
    std::vector<char32_t> out;
    for (std::size_t pos = 0; pos < s.size();)
        out.push_back(DecodeUtf8(s, pos));
    return out;
}

constexpr char32_t Esc(unsigned char b) {
    return kEscapeBase + b;
}

TEST(Utf8, DecodesValidAndEscapesInvalidBytes) {
    const std::pair<std::string, std::vector<char32_t>> cases[] = {
        {"aé表😀", {U'a', U'é', U'表', U'\U0001F600'}},
        {"\x80", {Esc(0x80)}},                                               // stray continuation
        {"\xC0\xAF", {Esc(0xC0), Esc(0xAF)}},                                // overlong "/"
        {"\xE0\x80\xAF", {Esc(0xE0), Esc(0x80), Esc(0xAF)}},                 // overlong
        {"\xE3\x81", {Esc(0xE3), Esc(0x81)}},                                // cut short at the end
        {"\xE3\x81z", {Esc(0xE3), Esc(0x81), U'z'}},                         // cut short before ASCII
        {"\xF4\x90\x80\x80", {Esc(0xF4), Esc(0x90), Esc(0x80), Esc(0x80)}},  // above U+10FFFF
        {"\xF5\x80", {Esc(0xF5), Esc(0x80)}},
        {"\xED\xB2\x80", {Esc(0x80)}},  // an escape code point survives
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(CodePoints(text), expected) << text;
        EXPECT_EQ(CodePointCount(text), expected.size()) << text;
    }
    std::string encoded;
    AppendUtf8(encoded, 0x110000);
    EXPECT_EQ(encoded, "\uFFFD");
}

TEST(WildMatch, MatchesStarsAndQuestionMarksOnly) {
    struct Case {
        const char* name;
        const char* pattern;
        bool match;
    };
    const Case cases[] = {
        {"file#1.txt", "*#1.txt", true},
        {"file1.txt", "*#.txt", false},
        {"a[1]", "a[1]", true},
        {"ABC", "a*", false},
        {"", "", true},
        {"", "*", true},
        {"", "?", false},
        {"a", "", false},
        {"表.txt", "?.txt", true},
        {"表示.txt", "?.txt", false},
        {"abcbc", "*bc", true},
        {"abcbd", "a*b?", true},
        {"mississippi", "m*iss*ppi", true},
        {"abc", "**a**b**c**", true},
        {"ab", "a*?*?", false},
    };
    for (const Case& k : cases)
        EXPECT_EQ(WildMatch(k.name, k.pattern), k.match) << k.name << " ~ " << k.pattern;
}

// Backtracking matchers take exponential time on this shape; the test would time out.
TEST(WildMatch, ManyStarsFinishQuickly) {
    const std::string name(5000, 'a');
    std::string pattern;
    for (int k = 0; k < 200; ++k)
        pattern += "*a";
    EXPECT_FALSE(WildMatch(name, pattern + "*b"));
    EXPECT_TRUE(WildMatch(name, pattern + "*"));
}

TEST(ReplaceAll, ReplacesLeftToRightWithoutOverlap) {
    struct Case {
        const char* s;
        const char* find;
        const char* replacement;
        const char* expected;
    };
    const Case cases[] = {
        {"a\\b\\c", "\\", "/", "a/b/c"}, {"aaa", "aa", "b", "ba"}, {"aa", "a", "aa", "aaaa"},
        {"abc", "", "x", "abc"},         {"", "a", "b", ""},       {"ab", "abc", "x", "ab"},
        {"表示表", "表", "", "示"},      {"AbA", "a", "x", "AbA"},
    };
    for (const Case& k : cases)
        EXPECT_EQ(ReplaceAll(k.s, k.find, k.replacement), k.expected) << k.s;
}

TEST(TextHelpers, FoldTrimAndRepeat) {
    EXPECT_EQ(AsciiLower("ABＣ\xFFÉ"), "abＣ\xFFÉ");
    EXPECT_EQ(AsciiUpper("abｃ\xFFé"), "ABｃ\xFFé");
    EXPECT_EQ(TrimBlanks("  a b  "), "a b");
    EXPECT_EQ(TrimBlanks("   "), "");
    EXPECT_EQ(TrimBlanks("\t\u3000a"), "\t\u3000a");
    EXPECT_EQ(RepeatStr(3, "─"), "───");
    EXPECT_EQ(RepeatStr(0, "a"), "");
    EXPECT_EQ(RepeatStr(-5, "a"), "");
}

TEST(CompareText, IgnoringCaseAndBinary) {
    struct Case {
        const char* a;
        const char* b;
        int ignoringCase;
        int binary;
    };
    const Case cases[] = {
        {"abc", "ABC", 0, 1}, {"Ａ", "ａ", 0, -1}, {"É", "é", 0, -1},  {"Σ", "σ", 0, -1},
        {"Ж", "ж", 0, -1},    {"Ё", "ё", 0, -1},   {"×", "÷", -1, -1}, {"a", "ab", -1, -1},
        {"", "", 0, 0},       {"_", "A", -1, 1},   {"b", "A", 1, 1},   {"あ", "z", 1, 1},
    };
    for (const Case& k : cases) {
        EXPECT_EQ(CompareTextIgnoringCase(k.a, k.b), k.ignoringCase) << k.a << " " << k.b;
        EXPECT_EQ(CompareTextIgnoringCase(k.b, k.a), -k.ignoringCase) << k.a << " " << k.b;
        EXPECT_EQ(CompareTextBinary(k.a, k.b), k.binary) << k.a << " " << k.b;
    }
}

}  // namespace
}  // namespace folvane

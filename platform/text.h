#pragma once
// Text as the program holds it: UTF-8 in std::string. These operations never fail: every
// byte string decodes (a byte that does not begin a well-formed sequence becomes one escape
// code point, see DecodeUtf8), so no input can make them read out of bounds or loop.

#include <cstddef>
#include <string>
#include <string_view>

namespace folvane {

// First code point of the escape range. A host file name byte that cannot stand in a
// path-space name (an invalid UTF-8 byte, a control character or "\") is carried as the
// code point kEscapeBase + byte; the code page cannot hold it, so listings show "?".
inline constexpr char32_t kEscapeBase = 0xDC00;

// True for code points kEscapeBase .. kEscapeBase + 0xFF.
constexpr bool IsEscapeCodePoint(char32_t c) {
    return c >= kEscapeBase && c <= kEscapeBase + 0xFF;
}

// Decodes the code point that starts at byte pos of s and moves pos past it. pos must be
// below s.size(). A byte that does not start a complete, non-overlong sequence of at most
// U+10FFFF decodes as kEscapeBase + byte and advances pos by one. Encoded surrogates
// (ED A0..BF xx) are accepted, so escape code points survive a decode/encode round trip.
char32_t DecodeUtf8(std::string_view s, std::size_t& pos);

// Appends the UTF-8 form of c; values above U+10FFFF are appended as U+FFFD.
void AppendUtf8(std::string& out, char32_t c);

// Number of code points in s, as DecodeUtf8 counts them.
std::size_t CodePointCount(std::string_view s);

// s without leading and trailing spaces (U+0020 only, as the program's trimming always is).
std::string_view TrimBlanks(std::string_view s);

// True for the letters A-Z and a-z.
constexpr bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// s with only the letters a-z turned into A-Z; every other character is kept.
std::string AsciiUpper(std::string_view s);

// s with only the letters A-Z turned into a-z; every other character is kept.
std::string AsciiLower(std::string_view s);

// s with every occurrence of find replaced by replacement, scanning left to right without
// overlap, exact by character code. An empty find text leaves s unchanged.
std::string ReplaceAll(std::string_view s, std::string_view find, std::string_view replacement);

// s repeated count times; "" when count < 1.
std::string RepeatStr(int count, std::string_view s);

// True when the whole name matches the whole pattern: "*" matches any run of characters
// (also none), "?" exactly one character; every other character, "#" and "[" included,
// matches itself by character code. Runs in time proportional to name x pattern length.
bool WildMatch(std::string_view name, std::string_view pattern);

}  // namespace folvane

namespace folvane {

// Compares two texts in the program's text order, ignoring letter case: code point order after
// folding the letters of the Latin (ASCII, Latin-1, full-width), Greek and Cyrillic alphabets
// to lower case. Returns -1, 0 or 1.
int CompareTextIgnoringCase(std::string_view a, std::string_view b);

// Compares two texts by code point (binary order); -1, 0 or 1.
int CompareTextBinary(std::string_view a, std::string_view b);

}  // namespace folvane

#pragma once
// Display-cell text operations. A cell is one byte of a text's code page 932 form: ASCII and
// half-width katakana take one cell, double-byte characters two, a character the code page
// cannot hold one (it becomes "?"). Every operation that returns text returns it after a round
// trip through code page 932 (so "?" for such a character, a backslash for U+00A5), also when nothing
// had to be cut or padded, and never splits a double-byte character.
//
// Widths are taken as int. Every width is valid: below 1 gives the stated empty result, and
// widths above kMaxCells are treated as kMaxCells, the widest the settings can ask for.
// The general text operations (RepeatStr, ReplaceAll, AsciiUpper, AsciiLower, WildMatch)
// live in platform/text.h, which this header includes.

#include <string>
#include <string_view>
#include <vector>

#include "platform/text.h"

namespace folvane {

inline constexpr int kMaxCells = 32767;

// Width of s in cells.
int StrWidth(std::string_view s);

// True when byte n (1-based) of the code page 932 byte text t is the first byte of a
// double-byte character, so that a cut after byte n would split it. False for n outside
// 1..t.size().
bool LeadByteAt(std::string_view cp932Text, int n);

// s left-aligned in exactly n cells: padded with spaces or cut on the right; a double-byte
// character that would straddle the edge becomes one space. "" when n < 1.
std::string FitLeft(std::string_view s, int n);

// s cut on the right to at most n cells (a straddling double-byte character becomes one
// space, so a cut result is exactly n cells); s round-tripped when it fits; "" when n < 1.
std::string CutWidth(std::string_view s, int n);

// The spaces FitLeft adds to s: n - StrWidth(s) spaces when s is narrower than n, else "".
std::string PadSpace(std::string_view s, int n);

// The head of s that fits in n cells, and the rest. A double-byte character that would
// straddle the edge moves whole to the rest (the head is then n - 1 cells). For n < 1 the
// head is "" and the rest is all of s. head + rest is always the whole of s.
struct SplitResult {
    std::string head;
    std::string rest;
};
SplitResult SplitWidth(std::string_view s, int n);

// s right-aligned in exactly n cells: padded with spaces or cut on the left; a double-byte
// character cut at the edge becomes one space. "" when n < 1.
std::string FitRight(std::string_view s, int n);

// s without leading and trailing spaces, broken into lines of at most n cells; a double-byte
// character that would straddle a line end starts the next line. No lines for an empty (or
// blank) text or n < 1. With n = 1 a double-byte character, which can never fit, stands alone
// on its own line, so no text is lost and the loop always ends.
std::vector<std::string> WrapLines(std::string_view s, int n);

}  // namespace folvane

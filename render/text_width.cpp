#include "render/text_width.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <utility>

#include "platform/cp932.h"

// Every operation here is defined on the code page 932 bytes of a text, but works per character
// on the code page tables instead of converting: a character's bytes are one cell each, a
// single-byte character is never a lead byte and a double-byte one always starts with one, so
// a byte position that LeadByteAt reports as a lead byte is exactly the first cell of a
// double-byte character. Cutting the byte text between characters and converting it back is
// therefore the same as keeping whole characters in their round-trip form.

namespace folvane {

namespace {

int ClampWidth(int n) {
    return std::min(n, kMaxCells);
}

bool IsContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

// DecodeUtf8 with the common well-formed sequences of up to three bytes decoded in line; any
// other byte goes to DecodeUtf8, so the result is always exactly what it gives.
char32_t NextCodePoint(std::string_view s, std::size_t& pos) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = byte(pos);
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    const std::size_t left = s.size() - pos;
    if (lead >= 0xC2 && lead <= 0xDF && left >= 2 && IsContinuation(byte(pos + 1))) {
        const char32_t c = (char32_t{lead} & 0x1F) << 6 | (byte(pos + 1) & 0x3F);
        pos += 2;
        return c;
    }
    if (lead >= 0xE0 && lead <= 0xEF && left >= 3 && IsContinuation(byte(pos + 1)) &&
        IsContinuation(byte(pos + 2))) {
        const char32_t c =
            (char32_t{lead} & 0x0F) << 12 | (byte(pos + 1) & 0x3F) << 6 | (byte(pos + 2) & 0x3F);
        if (c >= 0x800) {
            pos += 3;
            return c;
        }
    }
    return DecodeUtf8(s, pos);
}

// True when the tables map every ASCII character onto itself in one cell, as code page 932
// does. Runs of ASCII can then be measured and copied without looking at each character.
bool AsciiIsIdentity() {
    static const bool identity = [] {
        const Cp932FactsView facts = Cp932Facts();
        for (char32_t c = 0; c < 0x80; ++c) {
            if (facts.Cells(c) != 1 || !facts.KeepsItself(c)) return false;
        }
        return true;
    }();
    return identity;
}

bool IsAscii(char ch) {
    return static_cast<unsigned char>(ch) < 0x80;
}

// Number of ASCII bytes in s from pos on, at most limit of them, eight at a time where it can.
std::size_t AsciiRunLength(std::string_view s, std::size_t pos, std::size_t limit) {
    const std::size_t end = pos + std::min(limit, s.size() - pos);
    std::size_t k = pos;
    for (; k + 8 <= end; k += 8) {
        uint64_t word;
        std::memcpy(&word, s.data() + k, 8);
        if (word & 0x8080808080808080ull) break;
    }
    while (k < end && IsAscii(s[k]))
        ++k;
    return k - pos;
}

// Width of s in cells, without the int limit of StrWidth.
std::size_t CellCount(std::string_view s) {
    const bool asciiFast = AsciiIsIdentity();
    const Cp932FactsView facts = Cp932Facts();
    std::size_t cells = 0;
    std::size_t pos = 0;
    while (pos < s.size()) {
        if (asciiFast && IsAscii(s[pos])) {
            const std::size_t run = AsciiRunLength(s, pos, s.size());
            cells += run;
            pos += run;
            if (pos == s.size()) break;
        }
        cells += static_cast<std::size_t>(facts.Cells(NextCodePoint(s, pos)));
    }
    return cells;
}

// Appends the round-trip form of the characters of s from pos on while they fit into room
// cells, and moves pos past them. Stops before the first character that does not fit, so a
// double-byte character that would straddle the edge is left for the caller. Returns the
// cells appended. Nearly every character is its own round trip, so the bytes of s are copied
// in runs and only a character that changes is written out on its own.
std::size_t AppendFitting(std::string& out, std::string_view s, std::size_t& pos, std::size_t room) {
    const bool asciiFast = AsciiIsIdentity();
    const Cp932FactsView facts = Cp932Facts();
    std::size_t used = 0;
    std::size_t copyFrom = pos;
    while (pos < s.size() && used < room) {
        if (asciiFast && IsAscii(s[pos])) {
            const std::size_t run = AsciiRunLength(s, pos, room - used);
            used += run;
            pos += run;
            if (pos == s.size() || used == room) break;
        }
        std::size_t next = pos;
        const char32_t c = NextCodePoint(s, next);
        const auto cells = static_cast<std::size_t>(facts.Cells(c));
        if (used + cells > room) break;
        if (!facts.KeepsItself(c)) {
            out.append(s, copyFrom, pos - copyFrom);
            AppendUtf8(out, Cp932RoundTrip(c));
            copyFrom = next;
        }
        used += cells;
        pos = next;
    }
    out.append(s, copyFrom, pos - copyFrom);
    return used;
}

// The round-trip form of s from pos on.
std::string RoundTripFrom(std::string_view s, std::size_t pos) {
    std::string out;
    out.reserve(s.size() - std::min(pos, s.size()));
    AppendFitting(out, s, pos, SIZE_MAX);
    return out;
}

// Moves pos past whole characters of s until at least cells have been passed; returns the
// cells passed, which is one more than asked when a double-byte character straddled the mark.
std::size_t SkipCells(std::string_view s, std::size_t& pos, std::size_t cells) {
    std::size_t skipped = 0;
    const Cp932FactsView facts = Cp932Facts();
    while (pos < s.size() && skipped < cells) {
        skipped += static_cast<std::size_t>(facts.Cells(NextCodePoint(s, pos)));
    }
    return skipped;
}

}  // namespace

int StrWidth(std::string_view s) {
    return static_cast<int>(std::min<std::size_t>(CellCount(s), INT_MAX));
}

bool LeadByteAt(std::string_view cp932Text, int n) {
    if (n < 1 || static_cast<std::size_t>(n) > cp932Text.size()) return false;
    // Only a scan from the start can tell a trail byte that looks like a lead byte from a real
    // lead byte: 0x81-0x9F and 0xE0-0xFC occur in both positions.
    bool lead = false;
    for (int i = 0; i < n; ++i) {
        lead = !lead && IsCp932LeadByte(static_cast<unsigned char>(cp932Text[i]));
    }
    return lead;
}

std::string FitLeft(std::string_view s, int n) {
    if (n < 1) return {};
    const auto width = static_cast<std::size_t>(ClampWidth(n));
    std::string out;
    out.reserve(width + 8);
    std::size_t pos = 0;
    const std::size_t used = AppendFitting(out, s, pos, width);
    out.append(width - used, ' ');
    return out;
}

std::string CutWidth(std::string_view s, int n) {
    if (n < 1) return {};
    const auto width = static_cast<std::size_t>(ClampWidth(n));
    std::string out;
    std::size_t pos = 0;
    const std::size_t used = AppendFitting(out, s, pos, width);
    // Only a cut text is padded: the space stands for a double-byte character cut in half.
    if (pos < s.size()) out.append(width - used, ' ');
    return out;
}

std::string PadSpace(std::string_view s, int n) {
    if (n < 1) return {};
    const auto width = static_cast<std::size_t>(ClampWidth(n));
    const std::size_t cells = CellCount(s);
    return cells < width ? std::string(width - cells, ' ') : std::string();
}

SplitResult SplitWidth(std::string_view s, int n) {
    SplitResult result;
    std::size_t pos = 0;
    if (n >= 1) AppendFitting(result.head, s, pos, static_cast<std::size_t>(ClampWidth(n)));
    result.rest = RoundTripFrom(s, pos);
    return result;
}

std::string FitRight(std::string_view s, int n) {
    if (n < 1) return {};
    const auto width = static_cast<std::size_t>(ClampWidth(n));
    const std::size_t cells = CellCount(s);
    if (cells <= width) return std::string(width - cells, ' ') + RoundTripFrom(s, 0);
    std::size_t pos = 0;
    const std::size_t dropped = SkipCells(s, pos, cells - width);
    // A double-byte character cut at the left edge is dropped whole; one space keeps the width.
    std::string out(dropped - (cells - width), ' ');
    return out + RoundTripFrom(s, pos);
}

std::vector<std::string> WrapLines(std::string_view s, int n) {
    std::vector<std::string> lines;
    if (n < 1) return lines;
    const auto width = static_cast<std::size_t>(ClampWidth(n));
    // Trimming the round-trip form trims exactly the characters whose code page form is a space.
    const std::string text = RoundTripFrom(s, 0);
    const std::string_view rest = TrimBlanks(text);
    for (std::size_t pos = 0; pos < rest.size();) {
        std::string line;
        if (AppendFitting(line, rest, pos, width) == 0) {
            // Only a one-cell line can fail to take anything: a double-byte character never fits
            // there, so it gets a line of its own rather than being lost or stalling the loop.
            const std::size_t start = pos;
            NextCodePoint(rest, pos);
            line.assign(rest.substr(start, pos - start));
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

}  // namespace folvane

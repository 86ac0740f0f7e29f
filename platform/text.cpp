#include "platform/text.h"

#include <vector>

namespace folvane {

namespace {

bool IsContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

// Folds the letters of the Latin, Greek and Cyrillic alphabets to lower case. The ranges are
// those whose upper and lower forms stand at a fixed distance.
char32_t FoldCase(char32_t c) {
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 32;   // Latin-1
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 32;  // Greek
    if (c >= 0x410 && c <= 0x42F) return c + 32;                // Cyrillic
    if (c >= 0x400 && c <= 0x40F) return c + 80;                // Cyrillic Ѐ-Џ
    if (c >= 0xFF21 && c <= 0xFF3A) return c + 32;              // full-width A-Z
    return c;
}

template <typename Fold>
int CompareFolded(std::string_view a, std::string_view b, Fold fold) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const char32_t ca = fold(DecodeUtf8(a, i));
        const char32_t cb = fold(DecodeUtf8(b, j));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}

std::string MapAsciiLetters(std::string_view s, char from, char to) {
    std::string out(s);
    // Bytes of multi-byte UTF-8 sequences are all 0x80 or above, so a byte-wise pass touches
    // exactly the ASCII letters.
    for (char& ch : out) {
        if (ch >= from && ch <= static_cast<char>(from + 25)) ch = static_cast<char>(ch - from + to);
    }
    return out;
}

}  // namespace

char32_t DecodeUtf8(std::string_view s, std::size_t& pos) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = byte(pos);
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    int length = 0;
    char32_t c = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, c = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, c = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, c = lead & 0x07, minimum = 0x10000;
    }
    if (length == 0 || s.size() - pos < static_cast<std::size_t>(length)) {
        ++pos;
        return kEscapeBase + lead;
    }
    for (int k = 1; k < length; ++k) {
        const unsigned char next = byte(pos + k);
        if (!IsContinuation(next)) {
            ++pos;
            return kEscapeBase + lead;
        }
        c = (c << 6) | (next & 0x3F);
    }
    if (c < minimum || c > 0x10FFFF) {
        ++pos;
        return kEscapeBase + lead;
    }
    pos += length;
    return c;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c > 0x10FFFF) c = 0xFFFD;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::size_t CodePointCount(std::string_view s) {
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < s.size(); ++count)
        DecodeUtf8(s, pos);
    return count;
}

std::string_view TrimBlanks(std::string_view s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

std::string AsciiUpper(std::string_view s) {
    return MapAsciiLetters(s, 'a', 'A');
}

std::string AsciiLower(std::string_view s) {
    return MapAsciiLetters(s, 'A', 'a');
}

std::string ReplaceAll(std::string_view s, std::string_view find, std::string_view replacement) {
    if (find.empty()) return std::string(s);
    std::string out;
    out.reserve(s.size());
    std::size_t pos = 0;
    for (std::size_t hit = s.find(find); hit != std::string_view::npos; hit = s.find(find, pos)) {
        out.append(s, pos, hit - pos).append(replacement);
        pos = hit + find.size();
    }
    out.append(s, pos);
    return out;
}

std::string RepeatStr(int count, std::string_view s) {
    std::string out;
    if (count < 1 || s.empty()) return out;
    out.reserve(static_cast<std::size_t>(count) * s.size());
    for (int k = 0; k < count; ++k)
        out.append(s);
    return out;
}

bool WildMatch(std::string_view name, std::string_view pattern) {
    // Greedy matching on the UTF-8 bytes that remembers the last "*": on a mismatch the star
    // takes one more character. Each star is retried at most once per text position, so no
    // blow-up; characters are decoded where they are compared, so nothing is allocated.
    std::size_t t = 0;
    std::size_t p = 0;
    bool starSeen = false;
    std::size_t afterStar = 0;  // the pattern position after the last "*"
    std::size_t starT = 0;      // the text position that star's stretch ends at
    while (t < name.size()) {
        std::size_t nextP = p;
        const char32_t pc = p < pattern.size() ? DecodeUtf8(pattern, nextP) : U'\0';
        if (p < pattern.size() && pc == U'*') {
            starSeen = true;
            afterStar = p = nextP;
            starT = t;
            continue;
        }
        std::size_t nextT = t;
        const char32_t tc = DecodeUtf8(name, nextT);
        if (p < pattern.size() && (pc == U'?' || pc == tc)) {
            p = nextP;
            t = nextT;
        } else if (starSeen) {
            DecodeUtf8(name, starT);
            p = afterStar;
            t = starT;
        } else {
            return false;
        }
    }
    for (std::size_t next = p; p < pattern.size() && DecodeUtf8(pattern, next) == U'*'; next = p)
        p = next;
    return p == pattern.size();
}

int CompareTextIgnoringCase(std::string_view a, std::string_view b) {
    return CompareFolded(a, b, FoldCase);
}

int CompareTextBinary(std::string_view a, std::string_view b) {
    return CompareFolded(a, b, [](char32_t c) { return c; });
}

}  // namespace folvane

#include "platform/cp932.h"

#include <array>
#include <optional>

#include "platform/cp932_system.h"
#include "platform/text.h"

namespace folvane {

namespace {

constexpr std::size_t kBmpSize = 0x10000;
constexpr char32_t kReplacementChar = 0xFFFD;
constexpr Cp932Char kSubstitute{1, {static_cast<uint8_t>(kCp932Substitute), 0}};

// Lead bytes 0x81-0x9F and 0xE0-0xFC, numbered 0-59 for the pair table.
constexpr std::size_t kLeadByteCount = 60;
std::size_t LeadIndex(unsigned char lead) {
    return lead <= 0x9F ? lead - 0x81u : lead - 0xE0u + 31u;
}

// Bytes that can follow a lead byte. A lead byte followed by anything else is a broken
// character on its own, and the byte after it starts the next character.
bool IsTrailByte(unsigned char b) {
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

bool IsSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

// Accepts what the converter produced only in the shape every byte-level width rule relies on:
// a single byte that is no lead byte, or a lead byte and one more. Anything else counts as a
// character the code page cannot hold.
std::optional<Cp932Char> ToCp932Char(const std::optional<std::string>& bytes) {
    if (!bytes) return std::nullopt;
    const auto first = static_cast<unsigned char>((*bytes)[0]);
    if (bytes->size() == 1 && !IsCp932LeadByte(first)) return Cp932Char{1, {first, 0}};
    if (bytes->size() == 2 && IsCp932LeadByte(first)) {
        return Cp932Char{2, {first, static_cast<uint8_t>((*bytes)[1])}};
    }
    return std::nullopt;
}

constexpr Cp932Char Single(uint8_t b) {
    return Cp932Char{1, {b, 0}};
}

constexpr Cp932Char Pair(uint8_t lead, uint8_t trail) {
    return Cp932Char{2, {lead, trail}};
}

constexpr Cp932SharedMapping kSharedMappings[] = {
    {U'\u00A2', Pair(0x81, 0x91), false},  // ¢ as ￠
    {U'\u00A3', Pair(0x81, 0x92), false},  // £ as ￡
    {U'\u00A5', Single(0x5C), false},      // ¥
    {U'\u00AC', Pair(0x81, 0xCA), false},  // ¬ as ￢
    {U'\u2014', Pair(0x81, 0x5C), false},  // — as ―
    {U'\u2016', Pair(0x81, 0x61), false},  // ‖ as ∥
    {U'\u203E', Single(0x7E), false},      // ‾
    {U'\u2212', Pair(0x81, 0x7C), false},  // − as －
    {U'\u301C', Pair(0x81, 0x60), false},  // 〜 as ～
    {U'\u0080', Single(0x80), true},
    {U'\uF8F0', Single(0xA0), true},
    {U'\uF8F1', Single(0xFD), true},
    {U'\uF8F2', Single(0xFE), true},
    {U'\uF8F3', Single(0xFF), true},
};

// Both directions of code page 932 for the whole Basic Multilingual Plane, filled once from the
// system converter. Converting one character through iconv takes well under a microsecond, so
// asking it about all 63,488 non-surrogate code points and all 15,616 byte pairs costs a few
// milliseconds at start-up and keeps the tables exactly what the converter does, many-to-one
// mappings (U+00A5 to "\") and decode-only pairs (the duplicate IBM extension rows) included.
class Cp932Tables {
  public:
    Cp932Tables() {
        FillDecoding();
        FillEncoding();
        if (!SystemCp932Encode(U'A')) FillAsciiWithoutConverter();
        ApplySharedMappings();
        FillFactBits();
    }

    Cp932Char Encode(char32_t c) const { return c < kBmpSize ? encode_[c] : kSubstitute; }
    char32_t RoundTrip(char32_t c) const { return c < kBmpSize ? roundTrip_[c] : U'?'; }
    Cp932FactsView Facts() const { return Cp932FactsView(doubleByte_.data(), keepsItself_.data()); }
    char32_t DecodeSingle(unsigned char b) const { return single_[b]; }
    // The character of a lead byte and trail byte, U+FFFD when the pair is unassigned.
    char32_t DecodePair(unsigned char lead, unsigned char trail) const {
        return pairs_[LeadIndex(lead)][trail];
    }
    // True when lead and trail form one character, defined or not: the trail byte belongs to the
    // lead byte whenever it is in the trail range or the converter decodes the pair.
    bool IsPair(unsigned char lead, unsigned char trail) const {
        return IsTrailByte(trail) || DecodePair(lead, trail) != kReplacementChar;
    }

  private:
    void FillDecoding() {
        for (std::size_t b = 0; b < 256; ++b) {
            single_[b] = IsCp932LeadByte(static_cast<unsigned char>(b)) ? kReplacementChar
                                                                        : Decode({static_cast<char>(b)});
        }
        for (std::size_t lead = 0; lead < 256; ++lead) {
            if (!IsCp932LeadByte(static_cast<unsigned char>(lead))) continue;
            auto& row = pairs_[LeadIndex(static_cast<unsigned char>(lead))];
            for (std::size_t trail = 0; trail < 256; ++trail) {
                row[trail] = Decode({static_cast<char>(lead), static_cast<char>(trail)});
            }
        }
    }

    // Surrogates, the escape code points among them, are no characters: the converter has no
    // bytes for them, so they are left as "?" without asking.
    void FillEncoding() {
        for (char32_t c = 0; c < kBmpSize; ++c) {
            const auto bytes = IsSurrogate(c) ? std::nullopt : ToCp932Char(SystemCp932Encode(c));
            encode_[c] = bytes.value_or(kSubstitute);
            roundTrip_[c] = bytes ? DecodeBytes(*bytes) : U'?';
        }
    }

    // Without a working converter (a system that lacks the CP932 module) every character would
    // become "?". The ASCII half of code page 932 is ASCII itself, so at least that stays legible.
    void FillAsciiWithoutConverter() {
        for (char32_t c = 0; c < 0x80; ++c) {
            encode_[c] = Cp932Char{1, {static_cast<uint8_t>(c), 0}};
            roundTrip_[c] = c;
            single_[c] = c;
        }
    }

    void ApplySharedMappings() {
        for (const Cp932SharedMapping& mapping : kSharedMappings) {
            if (!mapping.decodes) continue;
            const Cp932Char& form = mapping.form;
            if (form.length == 1) {
                single_[form.bytes[0]] = mapping.character;
            } else {
                pairs_[LeadIndex(form.bytes[0])][form.bytes[1]] = mapping.character;
            }
        }
        for (const Cp932SharedMapping& mapping : kSharedMappings) {
            encode_[mapping.character] = mapping.form;
            roundTrip_[mapping.character] = DecodeBytes(mapping.form);
        }
    }

    void FillFactBits() {
        for (std::size_t c = 0; c < kBmpSize; ++c) {
            const uint64_t bit = uint64_t{1} << (c & 63);
            if (encode_[c].length == 2) doubleByte_[c >> 6] |= bit;
            if (roundTrip_[c] == c) keepsItself_[c >> 6] |= bit;
        }
    }

    static char32_t Decode(const std::string& bytes) {
        return SystemCp932Decode(bytes).value_or(kReplacementChar);
    }

    char32_t DecodeBytes(const Cp932Char& bytes) const {
        return bytes.length == 1 ? DecodeSingle(bytes.bytes[0]) : DecodePair(bytes.bytes[0], bytes.bytes[1]);
    }

    std::array<Cp932Char, kBmpSize> encode_{};
    std::array<char32_t, kBmpSize> roundTrip_{};
    std::array<char32_t, 256> single_{};
    std::array<std::array<char32_t, 256>, kLeadByteCount> pairs_{};
    // The same facts as bits, small enough to stay in the cache of a loop over a long text.
    std::array<uint64_t, kBmpSize / 64> doubleByte_{};
    std::array<uint64_t, kBmpSize / 64> keepsItself_{};
};

// Built by the first caller; the language guarantees that concurrent first callers wait for it.
const Cp932Tables& Tables() {
    static const Cp932Tables tables;
    return tables;
}

}  // namespace

std::span<const Cp932SharedMapping> Cp932SharedMappings() {
    return kSharedMappings;
}

Cp932Char Cp932Encode(char32_t c) {
    return Tables().Encode(c);
}

int CharCells(char32_t c) {
    return Tables().Encode(c).length;
}

char32_t Cp932RoundTrip(char32_t c) {
    return Tables().RoundTrip(c);
}

Cp932FactsView Cp932Facts() {
    return Tables().Facts();
}

std::string ToCp932(std::string_view utf8) {
    const Cp932Tables& tables = Tables();
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        const Cp932Char encoded = tables.Encode(DecodeUtf8(utf8, pos));
        out.append(reinterpret_cast<const char*>(encoded.bytes), encoded.length);
    }
    return out;
}

std::string FromCp932(std::string_view cp932) {
    const Cp932Tables& tables = Tables();
    std::string out;
    out.reserve(cp932.size() + cp932.size() / 2);
    for (std::size_t pos = 0; pos < cp932.size();) {
        const auto b = static_cast<unsigned char>(cp932[pos++]);
        if (!IsCp932LeadByte(b)) {
            AppendUtf8(out, tables.DecodeSingle(b));
        } else if (pos < cp932.size() && tables.IsPair(b, static_cast<unsigned char>(cp932[pos]))) {
            AppendUtf8(out, tables.DecodePair(b, static_cast<unsigned char>(cp932[pos++])));
        } else {
            AppendUtf8(out, kReplacementChar);
        }
    }
    return out;
}

}  // namespace folvane

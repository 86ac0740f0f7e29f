#pragma once
// Code page 932 (Shift-JIS as Windows defines it) at every file and system boundary, and the
// display-cell width of every character: one cell per byte of its code page 932 form.
//
// Both directions run on tables that are built once, on first use, from the system's own
// converter (cp932_system.h), so the hot paths never call the converter per string and the
// tables agree with it character for character, but for the few characters where the hosts'
// converters disagree (Cp932SharedMappings): there every host follows one table, so a listing
// has the same bytes and widths wherever it is made.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace folvane {

// Byte 0x3F, which stands for every character the code page cannot hold.
inline constexpr char kCp932Substitute = '?';

// The code page 932 form of c: one or two bytes, or "?" when the code page cannot hold c.
struct Cp932Char {
    uint8_t length;  // 1 or 2
    uint8_t bytes[2];
};
Cp932Char Cp932Encode(char32_t c);

// One character whose code page 932 form is fixed here rather than by the system converter.
struct Cp932SharedMapping {
    char32_t character;
    Cp932Char form;
    bool decodes;  // the bytes also decode to this character
};

// The characters on which the converters of the hosts disagree, with the form every host uses.
// Windows (WideCharToMultiByte without best-fit look-alikes) has no bytes for nine characters
// that glibc's CP932 writes as the character a Japanese reader sees in their place: "¢" "£"
// "¬" as the full-width signs, "—" "‖" "−" "〜" as the dash, the double bar, the minus and
// the wave dash of JIS X 0208, "¥" and "‾" as the bytes 5C and 7E, which Japanese fonts show as
// yen sign and overline. glibc in turn has no character for the single bytes 80, A0, FD, FE and
// FF, which Windows reads as U+0080 and U+F8F0 to U+F8F3 and writes back the same way. A
// character is better than "?", so each side takes the other's mapping.
std::span<const Cp932SharedMapping> Cp932SharedMappings();

// Display cells of c: the length of its code page 932 form (1 or 2).
int CharCells(char32_t c);

// What c becomes after a round trip through code page 932 ("?" when the code page cannot hold
// it; some characters map onto another one, as U+00A5 onto "\").
char32_t Cp932RoundTrip(char32_t c);

// The two facts the display-cell operations ask of every character, for loops over many
// characters: fetch the view once with Cp932Facts(), then each look-up is an inline bit test
// instead of a call. The answers are those of CharCells and Cp932RoundTrip.
class Cp932FactsView {
  public:
    static constexpr char32_t kPlaneSize = 0x10000;
    // Both point at kPlaneSize bits, one per code point of the Basic Multilingual Plane.
    Cp932FactsView(const uint64_t* doubleByte, const uint64_t* keepsItself)
        : doubleByte_(doubleByte), keepsItself_(keepsItself) {}

    // Display cells of c (1 or 2), as CharCells(c).
    int Cells(char32_t c) const { return IsSet(doubleByte_, c) ? 2 : 1; }
    // True when Cp932RoundTrip(c) == c.
    bool KeepsItself(char32_t c) const { return IsSet(keepsItself_, c); }

  private:
    static bool IsSet(const uint64_t* bits, char32_t c) {
        return c < kPlaneSize && ((bits[c >> 6] >> (c & 63)) & 1) != 0;
    }
    const uint64_t* doubleByte_;
    const uint64_t* keepsItself_;
};
Cp932FactsView Cp932Facts();

// UTF-8 text to code page 932 bytes, "?" for each character the code page cannot hold.
std::string ToCp932(std::string_view utf8);

// Code page 932 bytes to UTF-8 text. A byte or byte pair that the code page does not define
// (a lone lead byte at the end, an unassigned pair) becomes U+FFFD.
std::string FromCp932(std::string_view cp932);

// True when b begins a double-byte character: 0x81-0x9F or 0xE0-0xFC.
constexpr bool IsCp932LeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

}  // namespace folvane

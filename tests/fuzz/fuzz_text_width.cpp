// Code page 932 and the display-cell operations. The input is a width (taken as a signed 8-,
// 16- or 32-bit number, so negative and huge ones come up) and a text of any bytes. Each cell
// operation is compared with a model written here on the text's code page 932 bytes, as the
// rules describe them: a byte is a cell, a lead byte (0x81-0x9F, 0xE0-0xFC) starts a two-byte
// character that is never split, and the result is converted back. The conversions themselves
// must agree with the per-character tables and be stable after one round trip.

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "platform/cp932.h"
#include "platform/text.h"
#include "render/text_width.h"
#include "tests/fuzz/fuzz_support.h"

namespace folvane::fuzz {
namespace {

// ---- The model, on code page 932 bytes --------------------------------------------------------

bool IsLeadByte(char c) {
    const auto b = static_cast<unsigned char>(c);
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Whether byte n (1-based, 1 <= n <= t.size()) begins a two-byte character.
bool ModelLeadByteAt(std::string_view t, std::size_t n) {
    bool lead = false;
    for (std::size_t i = 0; i < n; ++i)
        lead = !lead && IsLeadByte(t[i]);
    return lead;
}

// The first n bytes of t, or n - 1 and a space when byte n would split a character.
std::string ModelCut(std::string_view t, std::size_t n) {
    if (ModelLeadByteAt(t, n)) return std::string(t.substr(0, n - 1)) + ' ';
    return std::string(t.substr(0, n));
}

std::string ModelFitLeft(std::string_view t, std::size_t n) {
    if (n == 0) return "";
    return ModelCut(std::string(t) + std::string(n, ' '), n);
}

std::string ModelCutWidth(std::string_view t, std::size_t n) {
    if (n == 0) return "";
    return t.size() <= n ? std::string(t) : ModelCut(t, n);
}

std::string ModelPadSpace(std::string_view t, std::size_t n) {
    return t.size() < n ? std::string(n - t.size(), ' ') : "";
}

struct ModelSplit {
    std::string head;
    std::string rest;
};

ModelSplit ModelSplitWidth(std::string_view t, std::size_t n) {
    if (n == 0) return {"", std::string(t)};
    if (t.size() <= n) return {std::string(t), ""};
    const std::size_t cut = ModelLeadByteAt(t, n) ? n - 1 : n;
    return {std::string(t.substr(0, cut)), std::string(t.substr(cut))};
}

std::string ModelFitRight(std::string_view t, std::size_t n) {
    if (n == 0) return "";
    if (t.size() <= n) return std::string(n - t.size(), ' ') + std::string(t);
    const std::size_t drop = t.size() - n;
    if (ModelLeadByteAt(t, drop)) return ' ' + std::string(t.substr(drop + 1));
    return std::string(t.substr(drop));
}

// Lines of at most n bytes from t without its leading and trailing blanks. With n = 1 a
// two-byte character cannot fit and takes a line of its own.
std::vector<std::string> ModelWrapLines(std::string_view t, std::size_t n) {
    std::vector<std::string> lines;
    if (n == 0) return lines;
    const std::size_t first = t.find_first_not_of(' ');
    if (first == std::string_view::npos) return lines;
    std::string_view rest = t.substr(first, t.find_last_not_of(' ') - first + 1);
    while (!rest.empty()) {
        std::size_t take = std::min(n, rest.size());
        if (rest.size() > n && ModelLeadByteAt(rest, n)) take = n == 1 ? 2 : n - 1;
        lines.emplace_back(rest.substr(0, take));
        rest.remove_prefix(take);
    }
    return lines;
}

// ---- Checks -----------------------------------------------------------------------------------

std::vector<char32_t> CodePoints(std::string_view s) {
    std::vector<char32_t> points;
    for (std::size_t pos = 0; pos < s.size();)
        points.push_back(DecodeUtf8(s, pos));
    return points;
}

void CheckConversions(std::string_view s) {
    const std::string t = ToCp932(s);
    std::string encoded;
    std::string roundTrip;
    for (const char32_t c : CodePoints(s)) {
        const Cp932Char bytes = Cp932Encode(c);
        Require(bytes.length == CharCells(c), "a character takes as many cells as it has bytes");
        encoded.append(reinterpret_cast<const char*>(bytes.bytes), bytes.length);
        AppendUtf8(roundTrip, Cp932RoundTrip(c));
    }
    RequireEqual(t, encoded, "ToCp932 is the characters' own code page forms");
    Require(t.empty() || !ModelLeadByteAt(t, t.size()), "converted text never ends in half a character");
    const std::string back = FromCp932(t);
    RequireEqual(back, roundTrip, "FromCp932 of converted text is each character's round trip");
    RequireEqual(ToCp932(back), t, "a round trip is stable");

    // Any bytes decode to well-formed text that converts to at most as many bytes.
    const std::string decoded = FromCp932(s);
    for (const char32_t c : CodePoints(decoded))
        Require(!IsEscapeCodePoint(c) && c <= 0x10FFFF, "decoded text is well-formed",
                [&] { return Visible(decoded); });
    Require(ToCp932(decoded).size() <= s.size(), "decoded bytes convert to no more bytes");
    const std::string once = ToCp932(decoded);
    RequireEqual(ToCp932(FromCp932(once)), once, "decoded text is stable after one round trip");
}

void CheckLeadByteAt(std::string_view bytes) {
    const std::size_t limit = std::min<std::size_t>(bytes.size(), 512);
    for (std::size_t n = 1; n <= limit; ++n) {
        Require(LeadByteAt(bytes, static_cast<int>(n)) == ModelLeadByteAt(bytes, n), "LeadByteAt",
                [&] { return Visible(bytes) + " at " + std::to_string(n); });
    }
    Require(!LeadByteAt(bytes, 0) && !LeadByteAt(bytes, -1) &&
                !LeadByteAt(bytes, static_cast<int>(std::min<std::size_t>(bytes.size(), 1 << 30)) + 1),
            "LeadByteAt outside the text is false");
}

void CheckCells(std::string_view s, int width) {
    const std::string t = ToCp932(s);
    // Widths below 1 ask for nothing; those above the widest a setting can hold are that.
    const std::size_t n = width < 1 ? 0 : static_cast<std::size_t>(std::min(width, kMaxCells));
    const auto text = [](std::string_view bytes) { return FromCp932(bytes); };
    const auto context = [&] { return "width " + std::to_string(width) + ", text \"" + Visible(s) + "\"\n"; };

    Require(static_cast<std::size_t>(StrWidth(s)) == t.size(), "StrWidth is the byte count", context);
    const std::string fitted = FitLeft(s, width);
    RequireEqual(fitted, text(ModelFitLeft(t, n)), "FitLeft matches the model", context);
    Require(static_cast<std::size_t>(StrWidth(fitted)) == n, "FitLeft is exactly n cells", context);
    RequireEqual(CutWidth(s, width), text(ModelCutWidth(t, n)), "CutWidth matches the model", context);
    RequireEqual(PadSpace(s, width), ModelPadSpace(t, n), "PadSpace matches the model", context);
    const SplitResult split = SplitWidth(s, width);
    const ModelSplit expected = ModelSplitWidth(t, n);
    RequireEqual(split.head, text(expected.head), "SplitWidth head matches the model", context);
    RequireEqual(split.rest, text(expected.rest), "SplitWidth rest matches the model", context);
    const std::string right = FitRight(s, width);
    RequireEqual(right, text(ModelFitRight(t, n)), "FitRight matches the model", context);
    Require(static_cast<std::size_t>(StrWidth(right)) == n, "FitRight is exactly n cells", context);

    const std::vector<std::string> lines = WrapLines(s, width);
    const std::vector<std::string> expectedLines = ModelWrapLines(t, n);
    Require(lines.size() == expectedLines.size(), "WrapLines gives the model's number of lines", [&] {
        return context() + std::to_string(lines.size()) + " lines, not " +
               std::to_string(expectedLines.size());
    });
    for (std::size_t k = 0; k < lines.size(); ++k)
        RequireEqual(lines[k], text(expectedLines[k]), "WrapLines matches the model, line by line", context);
}

int Width(Input& input) {
    const uint8_t kind = input.Byte();
    if (kind < 0x80) return input.Number<int8_t>();
    if (kind < 0xC0) return input.Number<int16_t>();
    return input.Number<int32_t>();
}

}  // namespace
}  // namespace folvane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace folvane::fuzz;
    Input input(data, size);
    const int width = Width(input);
    const std::string_view text = input.Rest();
    CheckConversions(text);
    CheckLeadByteAt(text);
    CheckLeadByteAt(folvane::ToCp932(text));
    CheckCells(text, width);
    return 0;
}

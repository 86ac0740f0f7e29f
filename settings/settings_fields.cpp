#include "settings/settings_fields.h"

#include "platform/cp932.h"
#include "platform/text.h"

namespace folvane {

namespace {

constexpr int64_t kNumberLimit = 1'000'000'000'000;

bool IsNumberBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimNumberBlanks(std::string_view text) {
    while (!text.empty() && IsNumberBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsNumberBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool AllDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int64_t SaturatedValue(std::string_view digits) {
    int64_t value = 0;
    for (const char digit : digits) {
        value = value * 10 + (digit - '0');
        if (value >= kNumberLimit) return kNumberLimit;
    }
    return value;
}

// Where the fractional digits put a number between two integers.
enum class Fraction { kZero, kBelowHalf, kHalf, kAboveHalf };

Fraction FractionOf(std::string_view digits) {
    if (digits.find_first_not_of('0') == std::string_view::npos) return Fraction::kZero;
    if (digits.front() < '5') return Fraction::kBelowHalf;
    if (digits.front() > '5') return Fraction::kAboveHalf;
    return digits.find_first_not_of('0', 1) == std::string_view::npos ? Fraction::kHalf
                                                                      : Fraction::kAboveHalf;
}

Fraction Mirrored(Fraction fraction) {
    if (fraction == Fraction::kBelowHalf) return Fraction::kAboveHalf;
    if (fraction == Fraction::kAboveHalf) return Fraction::kBelowHalf;
    return fraction;
}

// The integer nearest to floor + fraction, halves to even.
int64_t RoundFromFloor(int64_t floor, Fraction fraction) {
    switch (fraction) {
        case Fraction::kAboveHalf:
            return floor + 1;
        case Fraction::kHalf:
            return floor % 2 == 0 ? floor : floor + 1;
        default:
            return floor;
    }
}

}  // namespace

std::optional<int64_t> ParseRoundedNumber(std::string_view text, int addend) {
    text = TrimNumberBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    const std::size_t point = text.find('.');
    const std::string_view integerDigits = text.substr(0, point);
    const std::string_view fractionDigits =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    if (integerDigits.empty() && fractionDigits.empty()) return std::nullopt;
    if (!AllDigits(integerDigits) || !AllDigits(fractionDigits)) return std::nullopt;

    const int64_t magnitude = SaturatedValue(integerDigits);
    if (magnitude >= kNumberLimit) return negative ? -kNumberLimit : kNumberLimit;
    // floor is the integer at or below the number; fraction tells how far above it the number lies.
    Fraction fraction = FractionOf(fractionDigits);
    int64_t floor = negative ? -magnitude : magnitude;
    if (negative && fraction != Fraction::kZero) {
        floor -= 1;
        fraction = Mirrored(fraction);
    }
    return RoundFromFloor(floor + addend, fraction);
}

std::string CapText(std::string_view value, int capBytes) {
    std::string capped;
    int bytes = 0;
    for (std::size_t pos = 0; pos < value.size();) {
        const std::size_t start = pos;
        const char32_t c = DecodeUtf8(value, pos);
        if (c == U'\r' || c == U'\n') continue;
        bytes += CharCells(c);
        if (bytes > capBytes) break;
        capped.append(value.substr(start, pos - start));
    }
    return capped;
}

std::string CappedText(std::string Settings::*member, std::string_view value) {
    return CapText(value, FieldOf(member).textCap);
}

}  // namespace folvane

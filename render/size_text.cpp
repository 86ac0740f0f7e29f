#include "render/size_text.h"

#include <array>
#include <cstdint>

// All arithmetic is on exact integers: quotients are formed from a byte count's magnitude and
// a divisor of at most 2^30, so every 64-bit size, INT64_MIN and INT64_MAX included, formats
// exactly and nothing overflows, without any integer type wider than 64 bits.

namespace folvane {

namespace {

enum class Rounding {
    // Quotient to 4 decimals, halves to even, then to a whole number, halves away from zero.
    FourDecimalsThenAway,
    // Quotient straight to a whole number, halves to even.
    HalfEven,
};

struct UnitWords {
    std::array<const char*, 4> words;  // bytes, K, M, G
    const char* exactSuffix;           // after the exact byte count
};

constexpr UnitWords kLongWords{{"  Byte", " KByte", " MByte", " GByte"}, " Byte"};
constexpr UnitWords kShortWords{{"  ", " K", " M", " G"}, ""};

constexpr int64_t kKilo = 1024;
constexpr int64_t kMega = kKilo * 1024;
constexpr int64_t kGiga = kMega * 1024;

// A value as its sign and magnitude, so that INT64_MIN has one too.
struct SignedMagnitude {
    bool negative;
    uint64_t magnitude;
};

SignedMagnitude Split(int64_t v) {
    const bool negative = v < 0;
    // Unsigned negation is exact for every value, INT64_MIN included.
    return {negative, negative ? uint64_t{0} - static_cast<uint64_t>(v) : static_cast<uint64_t>(v)};
}

// m / d rounded to the nearest whole number, halves to even; 0 < d <= 2^30.
uint64_t DivideHalfEven(uint64_t m, uint64_t d) {
    const uint64_t q = m / d;
    const uint64_t twice = 2 * (m % d);
    return (twice > d || (twice == d && q % 2 != 0)) ? q + 1 : q;
}

// Rounding is symmetric about zero in both modes (half to even, half away from zero), so the
// quotient of the magnitude carries the sign. m / d to four decimals is q + f / 10000 with the
// whole part q = m / d and f = the remainder's share rounded half to even; q * 10000 is even,
// so rounding the share alone rounds the whole. The whole number, halves away from zero, is
// then q, plus one when f reaches one half.
SignedMagnitude RoundedQuotient(int64_t size, uint64_t divisor, Rounding rounding) {
    const SignedMagnitude v = Split(size);
    if (rounding == Rounding::HalfEven) return {v.negative, DivideHalfEven(v.magnitude, divisor)};
    const uint64_t whole = v.magnitude / divisor;
    const uint64_t tenThousandths = DivideHalfEven((v.magnitude % divisor) * 10000, divisor);
    return {v.negative, tenThousandths >= 5000 ? whole + 1 : whole};
}

std::string GroupDigits(SignedMagnitude v) {
    uint64_t magnitude = v.magnitude;
    std::string reversed;
    int digits = 0;
    do {
        if (digits > 0 && digits % 3 == 0) reversed += ',';
        reversed += static_cast<char>('0' + static_cast<int>(magnitude % 10));
        magnitude /= 10;
        ++digits;
    } while (magnitude != 0);
    if (v.negative && v.magnitude != 0) reversed += '-';
    return std::string(reversed.rbegin(), reversed.rend());
}

std::string GroupDigits(int64_t v) {
    return GroupDigits(Split(v));
}

std::string SizeText(int16_t sizeType, int64_t size, const UnitWords& units, Rounding rounding) {
    if (sizeType == 0) return GroupDigits(size) + units.exactSuffix;
    // Each bound is inclusive at the top: 1,024 bytes stay bytes, 1,048,576 stay kilobytes.
    if (size <= kKilo) return GroupDigits(size) + units.words[0];
    if (size <= kMega) return GroupDigits(RoundedQuotient(size, kKilo, rounding)) + units.words[1];
    if (size <= kGiga) return GroupDigits(RoundedQuotient(size, kMega, rounding)) + units.words[2];
    return GroupDigits(RoundedQuotient(size, kGiga, rounding)) + units.words[3];
}

}  // namespace

std::string FormatThousands(int64_t v) {
    return GroupDigits(v);
}

std::string CurSizeText(int16_t sizeType, int64_t size) {
    return SizeText(sizeType, size, kLongWords, Rounding::FourDecimalsThenAway);
}

std::string CListSizeText(int16_t sizeType, int64_t size) {
    return SizeText(sizeType, size, kShortWords, Rounding::FourDecimalsThenAway);
}

std::string CurrencySizeText(int16_t sizeType, int64_t size) {
    return SizeText(sizeType, size, kLongWords, Rounding::HalfEven);
}

std::string LongSizeText(int16_t sizeType, int32_t size) {
    return SizeText(sizeType, size, kLongWords, Rounding::HalfEven);
}

std::string ListSizeText(int16_t sizeType, int32_t size) {
    return SizeText(sizeType, size, kShortWords, Rounding::HalfEven);
}

}  // namespace folvane

#include "render/size_text.h"

#include <array>

// All arithmetic is on exact integers (128-bit where a product could leave 64 bits), so every
// 64-bit size, INT64_MIN and INT64_MAX included, formats exactly and never overflows.

namespace folvane {

namespace {

using Wide = __int128;

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

// n / d rounded to the nearest whole number, halves to even; d > 0.
Wide DivideHalfEven(Wide n, Wide d) {
    Wide q = n / d;
    Wide r = n % d;  // has the sign of n
    if (r < 0) {
        r += d;
        --q;
    }
    // Now n = q * d + r with 0 <= r < d.
    const Wide twice = 2 * r;
    if (twice > d || (twice == d && q % 2 != 0)) ++q;
    return q;
}

// n / d rounded to the nearest whole number, halves away from zero; d > 0.
Wide DivideHalfAway(Wide n, Wide d) {
    const bool negative = n < 0;
    const Wide magnitude = negative ? -n : n;
    const Wide q = (2 * magnitude + d) / (2 * d);
    return negative ? -q : q;
}

Wide RoundedQuotient(int64_t size, int64_t divisor, Rounding rounding) {
    if (rounding == Rounding::HalfEven) return DivideHalfEven(size, divisor);
    const Wide tenThousandths = DivideHalfEven(Wide{size} * 10000, divisor);
    return DivideHalfAway(tenThousandths, 10000);
}

std::string GroupDigits(Wide v) {
    const bool negative = v < 0;
    unsigned __int128 magnitude = negative ? -static_cast<unsigned __int128>(v) : v;
    std::string reversed;
    int digits = 0;
    do {
        if (digits > 0 && digits % 3 == 0) reversed += ',';
        reversed += static_cast<char>('0' + static_cast<int>(magnitude % 10));
        magnitude /= 10;
        ++digits;
    } while (magnitude != 0);
    if (negative) reversed += '-';
    return std::string(reversed.rbegin(), reversed.rend());
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

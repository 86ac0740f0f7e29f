#pragma once
// Size texts: a byte count as the exact number with thousands separators (size type 0) or as a
// whole number of bytes, kilobytes, megabytes or gigabytes (1,024-based) with a unit word.

#include <cstdint>
#include <string>

namespace folvane {

// v in the pattern "#,##0": a minus sign for negative values, digits grouped by threes.
std::string FormatThousands(int64_t v);

// Summary and disk-free sentences: "1,234 Byte", or "2  Byte" / "3 KByte" / "MByte" / "GByte";
// the scaled quotient is rounded to 4 decimals (halves to even), then to a whole number
// (halves away from zero).
std::string CurSizeText(int16_t sizeType, int64_t size);
// Size column: the number alone, or with "  " / " K" / " M" / " G"; rounding as CurSizeText.
std::string CListSizeText(int16_t sizeType, int64_t size);
// As CurSizeText, but the quotient rounds straight to a whole number, halves to even.
std::string CurrencySizeText(int16_t sizeType, int64_t size);
// 32-bit sizes: as CurrencySizeText and as the short form of it.
std::string LongSizeText(int16_t sizeType, int32_t size);
std::string ListSizeText(int16_t sizeType, int32_t size);

}  // namespace folvane

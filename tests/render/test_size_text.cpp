#include "render/size_text.h"

#include <gtest/gtest.h>

namespace folvane {
namespace {

// Per size, CurSizeText | CListSizeText | CurrencySizeText by hand. The first two round to four
// decimals, then halves away from zero; CurrencySizeText and the 32-bit ones round halves to even.
TEST(SizeText, UnitsBoundsAndRounding) {
    // clang-format off
    const std::pair<int64_t, std::string> cases[] = {
        {0, "0  Byte|0  |0  Byte"},                       {-1, "-1  Byte|-1  |-1  Byte"},
        {1024, "1,024  Byte|1,024  |1,024  Byte"},        {1025, "1 KByte|1 K|1 KByte"},
        {1536, "2 KByte|2 K|2 KByte"},                    {2560, "3 KByte|3 K|2 KByte"},  // 1.5, 2.5
        {1048576, "1,024 KByte|1,024 K|1,024 KByte"},     {1048577, "1 MByte|1 M|1 MByte"},
        {2621439, "3 MByte|3 M|2 MByte"},                 // 2.49999905 is 2.5000
        {1073741824, "1,024 MByte|1,024 M|1,024 MByte"},  {1073741825, "1 GByte|1 G|1 GByte"},
        {5LL << 40, "5,120 GByte|5,120 G|5,120 GByte"},
        {(5LL << 40) + (1LL << 29), "5,121 GByte|5,121 G|5,120 GByte"},
        {INT64_MAX, "8,589,934,592 GByte|8,589,934,592 G|8,589,934,592 GByte"},
        {INT64_MIN, "-9,223,372,036,854,775,808  Byte|-9,223,372,036,854,775,808  |"
                    "-9,223,372,036,854,775,808  Byte"},
    };
    // clang-format on
    for (const auto& [size, texts] : cases)
        EXPECT_EQ(CurSizeText(1, size) + "|" + CListSizeText(-3, size) + "|" + CurrencySizeText(1, size),
                  texts);
    EXPECT_EQ(CurSizeText(0, 1234567) + "|" + CListSizeText(0, -1234567), "1,234,567 Byte|-1,234,567");
    EXPECT_EQ(LongSizeText(0, INT32_MIN) + "|" + LongSizeText(1, 2560) + "|" + LongSizeText(1, INT32_MAX),
              "-2,147,483,648 Byte|2 KByte|2 GByte");
    EXPECT_EQ(ListSizeText(1, 2621440) + "|" + ListSizeText(1, -1), "2 M|-1  ");
}

}  // namespace
}  // namespace folvane

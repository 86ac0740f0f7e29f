#include "render/title_blocks.h"

#include <gtest/gtest.h>

#include <optional>
#include <tuple>

namespace folvane {
namespace {

constexpr DateTime kNow = 45383LL * 86400 + 9 * 3600 + 5 * 60 + 7;  // 2024/04/01 09:05:07
constexpr int64_t kGiga = 1073741824;
const std::string kDate = "2024/04/01 09:05:07\r\n";
const std::string kProduct = "Folvane Ver 1.8" + std::string(44, ' ') + kDate;  // 78 cells

Settings Make(int columns = 78, int16_t listType = 0, bool links = false, int16_t sizeType = 0) {
    Settings s;
    s.Columns = static_cast<int16_t>(columns), s.ListType = listType, s.FolderLinkFlg = links;
    s.SizeType = sizeType;
    ComputeWidths(s);
    return s;
}

FolderTotals Totals(int64_t folders, int64_t files, int64_t bytes = 0) {
    return {folders, files, bytes, 0};
}

ListingFacts Facts(std::string root, std::optional<VolumeInfo> volume, int64_t freeBytes = -1,
                   int64_t totalBytes = -1) {
    return ListingFacts{std::move(root), std::move(volume), freeBytes, totalBytes};
}

VolumeInfo Volume(std::string label, uint32_t serial) {
    return VolumeInfo{std::move(label), serial, 255, 0, "ext4"};
}

TEST(TitleBlockTexts, Title) {
    const std::string c = "ドライブ C:\\ のボリュームラベルは";
    // clang-format off
    const std::tuple<int, std::string, ListingFacts, std::string> cases[] = {
        {78, "C:\\Data", Facts("C:\\", Volume("", 0x1A2B3C4D)),
         kProduct + c + "ありません。 (1A2B-3C4D)\r\nフォルダは C:\\Data"},
        {78, "C:\\", Facts("C:\\", Volume("A&B", 0x12)), kProduct + c + " A&B (0000-0012)\r\nフォルダは C:\\"},
        {34, "C:\\", Facts("C:\\", Volume("V", 0xFFFFFFFF)),
         "Folvane Ver 1.8 " + kDate + c + " V (FFFF-FFFF)\r\nフォルダは C:\\"},
        {78, "\\\\srv\\shr\\dir\\", Facts("\\\\srv\\shr\\", Volume("S", 0xABCDEF01)),
         kProduct + "ドライブ \\\\srv\\shr\\ のボリュームラベルは S (ABCD-EF01)\r\nフォルダは \\\\srv\\shr\\dir"},
        // No volume line when the volume could not be queried.
        {78, "C:\\Data\\", Facts("C:\\", std::nullopt), kProduct + "フォルダは C:\\Data"},
    };
    // clang-format on
    for (const auto& [columns, folder, facts, title] : cases)
        EXPECT_EQ(Title(Make(columns), folder, kNow, facts), title) << folder;
    const ListingFacts facts = Facts("C:\\", Volume("A&B", 0x1A2B3C4D));
    EXPECT_EQ(Title(Make(78, 1, true), "C:\\D & E\\", kNow, facts),
              "<A href=\"https://folvane.example/\">Folvane Ver 1.8</A>" + std::string(44, ' ') + kDate +
                  "ドライブ <A href=\"file:///C:/\">C:\\</A> のボリュームラベルは A&amp;B (1A2B-3C4D)\r\n"
                  "フォルダは <A href=\"file:///C:/D%20&amp;%20E\">C:\\D &amp; E</A>");
    EXPECT_EQ(Title(Make(78, 1), "C:\\D & E\\", kNow, facts),
              kProduct + c + " A&amp;B (1A2B-3C4D)\r\nフォルダは C:\\D &amp; E");
}

TEST(TitleBlockTexts, MidashiAndPartLine) {
    Settings all = Make(), crcLast = Make();
    all.CDateFlg = all.CTimeFlg = all.CRCFlg = all.VersionFlg = true;  // no room for the name
    crcLast.CRCFlg = true, crcLast.SizeFlg = crcLast.AttrFlg = crcLast.UDateFlg = crcLast.UTimeFlg = false;
    ComputeWidths(all), ComputeWidths(crcLast);
    const std::string name = "ファイル／フォルダ名";
    EXPECT_EQ(Midashi(Make()), name + std::string(21, ' ') + "    バイト数 属性   更新日付 更新時刻");
    EXPECT_EQ(Midashi(Make(78, 1, false, 1)),
              name + std::string(26, ' ') + " サイズ 属性   更新日付 更新時刻");
    EXPECT_EQ(Midashi(all), "    バイト数 属性   作成日付 作成時刻   更新日付 更新時刻 CRC      バージョン");
    EXPECT_EQ(Midashi(crcLast), name + std::string(49, ' ') + " CRC");

    CharTable chars;
    SetCharTableDefaults(chars);
    chars.strings[0][static_cast<int>(CharRole::Rule)] = "<=";
    const auto rule = [&](int charType, int columns, int16_t listType = 0) {
        Settings s = Make(columns, listType);
        s.CharType = static_cast<int16_t>(charType);
        return PartLine(s, chars);
    };
    EXPECT_EQ(rule(1, 6) + "|" + rule(1, 7) + "|" + rule(1, -8), "───|─── |");
    EXPECT_EQ(rule(0, 5, 1), "&lt;=&lt;=&lt;");
}

TEST(TitleBlockTexts, SummaryAndFolderLines) {
    EXPECT_EQ(SummaryText(Make(), Totals(0, 0)), "ファイルはありません。");
    EXPECT_EQ(SummaryText(Make(), Totals(2, 0)), "2 個のフォルダがあります。");
    EXPECT_EQ(SummaryText(Make(), Totals(0, 3, 1500)), "3 個 1,500 Byte のファイルがあります。");
    EXPECT_EQ(SummaryText(Make(78, 0, false, 1), Totals(1, 1234, 2560)),
              "1 個のフォルダと 1,234 個 3 KByte のファイルがあります。");
    EXPECT_EQ(SummaryText(Make(), Totals(3000000000, 4000000000, 5000000000000)),
              "3,000,000,000 個のフォルダと 4,000,000,000 個 5,000,000,000,000 Byte のファイルがあります。");

    const auto line = [](int name, int size, int16_t listType, std::string_view text, const FolderTotals& t) {
        Settings s = Make(78, listType);
        s.SizeFlg = size != 0;
        s.NameWidth = static_cast<int16_t>(name), s.SizeWidth = static_cast<int16_t>(size);
        return FolderSumLine(s, text, t);
    };
    EXPECT_EQ(line(40, 0, 0, "C:\\Data", Totals(0, 0)), "C:\\Data( 無し )" + std::string(25, ' '));
    EXPECT_EQ(line(43, 0, 0, "C:\\Data", Totals(2, 5)), "C:\\Data( 2 個のフォルダと 5 個のファイル ) ");
    EXPECT_EQ(line(20, 12, 0, "C:\\Data", Totals(0, 0, 1234)),
              "C:\\Data( 無し )" + std::string(12, ' ') + "1,234");
    EXPECT_EQ(line(20, 7, 0, "C:\\Data", Totals(0, 1, 1234567890)), "C:\\Data( 1 個のファ -------");
    EXPECT_EQ(line(-10, -7, 0, "C:\\Data", Totals(1, 1, 5)), "C:\\Data");
    EXPECT_EQ(line(20, 0, 1, "a&b", Totals(0, 0)), "<TT>a&amp;b</TT>( 無し )" + std::string(9, ' '));
    EXPECT_EQ(line(5, 7, 1, "C:\\Data", Totals(0, 0, 5)), "<TT>C:\\Da</TT>      5");
}

TEST(TitleBlockTexts, Futter) {
    const std::string has = "ディスク空き容量は ";
    // clang-format off
    const std::tuple<Settings, int64_t, int64_t, std::string> cases[] = {
        {Make(), 0, 8 * kGiga, "ディスク空き容量はありません。"},
        {Make(78, 0, false, 1), 2 * kGiga, 8 * kGiga, has + "2 GByte (25.0 ％) あります。"},
        {Make(78, 1, true), 1000, 3000, has + "1,000 Byte (33.3 ％) あります。"},
        {Make(), 1, 16, has + "1 Byte (6.3 ％) あります。"},    // 6.25
        {Make(), 1, 2000, has + "1 Byte (0.1 ％) あります。"},  // 0.05
        {Make(), 1999, 2000, has + "1,999 Byte (100.0 ％) あります。"},  // 99.95 carries over
        {Make(), 3, 2, has + "3 Byte (150.0 ％) あります。"},
        {Make(78, 0, false, 1), 5 * kGiga, 0, has + "5 GByte あります。"},
        {Make(), INT64_MAX, 1, has + "9,223,372,036,854,775,807 Byte (922337203685477580700.0 ％) あります。"},
        {Make(), INT64_MAX, INT64_MAX - 1, has + "9,223,372,036,854,775,807 Byte (100.0 ％) あります。"},
        {Make(), -1, 10, ""},
        {Make(), 10, -1, ""},
        // Near the top of the range the remainders need all 64 bits: 99.99999... rounds up.
        {Make(), INT64_MAX - 1, INT64_MAX, has + "9,223,372,036,854,775,806 Byte (100.0 ％) あります。"},
        {Make(), INT64_MAX / 2000, INT64_MAX, has + "4,611,686,018,427,387 Byte (0.0 ％) あります。"},
        {Make(), INT64_MAX / 2000 + 1, INT64_MAX, has + "4,611,686,018,427,388 Byte (0.1 ％) あります。"},
    };
    // clang-format on
    for (const auto& [settings, freeBytes, totalBytes, footer] : cases)
        EXPECT_EQ(Futter(settings, Facts("C:\\", std::nullopt, freeBytes, totalBytes)), footer)
            << freeBytes << " of " << totalBytes;
}

}  // namespace
}  // namespace folvane

#include "render/entry_columns.h"

#include <gtest/gtest.h>

namespace folvane {
namespace {

// Seconds since 1899-12-30 00:00, by hand.
constexpr DateTime kApril2024 = 45383LL * 86400 + 9 * 3600 + 5 * 60 + 7;  // 2024/04/01 09:05:07
constexpr DateTime kEndOf1999 = 36525LL * 86400 + 86399;                  // 1999/12/31 23:59:59

TEST(EntryColumns, DateAndTimeOfAnyMoment) {
    // clang-format off
    const std::tuple<DateTime, std::string, std::string> cases[] = {
        {0, "1899/12/30", "00:00:00"},                  {-1, "1899/12/29", "23:59:59"},
        {61LL * 86400, "1900/03/01", "00:00:00"},       {36585LL * 86400 + 43200, "2000/02/29", "12:00:00"},
        {-693960LL * 86400, "-0001/12/31", "00:00:00"}, {2958466LL * 86400, "10000/01/01", "00:00:00"},
        {INT64_MAX, "2147483647/12/31", "23:59:59"},    {INT64_MIN, "-2147483648/01/01", "00:00:00"},
    };
    // clang-format on
    for (const auto& [t, date, time] : cases)
        EXPECT_EQ(DateText(t) + " " + TimeText(t), date + " " + time) << t;
    for (DateTime t = -80'000'000'000; t < 300'000'000'000; t += 987'654'321)
        EXPECT_EQ(MakeDateTime(SplitDateTime(t)), t) << t;
    EXPECT_EQ(MakeDateTime({2023, 16, 1, 9, 5, 7}), kApril2024);  // months and days carry over
    EXPECT_EQ(MakeDateTime({2024, 3, 32, 9, 5, 7}), kApril2024);
}

FileEntry Entry(std::string name, uint32_t attr, int64_t size = 0) {
    FileEntry entry{attr, size, std::move(name), kEndOf1999, kApril2024, "<1.08>", 0x1A2B};
    if (entry.IsFolder()) entry.Updated = 0;
    return entry;
}

// Settings with the columns named by letters switched on: S size, A attributes, D and T
// created date and time, d and t updated date and time, C CRC, V version; H an HTML listing,
// F file links, L folder links. Name width -99 lets ComputeWidths choose the widths.
Settings On(std::string_view on, int nameWidth, int sizeWidth = 0, int16_t sizeType = 0) {
    const auto has = [&](char c) { return on.find(c) != std::string_view::npos; };
    Settings s;
    s.SizeFlg = has('S'), s.AttrFlg = has('A'), s.CDateFlg = has('D'), s.CTimeFlg = has('T');
    s.UDateFlg = has('d'), s.UTimeFlg = has('t'), s.CRCFlg = has('C'), s.VersionFlg = has('V');
    s.FileLinkFlg = has('F'), s.FolderLinkFlg = has('L'), s.ListType = has('H') ? 1 : 0;
    s.NameWidth = static_cast<int16_t>(nameWidth), s.SizeWidth = static_cast<int16_t>(sizeWidth);
    s.SizeType = sizeType;
    if (nameWidth == -99) ComputeWidths(s);
    return s;
}

constexpr uint32_t kFile = kAttrArchive, kDir = kAttrFolder;
const std::string kDirCol = "&lt; Dir &gt;";

TEST(EntryColumns, Lines) {
    // clang-format off
    const std::tuple<Settings, std::string, FileEntry, std::string> cases[] = {
        {On("S", -99, 0, 1), "", Entry("f", kFile, 2560), "f" + std::string(70, ' ') + "    3 K"},
        {On("S", 4, 5), "", Entry("d", kDir), "d   Dir >"},
        {On("S", 4, 12), "", Entry("f", kFile, 1234567890), "f   ------------"},
        {On("S", 4, 13), "", Entry("f", kFile, 1234567890), "f   1,234,567,890"},
        {On("S", 5, 7), "", Entry("あいう", kFile, 5), "あい" + std::string(7, ' ') + "5"},
        {On("", 20), "│ ├ ", Entry("x", kFile), "│ ├ x"},
        {On("SA", -5, -3), "├ ", Entry("f", kFile, 5), " ---A"},
        {On("A", 2), "", Entry("f", kAttrReadOnly | kAttrArchive), "f  R--A"},
        {On("A", 2), "", Entry("f", kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive | kDir),
         "f  RHSA"},
        {On("DTdt", 2), "", Entry("f", kFile), "f  2024/04/01 09:05:07 1999/12/31 23:59:59"},
        {On("DTdtC", 2), "", Entry("d", kDir), "d  2024/04/01 09:05:07" + std::string(20, ' ') + " 00001A2B"},
        {On("VC", 2), "", Entry("d", kDir), "d  00001A2B"},
        // HTML: the prefix in a teletype span, the name linked, padding outside the link.
        {On("SHL", 20, 7), "", Entry("sub", kDir),
         "<TT></TT><A href=\"file:///C:/Data/sub\">sub</A>" + std::string(17, ' ') + kDirCol},
        {On("SHF", 20, 7), "│ ", Entry("あいうえおかきくけこ", kFile, 5),
         "<TT>│ </TT><A href=\"file:///C:/Data/あいうえおかきくけこ\">あいうえおかきく </A>      5"},
        {On("H", 2), "│ │ ", Entry("f", kFile), "<TT>│</TT>"},
        {On("HV", 2), "", Entry("f", kFile), "<TT></TT>f  &lt;1.08&gt;"},
    };
    // clang-format on
    for (const auto& [settings, prefix, entry, line] : cases)
        EXPECT_EQ(EntryLine(settings, prefix, entry.Name, "C:\\Data\\", entry), line) << line;
}

TEST(EntryColumns, RootLineSpansTheNameSizeAttributeAndDateColumns) {
    FileEntry root = Entry("C:\\ < DATA >", kDir);
    root.Crc = 0xFFFFFFFF;
    // 20 + 12 + 5 + 11 + 9 = 57 cells; no version column on this line.
    EXPECT_EQ(RootLine(On("SAdtCV", 20, 12), "C:\\", root),
              "C:\\ < DATA >" + std::string(45, ' ') + " FFFFFFFF");
    EXPECT_EQ(RootLine(On("DTC", 0), "C:\\", root), "C:\\ < DATA >" + std::string(8, ' ') + " FFFFFFFF");
    EXPECT_EQ(RootLine(On("SAdtHL", 20, 12), "C:\\", root),
              "<A href=\"file:///C:/\">C:\\ &lt; DATA &gt;</A>");
    EXPECT_EQ(RootLine(On("HF", 5), "C:\\", root), "C:\\ &lt;");
    EXPECT_EQ(RootLine(On("DTC", -40), "C:\\", root), " FFFFFFFF");
}

}  // namespace
}  // namespace folvane

#include "app/setup_logic.h"

#include <gtest/gtest.h>

namespace folvane {
namespace {

const std::vector<std::string> kTemplates = {"基本.htm", "Plain.html"};

Settings Defaults() {
    Settings settings;
    SetDefaults(settings);
    return settings;
}

// The defaults go through ParaToView and back in ChecksThatSpanSeveralControlsAndWhatIsStored.
TEST(SetupLogicTest, ParaToViewShowsTheRecord) {
    Settings record = Defaults();
    record.Lines = 5, record.SearchAttr = 21, record.SortFlg = false, record.CompMode = 0;
    record.ListType = 1, record.SizeMaxColumns = 99, record.ViewType = 7, record.SortKey = -2;
    const SetupValues v = ParaToView(record, kTemplates);
    EXPECT_EQ(v.lines + "|" + v.sizeMaxColumns + "|" + v.workCaption, "4|75|フォルダ リスト(&L)");
    EXPECT_TRUE(!v.hiddenView && !v.compMode && v.listType && v.sortFlgIndex == 1 && v.fileLink);
    EXPECT_TRUE(v.viewType == 3 && v.sortKey == 0);  // out-of-range indexes show the nearest button
}

TEST(SetupLogicTest, NumberBoxesAreCheckedInOrderAndStoredOnlyOnSuccess) {
    using Box = std::string SetupValues::*;
    using Field = int16_t Settings::*;
    const Box columns = &SetupValues::columns, lines = &SetupValues::lines,
              size = &SetupValues::sizeMaxColumns;
    const Field cols = &Settings::Columns, lns = &Settings::Lines, sz = &Settings::SizeMaxColumns;
    // The box, its text, the message ("" when stored), the field and what it then holds.
    // clang-format off
    const std::tuple<Box, const char*, std::string_view, Field, int16_t> cases[] = {
        {columns, "abc", kColumnsInvalid, nullptr, 0},  {columns, "1001", kColumnsInvalid, nullptr, 0},
        {columns, "99999", kColumnsInvalid, nullptr, 0}, {columns, "0", kColumnsTooNarrow, nullptr, 0},
        {columns, "1000", "", cols, 1000},               {columns, " 78.5 ", "", cols, 78},
        {columns, "79.5", "", cols, 80},                 {columns, "79.49999999999999999999", "", cols, 79},
        {lines, "0", "", lns, 1},                        {lines, "99", "", lns, 100},
        {lines, "0.5", "", lns, 2},  /* 1.5 */           {lines, "-0.5", kLinesInvalid, nullptr, 0},
        {lines, "100", kLinesInvalid, nullptr, 0},       {lines, "32767", kLinesInvalid, nullptr, 0},
        {size, "9a", kSizeColumnsInvalid, nullptr, 0},   {size, "-40000", kSizeColumnsInvalid, nullptr, 0},
        {size, "9", "", sz, 11},  /* the default 12 */   {size, "10", "", sz, 13},
        {size, "4", "", sz, 7},                          {size, "76", "", sz, 99},
    };
    // clang-format on
    for (const auto& [box, text, message, field, stored] : cases) {
        Settings record = Defaults();
        SetupValues values = ParaToView(record, kTemplates);
        values.viewType = 1;  // taken before every check
        values.size = false;
        values.*box = text;
        EXPECT_EQ(ViewToPara(values, kTemplates, record), message) << text;
        EXPECT_EQ(field ? record.*field : stored, stored) << text;
        // A failure leaves the record as it was, also the fields handled before the check.
        EXPECT_EQ(record.ViewType, message.empty() ? 1 : 0) << text;
    }
}

TEST(SetupLogicTest, ChecksThatSpanSeveralControlsAndWhatIsStored) {
    Settings record = Defaults();
    SetupValues v = ParaToView(record, kTemplates);
    v.lines = "-1", v.sizeMaxColumns = "x";  // the size box is checked before Lines <= 0
    EXPECT_EQ(ViewToPara(v, kTemplates, record), kSizeColumnsInvalid);
    v = ParaToView(record, kTemplates);
    v.columns = "40";
    v.size = v.attr = v.cdate = v.ctime = v.udate = v.utime = v.crc = v.version = true;
    EXPECT_EQ(ViewToPara(v, kTemplates, record), kColumnsTooNarrow);

    v = ParaToView(record, kTemplates);
    v.sizeType = 1, v.sizeMaxColumns = "1";  // taken while the box is disabled
    v.viewType = 2, v.sortKey = 3, v.sortFlgIndex = 1, v.compMode = false, v.hiddenView = false;
    v.listType = true, v.charType = 0, v.workCaption = "Menu", v.shortCutMenu = false;
    ASSERT_EQ(ViewToPara(v, kTemplates, record), "");
    EXPECT_TRUE(record.SizeMaxColumns == 7 && record.SizeWidth == 7);
    EXPECT_TRUE(record.ViewType == 2 && record.SortKey == 3 && !record.SortFlg && record.CompMode == 0);
    EXPECT_TRUE(record.SearchAttr == 21 && record.ListType == 1 && record.CharType == 0);
    EXPECT_TRUE(record.ShortCutCaption == "Menu" && !record.ShortCutMenuFlg);

    // Initialise then save: the defaults replace what the dialog shows and nothing else.
    Settings live = Defaults();
    live.Columns = 120, live.Lines = 3, live.CRCFlg = true, live.HtmlName = "Plain.html",
    live.SearchAttr = 21;
    live.FilterText = {"*.txt"}, live.LastPathName = "C:\\data", live.LastOutPathName = "D:\\";
    live.Left = 10, live.Top = 20, live.Version = "1.8";
    ASSERT_EQ(ViewToPara(ParaToView(Defaults(), kTemplates), kTemplates, live), "");
    EXPECT_TRUE(live.Columns == 78 && live.Lines == 1 && !live.CRCFlg && live.SearchAttr == 23);
    EXPECT_EQ(live.HtmlName, "基本.htm");
    EXPECT_EQ(live.NameWidth, 78 - 11 - 5 - 11 - 9);  // 12 shows as 9 digits, stored as 11
    EXPECT_EQ(live.FilterText, std::vector<std::string>{"*.txt"});
    EXPECT_EQ(live.LastPathName + "|" + live.LastOutPathName + "|" + live.Version, "C:\\data|D:\\|1.8");
    EXPECT_TRUE(live.Left == 10 && live.Top == 20);
}

TEST(SetupLogicTest, TemplateListSelectsTheMatchingTemplateOrTheFirstItem) {
    // Templates, HtmlName, the captions, the item selected, HtmlName after saving that selection.
    // clang-format off
    using Names = std::vector<std::string>;
    const std::tuple<Names, std::string, Names, int, std::string> cases[] = {
        {{}, "基本.htm", {" （未定義）"}, 0, ""},
        {kTemplates, "plain.HTML", {"基本", "Plain"}, 1, "Plain.html"},
        {kTemplates, "missing.htm", {"基本", "Plain"}, 0, "基本.htm"},
        {{"b.htm", "a.htm", "A.HTM", "a.Htm"}, "A.htm", {"b", "a", "A", "a"}, 2, "A.HTM"},
        {{"a.htm", "b.htm", "A.HTM"}, "a.htm", {"a", "b", "A"}, 0, "a.htm"},
    };
    // clang-format on
    for (const auto& [templates, htmlName, captions, selected, stored] : cases) {
        const auto [items, index] = HtmlNameListFill(templates, htmlName);
        std::vector<std::string> shown;
        for (const auto& item : items)
            shown.push_back(item.caption);
        EXPECT_EQ(shown, captions) << htmlName;
        EXPECT_EQ(index, selected) << htmlName;
        Settings record = Defaults();
        record.HtmlName = htmlName;
        ASSERT_EQ(ViewToPara(ParaToView(record, templates), templates, record), "");
        EXPECT_EQ(record.HtmlName, stored);
    }
}

TEST(SetupLogicTest, SizeDigitsCaptionsAndNumberTexts) {
    using V = std::vector<int16_t>;
    EXPECT_EQ(V({SizeDigits(12), SizeDigits(11), SizeDigits(99), SizeDigits(0), SizeDigits(-32768)}),
              V({9, 9, 75, 0, -24576}));
    EXPECT_EQ(V({SizeCells(9), SizeCells(10), SizeCells(0), SizeCells(1), SizeCells(75), SizeCells(32767),
                 SizeCells(-32768)}),
              V({11, 13, 0, 1, 99, 32767, -32768}));
    std::string captions;
    for (int key = -1; key <= 5; ++key) {
        const auto pair = SortDirectionCaptions(key);
        captions += pair ? pair->first + "/" + pair->second + " " : "- ";
    }
    EXPECT_EQ(captions, "- 昇順/降順 昇順/降順 小さい順/大きい順 新しい順/古い順 新しい順/古い順 - ");
    for (const char* text : {"12", " 12 ", "+1.5", "-.5", "1.", "007", "\t1"})
        EXPECT_TRUE(IsNumberText(text)) << text;
    for (const char* text : {"", "  ", ".", "-", "1e3", "abc", "1 2", "--1", "1.2.3", "１２"})
        EXPECT_FALSE(IsNumberText(text)) << text;
}

}  // namespace
}  // namespace folvane

// The Setup dialog's logic: filling the controls, validating and storing, the template list,
// the size-digit conversions, the direction captions and what counts as a number.

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

TEST(SetupLogicTest, ParaToViewShowsTheRecord) {
    Settings record = Defaults();
    SetupValues v = ParaToView(record, kTemplates);
    EXPECT_EQ(v.columns + "|" + v.lines + "|" + v.sizeMaxColumns, "78|0|9");
    EXPECT_TRUE(v.hiddenView && v.compMode && v.size && v.attr && v.udate && v.utime && v.fileLink);
    EXPECT_FALSE(v.cdate || v.ctime || v.crc || v.version || v.listType);
    EXPECT_EQ(v.sortFlgIndex, 0);
    EXPECT_EQ(v.charType, 1);
    EXPECT_EQ(v.workCaption, "フォルダ リスト(&L)");

    record.Lines = 5, record.SearchAttr = 21, record.SortFlg = false, record.CompMode = 0;
    record.ListType = 1, record.SizeMaxColumns = 99, record.ViewType = 7, record.SortKey = -2;
    v = ParaToView(record, kTemplates);
    EXPECT_EQ(v.lines + "|" + v.sizeMaxColumns, "4|75");
    EXPECT_FALSE(v.hiddenView || v.compMode);
    EXPECT_TRUE(v.listType);
    EXPECT_EQ(v.sortFlgIndex, 1);
    EXPECT_EQ(v.viewType, 3);  // out-of-range indexes show the nearest button
    EXPECT_EQ(v.sortKey, 0);
}

TEST(SetupLogicTest, NumberBoxesAreCheckedInOrderAndStoredOnlyOnSuccess) {
    using Box = std::string SetupValues::*;
    using Field = int16_t Settings::*;
    const Box columns = &SetupValues::columns, lines = &SetupValues::lines,
              size = &SetupValues::sizeMaxColumns;
    const struct {
        Box box;
        const char* text;
        std::string_view message;  // "" when stored
        Field field;
        int16_t stored;
    } cases[] = {
        {columns, "abc", kColumnsInvalid, nullptr, 0},
        {columns, "  ", kColumnsInvalid, nullptr, 0},
        {columns, "1001", kColumnsInvalid, nullptr, 0},
        {columns, "99999", kColumnsInvalid, nullptr, 0},
        {columns, "0", kColumnsTooNarrow, nullptr, 0},
        {columns, "-5", kColumnsTooNarrow, nullptr, 0},
        {columns, "1000", "", &Settings::Columns, 1000},
        {columns, " 78.5 ", "", &Settings::Columns, 78},
        {columns, "79.5", "", &Settings::Columns, 80},
        {columns, "79.49999999999999999999", "", &Settings::Columns, 79},
        {lines, "0", "", &Settings::Lines, 1},
        {lines, "99", "", &Settings::Lines, 100},
        {lines, "0.5", "", &Settings::Lines, 2},  // 1.5 rounds to 2
        {lines, "-0.5", kLinesInvalid, nullptr, 0},
        {lines, "-1", kLinesInvalid, nullptr, 0},
        {lines, "100", kLinesInvalid, nullptr, 0},
        {lines, "32767", kLinesInvalid, nullptr, 0},
        {size, "9a", kSizeColumnsInvalid, nullptr, 0},
        {size, "-40000", kSizeColumnsInvalid, nullptr, 0},
        {size, "9", "", &Settings::SizeMaxColumns, 11},  // what the default 12 shows
        {size, "10", "", &Settings::SizeMaxColumns, 13},
        {size, "4", "", &Settings::SizeMaxColumns, 7},
        {size, "0", "", &Settings::SizeMaxColumns, 7},
        {size, "76", "", &Settings::SizeMaxColumns, 99},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Settings record = Defaults();
        SetupValues values = ParaToView(record, kTemplates);
        values.viewType = 1;  // taken before every check
        values.size = false;
        values.*c.box = c.text;
        EXPECT_EQ(ViewToPara(values, kTemplates, record), c.message);
        if (c.field != nullptr) {
            EXPECT_EQ(record.*c.field, c.stored);
        }
        // A failure leaves the record as it was, also the fields handled before the check.
        EXPECT_EQ(record.ViewType, c.message.empty() ? 1 : 0);
    }
}

TEST(SetupLogicTest, ChecksThatSpanSeveralControls) {
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
    EXPECT_EQ(record.SizeMaxColumns, 7);
    EXPECT_EQ(record.SizeWidth, 7);
    EXPECT_TRUE(record.ViewType == 2 && record.SortKey == 3 && !record.SortFlg && record.CompMode == 0);
    EXPECT_TRUE(record.SearchAttr == 21 && record.ListType == 1 && record.CharType == 0);
    EXPECT_TRUE(record.ShortCutCaption == "Menu" && !record.ShortCutMenuFlg);
}

TEST(SetupLogicTest, TemplateListSelectsTheMatchingTemplateOrTheFirstItem) {
    const struct {
        std::vector<std::string> templates;
        std::string htmlName;
        std::vector<std::string> captions;
        int selected;
        std::string stored;  // HtmlName after 保存 with that selection
    } cases[] = {
        {{}, "基本.htm", {" （未定義）"}, 0, ""},
        {kTemplates, "plain.HTML", {"基本", "Plain"}, 1, "Plain.html"},
        {kTemplates, "missing.htm", {"基本", "Plain"}, 0, "基本.htm"},
        {{"a.htm", "b.htm", "A.HTM"}, "a.htm", {"a", "b", "A"}, 0, "a.htm"},
        {{"b.htm", "a.htm", "A.HTM", "a.Htm"}, "A.htm", {"b", "a", "A", "a"}, 2, "A.HTM"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.htmlName);
        const auto [items, selected] = HtmlNameListFill(c.templates, c.htmlName);
        std::vector<std::string> captions;
        for (const auto& item : items)
            captions.push_back(item.caption);
        EXPECT_EQ(captions, c.captions);
        EXPECT_EQ(selected, c.selected);

        Settings record = Defaults();
        record.HtmlName = c.htmlName;
        ASSERT_EQ(ViewToPara(ParaToView(record, c.templates), c.templates, record), "");
        EXPECT_EQ(record.HtmlName, c.stored);
    }
}

TEST(SetupLogicTest, InitialiseThenSaveKeepsTheFieldsNotShown) {
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

TEST(SetupLogicTest, SizeDigitsCaptionsAndNumberTexts) {
    const std::pair<int16_t, int16_t> toDigits[] = {{12, 9}, {11, 9}, {99, 75}, {0, 0}, {-32768, -24576}};
    for (const auto& [width, digits] : toDigits)
        EXPECT_EQ(SizeDigits(width), digits) << width;
    const std::pair<int16_t, int16_t> toCells[] = {{9, 11},  {10, 13},       {0, 0},          {1, 1},
                                                   {75, 99}, {32767, 32767}, {-32768, -32768}};
    for (const auto& [digits, cells] : toCells)
        EXPECT_EQ(SizeCells(digits), cells) << digits;

    const char* captions[] = {"昇順/降順", "昇順/降順", "小さい順/大きい順", "新しい順/古い順",
                              "新しい順/古い順"};
    for (int key = 0; key < 5; ++key) {
        const auto pair = SortDirectionCaptions(key);
        ASSERT_TRUE(pair.has_value()) << key;
        EXPECT_EQ(pair->first + "/" + pair->second, captions[key]);
    }
    EXPECT_EQ(SortDirectionCaptions(5), std::nullopt);
    EXPECT_EQ(SortDirectionCaptions(-1), std::nullopt);

    for (const char* text : {"12", " 12 ", "+1.5", "-.5", "1.", "007"})
        EXPECT_TRUE(IsNumberText(text)) << text;
    for (const char* text : {"", "  ", ".", "-", "1e3", "abc", "1 2", "--1", "1.2.3", "１２", "\t1"}) {
        EXPECT_FALSE(IsNumberText(text)) << text;
    }
}

}  // namespace
}  // namespace folvane

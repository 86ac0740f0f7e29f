#include "settings/settings.h"

#include <gtest/gtest.h>

#include "settings/char_table.h"

namespace folvane {
namespace {

TEST(SettingsTest, DefaultsGiveTheDocumentedWidths) {
    Settings settings;
    SetDefaults(settings);
    EXPECT_EQ(settings.NameWidth, 41);
    EXPECT_EQ(settings.SizeWidth, 12);
    EXPECT_EQ(settings.SearchAttr, 23);
    EXPECT_EQ(settings.HtmlName, "基本.htm");
    EXPECT_EQ(settings.ShortCutCaption, "フォルダ リスト(&L)");
    EXPECT_TRUE(settings.FilterText.empty());
}

TEST(SettingsTest, SetDefaultsKeepsHistoryAndSetHistoryDefaultsClearsIt) {
    Settings settings;
    settings.LastPathName = "C:\\Data";
    settings.LastOutPathName = "C:\\Out\\";
    settings.Left = 10;
    settings.Top = 20;
    settings.Columns = 200;
    settings.FilterText = {"*.txt"};
    settings.Version = "1.8";
    SetDefaults(settings);
    EXPECT_EQ(settings.LastPathName, "C:\\Data");
    EXPECT_EQ(settings.LastOutPathName, "C:\\Out\\");
    EXPECT_EQ(settings.Left, 10);
    EXPECT_EQ(settings.Top, 20);
    EXPECT_EQ(settings.Columns, 78);
    EXPECT_TRUE(settings.FilterText.empty());
    EXPECT_EQ(settings.Version, "");

    SetHistoryDefaults(settings);
    EXPECT_EQ(settings.LastPathName, "");
    EXPECT_EQ(settings.LastOutPathName, "");
    EXPECT_EQ(settings.Left, -1);
    EXPECT_EQ(settings.Top, -1);
}

TEST(SettingsTest, ComputeWidthsSubtractsEachSwitchedOnColumn) {
    struct Case {
        const char* what;
        void (*change)(Settings&);
        int nameWidth;
        int sizeWidth;
    };
    const Case cases[] = {
        {"scaled sizes take 7 cells whatever SizeMaxColumns says",
         [](Settings& s) { s.SizeType = 1, s.SizeMaxColumns = 30; }, 46, 7},
        {"every column on leaves a negative width, unclamped",
         [](Settings& s) {
             s.Columns = 40;
             s.CDateFlg = s.CTimeFlg = s.VersionFlg = s.CRCFlg = true;
         },
         -43, 12},
        {"every column off leaves the whole line",
         [](Settings& s) { s.SizeFlg = s.AttrFlg = s.UDateFlg = s.UTimeFlg = false; }, 78, 12},
        {"an exact byte count takes SizeMaxColumns", [](Settings& s) { s.SizeMaxColumns = 20; }, 33, 20},
    };
    for (const Case& c : cases) {
        Settings settings;
        c.change(settings);
        ComputeWidths(settings);
        EXPECT_EQ(settings.NameWidth, c.nameWidth) << c.what;
        EXPECT_EQ(settings.SizeWidth, c.sizeWidth) << c.what;
    }
}

TEST(SettingsTest, FilterHistoryIsMostRecentlyUsedAndIgnoresAsciiCaseOnly) {
    Settings settings;
    settings.FilterText = {"*.txt", "*.doc"};
    AddFilterText(settings, "*.TXT");
    EXPECT_EQ(settings.FilterText, (std::vector<std::string>{"*.TXT", "*.doc"}));

    AddFilterText(settings, "*.doc");
    EXPECT_EQ(settings.FilterText, (std::vector<std::string>{"*.doc", "*.TXT"}));

    for (const char* text : {"a", "b", "c", "d"})
        AddFilterText(settings, text);
    EXPECT_EQ(settings.FilterText, (std::vector<std::string>{"d", "c", "b", "a", "*.doc"}));

    // Full-width letters are not folded: Ａ and ａ are different texts.
    AddFilterText(settings, "ａ");
    AddFilterText(settings, "Ａ");
    EXPECT_EQ(settings.FilterText, (std::vector<std::string>{"Ａ", "ａ", "d", "c", "b"}));
}

TEST(SettingsTest, OverlongHistoryFromAFileKeepsItsLength) {
    Settings settings;
    settings.FilterText = {"1", "2", "3", "4", "5", "6", "7"};
    AddFilterText(settings, "new");
    EXPECT_EQ(settings.FilterText, (std::vector<std::string>{"new", "1", "2", "3", "4", "5", "6"}));
    AddFilterText(settings, "5");
    EXPECT_EQ(settings.FilterText, (std::vector<std::string>{"5", "new", "1", "2", "3", "4", "6"}));
}

TEST(CharTableTest, DefaultPiecesAreThreeCellsWideInBothSets) {
    CharTable table;
    SetCharTableDefaults(table);
    EXPECT_EQ(table.Piece(0, CharRole::Branch), "|- ");
    EXPECT_EQ(table.Piece(1, CharRole::Vertical), "│ ");
    EXPECT_EQ(table.Piece(1, CharRole::Rule), "─");
    EXPECT_EQ(table.Piece(7, CharRole::End), "└ ") << "any set but 0 reads as the full-width set";
}

}  // namespace
}  // namespace folvane

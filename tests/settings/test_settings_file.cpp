#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/cp932.h"
#include "platform/process.h"
#include "tests/support/temp_dir.h"

namespace folvane {
namespace {

namespace fs = std::filesystem;

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines)
        text += line + "\r\n";
    return text;
}

std::string Content(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// clang-format off
const std::vector<std::string> kDefaultLines = {
    "[Settings]", "Version=1.8", "ListType=0", "SearchAttr=23", "ViewType=0", "SizeFlg=True",
    "CDateFlg=False", "CTimeFlg=False", "UDateFlg=True", "UTimeFlg=True", "AttrFlg=True", "VersionFlg=False",
    "CRCFlg=False", "AutoOpenFlg=False", "LongNameFlg=True", "FolderLinkFlg=False", "FileLinkFlg=True",
    "HtmlName=基本.htm", "FilterFlg=False", "Columns=78", "Lines=1", "CharType=1", "SizeType=0",
    "SizeMaxColumns=12", "SortKey=0", "SortFlg=True", "CompMode=1", "ShortCutMenuFlg=True",
    "ShortCutCaption=フォルダ リスト(&L)", "LastPathName=", "LastOutPathName=", "SubDirSearchFlg=True",
    "MemPos=True", "Left=-1", "Top=-1",
    "[CharTable]", "0,0=   ", "0,1=|  ", "0,2=|- ", "0,3=+- ", "0,4=-",
    "1,0=   ", "1,1=│ ", "1,2=├ ", "1,3=└ ", "1,4=─",
};
// clang-format on

class SettingsFileTest : public ::testing::Test {
  protected:
    // Loads a file holding text (stored in code page 932), with the help file beside it.
    void Load(std::string_view text) {
        dir_.WriteFile("Folvane.ini", ToCp932(text));
        LoadSettings(dir_.path("Folvane.ini"), dir_.path("Folvane.hlp"), settings_, table_);
    }
    // The loaded settings and table as the writer puts them, with a line end in front.
    std::string Written() const { return "\r\n" + SettingsFileText(settings_, table_); }

    testing::TempDir dir_;
    Settings settings_;
    CharTable table_;
};

TEST_F(SettingsFileTest, DefaultsGiveTheDocumentedText) {
    LoadSettings(dir_.path("missing.ini"), "", settings_, table_);
    EXPECT_EQ(settings_.NameWidth, 41);
    EXPECT_EQ(SettingsFileText(settings_, table_), Lines(kDefaultLines));
    ASSERT_TRUE(SaveSettings(dir_.path("out.ini"), settings_, table_));
    EXPECT_TRUE(Content(dir_.host("out.ini")).ends_with("\r\n1,4=\x84\x9F\r\n"));
}

TEST_F(SettingsFileTest, ANonDefaultRecordSurvivesARoundTrip) {
    Settings s;
    SetDefaults(s);
    s.Version = "1.8", s.ListType = 1, s.SearchAttr = 21, s.ViewType = 2, s.SizeFlg = false;
    s.CDateFlg = s.CTimeFlg = s.VersionFlg = s.CRCFlg = s.AutoOpenFlg = s.FolderLinkFlg = s.FilterFlg = true;
    s.HtmlName = " 表.htm", s.FilterText = {"*.TXT", "", "a=b"}, s.Columns = 1000, s.Lines = 100;
    s.CharType = 0, s.SizeType = 1, s.SizeMaxColumns = 99, s.SortKey = 4, s.SortFlg = false, s.CompMode = 0;
    s.ShortCutCaption = "", s.LastPathName = "C:\\データ", s.LastOutPathName = "D:\\";
    s.SubDirSearchFlg = s.MemPos = false, s.Left = -32768, s.Top = 32767;
    CharTable table;
    table.strings = {{{"a", "", "=", ",", "--"}, {"１", "２ ", " ", "ｱ", "x=y"}}};

    ASSERT_TRUE(SaveSettings(dir_.path("Folvane.ini"), s, table));
    LoadSettings(dir_.path("Folvane.ini"), "", settings_, table_);
    EXPECT_EQ(SettingsFileText(settings_, table_), SettingsFileText(s, table));
    EXPECT_EQ(settings_.NameWidth, 1000 - 9 - 5 - 11 - 9 - 11 - 9 - 17);  // no size column
}

TEST_F(SettingsFileTest, ReadsLinesAsDocumentedAndSkipsWhatDoesNotConvert) {
    const struct {
        std::vector<std::string> lines;     // after "[Settings]"
        std::vector<std::string> expected;  // lines of the text written from what was read
    } cases[] = {
        {{"columns=100"}, {"Columns=100"}},
        {{"Columns = 100", " Columns=100"}, {"Columns=78"}},
        {{"HtmlName= 基本.htm"}, {"HtmlName= 基本.htm"}},
        {{"FilterText=c", "FilterText=b", "filtertext=a", "FilterText=c"},
         {"FilterFlg=False\r\nFilterText=c\r\nFilterText=b\r\nFilterText=a\r\nFilterText=c\r\nColumns=78"}},
        {{"Columns=40", "Columns= 40.5 ", "Lines=\t2.5", "Left=-32768", "Top=12"},
         {"Columns=40", "Lines=2", "Left=-32768", "Top=12"}},
        {{"SortFlg=false", "SizeFlg=0", "AttrFlg=FALSE", "CRCFlg=-1", "VersionFlg=0.5", "MemPos= FALSE "},
         {"SortFlg=False", "SizeFlg=False", "AttrFlg=False", "CRCFlg=True", "VersionFlg=True",
          "MemPos=False"}},
        {{"Columns=5000", "Lines=0", "SizeMaxColumns=3", "ViewType=9", "SortKey=-3", "CompMode=5",
          "CharType=2", "ListType=99999999999999999999", "SizeType=-1"},
         {"Columns=1000", "Lines=1", "SizeMaxColumns=7", "ViewType=3", "SortKey=0", "CompMode=1",
          "CharType=1", "ListType=1", "SizeType=0"}},
        {{"SearchAttr=21"}, {"SearchAttr=21"}},
        {{"SearchAttr=7"}, {"SearchAttr=23"}},
        {{"SearchAttr=16"}, {"SearchAttr=21"}},
        {{"Columns=abc", "Lines=1e2", "SortFlg=maybe", "Left=40000", "Top=", "SearchAttr=99999",
          "MemPos=yes"},
         {"Columns=78", "Lines=1", "SortFlg=True", "Left=-1", "Top=-1", "SearchAttr=23", "MemPos=True"}},
        {{"[settings]", "Columns=50", "[Other]", "Lines=3", "[Settings] ", "SortKey=2"},
         {"Columns=78", "Lines=1", "SortKey=0"}},
        {{"[CharTable]", "0,4=", " 1 , 2 =abc", "0,1==|=", "0=x", ",1=x", "0,=x", "0=a,1=b", "2,0=x", "0,5=x",
          "-1,0=x", "a,0=x"},
         {"0,0=   ", "0,1==|=", "0,2=|- ", "0,3=+- ", "0,4=\r\n1,0=   ", "1,1=│ ", "1,2=abc", "1,3=└ "}},
    };
    for (const auto& c : cases) {
        // Keys before any section, and a last piece without CR LF, are not read.
        Load(Lines({"Lines=5", "[Settings]", "Version=1.8"}) + Lines(c.lines) + "Columns=60");
        for (const auto& line : c.expected)
            EXPECT_NE(Written().find("\r\n" + line + "\r\n"), std::string::npos)
                << c.lines.front() << ": " << line;
    }
}

TEST_F(SettingsFileTest, AnOlderLayoutIsUpgradedOnce) {
    const std::vector<std::string> formerTable = {"[CharTable]", "1,0=   ", "1,1=｜ ", "1,2=├ ", "1,3=└ "};
    const struct {
        std::vector<std::string> lines;
        std::string help;
        std::string vertical;
        bool indexDeleted;
    } cases[] = {
        {{"[Settings]", "Version=1.0"}, "Folvane.HLP", "│ ", true},
        {{"[Settings]", "Version=1.8"}, "Folvane.hlp", "｜ ", false},
        {{"[Settings]", "Version=1.8 "}, "Folvane.hlp", "│ ", true},
        {{"[Settings]", "Version=1.0", "[CharTable]", "1,2=+ "}, "Folvane.hlp", "｜ ", true},
        {{}, "Folvane.txt", "│ ", false},  // no version line
    };
    for (const auto& c : cases) {
        dir_.WriteFile("Folvane.GID", "index");
        std::vector<std::string> lines = formerTable;
        lines.insert(lines.end(), c.lines.begin(), c.lines.end());
        dir_.WriteFile("Folvane.ini", ToCp932(Lines(lines)));
        LoadSettings(dir_.path("Folvane.ini"), dir_.path(c.help), settings_, table_);
        EXPECT_EQ(settings_.Version, "1.8");
        EXPECT_EQ(table_.strings[1][1], c.vertical) << c.help;
        EXPECT_EQ(!fs::exists(dir_.host("Folvane.GID")), c.indexDeleted) << c.help;
    }
    // A help path without a "\" names no index; a folder by the index's name stays.
    LoadSettings(dir_.path("Folvane.ini"), "Folvane.hlp", settings_, table_);
    EXPECT_TRUE(fs::exists(dir_.host("Folvane.GID")));
    fs::remove(dir_.host("Folvane.GID"));
    dir_.MakeFolder("Folvane.GID");
    LoadSettings(dir_.path("Folvane.ini"), dir_.path("Folvane.hlp"), settings_, table_);
    EXPECT_TRUE(fs::is_directory(dir_.host("Folvane.GID")));
}

TEST_F(SettingsFileTest, LineFeedsOnlyOrATooLargeFileGiveDefaults) {
    dir_.WriteFile("Folvane.GID", "index");
    Load("[Settings]\nVersion=1.8\nColumns=100\n");
    EXPECT_EQ(settings_.Columns, 78);
    EXPECT_FALSE(fs::exists(dir_.host("Folvane.GID")));  // no version line: upgraded

    const std::string head = Lines({"[Settings]", "Columns=100", "Version=1.0"});
    const std::string largest = head + std::string(32767 - head.size() - 2, 'x') + "\r\n";
    Load(largest);
    EXPECT_EQ(settings_.Columns, 100);
    dir_.WriteFile("Folvane.GID", "index");
    for (const std::string& text : {largest + "x", std::string()}) {  // 32768 bytes, or none
        Load(text);
        EXPECT_EQ(settings_.Columns, 78);
        EXPECT_EQ(settings_.Version, "1.8");
        EXPECT_TRUE(fs::exists(dir_.host("Folvane.GID")));  // nothing upgraded
    }
}

TEST_F(SettingsFileTest, SavesTextValuesOnOneLineAndReportsFailure) {
    SetDefaults(settings_);
    SetCharTableDefaults(table_);
    settings_.LastPathName = "C:\\a\r\nColumns=5";
    settings_.FilterText = {"*.txt\n*.doc"};
    table_.strings[0][4] = "=\r";
    ASSERT_TRUE(SaveSettings(dir_.path("config/folvane/Folvane.ini"), settings_, table_));
    const std::string saved = Content(dir_.host("config/folvane/Folvane.ini"));
    for (const auto* line : {"LastPathName=C:\\aColumns=5", "FilterText=*.txt*.doc", "Columns=78", "0,4=="})
        EXPECT_NE(saved.find(std::string("\r\n") + line + "\r\n"), std::string::npos) << line;

    dir_.WriteFile("file");
    EXPECT_FALSE(SaveSettings(dir_.path("file/Folvane.ini"), settings_, table_));
    EXPECT_FALSE(SaveSettings("", settings_, table_));
    // The tests run from a writable build folder, so the file lives beside the executable.
    EXPECT_EQ(SettingsFilePath(), ExecutableFolder() + "\\Folvane.ini");
}

TEST(RoundedNumberTest, RoundsHalvesToEven) {
    const struct {
        std::string text;
        std::optional<int64_t> value;
    } cases[] = {
        {"12", 12},
        {" -3 ", -3},
        {"+4", 4},
        {"2.5", 2},
        {"3.5", 4},
        {"-2.5", -2},
        {"-3.5", -4},
        {".5", 0},
        {"0.50", 0},
        {"5.", 5},
        {"\t7\t", 7},
        {"-0", 0},
        {"2.5000001", 3},
        {"2.4999", 2},
        {"1e3", {}},
        {"", {}},
        {"-", {}},
        {".", {}},
        {"1.2.3", {}},
        {"1 2", {}},
        {"0x10", {}},
        {"１２", {}},
        {"+-1", {}},
        {"- 1", {}},
        {"99999999999999999999", 1'000'000'000'000},
        {"-99999999999999999999.9", -1'000'000'000'000},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseRoundedNumber(c.text), c.value) << c.text;
}

}  // namespace
}  // namespace folvane

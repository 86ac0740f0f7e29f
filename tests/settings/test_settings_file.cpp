#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/cp932.h"
#include "platform/file_system.h"
#include "platform/file_write.h"
#include "platform/process.h"
#include "settings/program_files.h"
#include "settings/settings_fields.h"
#include "tests/support/temp_dir.h"

namespace folvane {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

std::string Lines(const Texts& lines) {
    std::string text;
    for (const auto& line : lines)
        text += line + "\r\n";
    return text;
}

// clang-format off
const Texts kDefaultLines = {
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
    // Loads a file holding text (stored in code page 932), with the help file and its index beside it.
    void Load(std::string_view text, std::string_view help = "Folvane.hlp") {
        dir_.WriteFile("Folvane.GID", "index");
        dir_.WriteFile("Folvane.ini", ToCp932(text));
        LoadSettings(dir_.path("Folvane.ini"), dir_.path(help), settings_, table_);
    }
    bool IndexKept() const { return fs::exists(dir_.host("Folvane.GID")); }
    testing::TempDir dir_;
    Settings settings_;
    CharTable table_;
};

TEST_F(SettingsFileTest, DefaultsGiveTheDocumentedText) {
    LoadSettings(dir_.path("missing.ini"), "", settings_, table_);
    EXPECT_EQ(SettingsFileText(settings_, table_), Lines(kDefaultLines));
    EXPECT_EQ(table_.Piece(7, CharRole::End), "└ ");  // any set but 0 is the full-width one
    ASSERT_TRUE(SaveSettings(dir_.path("out.ini"), settings_, table_));
    EXPECT_TRUE(ReadWholeFile(dir_.path("out.ini")).value_or("").ends_with("\r\n1,4=\x84\x9F\r\n"));
}

// A line break in a text value is left out, so that it cannot add a line of its own.
TEST_F(SettingsFileTest, ANonDefaultRecordSurvivesARoundTripEvenWithLineBreaksInTexts) {
    Settings s;
    SetDefaults(s);
    s.Version = "1.8", s.ListType = 1, s.SearchAttr = 21, s.ViewType = 2, s.SizeFlg = false;
    s.CDateFlg = s.CTimeFlg = s.VersionFlg = s.CRCFlg = s.AutoOpenFlg = s.FolderLinkFlg = s.FilterFlg = true;
    s.HtmlName = " 表.htm", s.FilterText = {"*.TXT\n*.doc", "", "a=b"}, s.Columns = 1000, s.Lines = 100;
    s.CharType = 0, s.SizeType = 1, s.SizeMaxColumns = 99, s.SortKey = 4, s.SortFlg = false, s.CompMode = 0;
    s.ShortCutCaption = "", s.LastPathName = "C:\\データ\r\nColumns=5", s.LastOutPathName = "D:\\";
    s.SubDirSearchFlg = s.MemPos = false, s.Left = -32768, s.Top = 32767;
    CharTable table;
    table.strings = {{{"a", "", "=\r", ",", "--"}, {"１", "２ ", " ", "ｱ", "x=y"}}};
    ASSERT_TRUE(SaveSettings(dir_.path("config/folvane/Folvane.ini"), s, table));  // the folder is made
    LoadSettings(dir_.path("config/folvane/Folvane.ini"), "", settings_, table_);
    EXPECT_EQ(SettingsFileText(settings_, table_), SettingsFileText(s, table));
    EXPECT_EQ(settings_.LastPathName + settings_.FilterText[0] + table_.strings[0][2],
              "C:\\データColumns=5*.TXT*.doc=");
    EXPECT_EQ(settings_.NameWidth, 1000 - 9 - 5 - 11 - 9 - 11 - 9 - 17);  // no size column
    dir_.WriteFile("file");
    EXPECT_FALSE(SaveSettings(dir_.path("file/Folvane.ini"), s, table) || SaveSettings("", s, table));
    // The tests run from a writable build folder, so the file lives beside the executable.
    EXPECT_EQ(SettingsFilePath(), ExecutableFolder() + "\\Folvane.ini");
}

// An installed program (its templates in the prefix's share folder) keeps its settings in each
// user's configuration folder, even where the program folder can be written; any other keeps
// them beside itself, unless that folder cannot be written.
TEST_F(SettingsFileTest, DataAndSettingsFoldersFollowHowTheProgramIsInstalled) {
    for (const char* folder :
         {"portable", "usr/bin", "usr/share/folvane/basehtml", "opt/bin", "home/.local/bin"})
        dir_.MakeFolder(folder);
    dir_.WriteFile("opt/share/folvane/basehtml");              // a file is no template folder
    dir_.WriteFile("home/.local/share/folvane/registry.ini");  // the user's data, no installation
    const std::string config = dir_.path("config");
    const std::string inConfig = config + "\\" + std::string(ProgramConfigFolderName()) + "\\Folvane.ini";
    const std::string usrData = dir_.path("usr/share/folvane") + "\\";
    const auto beside = [&](std::string_view folder) { return dir_.path(folder) + "\\Folvane.ini"; };
    // The program's folder, its data folder, its settings file ("" when not asked).
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {dir_.path("portable"), "", beside("portable")},
        {dir_.path("usr/bin"), usrData, inConfig},
        {dir_.path("usr/bin") + "\\", usrData, ""},
        {dir_.path("opt/bin"), "", beside("opt/bin")},
        {dir_.path("home/.local/bin"), "", beside("home/.local/bin")},
        {dir_.path("missing"), "", inConfig},  // a folder that cannot be written
        {"Z:\\", "", ""},                      // no prefix above a drive root
        {"Z:", "", ""},
        {"bin", "", ""},
        {"", "", inConfig},
    };
    for (const auto& [executableFolder, data, settings] : cases) {
        EXPECT_EQ(InstalledDataFolder(executableFolder), data) << executableFolder;
        if (!settings.empty()) {
            EXPECT_EQ(SettingsFilePathOf(executableFolder, config), settings) << executableFolder;
        }
    }
    // Without a configuration folder every program keeps its settings beside itself.
    EXPECT_EQ(SettingsFilePathOf(dir_.path("usr/bin"), ""), beside("usr/bin"));
    EXPECT_EQ(SettingsFilePathOf("", ""), "");
}

TEST_F(SettingsFileTest, ReadsLinesAsDocumentedAndSkipsWhatDoesNotConvert) {
    // clang-format off
    const struct {
        Texts lines;     // after "[Settings]"
        Texts expected;  // lines of the text written from what was read
    } cases[] = {
        // The attribute mask is kept as written: the walk applies every bit of it.
        {{"columns=100", "HtmlName= 基本.htm", "SearchAttr=7"},
         {"Columns=100", "HtmlName= 基本.htm", "SearchAttr=7"}},
        {{"Columns = 100", " Columns=100", "SearchAttr=16", "FilterText=c", "FilterText=b", "filtertext=a",
          "FilterText=c"},
         {"SearchAttr=16", "FilterFlg=False\r\nFilterText=c\r\nFilterText=b\r\nFilterText=a\r\nFilterText=c"
          "\r\nColumns=78"}},
        {{"Columns=40", "Columns= 40.5 ", "Lines=\t2.5", "Left=-32768", "Top=12", "SortFlg=false",
          "SizeFlg=0", "AttrFlg=FALSE", "CRCFlg=-1", "VersionFlg=0.5", "MemPos= FALSE "},
         {"Columns=40", "Lines=2", "Left=-32768", "Top=12", "SortFlg=False", "SizeFlg=False", "AttrFlg=False",
          "CRCFlg=True", "VersionFlg=True", "MemPos=False"}},
        {{"Columns=5000", "Lines=0", "SizeMaxColumns=3", "ViewType=9", "SortKey=-3", "CompMode=5",
          "CharType=2", "ListType=99999999999999999999", "SizeType=-1"},
         {"Columns=1000", "Lines=1", "SizeMaxColumns=7", "ViewType=3", "SortKey=0", "CompMode=1",
          "CharType=1", "ListType=1", "SizeType=0"}},
        {{"Columns=abc", "Lines=1e2", "SortFlg=maybe", "Left=40000", "Top=", "SearchAttr=99999",
          "MemPos=yes"},
         {"Columns=78", "Lines=1", "SortFlg=True", "Left=-1", "Top=-1", "SearchAttr=23", "MemPos=True"}},
        {{"[settings]", "Columns=50", "[Other]", "Lines=3", "[Settings] ", "SortKey=2"},
         {"Columns=78", "Lines=1", "SortKey=0"}},
        {{"[CharTable]", "0,4=", " 1 , 2 =abc", "0,1==|=", "0=x", ",1=x", "0,=x", "0=a,1=b", "2,0=x", "0,5=x",
          "-1,0=x", "a,0=x"},
         {"0,0=   ", "0,1==|=", "0,2=|- ", "0,3=+- ", "0,4=\r\n1,0=   ", "1,1=│ ", "1,2=abc", "1,3=└ "}},
    };
    // clang-format on
    for (const auto& c : cases) {
        // Keys before any section, and a last piece without CR LF, are not read.
        Load(Lines({"Lines=5", "[Settings]", "Version=1.8"}) + Lines(c.lines) + "Columns=60");
        const std::string written = "\r\n" + SettingsFileText(settings_, table_);
        for (const auto& line : c.expected)
            EXPECT_NE(written.find("\r\n" + line + "\r\n"), std::string::npos)
                << c.lines.front() << ": " << line;
    }
}

// Upgrading replaces the former full-width vertical and deletes the help index. A file with LF
// line ends has no version line to read; one of 32768 bytes or more, or an empty one, is not read.
TEST_F(SettingsFileTest, AnOlderLayoutIsUpgradedOnceAndOnlyFromAFileThatIsRead) {
    const std::string former = Lines({"[CharTable]", "1,0=   ", "1,1=｜ ", "1,2=├ ", "1,3=└ "});
    const std::string head = Lines({"[Settings]", "Columns=100", "Version=1.0"});
    const std::string largest = head + std::string(32767 - head.size() - 2, 'x') + "\r\n";
    const struct {
        std::string text, help, vertical;
        bool indexDeleted;
        int columns = 78;
    } cases[] = {
        {former + "[Settings]\r\nVersion=1.0\r\n", "Folvane.HLP", "│ ", true},
        {former + "[Settings]\r\nVersion=1.8\r\n", "Folvane.hlp", "｜ ", false},
        {former + "[Settings]\r\nVersion=1.8 \r\n", "Folvane.hlp", "│ ", true},
        {former + "[Settings]\r\nVersion=1.0\r\n[CharTable]\r\n1,2=+ \r\n", "Folvane.hlp", "｜ ", true},
        {former, "Folvane.txt", "│ ", false},  // no version line; only a help file's index goes
        {"[Settings]\nVersion=1.8\nColumns=100\n", "Folvane.hlp", "│ ", true},
        {largest, "Folvane.hlp", "│ ", true, 100},
        {largest + "x", "Folvane.hlp", "│ ", false},
        {"", "Folvane.hlp", "│ ", false},
    };
    for (const auto& c : cases) {
        Load(c.text, c.help);
        EXPECT_EQ(settings_.Version, "1.8");
        EXPECT_EQ(settings_.Columns, c.columns) << c.text.size();
        EXPECT_EQ(table_.strings[1][1], c.vertical) << c.text;
        EXPECT_EQ(IndexKept(), !c.indexDeleted) << c.text;
        // The bytes alone give the same record, and touch no file.
        Settings fromBytes;
        CharTable tableFromBytes;
        dir_.WriteFile("Folvane.GID", "index");
        ReadSettingsText(ToCp932(c.text), fromBytes, tableFromBytes);
        EXPECT_TRUE(fromBytes == settings_ && tableFromBytes == table_ && IndexKept()) << c.text;
    }
    // A help path without a "\" names no index.
    Load(former);
    dir_.WriteFile("Folvane.GID", "index");
    LoadSettings(dir_.path("Folvane.ini"), "Folvane.hlp", settings_, table_);
    EXPECT_TRUE(IndexKept());
}

// The widths that follow from the columns are checked with the command line and Setup.
TEST(SettingsTest, DefaultsKeepTheHistory) {
    Settings s;
    s.LastPathName = "C:\\Data", s.LastOutPathName = "C:\\Out\\", s.Left = 10, s.Top = 20;
    s.Columns = 200, s.FilterText = {"*.txt"}, s.Version = "1.8";
    SetDefaults(s);
    EXPECT_TRUE(s.LastPathName == "C:\\Data" && s.LastOutPathName == "C:\\Out\\" && s.Left == 10 &&
                s.Top == 20);
    EXPECT_TRUE(s.Columns == 78 && s.FilterText.empty() && s.Version.empty() && s.NameWidth == 41);
    SetHistoryDefaults(s);
    EXPECT_TRUE(s.LastPathName.empty() && s.LastOutPathName.empty() && s.Left == -1 && s.Top == -1);
}

// Most recently used first, ignoring the case of ASCII letters only; an overlong one keeps its length.
TEST(SettingsTest, FilterHistory) {
    Settings settings;
    settings.FilterText = {"*.txt", "*.doc"};
    AddFilterText(settings, "*.TXT");
    EXPECT_EQ(settings.FilterText, (Texts{"*.TXT", "*.doc"}));
    for (const char* text : {"*.doc", "a", "b", "c", "d", "ａ", "Ａ"})
        AddFilterText(settings, text);
    EXPECT_EQ(settings.FilterText, (Texts{"Ａ", "ａ", "d", "c", "b"}));
    settings.FilterText = {"1", "2", "3", "4", "5", "6", "7"};
    AddFilterText(settings, "5");
    AddFilterText(settings, "new");
    EXPECT_EQ(settings.FilterText, (Texts{"new", "5", "1", "2", "3", "4", "6"}));
}

// A settings file is always one the reader takes: texts keep their caps, and the oldest filter
// texts give way when even so the file would grow too large. A read-only file is kept.
TEST_F(SettingsFileTest, AWrittenFileIsAlwaysReadBackAndAReadOnlyOneIsKept) {
    Settings s;
    s.Version = kSettingsVersion, s.Columns = 100;
    AddFilterText(s, std::string(100'000, 'x'));
    s.LastPathName = "C:\\\\" + std::string(50'000, 'd');
    for (int i = 0; i < 40; ++i)
        s.FilterText.push_back(std::string(1024, static_cast<char>('a' + i % 26)));
    CharTable table;
    SetCharTableDefaults(table);
    table.strings[0][4] = std::string(10'000, '=');
    const std::string path = dir_.path("Folvane.ini");
    ASSERT_TRUE(SaveSettings(path, s, table));
    EXPECT_LT(ReadWholeFile(path).value_or("").size(), 32768u);
    LoadSettings(path, "", settings_, table_);
    EXPECT_EQ(settings_.Columns, 100);
    EXPECT_EQ(settings_.FilterText.front(), std::string(1024, 'x'));  // the newest stays
    EXPECT_LT(settings_.FilterText.size(), s.FilterText.size());      // the oldest went
    EXPECT_EQ(settings_.LastPathName.size(), 2048u);
    EXPECT_EQ(table_.strings[0][4].size(), 64u);
    // What was read is written back unchanged.
    EXPECT_TRUE(ToCp932(SettingsFileText(settings_, table_)) == ReadWholeFile(path).value_or(""));

    fs::permissions(dir_.host("Folvane.ini"), fs::perms::owner_read | fs::perms::group_read);
    const std::string before = ReadWholeFile(path).value_or("");
    s.Columns = 50;
    EXPECT_FALSE(SaveSettings(path, s, table));
    EXPECT_EQ(ReadWholeFile(path).value_or(""), before);
}

TEST(RoundedNumberTest, RoundsHalvesToEvenAfterTheAddendAndSaturates) {
    // clang-format off
    const struct {
        std::string text;
        int addend;
        std::optional<int64_t> value;
    } cases[] = {
        {"+4", 0, 4}, {"3.5", 0, 4}, {"-2.5", 0, -2}, {".5", 0, 0}, {"5.", 0, 5}, {"2.5000001", 0, 3},
        {"2.4999", 0, 2}, {" \t7\t ", 0, 7}, {"-99999999999999999999.9", 0, -1'000'000'000'000},
        // The addend counts before rounding: 0.5 + 1 is 1.5, which rounds to 2.
        {"0.5", 1, 2}, {"1.5", 1, 2}, {"-1.5", 1, 0}, {"-1", 1, 0},
        {"-", 0, {}}, {".", 0, {}}, {"1.2.3", 0, {}}, {"1 2", 0, {}}, {"0x10", 0, {}}, {"１２", 0, {}},
        {"+-1", 0, {}}, {"- 1", 0, {}}, {"", 0, {}}};
    // clang-format on
    for (const auto& c : cases)
        EXPECT_EQ(ParseRoundedNumber(c.text, c.addend), c.value) << c.text << " + " << c.addend;
}

}  // namespace
}  // namespace folvane

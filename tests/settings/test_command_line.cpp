#include "settings/command_line.h"

#include <gtest/gtest.h>

#include "platform/file_write.h"
#include "platform/path_space.h"
#include "platform/person_path.h"
#include "settings/path_utils.h"
#include "settings/settings_file.h"
#include "tests/support/temp_dir.h"

namespace folvane {
namespace {

struct Case {
    std::string commandLine;
    int result;
    std::vector<std::string> outcome = {};  // lines that the outcome must hold
};

// Parses over defaults and a run left over from an earlier start; looks for lines in all it decides.
void Expect(const std::vector<Case>& cases) {
    for (const auto& c : cases) {
        Settings s;
        SetDefaults(s);
        RunOptions o{true, true, "old.txt", true, true};
        CommandLineEffects e{true, "old", true, "old", true};
        EXPECT_EQ(ParseCommandLine(c.commandLine, s, o, e), c.result) << c.commandLine;
        const std::string outcome =
            "\r\n" + SettingsFileText(s, CharTable{}) + "NameWidth=" + std::to_string(s.NameWidth) +
            "\r\nAuto=" + std::to_string(o.AutoMode) + std::to_string(o.AutoStart) +
            std::to_string(o.SilentSave) + std::to_string(o.QuitAfterRun) + "\r\nOut=" + o.OutFileName +
            "\r\nFolder=" + (e.hasFolder ? e.folderText : "-") +
            "\r\nFilter=" + (e.hasFilter ? e.filterText : "-") + "\r\nMove=" + std::to_string(e.moveWindow) +
            "\r\n";
        for (const auto& line : c.outcome)
            EXPECT_NE(outcome.find("\r\n" + line + "\r\n"), std::string::npos)
                << c.commandLine << ": " << line;
    }
}

// Drive C: is a fresh folder holding Data\sub, Data\a.txt and Data\Con.
class CommandLineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_.MakeFolder("Data/sub");
        // Through the platform layer: Windows takes "Con" for the console in an ordinary path.
        ASSERT_TRUE(MakeFolders(dir_.path("Data/Con")));
        dir_.WriteFile("Data/a.txt");
        MapDriveForTesting('C', dir_.host().string());
    }
    void TearDown() override { ClearMappingsForTesting(); }
    testing::TempDir dir_;
};

TEST_F(CommandLineTest, AppliesOptionsAndTakesAFolderAndAFile) {
    const std::string here = WithBackslash(ProcessCurrentFolder());
    // clang-format off
    Expect({
        {"", 0, {"Auto=0000", "Out=", "Folder=-", "Filter=-", "Move=0"}},
        {"/-VS /VIEWSIZE /-va /vcd /VCT /-vud /-VUT /VV", 0, {"SizeFlg=True", "AttrFlg=False",
         "CDateFlg=True", "CTimeFlg=True", "UDateFlg=False", "UTimeFlg=False", "VersionFlg=True"}},
        {"/-SH /-SC /-SB /-SM /-LN /-SF /AO /-FLK /DLK", 0, {"SearchAttr=21", "CompMode=0", "SizeType=1",
         "SortFlg=False", "LongNameFlg=False", "SubDirSearchFlg=False", "AutoOpenFlg=True",
         "FileLinkFlg=False", "FolderLinkFlg=True"}},
        {"/-SH /SH /-SC /SC /-SB /SB", 0, {"SearchAttr=23", "CompMode=1", "SizeType=0"}},
        {"/CO 40 /SORTKEY size /W 10,20", 0,
         {"Columns=40", "NameWidth=3", "SortKey=2", "Left=10", "Top=20", "Move=1"}},
        {"/co 100.5 /LI 0 /sortkey X /-SORTKEY Create", 0, {"Columns=100", "Lines=1", "SortKey=4"}},
        {"/CO 101.5 /LINES 99 /SCO 5 /w -10 20 /VS", 0,
         {"Columns=102", "Lines=100", "SizeMaxColumns=7", "Left=-10", "Top=20"}},
        {"/SB /CO 1000 /SIZECOLUMNS 99", 0, {"SizeMaxColumns=99"}},
        {"/LS 0 /ST 3 /LT 1 /HS 表.htm", 0, {"CharType=0", "ViewType=3", "ListType=1", "HtmlName=表.htm"}},
        {"/I /VC", 0, {"CRCFlg=True"}},
        {"/CO 90 /VC /I", 0, {"CRCFlg=False", "Columns=78"}},
        {"/CO 90 /-I /FT *.txt", 0, {"Columns=90", "FilterFlg=True", "Filter=*.txt"}},
        {"/-FT \"/a b\"", 0, {"FilterFlg=True", "Filter=/a b"}},  // the history is left alone
        {"/A", 0, {"Auto=1000", "Folder=-"}},
        {"/CO 84 /VCD /VCT /VV /VC", 0, {"NameWidth=1"}},
        {"C:\\data", 0, {"Folder=C:\\Data", "Auto=0000"}},
        {"\"  C:\\Data\\SUB\\  \"", 0, {"Folder=C:\\Data\\sub"}},
        {"/-LN C:\\Data\\sub\\..", 0, {"Folder=C:\\Data"}},
        {"C:\\Data out.txt", 0, {"Out=" + here + "out.txt", "Auto=0000"}},
        {"/A C:\\Data", 0, {"Auto=1100"}},
        {"C:\\Data /a C:\\new\\out.txt", 0, {"Auto=1111", "Out=C:\\new\\out.txt"}},
        {"/A /-A C:\\Data C:\\out.txt", 0, {"Auto=0000"}},
        // Options before the failing one stay applied; start-up ends the program anyway.
        {"/-VS /XYZ", -1, {"SizeFlg=False"}},
        {"/CO 20", -4, {"NameWidth=-17"}},
    });
    // clang-format on
}

TEST_F(CommandLineTest, RejectsBadOptionsFoldersAndFiles) {
    // A value is the next argument, whatever it looks like ("/CO /VS"); two blanks hold an empty
    // argument ("/HS  /VS", and the file in "C:\Data  C:\x.txt").
    // clang-format off
    const std::pair<int, std::vector<std::string>> cases[] = {
        {-1, {"/", "/-", "/XYZ", "/CO", "/CO 0", "/CO 1001", "/CO abc", "/CO 70000", "/CO /VS", "/LI 100",
              "/LI -1", "/SCO 100", "/SCO -40000", "/LS 2", "/ST 4", "/LT -1", "/SORTKEY ext", "/SK size",
              "/W 10", "/W", "/W 10,x", "/W 40000,1", "/HS  /VS", "/FT", "C:\\Data C:\\x.txt C:\\y.txt"}},
        {-2, {"C:\\Data\\a.txt", "C:\\Missing", "C:\\Data\\con", "C:\\Data\\cOn\\..", "C:\\Data\\Com1",
              "C:\\..", "C:\\Data\\...\\..", "C:\\Data\\\\sub"}},
        {-3, {"C:\\Data C:\\Data\\sub", "C:\\Data C:\\out\\nul", "C:\\Data C:\\..\\x.txt",
              "C:\\Data  C:\\x.txt"}},
        {-4, {"/CO 20", "/CO 83 /VCD /VCT /VV /VC"}}};
    // clang-format on
    for (const auto& [result, commandLines] : cases)
        for (const auto& commandLine : commandLines)
            Expect({{commandLine, result}});
}

TEST(HostArgumentsTest, QuotedArgumentsSplitBackAsTheyWereAndHostPathsAreTranslated) {
    const std::vector<std::string> odd = {"/FT",        "say \"hi\"", "\"", "\"\"", "\"x\"", "a\"b c",
                                          "基本 2.htm", "tab\there",  "x",  "",     "y"};
    EXPECT_EQ(SplitArguments(CommandLineFromHostArguments(odd)), odd);
    EXPECT_EQ(CommandLineFromHostArguments({}), "");
    testing::TempDir dir;
    dir.MakeFolder("my docs");
    const std::string here = WithBackslash(ProcessCurrentFolder());
    const auto host = [&](std::string_view name) { return dir.host(name).string(); };
    using ArgumentsCase = std::pair<std::vector<std::string>, std::string>;
    std::vector<ArgumentsCase> cases = {
        {{"/VS", host("my docs"), "out.txt"}, "/VS \"" + dir.path("my docs") + "\" out.txt"},
        {{"/FT", "a/b", "/hs", "x/y.htm", "/-ft", "/c"}, "/FT a/b /hs x/y.htm /-ft /c"},
        {{"/W", "10", "20", "sub/x"}, "/W 10 20 " + here + "sub\\x"},
        {{"/W"}, "/W"}};
    if (SlashStartsHostPaths()) {
        cases.insert(cases.end(), {{{"/W", "10,20", "/dev/null"}, "/W 10,20 Z:\\dev\\null"},
                                   {{"/tmp", "/-nothing-here", "/a"}, "Z:\\tmp /-nothing-here /a"},
                                   {{"C:\\Data", "/home/x"}, "C:\\Data Z:\\home\\x"},
                                   // "/" alone is an option no keyword matches, never the whole
                                   // file system; "/." is the root.
                                   {{"/", "/."}, "/ Z:\\."}});
    } else {
        // Where "/" starts options only, every such argument is passed on as an option.
        cases.insert(cases.end(), {{{"/tmp", "/a"}, "/tmp /a"}, {{"C:\\Data", "/home/x"}, "C:\\Data /home/x"}});
    }
    for (const auto& [arguments, commandLine] : cases)
        EXPECT_EQ(CommandLineFromHostArguments(arguments), commandLine);
    EXPECT_EQ(FullPath(SplitArguments(CommandLineFromHostArguments({"../x"}))[0]), FullPath(here + "..\\x"));
    Expect({{CommandLineFromHostArguments({"/A", host("my docs") + "/", host("out.txt")}),
             0,
             {"Folder=" + dir.path("my docs"), "Out=" + dir.path("out.txt"), "Auto=1111"}}});
}

}  // namespace
}  // namespace folvane

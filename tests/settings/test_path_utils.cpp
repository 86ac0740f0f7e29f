#include "settings/path_utils.h"

#include <gtest/gtest.h>

#include <tuple>

#include "platform/file_system.h"
#include "platform/path_space.h"
#include "platform/text.h"
#include "tests/support/temp_dir.h"

namespace folvane {
namespace {

using Texts = std::vector<std::string>;

TEST(PathUtilsArguments, SplitsAtSeparatorsOutsideQuotes) {
    // clang-format off
    const std::pair<std::string, Texts> cases[] = {
        {"", {}}, {"   ", {}}, {"  one  ", {"one"}}, {"\"C:\\My Data\" out.txt", {"C:\\My Data", "out.txt"}},
        {"\"\"", {"\""}},  // two characters are not unwrapped
        {"\"x\"", {"x"}}, {"\"open ended", {"\"open ended"}},
        {"a  b", {"a", "", "b"}},                // two blanks hold an empty argument
        {"a\"b c\"d", {"a\"b c\"d"}},            // quotes inside an argument stay
        {"\"say \"\"hi\"\"\"", {"say \"hi\""}},  // doubled quotes become one
        {"a\tb\r\nc", {"a", "b", "", "c"}}, {"a\t", {"a", ""}}};  // only blanks are trimmed
    // clang-format on
    for (const auto& [text, arguments] : cases)
        EXPECT_EQ(SplitArguments(text), arguments) << text;
    for (const auto& [text, end] :
         {std::pair{"", 0}, {"abc", 0}, {"ab c", 3}, {"\"a b\"\tc", 6}, {"\"a b", 0}})
        EXPECT_EQ(FindArgumentEnd(text), end) << text;
}

// Joined arguments split back into the same list; an empty one has no text of its own, so it
// survives only between two others.
TEST(PathUtilsArguments, JoinedArgumentsSplitBack) {
    // clang-format off
    const struct {
        Texts arguments;
        std::string joined;
        Texts back;
    } cases[] = {
        {{}, "", {}},
        {{"a", "", "b"}, "a  b", {"a", "", "b"}},
        {{"", "a", ""}, " a ", {"a"}},
        {{"C:\\My Data", "say \"hi\"", "\"", "tab\there", " "},
         "\"C:\\My Data\" \"say \"\"hi\"\"\" \"\"\"\" \"tab\there\" \" \"",
         {"C:\\My Data", "say \"hi\"", "\"", "tab\there", " "}},
    };
    // clang-format on
    for (const auto& c : cases) {
        EXPECT_EQ(JoinArguments(c.arguments), c.joined);
        EXPECT_EQ(SplitArguments(c.joined), c.back) << c.joined;
    }
}

TEST(PathUtilsText, TakesPathsAndNamesApartAndOrdersNames) {
    // clang-format off
    const std::tuple<std::string, std::string, std::string, std::string> paths[] = {  // drive, parent, name
        {"C:\\a\\b\\c.txt", "C:", "C:\\a\\b", "c.txt"}, {"C:\\c.txt", "C:", "C:\\", "c.txt"},
        {"C:c.txt", "C:", "C:", "c.txt"}, {"C:\\", "C:", "C:\\", ""},
        {"\\\\srv\\share\\a\\b.txt", "\\\\srv\\share", "\\\\srv\\share\\a", "b.txt"},
        {"\\\\srv\\share", "\\\\srv\\share", "\\\\srv\\share", ""}, {"\\\\srv", "", "", "\\srv"},
        {"\\a\\b", "", "", "a\\b"}, {"", "", "", ""}};
    const std::tuple<std::string, std::string, std::string> names[] = {  // extension, without it
        {"a.tar.gz", "gz", "a.tar"}, {".htm", "htm", ""}, {"C:\\a.b\\c", "", "C:\\a.b\\c"},
        {"C:x", "", "C:x"}, {"C:.x", "x", "C:"}, {"name.", "", "name"}};
    // clang-format on
    for (const auto& [path, drive, parent, name] : paths) {
        EXPECT_EQ(DrivePart(path), drive) << path;
        EXPECT_EQ(ParentFolder(path), parent) << path;
        EXPECT_EQ(FileNamePart(path), name) << path;
    }
    for (const auto& [name, extension, stem] : names) {
        EXPECT_EQ(Extension(name), extension) << name;
        EXPECT_EQ(WithoutExtension(name), stem) << name;
    }
    EXPECT_EQ(SplitPath("a\\\\b\\"), (Texts{"a", "", "b"}));
    EXPECT_EQ(SplitPath("\\a"), (Texts{"", "a"}));
    EXPECT_EQ(SplitPath(""), Texts{});
    for (const auto& [path, with, without] : {std::tuple{" C:\\Data ", "C:\\Data\\", "C:\\Data"},
                                              {"C:\\", "C:\\", "C:\\"},
                                              {"  ", "", ""},
                                              {"C:\\Data\\\\ ", "C:\\Data\\\\", "C:\\Data\\"},
                                              {"\\", "\\", ""}}) {
        EXPECT_EQ(WithBackslash(path), with) << path;
        EXPECT_EQ(WithoutBackslash(path), without) << path;
    }
    for (const char* reserved : {"C:\\Temp\\con", "CON", "c:\\x\\Nul\\y", "\\aux", "C:\\com4\\"})
        EXPECT_TRUE(HasReservedName(reserved)) << reserved;
    for (const char* free :
         {"C:\\Temp\\con.txt", "C:\\LPT1", "C:\\com5", "C:\\console", "aux:", "\\\\con\\share\\x"})
        EXPECT_FALSE(HasReservedName(free)) << free;
    // Equal ignoring case: still ordered, capitals first, by code point ("Ä" is not folded); "_"
    // sorts before the letters once they are folded.
    const std::tuple<std::string, std::string, int> cases[] = {{"a", "B", -1},    {"abc", "abc", 0},
                                                               {"ab", "ABC", -1}, {"ABC", "abc", -1},
                                                               {"Äb", "äb", -1},  {"a", "_", 1}};
    for (const auto& [a, b, order] : cases) {
        EXPECT_EQ(CompareNames(a, b), order) << a << " / " << b;
        EXPECT_EQ(CompareNames(b, a), -order) << b << " / " << a;
    }
}

class PathUtilsFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_.WriteFile("Data/Sub/Report.TXT", "x");
        dir_.MakeFolder(".Cache");
        dir_.MakeHidden(".Cache");
        dir_.MakeFolder("Locked");
        dir_.MakeReadOnly("Locked");
    }
    void TearDown() override { ClearMappingsForTesting(); }
    std::string PathOf(std::string_view typed) const { return dir_.path() + "\\" + std::string(typed); }
    testing::TempDir dir_;
};

TEST_F(PathUtilsFileTest, FullPathResolvesAgainstCurrentFolders) {
    MapDriveForTesting('C', dir_.host().string());
    SetDriveCurrentFolderForTesting('C', "C:\\A\\B");
    const std::string cwd = ProcessCurrentFolder();
    // clang-format off
    const std::pair<std::string, std::string> cases[] = {
        {"C:..\\x", "C:\\A\\x"}, {"C:x", "C:\\A\\B\\x"}, {"C:", "C:\\A\\B"}, {"c:...", "c:\\"},
        {"C:....", ""}, {"C:\\", "C:\\"}, {"C:\\..", ""}, {"C:\\A\\...\\x", ""},
        {"C:\\A\\B\\...\\x", "C:\\x"}, {"  C:\\Data\\  ", "C:\\Data"}, {"C:\\a\\.\\b", "C:\\a\\b"},
        {"C:\\a\\\\b", ""},
        {"D:x", "D:\\x"},  // a drive nobody set: its root
        {"\\\\srv\\share\\a\\..\\b", "\\\\srv\\share\\b"}, {"\\\\srv\\share", "\\\\srv\\share\\"},
        {"\\\\srv\\share\\..", ""}, {"\\x", "Z:\\x"}, {"x\\y", WithBackslash(cwd) + "x\\y"}, {"   ", ""},
        {"..\\x", cwd == "Z:\\" ? "" : cwd.substr(0, cwd.rfind('\\')) + "\\x"}};
    // clang-format on
    for (const auto& [path, full] : cases)
        EXPECT_EQ(FullPath(path), full) << path;
}

TEST_F(PathUtilsFileTest, TruePathGivesTheStoredSpellingOfWhatTheMaskAllows) {
    MapDriveForTesting('D', dir_.host().string());
    MapShareForTesting("srv", "share", dir_.host().string());
    // A file where a folder is asked for, a folder where a file is, a hidden or read-only one that
    // the mask does not allow: "".
    // clang-format off
    const std::tuple<std::string, uint32_t, std::string> cases[] = {
        {PathOf("DATA\\sub\\"), 23, PathOf("Data\\Sub")}, {PathOf("data\\sub\\report.txt"), 23, ""},
        {PathOf("data\\..\\Data\\.\\sub"), 16, PathOf("Data\\..\\Data\\.\\Sub")}, {PathOf("data"), 0, ""},
        {PathOf("data\\sub\\report.txt"), 0, PathOf("Data\\Sub\\Report.TXT")}, {PathOf(".cache"), 21, ""},
        {PathOf(".cache"), 23, PathOf(".Cache")}, {PathOf("locked"), 16, ""},
        {PathOf("locked"), 17, PathOf("Locked")}, {PathOf("data\\\\sub"), 16, ""},
        {PathOf("missing"), 23, ""}, {"d:\\data\\sub", 16, "d:\\Data\\Sub"}, {"Q:\\data", 16, ""},
        {"\\\\SRV\\Share\\data", 16, "\\\\SRV\\Share\\Data"}};
    // clang-format on
    // Wine keeps no read-only mark on folders (Windows and POSIX do); the folder's rows need it.
    const bool lockedMarked = (GetAttributes(PathOf("Locked")).value_or(0) & kAttrReadOnly) != 0;
    for (const auto& [path, mask, truePath] : cases) {
        if (lockedMarked || path != PathOf("locked")) {
            EXPECT_EQ(TruePath(path, mask), truePath) << path << " " << mask;
        }
    }
}

TEST_F(PathUtilsFileTest, QueriesAndReadsTheFileSystem) {
    const std::string file = PathOf("data\\sub\\report.txt");
    EXPECT_TRUE(IsFile(file) && !IsFolder(file) && PathExists(file) && IsFolder(PathOf("DATA")) &&
                !IsFile(PathOf("DATA")));
    EXPECT_FALSE(PathExists(PathOf("missing")) || IsFolder(PathOf("missing")));
    // Names that are short already stay (as typed or as stored). A long one becomes its short name on hosts
    // that have them and stays whole on others: either way a deep folder stays usable with long names
    // switched off.
    MapDriveForTesting('D', dir_.host().string());
    EXPECT_EQ(AsciiUpper(ShortPath("D:\\data\\sub\\report.txt")), "D:\\DATA\\SUB\\REPORT.TXT");
    EXPECT_EQ(ShortPath(PathOf("missing")), "");
    const std::string deep = std::string(100, 'd') + "/" + std::string(100, 'e') + "/" + std::string(60, 'f');
    dir_.MakeFolder(deep);
    const std::string shortDeep = ShortPath(dir_.path(deep));
    EXPECT_LE(shortDeep.size(), dir_.path(deep).size());
    const auto longFacts = GetFileFacts(dir_.path(deep));
    const auto shortFacts = GetFileFacts(shortDeep);
    ASSERT_TRUE(longFacts && shortFacts) << shortDeep;
    EXPECT_EQ(shortFacts->identity, longFacts->identity) << shortDeep;

    dir_.WriteFile("sjis.txt", "\x82\xA0\x83\x65\x83\x58\x83\x67 ok");
    dir_.WriteFile("empty.txt");
    EXPECT_EQ(ReadTextFile(PathOf("sjis.txt"), "fallback"), "あテスト ok");
    EXPECT_EQ(ReadTextFile(PathOf("empty.txt"), "fallback"), "");
    EXPECT_EQ(ReadTextFile(PathOf("missing.txt"), "fallback") + ReadTextFile(PathOf("data"), "fallback"),
              "fallbackfallback");
}

}  // namespace
}  // namespace folvane

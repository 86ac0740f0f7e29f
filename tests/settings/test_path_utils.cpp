#include "settings/path_utils.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/path_space.h"
#include "tests/support/temp_dir.h"

namespace folvane {
namespace {

using Texts = std::vector<std::string>;

TEST(PathUtilsArguments, SplitsAtSeparatorsOutsideQuotes) {
    struct Case {
        std::string text;
        Texts arguments;
    };
    const std::vector<Case> cases = {
        {"", {}},
        {"   ", {}},
        {"  one  ", {"one"}},
        {"\"C:\\My Data\" out.txt", {"C:\\My Data", "out.txt"}},
        {"\"\"", {"\""}},  // two characters are not unwrapped
        {"\"x\"", {"x"}},
        {"a  b", {"a", "", "b"}},                // two blanks hold an empty argument
        {"a\"b c\"d", {"a\"b c\"d"}},            // quotes inside an argument stay
        {"\"say \"\"hi\"\"\"", {"say \"hi\""}},  // doubled quotes become one
        {"a\tb\r\nc", {"a", "b", "", "c"}},
        {"a\t", {"a", ""}},  // only blanks are trimmed
        {"\"open ended", {"\"open ended"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitArguments(c.text), c.arguments) << c.text;

    EXPECT_EQ(FindArgumentEnd(""), 0);
    EXPECT_EQ(FindArgumentEnd("abc"), 0);
    EXPECT_EQ(FindArgumentEnd("ab c"), 3);
    EXPECT_EQ(FindArgumentEnd("\"a b\"\tc"), 6);
    EXPECT_EQ(FindArgumentEnd("\"a b"), 0);
}

TEST(PathUtilsText, TakesPathsApart) {
    struct Case {
        std::string path, drive, parent, name;
    };
    const std::vector<Case> cases = {
        {"C:\\a\\b\\c.txt", "C:", "C:\\a\\b", "c.txt"},
        {"C:\\c.txt", "C:", "C:\\", "c.txt"},
        {"C:c.txt", "C:", "C:", "c.txt"},
        {"C:\\", "C:", "C:\\", ""},
        {"\\\\srv\\share\\a\\b.txt", "\\\\srv\\share", "\\\\srv\\share\\a", "b.txt"},
        {"\\\\srv\\share", "\\\\srv\\share", "\\\\srv\\share", ""},
        {"\\\\srv", "", "", "\\srv"},
        {"file.txt", "", "", "file.txt"},
        {"\\a\\b", "", "", "a\\b"},
        {"", "", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DrivePart(c.path), c.drive) << c.path;
        EXPECT_EQ(ParentFolder(c.path), c.parent) << c.path;
        EXPECT_EQ(FileNamePart(c.path), c.name) << c.path;
    }

    EXPECT_EQ(SplitPath("a\\b\\"), (Texts{"a", "b"}));
    EXPECT_EQ(SplitPath("\\a"), (Texts{"", "a"}));
    EXPECT_EQ(SplitPath("a\\\\b"), (Texts{"a", "", "b"}));
    EXPECT_EQ(SplitPath("\\"), (Texts{""}));
    EXPECT_EQ(SplitPath(""), Texts{});
}

TEST(PathUtilsText, NamesExtensionsAndBackslashes) {
    struct Case {
        std::string name, extension, stem;
    };
    const std::vector<Case> cases = {
        {"a.tar.gz", "gz", "a.tar"},
        {".htm", "htm", ""},
        {"C:\\a.b\\c", "", "C:\\a.b\\c"},
        {"C:x", "", "C:x"},
        {"C:.x", "x", "C:"},
        {"name.", "", "name"},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Extension(c.name), c.extension) << c.name;
        EXPECT_EQ(WithoutExtension(c.name), c.stem) << c.name;
    }

    EXPECT_EQ(WithBackslash(" C:\\Data "), "C:\\Data\\");
    EXPECT_EQ(WithBackslash("C:\\"), "C:\\");
    EXPECT_EQ(WithBackslash("  "), "");
    EXPECT_EQ(WithoutBackslash("C:\\Data\\ "), "C:\\Data");
    EXPECT_EQ(WithoutBackslash("C:\\"), "C:\\");
    EXPECT_EQ(WithoutBackslash("\\"), "");
    EXPECT_EQ(WithoutBackslash("C:\\Data\\\\"), "C:\\Data\\");
}

TEST(PathUtilsText, ReservedDeviceNamesAreWholeComponents) {
    for (const char* reserved : {"C:\\Temp\\con", "CON", "c:\\x\\Nul\\y", "\\aux", "C:\\com4\\"}) {
        EXPECT_TRUE(HasReservedName(reserved)) << reserved;
    }
    for (const char* free :
         {"C:\\Temp\\con.txt", "C:\\LPT1", "C:\\com5", "C:\\console", "", "aux:", "\\\\con\\share\\x"}) {
        EXPECT_FALSE(HasReservedName(free)) << free;
    }
}

TEST(PathUtilsText, CompareNamesIsATotalOrder) {
    struct Case {
        std::string a, b;
        int order;
    };
    const std::vector<Case> cases = {
        {"a", "B", -1},    {"abc", "abc", 0},  {"abc", "ABD", -1},
        {"ab", "ABC", -1}, {"ABC", "abc", -1},  // equal ignoring case: still ordered, capitals first
        {"Äb", "äb", -1},                       // folded alike, not by the ASCII rule: by code point
        {"a", "_", 1},                          // "_" sorts before the letters once they are folded
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CompareNames(c.a, c.b), c.order) << c.a << " / " << c.b;
        EXPECT_EQ(CompareNames(c.b, c.a), -c.order) << c.b << " / " << c.a;
    }
}

class PathUtilsFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_.WriteFile("Data/Sub/Report.TXT", "x");
        dir_.MakeFolder(".Cache");
        chmod(dir_.MakeFolder("Locked").c_str(), 0555);
    }
    void TearDown() override { ClearMappingsForTesting(); }
    std::string PathOf(std::string_view typed) const { return dir_.path() + "\\" + std::string(typed); }
    testing::TempDir dir_;
};

TEST_F(PathUtilsFileTest, FullPathResolvesAgainstCurrentFolders) {
    MapDriveForTesting('C', dir_.host().string());
    SetDriveCurrentFolderForTesting('C', "C:\\A\\B");
    const std::string cwd = ProcessCurrentFolder();
    struct Case {
        std::string path, full;
    };
    const std::vector<Case> cases = {
        {"C:..\\x", "C:\\A\\x"},
        {"C:x", "C:\\A\\B\\x"},
        {"C:", "C:\\A\\B"},
        {"c:...", "c:\\"},
        {"C:....", ""},
        {"C:\\", "C:\\"},
        {"C:\\..", ""},
        {"C:\\A\\...\\x", ""},
        {"C:\\A\\B\\...\\x", "C:\\x"},
        {"  C:\\Data\\  ", "C:\\Data"},
        {"C:\\a\\.\\b", "C:\\a\\b"},
        {"C:\\a\\\\b", ""},
        {"D:x", "D:\\x"},  // a drive nobody set: its root
        {"\\\\srv\\share\\a\\..\\b", "\\\\srv\\share\\b"},
        {"\\\\srv\\share", "\\\\srv\\share\\"},
        {"\\\\srv\\share\\..", ""},
        {"\\x", "Z:\\x"},
        {"x\\y", cwd + (cwd.ends_with('\\') ? "" : "\\") + "x\\y"},
        {"", ""},
        {"   ", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FullPath(c.path), c.full) << c.path;
    if (cwd != "Z:\\") {
        EXPECT_EQ(FullPath("..\\x"), cwd.substr(0, cwd.rfind('\\')) + "\\x");
    }
}

TEST_F(PathUtilsFileTest, TruePathGivesTheStoredSpellingOfWhatTheMaskAllows) {
    MapDriveForTesting('D', dir_.host().string());
    MapShareForTesting("srv", "share", dir_.host().string());
    struct Case {
        std::string path;
        uint32_t mask;
        std::string truePath;
    };
    const std::vector<Case> cases = {
        {PathOf("data\\SUB"), 16, PathOf("Data\\Sub")},
        {PathOf("DATA\\sub\\"), 23, PathOf("Data\\Sub")},
        {PathOf("data\\..\\Data\\.\\sub"), 16, PathOf("Data\\..\\Data\\.\\Sub")},
        {PathOf("data\\sub\\report.txt"), 0, PathOf("Data\\Sub\\Report.TXT")},
        {PathOf("data\\sub\\report.txt"), 23, ""},  // a file where a folder is asked for
        {PathOf("data"), 0, ""},                    // a folder where a file is asked for
        {PathOf(".cache"), 21, ""},                 // hidden, and the mask does not allow it
        {PathOf(".cache"), 23, PathOf(".Cache")},
        {PathOf("locked"), 16, ""},
        {PathOf("locked"), 17, PathOf("Locked")},
        {PathOf("data\\\\sub"), 16, ""},
        {PathOf("missing"), 23, ""},
        {"d:\\data\\sub", 16, "d:\\Data\\Sub"},
        {"\\\\SRV\\Share\\data", 16, "\\\\SRV\\Share\\Data"},
        {"Q:\\data", 16, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TruePath(c.path, c.mask), c.truePath) << c.path << " " << c.mask;
}

TEST_F(PathUtilsFileTest, QueriesTheFileSystem) {
    const std::string file = PathOf("data\\sub\\report.txt");
    EXPECT_TRUE(IsFile(file));
    EXPECT_FALSE(IsFolder(file));
    EXPECT_TRUE(IsFolder(PathOf("DATA")));
    EXPECT_FALSE(IsFile(PathOf("DATA")));
    EXPECT_TRUE(PathExists(file));
    EXPECT_FALSE(PathExists(PathOf("missing")));
    EXPECT_FALSE(IsFolder(PathOf("missing")));

    EXPECT_EQ(ShortPath(file), file);
    EXPECT_EQ(ShortPath(PathOf("missing")), "");
    // Hosts without short names keep the path whole, however long: a deep folder stays usable
    // with long names switched off.
    const std::string deep = std::string(100, 'd') + "/" + std::string(100, 'e') + "/" + std::string(60, 'f');
    dir_.MakeFolder(deep);
    EXPECT_EQ(ShortPath(dir_.path(deep)), dir_.path(deep));
}

TEST_F(PathUtilsFileTest, ReadTextFileDecodesOrFallsBack) {
    dir_.WriteFile("sjis.txt", "\x82\xA0\x83\x65\x83\x58\x83\x67 ok");
    dir_.WriteFile("empty.txt");
    EXPECT_EQ(ReadTextFile(PathOf("sjis.txt"), "fallback"), "あテスト ok");
    EXPECT_EQ(ReadTextFile(PathOf("empty.txt"), "fallback"), "");
    EXPECT_EQ(ReadTextFile(PathOf("missing.txt"), "fallback"), "fallback");
    EXPECT_EQ(ReadTextFile(PathOf("data"), "fallback"), "fallback");
}

}  // namespace
}  // namespace folvane

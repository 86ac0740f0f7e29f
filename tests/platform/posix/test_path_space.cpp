#include "platform/path_space.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_system.h"
#include "platform/person_path.h"
#include "platform/text.h"
#include "tests/support/temp_dir.h"

namespace folvane {
namespace {

// The path-space spelling of host byte b.
std::string Escaped(unsigned char b) {
    std::string out;
    AppendUtf8(out, kEscapeBase + b);
    return out;
}

class PathSpaceTest : public ::testing::Test {
  protected:
    void TearDown() override { ClearMappingsForTesting(); }
    testing::TempDir dir_;
};

TEST(PathSpaceNames, EscapesExactlyTheBytesThatCannotStandInAName) {
    const std::pair<std::string, std::string> cases[] = {
        {"日本語 名前.txt", "日本語 名前.txt"},
        {"a\\b\t\x1F", "a" + Escaped('\\') + "b" + Escaped('\t') + Escaped(0x1F)},
        {"caf\xC3", "caf" + Escaped(0xC3)},                               // truncated sequence
        {"\xC0\xAF", Escaped(0xC0) + Escaped(0xAF)},                      // overlong "/"
        {"\xED\xB1\x81", Escaped(0xED) + Escaped(0xB1) + Escaped(0x81)},  // encoded escape of "A"
        {"\xED\xA0\x80", Escaped(0xED) + Escaped(0xA0) + Escaped(0x80)},  // encoded surrogate
    };
    for (const auto& [host, name] : cases) {
        EXPECT_EQ(NameFromHost(host), name) << host;
        EXPECT_EQ(HostName(name), host) << host;
    }
    for (int first = 1; first < 256; ++first) {
        for (int second = 1; second < 256; ++second) {
            const std::string host{static_cast<char>(first), static_cast<char>(second)};
            const std::string name = NameFromHost(host);
            ASSERT_EQ(HostName(name), host) << first << " " << second;
            for (const char ch : name)
                ASSERT_TRUE(static_cast<unsigned char>(ch) >= 0x20 && ch != '\\') << first << " " << second;
        }
    }
}

TEST(PathSpaceHostPaths, MapsZDriveBothWaysAndRefusesWhatCannotBeMapped) {
    const std::pair<std::string, std::string> cases[] = {
        {"Z:\\", "/"},
        {"Z:\\folvane-missing\\\\x\\", "/folvane-missing/x/"},  // repeated "\" collapses, a final one stays
        {"z:\\folvane-missing\\..\\.\\x", "/folvane-missing/.././x"},
        {"Z:\\" + Escaped(0xFF), "/\xFF"}};
    for (const auto& [path, host] : cases)
        EXPECT_EQ(HostPathOf(path), host) << path;
    for (const std::string& path :
         std::vector<std::string>{"Z:", "Z:folvane", "folvane", "", "C:\\x", "\\\\srv\\share\\x",
                                  "Z:\\a" + Escaped('/') + "b", "Z:\\a" + Escaped(0) + "b"})
        EXPECT_EQ(HostPathOf(path), std::nullopt) << path;
    // Host paths into the path space: through PathFromPerson, below.
    EXPECT_TRUE(ProcessCurrentFolder().starts_with("Z:\\"));
}

// Mapped drives and shares are also exercised, with their current folders, by FullPath and TruePath.
TEST_F(PathSpaceTest, LooksNamesUpIgnoringAsciiCaseAndGivesTheStoredSpelling) {
    dir_.WriteFile("Docs/ReadMe.txt");
    dir_.WriteFile("Twins/ab");
    dir_.WriteFile("Twins/AB");
    const std::string root = dir_.host().string();
    MapDriveForTesting('d', root);
    MapShareForTesting("Srv", "Share", root + "/");
    const std::pair<std::string, std::string> cases[] = {
        {"D:\\DOCS\\readme.TXT", "/Docs/ReadMe.txt"},
        {"D:\\docs\\missing\\readme.txt", "/Docs/missing/readme.txt"},  // nothing past a missing name
        {"\\\\srv\\SHARE\\twins\\ab", "/Twins/ab"},                     // an exact match wins
        {"\\\\SRV\\share\\twins\\Ab", "/Twins/AB"}};                    // ties go to byte order
    for (const auto& [path, host] : cases)
        EXPECT_EQ(HostPathOf(path), root + host) << path;
    EXPECT_TRUE(!HostPathOf("\\\\srv\\other\\x") && !HostPathOf("\\\\srv"));
    EXPECT_EQ(DriveCurrentFolder('z'), ProcessCurrentFolder());
    ClearMappingsForTesting();
    EXPECT_TRUE(!HostPathOf("D:\\x") && DriveCurrentFolder('D') == "D:\\");
}

// Files whose names are not UTF-8, hold controls or "\", or hold the bytes of an encoded escape,
// are found by enumeration, named in the path space, and reach the same file again.
TEST_F(PathSpaceTest, OddHostNamesRoundTripThroughTheFileSystem) {
    const std::vector<std::string> names = {"\xFF\xFE", "a\\b", "tab\tx",      "\xED\xB1\x81", "A",
                                            "\xC3",     "\x01", "caf\xC3\xA9", "\xED\xB0\x80z"};
    for (const auto& name : names)
        dir_.WriteFile(name, "content of " + name);
    std::size_t listed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.host())) {
        const std::string host = entry.path().filename().string();
        const std::string path = dir_.path() + "\\" + NameFromHost(host);
        EXPECT_EQ(PathFromHost(entry.path().string()), path);
        EXPECT_EQ(ReadWholeFile(path), "content of " + host) << path;
        ++listed;
    }
    EXPECT_EQ(listed, names.size());
}

// Paths on the drive of the host root read as host paths; everything else stays as it is.
TEST(PersonPath, HostRootDriveReadsAsHostPath) {
    const std::pair<std::string, std::string> cases[] = {
        {"Z:\\home\\ann\\docs", "/home/ann/docs"},
        {"z:\\home\\ann\\", "/home/ann"},
        {"Z:\\", "/"},
        {"Z:", "/"},
        {"Z:\\日本語\\名前.txt", "/日本語/名前.txt"},
        {"Z:\\tmp\\*", "/tmp/*"},
        {"Z:\\a" + Escaped(0xFF), "/a" + Escaped(0xFF)},
        // Not on the host root's drive, or not a full path: shown as they are.
        {"C:\\Data\\Work", "C:\\Data\\Work"},
        {"\\\\srv\\share\\x", "\\\\srv\\share\\x"},
        {"Z:relative", "Z:relative"},
        {"ZZ:\\x", "ZZ:\\x"},
        {"docs", "docs"},
        {"", ""},
    };
    for (const auto& [path, shown] : cases)
        EXPECT_EQ(PathForPerson(path), shown) << path;
}

TEST(PersonPath, TypedHostPathsNameTheirPathSpacePath) {
    const std::string current = ProcessCurrentFolder();
    ASSERT_FALSE(current.empty());
    const std::pair<std::string, std::string> cases[] = {
        {"/home/ann/x", "Z:\\home\\ann\\x"},
        {"/home//ann/", "Z:\\home\\ann"},
        {"/", "Z:\\"},
        {"/tmp/a\\b", "Z:\\tmp\\a" + Escaped('\\') + "b"},
        {"docs/x", current + "\\docs\\x"},
        {"docs", current + "\\docs"},
        // Texts in the program's own form are passed on untouched, blanks and all.
        {"C:\\Data", "C:\\Data"},
        {"c:x", "c:x"},
        {"\\\\srv\\share", "\\\\srv\\share"},
        {"sub\\x", "sub\\x"},
        {"Z:\\home ", "Z:\\home "},
        {"", ""},
    };
    for (const auto& [typed, path] : cases)
        EXPECT_EQ(PathFromPerson(typed), path) << typed;
}

// What a person reads of a path gives that path back, also for names that are no valid UTF-8.
TEST(PersonPath, ReadingAndTypingRoundTrip) {
    const std::string paths[] = {"Z:\\", "Z:\\home\\ann", "Z:\\日本語\\x y.txt",
                                 "Z:\\bad" + Escaped(0xC3) + Escaped('\\') + "name", "C:\\Data"};
    for (const std::string& path : paths)
        EXPECT_EQ(PathFromPerson(PathForPerson(path)), path) << path;
}

}  // namespace
}  // namespace folvane

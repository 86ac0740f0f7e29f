#include "platform/path_space.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/text.h"
#include "tests/support/temp_dir.h"

namespace folvane {
namespace {

// The UTF-8 form of one escape code point: the path-space spelling of host byte b.
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
    struct Case {
        std::string host;
        std::string name;
    };
    const std::vector<Case> cases = {
        {"plain.txt", "plain.txt"},
        {"日本語 名前", "日本語 名前"},
        {"a\\b", "a" + Escaped('\\') + "b"},
        {"tab\there\x1F", "tab" + Escaped('\t') + "here" + Escaped(0x1F)},
        {"\xFF\xFE", Escaped(0xFF) + Escaped(0xFE)},
        {"caf\xC3", "caf" + Escaped(0xC3)},                               // truncated sequence
        {"\xC0\xAF", Escaped(0xC0) + Escaped(0xAF)},                      // overlong "/"
        {"\xE3\x81", Escaped(0xE3) + Escaped(0x81)},                      // truncated three-byte form
        {"\xED\xB1\x81", Escaped(0xED) + Escaped(0xB1) + Escaped(0x81)},  // encoded escape of "A"
        {"\xED\xA0\x80", Escaped(0xED) + Escaped(0xA0) + Escaped(0x80)},  // encoded surrogate
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NameFromHost(c.host), c.name) << c.host;
        EXPECT_EQ(HostName(c.name), c.host) << c.host;
    }
}

TEST(PathSpaceNames, EveryTwoByteHostNameRoundTripsWithoutSeparatorsOrControls) {
    for (int first = 1; first < 256; ++first) {
        for (int second = 1; second < 256; ++second) {
            const std::string host{static_cast<char>(first), static_cast<char>(second)};
            const std::string name = NameFromHost(host);
            ASSERT_EQ(HostName(name), host) << first << " " << second;
            for (const char ch : name) {
                ASSERT_TRUE(static_cast<unsigned char>(ch) >= 0x20 && ch != '\\') << first << " " << second;
            }
        }
    }
}

TEST(PathSpaceHostPaths, MapsZDriveAndRefusesWhatCannotBeMapped) {
    struct Case {
        std::string path;
        std::optional<std::string> host;
    };
    const std::vector<Case> cases = {
        {"Z:\\", "/"},
        {"z:\\folvane-missing\\x", "/folvane-missing/x"},
        {"Z:\\folvane-missing\\\\x\\", "/folvane-missing/x/"},  // repeated "\" collapses, a final one stays
        {"Z:\\folvane-missing\\..\\.\\x", "/folvane-missing/.././x"},
        {"Z:\\" + Escaped(0xFF), "/\xFF"},
        {"Z:", std::nullopt},
        {"Z:folvane", std::nullopt},
        {"folvane", std::nullopt},
        {"", std::nullopt},
        {"C:\\x", std::nullopt},
        {"\\\\srv\\share\\x", std::nullopt},
        {"Z:\\a" + Escaped('/') + "b", std::nullopt},
        {"Z:\\a" + Escaped(0) + "b", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HostPathOf(c.path), c.host) << c.path;
}

TEST(PathSpaceHostPaths, PathFromHostGivesZDrivePaths) {
    EXPECT_EQ(PathFromHost("/"), "Z:\\");
    EXPECT_EQ(PathFromHost("/home//ann/"), "Z:\\home\\ann");
    EXPECT_EQ(PathFromHost("/a\\b/\x01"), "Z:\\a" + Escaped('\\') + "b\\" + Escaped(1));
    EXPECT_EQ(PathFromHost("rel/x"), ProcessCurrentFolder() + "\\rel\\x");
    EXPECT_TRUE(ProcessCurrentFolder().starts_with("Z:\\"));
}

TEST_F(PathSpaceTest, MappedDrivesAndSharesHaveRootsAndCurrentFolders) {
    const std::string root = dir_.host().string();
    MapDriveForTesting('d', root);
    MapShareForTesting("Srv", "Share", root + "/");
    EXPECT_EQ(HostPathOf("D:\\x"), root + "/x");
    EXPECT_EQ(HostPathOf("d:\\"), root);
    EXPECT_EQ(HostPathOf("\\\\SRV\\share"), root);
    EXPECT_EQ(HostPathOf("\\\\srv\\SHARE\\x\\y"), root + "/x/y");
    EXPECT_EQ(HostPathOf("\\\\srv\\other\\x"), std::nullopt);
    EXPECT_EQ(HostPathOf("\\\\srv"), std::nullopt);

    EXPECT_EQ(DriveCurrentFolder('D'), "D:\\");
    SetDriveCurrentFolderForTesting('D', "D:\\A\\B\\");
    EXPECT_EQ(DriveCurrentFolder('d'), "D:\\A\\B");
    EXPECT_EQ(DriveCurrentFolder('q'), "Q:\\");
    EXPECT_EQ(DriveCurrentFolder('z'), ProcessCurrentFolder());

    ClearMappingsForTesting();
    EXPECT_EQ(HostPathOf("D:\\x"), std::nullopt);
    EXPECT_EQ(DriveCurrentFolder('D'), "D:\\");
}

TEST_F(PathSpaceTest, LooksNamesUpIgnoringAsciiCaseAndGivesTheStoredSpelling) {
    dir_.WriteFile("Docs/ReadMe.txt");
    dir_.WriteFile("Twins/ab");
    dir_.WriteFile("Twins/AB");
    const std::string root = dir_.host().string();
    struct Case {
        std::string typed;
        std::string host;
    };
    const std::vector<Case> cases = {
        {"Docs\\ReadMe.txt", "/Docs/ReadMe.txt"},
        {"DOCS\\readme.TXT", "/Docs/ReadMe.txt"},
        {"docs\\missing\\readme.txt", "/Docs/missing/readme.txt"},  // nothing past a missing name
        {"twins\\ab", "/Twins/ab"},                                 // an exact match wins
        {"twins\\Ab", "/Twins/AB"},                                 // ties go to byte order
    };
    for (const auto& c : cases)
        EXPECT_EQ(HostPathOf(dir_.path() + "\\" + c.typed), root + c.host) << c.typed;
}

// Files whose names are not UTF-8, hold controls or "\", or hold the bytes of an encoded escape,
// are found by enumeration, named in the path space, and reach the same file again.
TEST_F(PathSpaceTest, NastyHostNamesRoundTripThroughTheFileSystem) {
    const std::vector<std::string> names = {"\xFF\xFE", "a\\b", "tab\tx",      "\xED\xB1\x81", "A",
                                            "\xC3",     "\x01", "caf\xC3\xA9", "\xED\xB0\x80z"};
    for (const auto& name : names)
        dir_.WriteFile(name, "content of " + name);

    std::vector<std::string> listed;
    DIR* folder = opendir(dir_.host().c_str());
    ASSERT_NE(folder, nullptr);
    while (const dirent* entry = readdir(folder)) {
        if (std::string_view(entry->d_name) != "." && std::string_view(entry->d_name) != "..") {
            listed.emplace_back(entry->d_name);
        }
    }
    closedir(folder);
    ASSERT_EQ(listed.size(), names.size());

    for (const auto& host : listed) {
        const std::string path = dir_.path() + "\\" + NameFromHost(host);
        EXPECT_EQ(PathFromHost((dir_.host() / host).string()), path);
        const auto hostPath = HostPathOf(path);
        ASSERT_TRUE(hostPath.has_value()) << path;
        const int fd = open(hostPath->c_str(), O_RDONLY);
        ASSERT_GE(fd, 0) << *hostPath;
        char buffer[64] = {};
        const ssize_t count = read(fd, buffer, sizeof buffer);
        close(fd);
        EXPECT_EQ(std::string(buffer, count > 0 ? count : 0), "content of " + host);
    }
}

}  // namespace
}  // namespace folvane

#include "engine/file_version.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <tuple>

#include "platform/file_system.h"
#include "tests/engine/golden_support.h"

namespace folvane {
namespace {

std::string FixtureBytes(const std::string& name) {
    const std::string bytes = testing::Bytes(std::filesystem::path(FOLVANE_PE_FIXTURE_DIR) / name);
    if (bytes.empty()) ADD_FAILURE() << "missing PE fixture " << name << " (needs mingw-w64 binutils)";
    return bytes;
}

// The version read from a file holding bytes: the parser through the reader's positional reads.
std::optional<FileVersionWords> VersionOf(const testing::TempDir& dir, const std::string& bytes) {
    dir.WriteFile("image.exe", bytes);
    return ReadFileVersion(dir.path("image.exe"));
}

uint32_t Get(const std::string& b, size_t at, int width = 4) {  // on a little-endian host
    uint32_t v = 0;
    std::memcpy(&v, b.substr(at, static_cast<size_t>(width)).data(), static_cast<size_t>(width));
    return v;
}

// Contents that are no image with a version resource are the damaged and cut images below.
TEST(FileVersion, RealResourcesGiveTheirVersionAnythingElseNothing) {
    // Beyond the fixtures' versions: the largest LS word and the one without a positive counterpart.
    EXPECT_EQ(FormatFileVersion({0x7FFFFFFF, 0x7FFFFFFF}), "32767.65535.2147483647");
    EXPECT_EQ(FormatFileVersion({0x00000009, 0x80000000}), "0.09.-2147483648");
    const std::pair<const char*, const char*> fixtures[] = {
        {"v1_8_0_0_extras.exe", "1.08.0"},  // other types around type 16, a second name after it
        {"v4_0_1_0_pe32.exe", "4.00.65536"},  {"v2_123_0_0.dll", "2.123.0"},
        {"v65535_all.exe", "65535.65535.-1"}, {"v65535_all_pe32.exe", "65535.65535.-1"},
        {"v32768_5_0_7.exe", "32768.05.7"},   {"no_version.exe", ""},
    };
    testing::TempDir dir;
    for (const auto& [name, text] : fixtures) {
        dir.WriteFile(name, FixtureBytes(name) + std::string(1000, '\x5A'));  // bytes after the image
        EXPECT_EQ(FileVersionText(dir.path(name)), text) << name;
    }
    dir.MakeFolder("folder.exe");
    for (const std::string& path :
         {dir.path("folder.exe"), dir.path("missing.exe"), std::string("Q:\\a.exe"), std::string()})
        EXPECT_EQ(FileVersionText(path), "") << path;
}

// Every field the reader checks, broken in turn, random flips and every shorter copy: whatever
// the damage, parsing ends and stays in bounds (the sanitizer build checks the latter).
TEST(ReadPeVersion, DamagedAndCutImagesGiveNothing) {
    testing::TempDir dir;
    for (const char* name : {"v1_8_0_0_extras.exe", "v4_0_1_0_pe32.exe"}) {
        SCOPED_TRACE(name);
        const std::string b = FixtureBytes(name);
        ASSERT_FALSE(b.empty());
        // Where the fields lie, found as a reader of a hex dump finds them: from e_lfanew, the
        // ".rsrc" section header and the UTF-16 key of the version block. windres puts the type
        // directory at the start of .rsrc and the data after every directory.
        const size_t pe = Get(b, 0x3C), optional = pe + 24;
        const bool pe32Plus = Get(b, optional, 2) == 0x20B;
        const size_t resourceEntry = optional + (pe32Plus ? 112 : 96) + 16;
        const size_t rsrc = b.find(std::string(".rsrc\0\0\0", 8), optional), root = Get(b, rsrc + 20);
        size_t versionType = 0, dataEntry = 0;
        for (size_t at = root + 16; at < root + 16 + 8 * (Get(b, root + 12, 2) + Get(b, root + 14, 2));
             at += 8)
            if (Get(b, at) == 16) versionType = at;
        const std::u16string key = u"VS_VERSION_INFO";
        const size_t block =
            b.find(std::string(reinterpret_cast<const char*>(key.data()), key.size() * 2)) - 6;
        for (size_t at = root; at < block; at += 4)
            if (Get(b, at) == Get(b, rsrc + 12) + block - root) dataEntry = at;
        ASSERT_TRUE(versionType != 0 && dataEntry != 0);

        // clang-format off
        const std::tuple<const char*, size_t, uint32_t, int> damages[] = {
            {"DOS magic", 0, 0x4D5A, 2}, {"e_lfanew past the end", 0x3C, 0xFFFFFFF0, 4},
            {"PE signature", pe + 2, 1, 1}, {"optional header magic", optional, 0x010C, 2},
            {"PE32 and PE32+ swapped", optional, pe32Plus ? 0x10Bu : 0x20Bu, 2},
            {"two data directories", optional + (pe32Plus ? 108 : 92), 2, 4},
            {"optional header too short", pe + 20, pe32Plus ? 128u : 112u, 2},
            {"no sections", pe + 6, 0, 2}, {"section table past the end", pe + 6, 0xFFFF, 2},
            {"resource RVA in no section", resourceEntry, 0xFFFFFFFF, 4},
            {"resource size past the section", resourceEntry + 4, 0xFFFFFFFF, 4},
            {".rsrc past the end", rsrc + 20, 0xFFFFFE00, 4}, {".rsrc size huge", rsrc + 16, 0xFFFFFFFF, 4},
            {"root without entries", root + 12, 0, 4}, {"root entry count huge", root + 12, 0xFFFFFFFF, 4},
            {"no type 16", versionType, 17, 4}, {"type 16 back to the root", versionType + 4, 0x80000000, 4},
            {"data RVA in no section", dataEntry, 0x7FFF0000, 4},
            {"data size past the section", dataEntry + 4, 0xFFFFFFFF, 4},
            {"block length below the fixed information", block, 91, 2},
            {"block length beyond its data", block, Get(b, dataEntry + 4) + 1, 2},
            {"value length short", block + 2, 51, 2}, {"key misspelt", block + 6 + 2 * 3, 'v', 2},
            {"fixed information signature", block + 40, 0xFEEF04BE, 4},
        };
        // clang-format on
        for (const auto& [what, at, value, width] : damages) {
            std::string damaged = b;
            for (int i = 0; i < width; ++i)
                damaged.at(at + i) = static_cast<char>(value >> (8 * i));
            EXPECT_EQ(VersionOf(dir, damaged), std::nullopt) << what;
        }

        // Flips up to the fixed file information; most land in bytes the reader never looks at.
        const auto intact = VersionOf(dir, b);
        std::mt19937 random(20240601);
        int unchanged = 0;
        for (int round = 0; round < 1000; ++round) {
            std::string damaged = b;
            for (auto flips = 1 + random() % 4; flips > 0; --flips)
                damaged[random() % (block + 56)] ^= static_cast<char>(1 << random() % 8);
            const auto words = VersionOf(dir, damaged);
            unchanged += words && words->ms == intact->ms && words->ls == intact->ls;
        }
        EXPECT_GT(unchanged, 30);

        // ld stores nothing after the last section, so every shorter copy cuts a section short:
        // every length through the headers and the resource directory, every 8th after them
        // (each copy is a file written and read, which costs under Wine).
        for (size_t cut = 0; cut < b.size(); cut += cut < root + 64 ? 1 : 8)
            ASSERT_EQ(VersionOf(dir, b.substr(0, cut)), std::nullopt)
                << "a version from a copy cut at " << cut;
    }
}

TEST(FileReaderReadAt, ReadsAtAnOffsetAndKeepsThePosition) {
    testing::TempDir dir;
    dir.WriteFile("digits", "0123456789");
    FileReader reader;
    ASSERT_TRUE(reader.Open(dir.path("digits")));
    char buffer[8] = {};
    EXPECT_EQ(reader.ReadAt(7, buffer, 8), 3);
    EXPECT_EQ(reader.Read(buffer + 3, 2), 2);  // the sequential position is still at the start
    EXPECT_EQ(std::string(buffer, 5), "78901");
    EXPECT_EQ(reader.ReadAt(10, buffer, 8), 0);
    EXPECT_EQ(reader.ReadAt(INT64_MAX, buffer, 8), 0);
    EXPECT_EQ(reader.ReadAt(-1, buffer, 8), -1);
    EXPECT_TRUE(reader.Close());
    EXPECT_FALSE(reader.Close());
    EXPECT_EQ(reader.ReadAt(0, buffer, 8), -1);
}

}  // namespace
}  // namespace folvane

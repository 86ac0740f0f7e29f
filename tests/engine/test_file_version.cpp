#include "engine/file_version.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "engine/pe_reader.h"
#include "platform/file_system.h"
#include "platform/path_space.h"
#include "tests/support/temp_dir.h"

namespace folvane {
namespace {

// ---- Helpers ------------------------------------------------------------------------------------

std::filesystem::path FixtureFolder() {
    return FOLVANE_PE_FIXTURE_DIR;
}

// The bytes of a built fixture; a failure names what is missing.
std::string FixtureBytes(const std::string& name) {
    if (FixtureFolder().empty()) {
        ADD_FAILURE() << "PE fixtures were not built: install binutils-mingw-w64-x86-64 and "
                         "binutils-mingw-w64-i686, then configure again";
        return {};
    }
    std::ifstream in(FixtureFolder() / name, std::ios::binary);
    if (!in) ADD_FAILURE() << "missing PE fixture " << (FixtureFolder() / name);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class MemorySource final : public ByteSource {
  public:
    explicit MemorySource(const std::string& bytes) : bytes_(bytes) {}
    uint64_t Size() const override { return bytes_.size(); }
    bool ReadExact(uint64_t offset, void* buffer, std::size_t size) override {
        if (offset > bytes_.size() || size > bytes_.size() - offset) return false;
        std::memcpy(buffer, bytes_.data() + offset, size);
        return true;
    }

  private:
    const std::string& bytes_;
};

std::optional<FileVersionWords> ParseBytes(const std::string& bytes) {
    MemorySource source(bytes);
    return ReadPeVersion(source);
}

uint32_t Get(const std::string& b, std::size_t at, int width = 4) {
    uint32_t v = 0;
    for (int i = width - 1; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(b.at(at + i));
    return v;
}

void Put(std::string& b, std::size_t at, uint32_t v, int width) {
    for (int i = 0; i < width; ++i, v >>= 8)
        b.at(at + i) = static_cast<char>(v & 0xFF);
}

// Where the fields of a fixture lie, found as a reader of a hex dump finds them: from
// e_lfanew, the ".rsrc" section header and the UTF-16 key of the version block. windres puts
// the type directory at the start of .rsrc and the data after every directory.
struct FixtureMap {
    std::size_t pe = 0, optional = 0, resourceEntry = 0, rsrc = 0, root = 0;
    std::size_t versionType = 0;  // the root's entry for type 16
    std::size_t dataEntry = 0, block = 0;
    bool pe32Plus = false;
};

FixtureMap MapFixture(const std::string& b) {
    FixtureMap m;
    m.pe = Get(b, 0x3C);
    m.optional = m.pe + 24;
    m.pe32Plus = Get(b, m.optional, 2) == 0x20B;
    m.resourceEntry = m.optional + (m.pe32Plus ? 112 : 96) + 16;
    m.rsrc = b.find(std::string(".rsrc\0\0\0", 8), m.optional);
    m.root = Get(b, m.rsrc + 20);
    for (std::size_t at = m.root + 16;
         at < m.root + 16 + 8 * (Get(b, m.root + 12, 2) + Get(b, m.root + 14, 2)); at += 8)
        if (Get(b, at) == 16) m.versionType = at;
    const std::u16string key = u"VS_VERSION_INFO";
    m.block = b.find(std::string(reinterpret_cast<const char*>(key.data()), key.size() * 2)) - 6;
    const uint32_t blockRva = Get(b, m.rsrc + 12) + static_cast<uint32_t>(m.block - m.root);
    for (std::size_t at = m.root; at < m.block; at += 4)
        if (Get(b, at) == blockRva) m.dataEntry = at;
    return m;
}

// ---- Formatting ---------------------------------------------------------------------------------

TEST(FormatFileVersion, MajorMinorAndTheWholeLsWord) {
    struct Case {
        uint32_t ms, ls;
        const char* text;
    };
    const Case cases[] = {
        {0x00010008, 0, "1.08.0"},
        {0x00040000, 0x00000001, "4.00.1"},
        {0x00040000, 0x00010000, "4.00.65536"},  // the third number is LS whole
        {0x0002007B, 0, "2.123.0"},
        {0x00000009, 0, "0.09.0"},
        {0x7FFFFFFF, 0x7FFFFFFF, "32767.65535.2147483647"},
        // From 0x80000000 on the major number stays the high half of MS.
        {0x80000000, 0, "32768.00.0"},
        {0x80000005, 7, "32768.05.7"},
        {0x8000FFFF, 0, "32768.65535.0"},
        {0xFFFFFFFF, 0xFFFFFFFF, "65535.65535.-1"},
        {0, 0x80000000, "0.00.-2147483648"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatFileVersion({c.ms, c.ls}), c.text) << std::hex << c.ms << " " << c.ls;
}

// ---- Real version resources ---------------------------------------------------------------------

struct Fixture {
    const char* name;
    const char* text;
};
const Fixture kFixtures[] = {
    {"v1_8_0_0_extras.exe", "1.08.0"},  // other types around type 16, a second name after it
    {"v4_0_0_1.exe", "4.00.1"},
    {"v4_0_1_0_pe32.exe", "4.00.65536"},
    {"v2_123_0_0.dll", "2.123.0"},
    {"v65535_all.exe", "65535.65535.-1"},
    {"v65535_all_pe32.exe", "65535.65535.-1"},
    {"v32768_5_0_7.exe", "32768.05.7"},
    {"no_version.exe", ""},
};

TEST(FileVersionText, RealResourcesGiveTheirVersion) {
    for (const auto& f : kFixtures) {
        ASSERT_FALSE(FixtureBytes(f.name).empty()) << f.name;
        EXPECT_EQ(FileVersionText(PathFromHost((FixtureFolder() / f.name).string())), f.text) << f.name;
    }
}

TEST(FileVersionText, FilesThatAreNoPeImageGiveNothing) {
    testing::TempDir dir;
    const std::string headerOnly = "MZ" + std::string(0x3A, '\0') + std::string("\x40\0\0\0PE\0\0", 8);
    const std::string contents[] = {"",
                                    "MZ",
                                    "plain text, long enough for every header of a PE image .........",
                                    std::string(4096, '\0'),
                                    std::string(4096, '\xFF'),
                                    headerOnly};
    for (const auto& content : contents) {
        dir.WriteFile("case.exe", content);
        EXPECT_EQ(FileVersionText(dir.path("case.exe")), "") << content;
    }
    dir.MakeFolder("folder.exe");
    for (const std::string& path :
         {dir.path("folder.exe"), dir.path("missing.exe"), std::string("Q:\\a.exe"), std::string()})
        EXPECT_EQ(FileVersionText(path), "") << path;
}

// ld stores nothing after the last section, so every shorter copy cuts a section short.
// The cuts go through a real file to exercise the positional reads.
TEST(FileVersionText, EveryTruncatedCopyGivesNothing) {
    testing::TempDir dir;
    for (const char* name : {"v1_8_0_0_extras.exe", "v4_0_1_0_pe32.exe"}) {
        const std::string bytes = FixtureBytes(name);
        ASSERT_FALSE(bytes.empty());
        const std::string path = dir.path(name);
        const auto host = dir.WriteFile(name, bytes);
        ASSERT_TRUE(ReadFileVersion(path).has_value()) << name;
        std::size_t wrong = 0, firstWrong = 0;
        for (std::size_t cut = bytes.size(); cut-- > 0;) {
            ASSERT_EQ(truncate(host.c_str(), static_cast<off_t>(cut)), 0);
            if (ReadFileVersion(path).has_value() && wrong++ == 0) firstWrong = cut;
        }
        EXPECT_EQ(wrong, 0u) << name << ": a version from a copy cut at " << firstWrong;
    }
}

TEST(FileVersionText, BytesAfterTheImageAreIgnored) {
    testing::TempDir dir;
    dir.WriteFile("overlay.exe", FixtureBytes("v4_0_0_1.exe") + std::string(1000, '\x5A'));
    EXPECT_EQ(FileVersionText(dir.path("overlay.exe")), "4.00.1");
}

// ---- Damaged images -----------------------------------------------------------------------------

TEST(ReadPeVersion, DamagedFieldsGiveNothing) {
    for (const char* name : {"v1_8_0_0_extras.exe", "v4_0_1_0_pe32.exe"}) {
        const std::string original = FixtureBytes(name);
        ASSERT_FALSE(original.empty());
        const FixtureMap m = MapFixture(original);
        ASSERT_TRUE(m.versionType != 0 && m.dataEntry != 0) << name;
        struct Damage {
            const char* what;
            std::size_t at;
            uint32_t value;
            int width;
        };
        const Damage damages[] = {
            {"DOS magic", 0, 0x4D5A, 2},
            {"e_lfanew past the end", 0x3C, 0xFFFFFFF0, 4},
            {"PE signature", m.pe + 2, 1, 1},
            {"optional header magic", m.optional, 0x010C, 2},
            {"PE32 and PE32+ swapped", m.optional, m.pe32Plus ? 0x10Bu : 0x20Bu, 2},
            {"two data directories", m.optional + (m.pe32Plus ? 108 : 92), 2, 4},
            {"optional header too short", m.pe + 20, m.pe32Plus ? 128u : 112u, 2},
            {"no sections", m.pe + 6, 0, 2},
            {"section table past the end", m.pe + 6, 0xFFFF, 2},
            {"resource RVA in no section", m.resourceEntry, 0xFFFFFFFF, 4},
            {"resource size past the section", m.resourceEntry + 4, 0xFFFFFFFF, 4},
            {".rsrc stored past the end", m.rsrc + 20, 0xFFFFFE00, 4},
            {".rsrc stored size huge", m.rsrc + 16, 0xFFFFFFFF, 4},
            {"root without entries", m.root + 12, 0, 4},
            {"root entries past the area", m.root + 12, 0xFFFFFFFF, 4},
            {"no type 16", m.versionType, 17, 4},
            {"type 16 leads back to the root", m.versionType + 4, 0x80000000, 4},
            {"data RVA in no section", m.dataEntry, 0x7FFF0000, 4},
            {"data size past the section", m.dataEntry + 4, 0xFFFFFFFF, 4},
            {"block length below the fixed information", m.block, 91, 2},
            {"block length beyond its data", m.block, Get(original, m.dataEntry + 4) + 1, 2},
            {"value length short", m.block + 2, 51, 2},
            {"key misspelt", m.block + 6 + 2 * 3, 'v', 2},
            {"fixed information signature", m.block + 40, 0xFEEF04BE, 4},
        };
        for (const auto& d : damages) {
            std::string damaged = original;
            Put(damaged, d.at, d.value, d.width);
            EXPECT_EQ(ParseBytes(damaged), std::nullopt) << name << ": " << d.what;
        }
    }
}

// Random flips with a fixed seed in everything up to the fixed file information. Whatever
// they hit, parsing must end and stay in bounds (the sanitizer build checks the latter).
TEST(ReadPeVersion, RandomFlipsNeverReadOutOfBounds) {
    for (const char* name : {"v1_8_0_0_extras.exe", "v65535_all_pe32.exe"}) {
        const std::string original = FixtureBytes(name);
        ASSERT_FALSE(original.empty());
        const auto intact = ParseBytes(original);
        ASSERT_TRUE(intact.has_value());
        const std::size_t end = MapFixture(original).block + 56;
        std::mt19937 random(20240601);
        std::uniform_int_distribution<std::size_t> position(0, end - 1);
        std::uniform_int_distribution<int> flips(1, 4), bit(0, 7);
        int unchanged = 0;
        for (int round = 0; round < 3000; ++round) {
            std::string damaged = original;
            for (int i = flips(random); i > 0; --i)
                damaged[position(random)] ^= static_cast<char>(1 << bit(random));
            const auto words = ParseBytes(damaged);
            if (words && words->ms == intact->ms && words->ls == intact->ls) ++unchanged;
        }
        // Most flips land in bytes the reader never looks at (DOS stub, padding, timestamps).
        EXPECT_GT(unchanged, 100) << name;
    }
}

// ---- Positional reads ---------------------------------------------------------------------------

TEST(FileReaderReadAt, ReadsAtAnOffsetAndKeepsThePosition) {
    testing::TempDir dir;
    dir.WriteFile("digits", "0123456789");
    FileReader reader;
    ASSERT_TRUE(reader.Open(dir.path("digits")));
    char buffer[8] = {};
    EXPECT_EQ(reader.ReadAt(7, buffer, 8), 3);
    EXPECT_EQ(std::string(buffer, 3), "789");
    EXPECT_EQ(reader.ReadAt(10, buffer, 8), 0);
    EXPECT_EQ(reader.ReadAt(INT64_MAX, buffer, 8), 0);
    EXPECT_EQ(reader.ReadAt(-1, buffer, 8), -1);
    EXPECT_EQ(reader.Read(buffer, 2), 2);  // the sequential position is still at the start
    EXPECT_EQ(std::string(buffer, 2), "01");
    EXPECT_TRUE(reader.Close());
    EXPECT_EQ(reader.ReadAt(0, buffer, 8), -1);
}

}  // namespace
}  // namespace folvane

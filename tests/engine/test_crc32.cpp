#include "engine/crc32.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>

#include "platform/file_system.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace folvane {
namespace {

// Bit by bit, straight from the definition; shares nothing with the table-driven code.
uint32_t ReferenceCrc(std::string_view data) {
    uint32_t reg = 0xFFFFFFFFu;
    for (unsigned char byte : data) {
        reg ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            reg = (reg >> 1) ^ (0xEDB88320u & (0u - (reg & 1u)));
    }
    return ~reg;
}

std::string RandomBytes(std::size_t size, unsigned seed = 1) {
    std::mt19937 generator(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(generator() & 0xFFu);
    return bytes;
}

// Descriptors the process holds; a checksum must leave as many open as it found.
std::size_t OpenDescriptors() {
    std::error_code ignored;
    std::size_t count = 0;
    for (auto it = std::filesystem::directory_iterator("/proc/self/fd", ignored);
         it != std::filesystem::directory_iterator(); it.increment(ignored)) {
        ++count;
    }
    return count;
}

TEST(Crc32Update, MatchesTheStandardAndChains) {
    EXPECT_EQ(Crc32Update(0, "", 0), 0u);
    EXPECT_EQ(Crc32Update(0, "123456789", 9), 0xCBF43926u);
    EXPECT_EQ(Crc32Update(0, "The quick brown fox jumps over the lazy dog", 43), 0x414FA339u);

    // Every length around the 16-byte stride, split at every point, at every alignment.
    const std::string data = RandomBytes(80);
    for (std::size_t offset = 0; offset < 16; ++offset) {
        for (std::size_t size = 0; offset + size <= data.size(); ++size) {
            const std::string_view piece(data.data() + offset, size);
            const uint32_t expected = ReferenceCrc(piece);
            for (std::size_t split = 0; split <= size; split += (size < 40 ? 1 : 7)) {
                const uint32_t first = Crc32Update(0, piece.data(), split);
                ASSERT_EQ(Crc32Update(first, piece.data() + split, size - split), expected)
                    << "offset " << offset << " size " << size << " split " << split;
            }
        }
    }
}

class FileCrc32Test : public ::testing::Test {
  protected:
    uint32_t Checksum(std::string_view name) { return FileCrc32(dir.path(name), ui, run); }

    testing::TempDir dir;
    testing::ScriptedUi ui;
    RunState run;
};

TEST_F(FileCrc32Test, ReadsBlocksOf102400BytesAndPumpsAfterEach) {
    struct Case {
        std::size_t size;
        int pumps;
    };
    const Case cases[] = {{0, 0}, {9, 1}, {102'399, 1}, {102'400, 1}, {102'401, 2}, {3 * 102'400 + 7, 4}};
    const std::string data = RandomBytes(3 * 102'400 + 7);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        const std::string content = data.substr(0, c.size);
        dir.WriteFile("f.bin", content);
        testing::ScriptedUi fresh;
        EXPECT_EQ(FileCrc32(dir.path("f.bin"), fresh, run), ReferenceCrc(content));
        EXPECT_EQ(fresh.pumps(), c.pumps);
    }
    dir.WriteFile("check.txt", "123456789");
    EXPECT_EQ(Checksum("check.txt"), 0xCBF43926u);
}

TEST_F(FileCrc32Test, CancelDuringAFileGivesZeroAndClosesIt) {
    dir.WriteFile("big.bin", RandomBytes(10 * 102'400));
    const std::size_t before = OpenDescriptors();
    for (int cancelAt : {3, 10}) {  // in the middle and after the last block
        SCOPED_TRACE(cancelAt);
        testing::ScriptedUi fresh;
        run.CancelFlag = kNoCancel;
        fresh.OnPumpEvents([&](int call) {
            if (call == cancelAt) run.CancelFlag = kCancelByUser;
        });
        EXPECT_EQ(FileCrc32(dir.path("big.bin"), fresh, run), 0u);
        EXPECT_EQ(fresh.pumps(), cancelAt);
        EXPECT_EQ(OpenDescriptors(), before);
    }
}

TEST_F(FileCrc32Test, FileChangingWhileReadEndsAtItsNewEndOrTheOldLength) {
    const std::string data = RandomBytes(3 * 102'400);
    struct Case {
        int64_t newLength;  // after the first block
        std::size_t checked;
        int pumps;
    };
    // Shrinks into the second block; shrinks to the end of the first (no empty block is
    // pumped); grows, which does not extend the read past the length found at the start.
    const Case cases[] = {{150'000, 150'000, 2}, {102'400, 102'400, 1}, {5 * 102'400, 3 * 102'400, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.newLength);
        const auto file = dir.WriteFile("moving.bin", data);
        testing::ScriptedUi fresh;
        fresh.OnPumpEvents([&](int call) {
            if (call == 1) {
                ASSERT_EQ(truncate(file.c_str(), c.newLength), 0);
            }
        });
        EXPECT_EQ(FileCrc32(dir.path("moving.bin"), fresh, run), ReferenceCrc(data.substr(0, c.checked)));
        EXPECT_EQ(fresh.pumps(), c.pumps);
    }
}

TEST_F(FileCrc32Test, WhatCannotBeReadGivesZeroWithoutBlocking) {
    dir.MakeFolder("folder");
    ASSERT_EQ(mkfifo(dir.host("fifo").c_str(), 0600), 0);  // no writer: a blocking open would hang
    const auto locked = dir.WriteFile("locked.bin", "123456789");
    chmod(locked.c_str(), 0);
    const bool canReadLocked = access(locked.c_str(), R_OK) == 0;  // the superuser can

    const std::size_t before = OpenDescriptors();
    EXPECT_EQ(Checksum("missing.bin"), 0u);
    EXPECT_EQ(Checksum("folder"), 0u);
    EXPECT_EQ(Checksum("fifo"), 0u);
    if (!canReadLocked) {
        EXPECT_EQ(Checksum("locked.bin"), 0u);
    }
    EXPECT_EQ(FileCrc32("Z:\\dev\\null", ui, run), 0u);    // a device
    EXPECT_EQ(FileCrc32("Q:\\nowhere.bin", ui, run), 0u);  // a drive that is not mapped
    EXPECT_EQ(ui.pumps(), 0);
    EXPECT_EQ(OpenDescriptors(), before);
}

TEST_F(FileCrc32Test, LengthBeyond4GiBIsNotCutTo32Bits) {
    // A sparse file of 4 GiB + 9 bytes: cut to 32 bits its length would be 9, one block. Reading
    // it all takes seconds, so the run is cancelled after the second block.
    const auto file = dir.WriteFile("huge.bin");
    const int64_t length = (int64_t{1} << 32) + 9;
    if (truncate(file.c_str(), length) != 0) GTEST_SKIP() << "no sparse files here";

    FileReader reader;
    ASSERT_TRUE(reader.Open(dir.path("huge.bin")));
    EXPECT_EQ(reader.Length(), length);
    EXPECT_TRUE(reader.Close());
    EXPECT_FALSE(reader.Close());

    ui.OnPumpEvents([&](int call) {
        if (call == 2) run.CancelFlag = kCancelByUser;
    });
    EXPECT_EQ(Checksum("huge.bin"), 0u);
    EXPECT_EQ(ui.pumps(), 2);
}

}  // namespace
}  // namespace folvane

#include "engine/crc32.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <tuple>

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

std::string RandomBytes(size_t size) {
    std::string bytes(size, '\0');
    std::generate(bytes.begin(), bytes.end(), std::mt19937(1));
    return bytes;
}

size_t OpenDescriptors() {
    const std::filesystem::directory_iterator fds("/proc/self/fd");
    return static_cast<size_t>(std::distance(begin(fds), end(fds)));
}

TEST(Crc32Update, MatchesTheStandardAndChains) {
    EXPECT_EQ(Crc32Update(0, "123456789", 9), 0xCBF43926u);

    // Every length around the 16-byte stride, split at every point, at every alignment.
    const std::string data = RandomBytes(80);
    for (size_t offset = 0; offset < 16; ++offset) {
        for (size_t size = 0; offset + size <= data.size(); ++size) {
            const std::string_view piece(data.data() + offset, size);
            for (size_t split = 0; split <= size; split += (size < 40 ? 1 : 7)) {
                const uint32_t first = Crc32Update(0, piece.data(), split);
                ASSERT_EQ(Crc32Update(first, piece.data() + split, size - split), ReferenceCrc(piece))
                    << "offset " << offset << " size " << size << " split " << split;
            }
        }
    }
}

class FileCrc32Test : public ::testing::Test {
  protected:
    testing::TempDir dir;
    testing::ScriptedUi ui;
    RunState run;
};

// Blocks with a pump after each; a file that changes meanwhile ends at its new end or at the length
// found when it was opened. Rows: size, size after the first block (-1: same), bytes checked, pumps.
TEST_F(FileCrc32Test, ReadsBlocksUpToTheLengthFoundAtTheStart) {
    constexpr size_t B = kCrcBlockSize;
    // clang-format off
    const std::tuple<size_t, int64_t, size_t, int> cases[] = {
        {0, -1, 0, 0}, {9, -1, 9, 1}, {B - 1, -1, B - 1, 1}, {B, -1, B, 1}, {B + 1, -1, B + 1, 2},
        {3 * B + 7, -1, 3 * B + 7, 4}, {3 * B, 150'000, 150'000, 2}, {3 * B, 5 * B, 3 * B, 3},
        {3 * B, B, B, 1}};  // no empty block is pumped
    // clang-format on
    const std::string data = RandomBytes(3 * B + 7);
    for (const auto& [size, newLength, checked, pumps] : cases) {
        SCOPED_TRACE(::testing::Message() << size << " to " << newLength);
        const auto file = dir.WriteFile("f.bin", data.substr(0, size));
        testing::ScriptedUi fresh;
        fresh.OnPumpEvents(
            [&](int call) { ASSERT_TRUE(call > 1 || newLength < 0 || !truncate(file.c_str(), newLength)); });
        EXPECT_EQ(FileCrc32(dir.path("f.bin"), fresh, run), ReferenceCrc(data.substr(0, checked)));
        EXPECT_EQ(fresh.pumps(), pumps);
    }
}

// Zero, and no descriptor left open, for what cannot be read (without blocking on a FIFO that has
// no writer) and for a read cancelled after its last block or in the middle of a sparse file of
// 4 GiB + 9 bytes, whose length cut to 32 bits would be 9 bytes: one block.
TEST_F(FileCrc32Test, WhatCannotBeReadOrIsCancelledGivesZero) {
    dir.MakeFolder("folder");
    ASSERT_EQ(mkfifo(dir.host("fifo").c_str(), 0600), 0);
    chmod(dir.WriteFile("locked.bin", "123456789").c_str(), 0);
    dir.WriteFile("two-blocks.bin", RandomBytes(2 * kCrcBlockSize));
    ASSERT_EQ(truncate(dir.WriteFile("huge.bin").c_str(), (int64_t{1} << 32) + 9), 0);
    const size_t before = OpenDescriptors();
    for (const std::string& path : {dir.path("missing.bin"), dir.path("folder"), dir.path("fifo"),
                                    std::string("Z:\\dev\\null"), std::string("Q:\\unmapped.bin")})
        EXPECT_EQ(FileCrc32(path, ui, run), 0u) << path;
    if (access(dir.host("locked.bin").c_str(), R_OK) != 0) {  // the superuser can read it
        EXPECT_EQ(FileCrc32(dir.path("locked.bin"), ui, run), 0u);
    }
    EXPECT_EQ(ui.pumps(), 0);
    for (const char* name : {"two-blocks.bin", "huge.bin"}) {
        testing::ScriptedUi fresh;
        run.CancelFlag = kNoCancel;
        fresh.OnPumpEvents([&](int call) {
            if (call == 2) run.CancelFlag = kCancelByUser;
        });
        EXPECT_EQ(FileCrc32(dir.path(name), fresh, run), 0u) << name;
        EXPECT_EQ(fresh.pumps(), 2) << name;
    }
    EXPECT_EQ(OpenDescriptors(), before);
}

}  // namespace
}  // namespace folvane

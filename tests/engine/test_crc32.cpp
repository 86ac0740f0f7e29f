#include "engine/crc32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <tuple>

#include "engine/crc32_methods.h"
#include "tests/support/host_files.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace folvane {
namespace {

// The register after one more byte, bit by bit, straight from the definition; shares nothing
// with the tables or the folding.
uint32_t ReferenceStep(uint32_t reg, unsigned char byte) {
    reg ^= byte;
    for (int bit = 0; bit < 8; ++bit)
        reg = (reg >> 1) ^ (0xEDB88320u & (0u - (reg & 1u)));
    return reg;
}

uint32_t ReferenceCrc(std::string_view data) {
    uint32_t reg = 0xFFFFFFFFu;
    for (unsigned char byte : data)
        reg = ReferenceStep(reg, byte);
    return ~reg;
}

std::string RandomBytes(size_t size, uint32_t seed = 1) {
    std::string bytes(size, '\0');
    std::generate(bytes.begin(), bytes.end(), std::mt19937(seed));
    return bytes;
}

// Each method on its own; one this processor lacks is skipped.
class Crc32MethodTest : public ::testing::TestWithParam<Crc32Method> {
  protected:
    void SetUp() override {
        if (!Crc32MethodAvailable(GetParam())) GTEST_SKIP() << "not available on this processor";
    }
    uint32_t Update(uint32_t crc, std::string_view data) const {
        return Crc32UpdateBy(GetParam(), crc, data.data(), data.size());
    }
};

INSTANTIATE_TEST_SUITE_P(Methods, Crc32MethodTest,
                         ::testing::Values(Crc32Method::SlicedTables, Crc32Method::CarrylessMultiply),
                         [](const ::testing::TestParamInfo<Crc32Method>& method) {
                             return method.param == Crc32Method::SlicedTables ? "SlicedTables"
                                                                              : "CarrylessMultiply";
                         });

// Every length from 0 to 1024 bytes at every offset from a 16-byte boundary: the lengths cross
// the table stride, the folding's minimum, its 16- and 64-byte steps and the leftover tails.
TEST_P(Crc32MethodTest, EveryLengthAtEveryAlignmentMatchesTheDefinition) {
    EXPECT_EQ(Update(0, "123456789"), 0xCBF43926u);
    constexpr size_t kLongest = 1024;
    const std::string data = RandomBytes(kLongest + 32);
    const size_t boundary = (16 - reinterpret_cast<uintptr_t>(data.data()) % 16) % 16;
    for (size_t offset = 0; offset < 16; ++offset) {
        const std::string_view from(data.data() + boundary + offset, kLongest);
        uint32_t reg = 0xFFFFFFFFu;  // the definition's register over the first size bytes
        for (size_t size = 0; size <= kLongest; ++size) {
            ASSERT_EQ(Update(0, from.substr(0, size)), ~reg) << "offset " << offset << " size " << size;
            if (size < kLongest) reg = ReferenceStep(reg, static_cast<unsigned char>(from[size]));
        }
    }
}

// Two updates give the CRC-32 of the two parts joined, wherever the data is split, with either
// part too short for the folding or long enough.
TEST_P(Crc32MethodTest, ChainedUpdatesEqualOneUpdate) {
    const std::string data = RandomBytes(300);
    const uint32_t whole = ReferenceCrc(data);
    const std::string_view all(data);
    for (size_t split = 0; split <= data.size(); ++split) {
        ASSERT_EQ(Update(Update(0, all.substr(0, split)), all.substr(split)), whole) << "split " << split;
    }
}

// Random lengths up to 4 MiB at random offsets: the folding agrees with the tables.
TEST(Crc32Methods, AgreeOnLongInputs) {
    if (!Crc32MethodAvailable(Crc32Method::CarrylessMultiply)) GTEST_SKIP() << "only the tables here";
    const std::string data = RandomBytes((4 << 20) + 16, 7);
    std::mt19937 random(3);
    for (int round = 0; round < 24; ++round) {
        const size_t offset = random() % 16;
        const size_t size = random() % (data.size() - offset);
        const uint32_t crc = random();
        EXPECT_EQ(Crc32UpdateBy(Crc32Method::CarrylessMultiply, crc, data.data() + offset, size),
                  Crc32UpdateBy(Crc32Method::SlicedTables, crc, data.data() + offset, size))
            << "offset " << offset << " size " << size;
    }
}

// Crc32Update runs the fastest method there is: the folding wherever the processor has it.
TEST(Crc32Methods, TheUpdateUsesTheFastestAvailable) {
    EXPECT_EQ(Crc32ChosenMethod(), Crc32MethodAvailable(Crc32Method::CarrylessMultiply)
                                       ? Crc32Method::CarrylessMultiply
                                       : Crc32Method::SlicedTables);
    EXPECT_TRUE(Crc32MethodAvailable(Crc32Method::SlicedTables));
    const std::string data = RandomBytes(5000);
    EXPECT_EQ(Crc32Update(0, data.data(), data.size()), ReferenceCrc(data));
}

class FileCrc32Test : public ::testing::Test {
  protected:
    static bool Resized(const std::filesystem::path& file, int64_t length) {
        std::error_code error;
        std::filesystem::resize_file(file, static_cast<uintmax_t>(length), error);
        return !error;
    }

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
            [&](int call) { ASSERT_TRUE(call > 1 || newLength < 0 || Resized(file, newLength)); });
        EXPECT_EQ(FileCrc32(dir.path("f.bin"), fresh, run), ReferenceCrc(data.substr(0, checked)));
        EXPECT_EQ(fresh.pumps(), pumps);
    }
}

// Zero for what cannot be read and for a read cancelled after its last block or in the middle of
// a sparse file of 4 GiB + 9 bytes, whose length cut to 32 bits would be 9 bytes: one block.
TEST_F(FileCrc32Test, WhatCannotBeReadOrIsCancelledGivesZero) {
    dir.MakeFolder("folder");
    dir.WriteFile("two-blocks.bin", RandomBytes(2 * kCrcBlockSize));
    ASSERT_TRUE(testing::SetHostSparseLength(dir.WriteFile("huge.bin"), (uint64_t{1} << 32) + 9));
    for (const std::string& path :
         {dir.path("missing.bin"), dir.path("folder"), dir.path("folder") + "\\", dir.path("missing/x.bin"),
          std::string("Q:\\unmapped.bin"), std::string()})
        EXPECT_EQ(FileCrc32(path, ui, run), 0u) << path;
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
}

}  // namespace
}  // namespace folvane

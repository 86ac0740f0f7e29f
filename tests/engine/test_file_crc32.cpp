// FileCrc32 on every host: blocks read up to the length found at the start, with a pump after
// each; what cannot be read and what is cancelled give zero.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>

#include "engine/crc32.h"
#include "tests/engine/crc_reference.h"
#include "tests/support/host_files.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace folvane {
namespace {

using testing::RandomBytes;
using testing::ReferenceCrc;

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

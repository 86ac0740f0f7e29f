// FileCrc32 on POSIX hosts: files that change while they are read, FIFOs, unreadable files
// and sparse files past 4 GiB, and the descriptors it leaves open.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <tuple>

#include "engine/crc32.h"
#include "tests/engine/crc_reference.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace folvane {
namespace {

using testing::RandomBytes;
using testing::ReferenceCrc;

size_t OpenDescriptors() {
    const std::filesystem::directory_iterator fds("/proc/self/fd");
    return static_cast<size_t>(std::distance(begin(fds), end(fds)));
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

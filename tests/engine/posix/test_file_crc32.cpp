// FileCrc32 on POSIX hosts: FIFOs, devices, files their owner may not read, and the
// descriptors a read leaves behind, counted in /proc.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "engine/crc32.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace folvane {
namespace {

size_t OpenDescriptors() {
    const std::filesystem::directory_iterator fds("/proc/self/fd");
    return static_cast<size_t>(std::distance(begin(fds), end(fds)));
}

// Zero without blocking on a FIFO that has no writer, and no descriptor left open by what cannot
// be read nor by a read cancelled halfway.
TEST(FileCrc32Posix, WhatCannotBeReadGivesZeroAndLeavesNoDescriptorOpen) {
    testing::TempDir dir;
    testing::ScriptedUi ui;
    RunState run;
    ASSERT_EQ(mkfifo(dir.host("fifo").c_str(), 0600), 0);
    chmod(dir.WriteFile("locked.bin", "123456789").c_str(), 0);
    dir.WriteFile("two-blocks.bin", std::string(2 * kCrcBlockSize, 'x'));
    const size_t before = OpenDescriptors();
    for (const std::string& path : {dir.path("fifo"), std::string("Z:\\dev\\null"), dir.path("missing.bin")})
        EXPECT_EQ(FileCrc32(path, ui, run), 0u) << path;
    if (access(dir.host("locked.bin").c_str(), R_OK) != 0) {  // the superuser can read it
        EXPECT_EQ(FileCrc32(dir.path("locked.bin"), ui, run), 0u);
    }
    EXPECT_EQ(ui.pumps(), 0);
    ui.OnPumpEvents([&](int) { run.CancelFlag = kCancelByUser; });
    EXPECT_EQ(FileCrc32(dir.path("two-blocks.bin"), ui, run), 0u);
    EXPECT_EQ(OpenDescriptors(), before);
}

}  // namespace
}  // namespace folvane

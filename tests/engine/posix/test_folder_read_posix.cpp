// Reading a folder that holds what only POSIX hosts make: FIFOs, devices, unsearchable folders.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <map>

#include "tests/engine/folder_read_fixture.h"
#include "tests/support/posix/fifo_writer.h"

namespace folvane {
namespace {

// Only regular files are opened for a CRC or a version: a FIFO's waiting writer is not released
// (it would lose its data to SIGPIPE) and no device is opened.
TEST_F(FolderReadTest, OnlyRegularFilesAreOpenedForTheirContents) {
    dir.WriteFile("data.bin", "123456789");
    const testing::FifoWriter writer(dir.host("pipe"));
    const bool device = mknod(dir.host("null").c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0;
    rig.settings.CRCFlg = rig.settings.VersionFlg = true;
    std::map<std::string, uint32_t> crcs;
    for (const auto& entry : ReadFolder(rig.context, Folder()))
        crcs[entry.record.Name] = entry.record.Crc;
    EXPECT_EQ(crcs["data.bin"], 0xCBF43926u);
    EXPECT_EQ(crcs["pipe"], 0u);
    if (device) {
        EXPECT_EQ(crcs["null"], 0u);
    }
    EXPECT_TRUE(writer.StillWaiting()) << "the FIFO was opened";
}

// In a folder that may be listed but not searched nothing of an entry can be read: it keeps
// every fact empty (no attributes, which lists it as a file) instead of made-up ones.
TEST_F(FolderReadTest, EntriesWhoseFactsCannotBeReadKeepThemEmpty) {
    dir.WriteFile("closed/file.txt", "abc");
    dir.MakeFolder("closed/sub");
    dir.WriteFile("closed/.hidden");
    chmod(dir.host().c_str(), 0755);
    chmod(dir.host("closed").c_str(), 0644);  // readable, not searchable
    const pid_t child = fork();
    if (child == 0) {
        // As an unprivileged user, for whom the permission bits count.
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(2);
        rig.settings.SearchAttr = 21;
        rig.settings.CDateFlg = true;
        const auto entries = ReadFolder(rig.context, dir.path("closed") + "\\");
        bool empty = entries.size() == 2;
        for (const auto& entry : entries) {
            const FileEntry& e = entry.record;
            empty = empty && e.Attr == 0 && e.Size == 0 && e.Created == 0 && e.Updated == 0 && !e.IsFolder();
        }
        _exit(empty ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    chmod(dir.host("closed").c_str(), 0755);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace folvane

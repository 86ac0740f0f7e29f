#include "tests/support/temp_dir.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "platform/path_space.h"

namespace folvane::testing {

namespace {

// Removes everything inside the open folder, relative to it, so that trees of any depth go in
// time proportional to their size (whole paths would grow with every level). Read-only folders
// made by a test get their owner's write access back first.
void EmptyFolder(int folder) {
    DIR* stream = fdopendir(dup(folder));
    if (stream == nullptr) return;
    std::vector<std::string> names;
    while (const dirent* entry = readdir(stream)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") names.emplace_back(name);
    }
    closedir(stream);
    for (const std::string& name : names) {
        if (unlinkat(folder, name.c_str(), 0) == 0) continue;
        fchmodat(folder, name.c_str(), 0700, 0);
        const int child = openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (child < 0) continue;
        EmptyFolder(child);
        close(child);
        unlinkat(folder, name.c_str(), AT_REMOVEDIR);
    }
}

}  // namespace

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "folvane-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        ADD_FAILURE() << "cannot create a temporary folder";
        std::abort();
    }
    root_ = pattern;
}

TempDir::~TempDir() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    if (test != nullptr && test->result()->Failed()) {
        std::fprintf(stderr, "kept the test's folder: %s\n", root_.c_str());
        return;
    }
    chmod(root_.c_str(), 0700);
    const int folder = open(root_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) return;
    EmptyFolder(folder);
    close(folder);
    rmdir(root_.c_str());
}

std::filesystem::path TempDir::host(std::string_view relative) const {
    return relative.empty() ? root_ : root_ / std::filesystem::path(std::string(relative));
}

std::string TempDir::path(std::string_view relative) const {
    return PathFromHost(host(relative).string());
}

std::filesystem::path TempDir::WriteFile(std::string_view relative, std::string_view content) const {
    const auto file = host(relative);
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    return file;
}

std::filesystem::path TempDir::MakeFolder(std::string_view relative) const {
    const auto folder = host(relative);
    std::filesystem::create_directories(folder);
    return folder;
}

void TempDir::SetUpdated(std::string_view relative, int64_t utcSeconds) const {
    const struct timeval times[2] = {{static_cast<time_t>(utcSeconds), 0},
                                     {static_cast<time_t>(utcSeconds), 0}};
    utimes(host(relative).c_str(), times);
}

}  // namespace folvane::testing

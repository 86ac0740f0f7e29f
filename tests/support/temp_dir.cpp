#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "platform/path_space.h"

namespace folvane::testing {

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
    std::error_code ignored;
    // Read-only folders made by a test would stop the removal; give the owner write access back.
    for (auto it = std::filesystem::recursive_directory_iterator(root_, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
        if (!it->is_symlink(ignored)) chmod(it->path().c_str(), 0700);
    }
    std::filesystem::remove_all(root_, ignored);
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

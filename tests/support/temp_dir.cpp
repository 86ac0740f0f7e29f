#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>

#include "platform/path_space.h"
#include "platform/person_path.h"
#include "tests/support/host_files.h"

namespace folvane::testing {

namespace {

namespace fs = std::filesystem;

// A folder of a new name in the host's temporary folder; create_directory refuses a name that
// exists, so two tests (or two test programs) never share one.
fs::path NewTemporaryFolder() {
    static std::mt19937_64 names{std::random_device{}()};
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path folder = HostTestTempBase() / ("folvane-test-" + std::to_string(names() % 100000000));
        std::error_code error;
        if (fs::create_directory(folder, error)) return folder;
    }
    ADD_FAILURE() << "cannot create a temporary folder";
    std::abort();
}

}  // namespace

bool PersonReadsHostPaths() {
    return PathForPerson("Z:\\") != "Z:\\";
}

fs::path HostPathFromUtf8(std::string_view utf8) {
    return fs::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

std::string Utf8OfHostPath(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

TempDir::TempDir() : root_(NewTemporaryFolder()) {}

TempDir::~TempDir() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    if (test != nullptr && test->result()->Failed()) {
        std::fprintf(stderr, "kept the test's folder: %s\n", Utf8OfHostPath(root_).c_str());
        return;
    }
    RemoveHostTree(root_);
}

fs::path TempDir::host(std::string_view relative) const {
    return relative.empty() ? root_ : root_ / HostPathFromUtf8(relative);
}

std::string TempDir::path(std::string_view relative) const {
    return PathFromHost(Utf8OfHostPath(host(relative)));
}

fs::path TempDir::WriteFile(std::string_view relative, std::string_view content) const {
    const auto file = host(relative);
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    return file;
}

fs::path TempDir::MakeFolder(std::string_view relative) const {
    const auto folder = host(relative);
    fs::create_directories(folder);
    return folder;
}

void TempDir::SetUpdated(std::string_view relative, int64_t utcSeconds) const {
    SetHostUpdated(host(relative), utcSeconds);
}

void TempDir::MakeReadOnly(std::string_view relative) const {
    EXPECT_TRUE(SetHostReadOnly(host(relative))) << Utf8OfHostPath(host(relative));
}

void TempDir::MakeHidden(std::string_view relative) const {
    const fs::path entry = host(relative);
    EXPECT_TRUE(entry.filename().u8string().starts_with(u8".")) << Utf8OfHostPath(entry);
    EXPECT_TRUE(SetHostHidden(entry)) << Utf8OfHostPath(entry);
}

}  // namespace folvane::testing

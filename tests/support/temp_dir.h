#pragma once
// A fresh temporary folder for one test. It is removed when the test passes and kept, with its
// location printed, when the test fails, so the tree can be inspected.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace folvane::testing {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The host path of the folder.
    const std::filesystem::path& host() const { return root_; }
    // The host path of a relative name inside it ("a/b.txt").
    std::filesystem::path host(std::string_view relative) const;
    // The path-space form of the folder or of a relative name inside it ("Z:\tmp\...\a\b.txt").
    std::string path(std::string_view relative = "") const;

    // Creates a file (and its missing parent folders) holding content; returns its host path.
    std::filesystem::path WriteFile(std::string_view relative, std::string_view content = "") const;
    // Creates a folder and its missing parents; returns its host path.
    std::filesystem::path MakeFolder(std::string_view relative) const;
    // Sets the last-write time of a file or folder to a UTC moment (seconds since 1970).
    void SetUpdated(std::string_view relative, int64_t utcSeconds) const;

  private:
    std::filesystem::path root_;
};

}  // namespace folvane::testing

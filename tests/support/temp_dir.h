#pragma once
// A fresh temporary folder for one test. It is removed when the test passes and kept, with its
// location printed, when the test fails, so the tree can be inspected.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace folvane::testing {

// True where a person reads and types host paths for the host root's drive (POSIX hosts);
// false where the path space is the host's own (Windows).
bool PersonReadsHostPaths();

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
    // Makes a file or folder read-only (owner may not write; on Windows its read-only attribute).
    void MakeReadOnly(std::string_view relative) const;
    // Makes a file or folder hidden. Its name must start with "." (which hides it on POSIX); on
    // Windows its hidden attribute is set.
    void MakeHidden(std::string_view relative) const;

  private:
    std::filesystem::path root_;
};

// A host path from UTF-8 text ("/" or the host's separator between names), on every host:
// a std::filesystem::path made from a plain string would read it in the ANSI code page on
// Windows.
std::filesystem::path HostPathFromUtf8(std::string_view utf8);

// The UTF-8 text of a host path (what path::string() gives on POSIX).
std::string Utf8OfHostPath(const std::filesystem::path& path);

}  // namespace folvane::testing

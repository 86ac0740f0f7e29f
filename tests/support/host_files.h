#pragma once
// What the tests need of the host that the C++ library does not offer the same way on every
// host; tests/support/posix and tests/support/win32 hold the two sides.

#include <cstdint>
#include <filesystem>

namespace folvane::testing {

// The folder that temporary test folders are made in: FOLVANE_TEST_TEMP when it is set (tests
// map drives C: and D: onto folders of their own, so on Windows the folders must live on
// another drive), else the host's temporary folder.
std::filesystem::path HostTestTempBase();

// Sets the last-write time of a file or folder to a UTC moment (seconds since 1970); false
// when the host refuses.
bool SetHostUpdated(const std::filesystem::path& path, int64_t utcSeconds);

// Gives a file or folder whose name starts with "." the host's hidden mark: nothing more on
// POSIX, the hidden attribute on Windows. False when the host refuses.
bool SetHostHidden(const std::filesystem::path& path);

// Makes a file or folder read-only: no write permission on POSIX, the read-only attribute on
// Windows. False when the host refuses.
bool SetHostReadOnly(const std::filesystem::path& path);

// Sets a file's length, leaving what is added unwritten and, where the host allows, taking no
// disk space (a sparse file: plain on POSIX, marked sparse first on Windows). False when the
// host refuses.
bool SetHostSparseLength(const std::filesystem::path& file, uint64_t length);

// Removes a folder with everything in it, read-only entries and names the host treats
// as devices in ordinary paths ("CON", longer than MAX_PATH) included; links are removed, never
// followed.
void RemoveHostTree(const std::filesystem::path& folder);

}  // namespace folvane::testing

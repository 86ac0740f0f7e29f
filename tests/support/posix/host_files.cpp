#include "tests/support/host_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

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

std::filesystem::path HostTestTempBase() {
    const char* chosen = std::getenv("FOLVANE_TEST_TEMP");
    if (chosen != nullptr && *chosen != '\0') return chosen;
    return std::filesystem::temp_directory_path();
}

bool SetHostUpdated(const std::filesystem::path& path, int64_t utcSeconds) {
    const struct timeval times[2] = {{static_cast<time_t>(utcSeconds), 0},
                                     {static_cast<time_t>(utcSeconds), 0}};
    return utimes(path.c_str(), times) == 0;
}

bool SetHostHidden(const std::filesystem::path&) {
    return true;
}

bool SetHostReadOnly(const std::filesystem::path& path) {
    struct stat facts {};
    return stat(path.c_str(), &facts) == 0 && chmod(path.c_str(), facts.st_mode & ~mode_t{0222}) == 0;
}

bool SetHostSparseLength(const std::filesystem::path& file, uint64_t length) {
    return truncate(file.c_str(), static_cast<off_t>(length)) == 0;
}

void RemoveHostTree(const std::filesystem::path& folder) {
    chmod(folder.c_str(), 0700);
    const int opened = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (opened < 0) return;
    EmptyFolder(opened);
    close(opened);
    rmdir(folder.c_str());
}

}  // namespace folvane::testing

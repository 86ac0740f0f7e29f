#include "tests/support/host_files.h"

#include <sys/stat.h>
#include <sys/time.h>

#include <cstdlib>

namespace folvane::testing {

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

void RemoveHostTree(const std::filesystem::path& folder) {
    namespace fs = std::filesystem;
    std::error_code ignored;
    // Read-only folders made by a test would stop the removal; give the owner write access back.
    for (auto it = fs::recursive_directory_iterator(folder, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
        if (!it->is_symlink(ignored)) chmod(it->path().c_str(), 0700);
    }
    fs::remove_all(folder, ignored);
}

}  // namespace folvane::testing

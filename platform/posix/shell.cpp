#include "platform/shell.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>

#include <string>

#include "platform/path_space.h"

extern char** environ;

namespace folvane {

namespace {

bool IsWebAddress(std::string_view text) {
    return text.find("://") != std::string_view::npos;
}

}  // namespace

bool OpenWithDefaultHandler(std::string_view pathOrAddress) {
    std::string target(pathOrAddress);
    if (!IsWebAddress(pathOrAddress)) {
        const auto host = HostPathOf(pathOrAddress);
        if (!host) return false;
        target = *host;
    }
    // xdg-open may keep running while the program it started lives; its output is of no use
    // to a listing run, so it goes nowhere. The child is reaped by a short-lived middle
    // process so that no zombie is left behind.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const std::string script = "xdg-open \"$1\" & exit 0";
    char* const argv[] = {const_cast<char*>("sh"), const_cast<char*>("-c"), const_cast<char*>(script.c_str()),
                          const_cast<char*>("sh"), target.data(),           nullptr};
    pid_t child = 0;
    const int started = posix_spawnp(&child, "sh", &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (started != 0) return false;
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return true;
}

}  // namespace folvane

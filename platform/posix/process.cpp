#include "platform/process.h"

#include <unistd.h>

#include <string>

#include "platform/path_space.h"

namespace folvane {

namespace {

// The host path of the running executable, read from /proc/self/exe; "" when unknown.
std::string HostExecutablePath() {
    std::string buffer(256, '\0');
    for (;;) {
        const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) return "";
        // A result that fills the buffer may have been cut short; try again with more room.
        if (static_cast<std::size_t>(length) < buffer.size()) return buffer.substr(0, length);
        if (buffer.size() > (1u << 20)) return "";
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

std::string ExecutableFolder() {
    const std::string executable = HostExecutablePath();
    const std::size_t slash = executable.rfind('/');
    if (executable.empty() || executable.front() != '/' || slash == std::string::npos) return "";
    return PathFromHost(slash == 0 ? "/" : executable.substr(0, slash));
}

std::string ExecutablePath() {
    const std::string executable = HostExecutablePath();
    if (executable.empty() || executable.front() != '/') return "";
    return PathFromHost(executable);
}

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    if (argc < 2 || argv == nullptr) return {};
    return std::vector<std::string>(argv + 1, argv + argc);
}

}  // namespace folvane

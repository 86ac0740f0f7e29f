#include "platform/process.h"

#include <windows.h>
// after windows.h, which they need
#include <shellapi.h>

#include "platform/win32/wide.h"
#include "platform/win32/win_path.h"

namespace folvane {

namespace {

// GetModuleFileNameW fills the buffer and cuts the path short when it does not fit, without
// saying how much room it needs.
std::wstring ModulePath() {
    std::wstring buffer(MAX_PATH, L'\0');
    while (buffer.size() <= 32768) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return L"";
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
    return L"";
}

}  // namespace

std::string ExecutablePath() {
    return PathFromWide(ModulePath());
}

std::string ExecutableFolder() {
    const std::string executable = ExecutablePath();
    const std::size_t separator = executable.rfind('\\');
    if (separator == std::string::npos) return "";
    // A drive root keeps its "\" ("C:\").
    if (separator == 2 && executable[1] == ':') return executable.substr(0, 3);
    return executable.substr(0, separator);
}

std::vector<std::string> ProgramArguments(int, char**) {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments == nullptr) return {};
    std::vector<std::string> texts;
    for (int k = 1; k < count; ++k)
        texts.push_back(Utf8FromWide(arguments[k]));
    LocalFree(arguments);
    return texts;
}

}  // namespace folvane

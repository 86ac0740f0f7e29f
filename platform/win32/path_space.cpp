// The path space on Windows: a path-space path is a Windows path, so the mapping is the
// identity but for the drives and shares that tests map onto host folders.

#include "platform/path_space.h"

#include <windows.h>

#include "platform/test_hooks.h"
#include "platform/win32/wide.h"
#include "platform/win32/win_path.h"

namespace folvane {

namespace {

char AsciiUpperChar(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::wstring FullPathOf(const std::wstring& path) {
    return GrowingWideQuery([&](wchar_t* buffer, DWORD size) {
        return GetFullPathNameW(path.c_str(), size, buffer, nullptr);
    });
}

// A folder as the program names it: no final "\" except at a root ("C:\").
std::string WithoutFinalBackslash(std::string folder) {
    while (folder.size() > 3 && folder.ends_with('\\') && !folder.ends_with(":\\"))
        folder.pop_back();
    return folder;
}

}  // namespace

std::optional<std::string> HostPathOf(std::string_view path) {
    return WindowsPathOf(path);
}

std::string PathFromHost(std::string_view hostPath) {
    std::wstring wide = WideFromUtf8(hostPath);
    for (wchar_t& c : wide)
        if (c == L'/') c = L'\\';
    if (wide.starts_with(L"\\\\?\\")) return WithoutFinalBackslash(PathFromWide(wide));
    // A relative path is taken from the current folder, "C:x" from the drive's own.
    const std::wstring full = FullPathOf(wide);
    return WithoutFinalBackslash(PathFromWide(full.empty() ? wide : full));
}

std::string NameFromHost(std::string_view hostName) {
    return std::string(hostName);
}

std::string HostName(std::string_view name) {
    return std::string(name);
}

std::string ProcessCurrentFolder() {
    const std::wstring folder =
        GrowingWideQuery([](wchar_t* buffer, DWORD size) { return GetCurrentDirectoryW(size, buffer); });
    return WithoutFinalBackslash(PathFromWide(folder));
}

std::string DriveCurrentFolder(char driveLetter) {
    const char drive = AsciiUpperChar(driveLetter);
    if (auto mapped = MappedDriveCurrentFolder(drive)) return *mapped;
    const std::string root{drive, ':', '\\'};
    if (drive < 'A' || drive > 'Z') return root;
    // "D:" alone names the drive's current folder, which Windows keeps per drive.
    const std::wstring full = FullPathOf(std::wstring{static_cast<wchar_t>(drive), L':'});
    const std::string folder = WithoutFinalBackslash(PathFromWide(full));
    if (folder.size() < 3 || AsciiUpperChar(folder[0]) != drive || folder[1] != ':') return root;
    return folder;
}

}  // namespace folvane

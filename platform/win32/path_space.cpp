// The path space on Windows: a path-space path is a Windows path, so the mapping is the
// identity but for the drives and shares that tests map onto host folders.

#include "platform/path_space.h"

#include <windows.h>

#include "platform/root_text.h"
#include "platform/test_hooks.h"
#include "platform/text.h"
#include "platform/win32/wide.h"
#include "platform/win32/win_path.h"

namespace folvane {

namespace {

std::string WithBackslashes(std::string_view path) {
    std::string converted(path);
    for (char& c : converted)
        if (c == '/') c = '\\';
    return converted;
}

// Repeated "\" count as one after the first keep characters (the "\\" of a share).
std::string CollapsedSeparators(std::string_view path, std::size_t keep) {
    std::string collapsed(path.substr(0, keep));
    for (std::size_t k = keep; k < path.size(); ++k)
        if (path[k] != '\\' || !collapsed.ends_with('\\')) collapsed += path[k];
    return collapsed;
}

std::wstring FullPathOf(const std::wstring& path) {
    return GrowingWideQuery(
        [&](wchar_t* buffer, DWORD size) { return GetFullPathNameW(path.c_str(), size, buffer, nullptr); });
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
    std::string path = WithBackslashes(hostPath);
    if (path.starts_with("\\\\?\\")) return WithoutFinalBackslash(PathFromWide(WideFromUtf8(path)));
    if (path.starts_with("\\\\")) return WithoutFinalBackslash(CollapsedSeparators(path, 2));
    // A relative path is taken from the current folder ("x"), the drive's own ("C:x") or the
    // current drive's root ("\x"). The joining is done here, not by GetFullPathNameW, which
    // would turn a name such as "CON" into the console device.
    std::string base;
    std::size_t restStart = 0;
    if (path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == ':') {
        if (path.size() >= 3 && path[2] == '\\') return WithoutFinalBackslash(CollapsedSeparators(path, 0));
        base = DriveCurrentFolder(path[0]);
        restStart = 2;
    } else if (path.starts_with('\\')) {
        base = RootFromText(ProcessCurrentFolder());
        restStart = 1;
    } else {
        base = ProcessCurrentFolder();
    }
    if (base.empty()) return "";
    if (restStart == path.size()) return base;
    if (!base.ends_with('\\')) base += '\\';
    return WithoutFinalBackslash(CollapsedSeparators(base + path.substr(restStart), 0));
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

// Windows reads these URLs itself: a drive path after "file:///", a share after "file://".
std::string FileUrlOf(std::string_view path) {
    const std::string slashed = ReplaceAll(path, "\\", "/");
    if (path.starts_with("\\\\")) return "file:" + slashed;
    if (path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == ':') return "file:///" + slashed;
    return slashed;
}

}  // namespace folvane

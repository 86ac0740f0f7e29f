#include "platform/win32/win_path.h"

#include <windows.h>

#include <vector>

#include "platform/test_hooks.h"
#include "platform/text.h"
#include "platform/win32/wide.h"

namespace folvane {

namespace {

constexpr std::wstring_view kExtendedPrefix = L"\\\\?\\";
constexpr std::wstring_view kExtendedUncPrefix = L"\\\\?\\UNC\\";

// A mapped host folder as a root to join components to: "/" as "\", ending in "\".
std::string AsRoot(std::string folder) {
    for (char& c : folder)
        if (c == '/') c = '\\';
    if (!folder.ends_with('\\')) folder += '\\';
    return folder;
}

// A path-space path taken apart: the root in Windows form, ending in "\" ("C:\", "\\srv\shr\"
// or a mapped host folder), and the rest after the path-space root.
struct RootedPath {
    std::string root;
    std::string_view rest;
};

std::optional<RootedPath> SplitSharePath(std::string_view path) {
    const std::size_t serverEnd = path.find('\\', 2);
    if (serverEnd == std::string_view::npos || serverEnd == 2) return std::nullopt;
    const std::string_view server = path.substr(2, serverEnd - 2);
    // "\\?\" and "\\.\" open the device namespace, where a name may be a disk or a pipe.
    if (server == "?" || server == ".") return std::nullopt;
    const std::size_t shareEnd = std::min(path.find('\\', serverEnd + 1), path.size());
    if (shareEnd == serverEnd + 1) return std::nullopt;
    const std::string_view share = path.substr(serverEnd + 1, shareEnd - serverEnd - 1);
    auto mapped = MappedShareRoot(server, share);
    std::string root = mapped ? AsRoot(std::move(*mapped)) : std::string(path.substr(0, shareEnd)) + "\\";
    return RootedPath{std::move(root), path.substr(shareEnd)};
}

std::optional<RootedPath> SplitDrivePath(std::string_view path) {
    // "C:" alone and "C:x" are relative to the drive's current folder, so not absolute.
    if (path.size() < 3 || !IsAsciiLetter(path[0]) || path[1] != ':' || path[2] != '\\') return std::nullopt;
    auto mapped = MappedDriveRoot(path[0]);
    std::string root = mapped ? AsRoot(std::move(*mapped)) : std::string(path.substr(0, 3));
    return RootedPath{std::move(root), path.substr(2)};
}

std::optional<RootedPath> SplitRoot(std::string_view path) {
    if (path.starts_with("\\\\")) return SplitSharePath(path);
    return SplitDrivePath(path);
}

// The components of rest after "." and "..", or nullopt when one cannot be a Windows name.
std::optional<std::vector<std::string_view>> NormalComponents(std::string_view rest) {
    std::vector<std::string_view> components;
    std::size_t start = 0;
    while (start <= rest.size()) {
        const std::size_t end = std::min(rest.find('\\', start), rest.size());
        const std::string_view name = rest.substr(start, end - start);
        start = end + 1;
        if (name.empty() || name == ".") continue;
        if (name == "..") {
            if (!components.empty()) components.pop_back();
            continue;
        }
        if (name.find_first_of(std::string_view("/\0", 2)) != std::string_view::npos) return std::nullopt;
        components.push_back(name);
    }
    return components;
}

}  // namespace

std::optional<std::string> WindowsPathOf(std::string_view path) {
    const auto rooted = SplitRoot(path);
    if (!rooted) return std::nullopt;
    const auto components = NormalComponents(rooted->rest);
    if (!components) return std::nullopt;
    std::string windowsPath = rooted->root;
    for (std::size_t k = 0; k < components->size(); ++k) {
        if (k > 0) windowsPath += '\\';
        windowsPath += (*components)[k];
    }
    // A final "\" demands a folder, as it does in an ordinary path.
    if (!components->empty() && rooted->rest.ends_with('\\')) windowsPath += '\\';
    return windowsPath;
}

std::wstring ExtendedForm(std::string_view windowsPath) {
    if (windowsPath.starts_with("\\\\"))
        return std::wstring(kExtendedUncPrefix) + WideFromUtf8(windowsPath.substr(2));
    return std::wstring(kExtendedPrefix) + WideFromUtf8(windowsPath);
}

std::optional<std::wstring> ExtendedPathOf(std::string_view path) {
    const auto windowsPath = WindowsPathOf(path);
    if (!windowsPath) return std::nullopt;
    return ExtendedForm(*windowsPath);
}

std::optional<std::wstring> ApiPathOf(std::string_view path) {
    const auto windowsPath = WindowsPathOf(path);
    if (!windowsPath) return std::nullopt;
    std::wstring plain = WideFromUtf8(*windowsPath);
    if (plain.size() < MAX_PATH) return plain;
    return ExtendedForm(*windowsPath);
}

std::string PathFromWide(std::wstring_view path) {
    if (path.starts_with(kExtendedUncPrefix)) {
        return "\\\\" + Utf8FromWide(path.substr(kExtendedUncPrefix.size()));
    }
    if (path.starts_with(kExtendedPrefix)) return Utf8FromWide(path.substr(kExtendedPrefix.size()));
    return Utf8FromWide(path);
}

std::wstring ParentOfExtended(std::wstring_view path) {
    while (path.ends_with(L'\\'))
        path.remove_suffix(1);
    // The root ("\\?\C:", "\\?\UNC\srv\shr") has no parent.
    std::size_t rootLength = kExtendedPrefix.size() + 2;
    if (path.starts_with(kExtendedUncPrefix)) {
        const std::size_t serverEnd = path.find(L'\\', kExtendedUncPrefix.size());
        rootLength = serverEnd == std::wstring_view::npos
                         ? path.size()
                         : std::min(path.find(L'\\', serverEnd + 1), path.size());
    }
    const std::size_t separator = path.rfind(L'\\');
    if (separator == std::wstring_view::npos || separator < rootLength) return L"";
    return std::wstring(path.substr(0, separator));
}

}  // namespace folvane

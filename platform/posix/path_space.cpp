#include "platform/path_space.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>
#include <vector>

#include "platform/posix/host_open.h"
#include "platform/posix/path_space_internal.h"
#include "platform/test_hooks.h"
#include "platform/text.h"

namespace folvane {

namespace {

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return AsciiUpperChar(x) == AsciiUpperChar(y);
           });
}

// A host folder without its trailing "/" (the host root stays "/").
std::string WithoutTrailingSlash(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder.empty() ? "/" : folder;
}

// ---- Host folders -----------------------------------------------------------------------------

std::string JoinHost(std::string_view folder, std::string_view name) {
    std::string joined(folder);
    if (joined.empty() || joined.back() != '/') joined += '/';
    joined += name;
    return joined;
}

bool HostEntryExists(const std::string& hostPath) {
    struct stat facts {};
    // Also beyond the host's path length limit, so that a deep path spelled as stored is settled
    // by one query instead of a lookup of every component.
    return StatHostPath(hostPath, facts, HostLinks::kReportLink);
}

// The entry of hostFolder whose name equals name ignoring ASCII letter case. When a folder
// holds several such entries (possible on case-sensitive file systems), the smallest by byte
// order wins, so the answer does not depend on the order the directory lists them in.
std::optional<std::string> EntryIgnoringCase(const std::string& hostFolder, std::string_view name) {
    HostDirectory folder(hostFolder);
    std::optional<std::string> best;
    while (const auto entry = folder.NextName()) {
        if (!EqualIgnoringAsciiCase(*entry, name)) continue;
        if (!best || *entry < *best) best = *entry;
    }
    return best;
}

// The stored spelling of name inside hostFolder: the name itself when it exists exactly,
// else an entry equal to it ignoring ASCII case; nullopt when there is neither.
std::optional<std::string> StoredSpelling(const std::string& hostFolder, const std::string& name) {
    if (HostEntryExists(JoinHost(hostFolder, name))) return name;
    return EntryIgnoringCase(hostFolder, name);
}

// nullopt when the process's current folder has been removed or lies out of reach: nothing
// relative to it can then be found.
std::optional<std::string> HostCurrentFolder() {
    std::string buffer(256, '\0');
    for (;;) {
        if (getcwd(buffer.data(), buffer.size()) != nullptr && buffer[0] == '/') return buffer.c_str();
        if (errno != ERANGE || buffer.size() > (1u << 20)) return std::nullopt;
        buffer.resize(buffer.size() * 2);
    }
}

// ---- Path-space paths -------------------------------------------------------------------------

// A path-space path taken apart: the host folder its drive or share is mapped onto, and the
// rest after the root ("" or starting with "\").
struct RootedPath {
    std::string hostRoot;
    std::string_view rest;
};

std::optional<RootedPath> SplitDrivePath(std::string_view path) {
    // "C:" alone and "C:x" are relative to the drive's current folder, so not absolute.
    if (path.size() < 3 || !IsAsciiLetter(path[0]) || path[1] != ':' || path[2] != '\\') return std::nullopt;
    auto root = MappedDriveRoot(path[0]);
    if (!root && AsciiUpperChar(path[0]) == 'Z') root = "/";
    if (!root) return std::nullopt;
    return RootedPath{WithoutTrailingSlash(std::move(*root)), path.substr(2)};
}

std::optional<RootedPath> SplitSharePath(std::string_view path) {
    const std::size_t serverEnd = path.find('\\', 2);
    if (serverEnd == std::string_view::npos || serverEnd == 2) return std::nullopt;
    const std::size_t shareEnd = std::min(path.find('\\', serverEnd + 1), path.size());
    if (shareEnd == serverEnd + 1) return std::nullopt;
    auto root =
        MappedShareRoot(path.substr(2, serverEnd - 2), path.substr(serverEnd + 1, shareEnd - serverEnd - 1));
    if (!root) return std::nullopt;
    return RootedPath{WithoutTrailingSlash(std::move(*root)), path.substr(shareEnd)};
}

std::optional<RootedPath> SplitRoot(std::string_view path) {
    if (path.starts_with("\\\\")) return SplitSharePath(path);
    return SplitDrivePath(path);
}

// The host names of the components of rest; empty components ("a\\b") are skipped, as the
// host skips repeated "/". nullopt when a name cannot exist on the host.
std::optional<std::vector<std::string>> HostNamesOf(std::string_view rest) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start <= rest.size()) {
        const std::size_t end = std::min(rest.find('\\', start), rest.size());
        if (end > start) {
            std::string name = HostName(rest.substr(start, end - start));
            if (name.find_first_of(std::string_view("/\0", 2)) != std::string::npos) return std::nullopt;
            names.push_back(std::move(name));
        }
        start = end + 1;
    }
    return names;
}

bool IsDotEntry(std::string_view name) {
    return name == "." || name == "..";
}

std::string JoinAll(std::string root, const std::vector<std::string>& names) {
    for (const auto& name : names)
        root = JoinHost(root, name);
    return root;
}

// Builds the host path one component at a time, each in its stored spelling. Once a component
// is missing, those after it cannot exist either and are kept as typed.
std::string ResolveComponents(std::string root, const std::vector<std::string>& names) {
    std::string host = std::move(root);
    bool found = true;
    for (const auto& name : names) {
        std::optional<std::string> stored;
        if (found && !IsDotEntry(name)) {
            stored = StoredSpelling(host, name);
            found = stored.has_value();
        }
        host = JoinHost(host, stored ? *stored : name);
    }
    return host;
}

// ---- Names ------------------------------------------------------------------------------------

bool IsSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

// Code points that cannot stand in a path-space name as they are. DecodeUtf8 gives a surrogate
// both for a byte that is not well-formed UTF-8 and for an encoded surrogate, which is not
// valid UTF-8 either; escaping its bytes one by one keeps every host name recoverable.
bool NeedsEscape(char32_t c) {
    return c < 0x20 || c == U'\\' || IsSurrogate(c);
}

}  // namespace

std::string NameFromHost(std::string_view hostName) {
    std::string name;
    name.reserve(hostName.size());
    std::size_t pos = 0;
    while (pos < hostName.size()) {
        const std::size_t start = pos;
        if (NeedsEscape(DecodeUtf8(hostName, pos))) {
            pos = start + 1;
            AppendUtf8(name, kEscapeBase + static_cast<unsigned char>(hostName[start]));
        } else {
            name.append(hostName.substr(start, pos - start));
        }
    }
    return name;
}

std::string HostName(std::string_view name) {
    std::string hostName;
    hostName.reserve(name.size());
    std::size_t pos = 0;
    while (pos < name.size()) {
        const std::size_t start = pos;
        const char32_t c = DecodeUtf8(name, pos);
        if (IsEscapeCodePoint(c)) {
            hostName += static_cast<char>(c - kEscapeBase);
        } else {
            hostName.append(name.substr(start, pos - start));
        }
    }
    return hostName;
}

std::optional<std::string> SpelledHostPathOf(std::string_view path) {
    const auto rooted = SplitRoot(path);
    if (!rooted) return std::nullopt;
    const auto names = HostNamesOf(rooted->rest);
    if (!names) return std::nullopt;
    std::string host = JoinAll(WithoutTrailingSlash(rooted->hostRoot), *names);
    if (!names->empty() && rooted->rest.ends_with('\\')) host += '/';
    return host;
}

HostDescriptor OpenPathSpacePath(std::string_view path, int flags) {
    HostDescriptor opened;
    // A walk names entries as they are stored, so the spelling as given nearly always opens;
    // only a path typed in other letter case needs the lookup of its stored spelling.
    if (const auto spelled = SpelledHostPathOf(path)) opened = OpenHostPath(*spelled, flags);
    if (!opened.IsOpen()) {
        if (const auto host = HostPathOf(path)) opened = OpenHostPath(*host, flags);
    }
    return opened;
}

std::optional<std::string> HostPathOf(std::string_view path) {
    const auto rooted = SplitRoot(path);
    if (!rooted) return std::nullopt;
    const auto names = HostNamesOf(rooted->rest);
    if (!names) return std::nullopt;
    const std::string root = WithoutTrailingSlash(rooted->hostRoot);
    // Most paths are spelled as stored: one lookup of the whole path settles them.
    std::string host = JoinAll(root, *names);
    if (!HostEntryExists(host)) host = ResolveComponents(root, *names);
    // A trailing "\" demands a folder, as a trailing "/" does on the host.
    if (!names->empty() && rooted->rest.ends_with('\\')) host += '/';
    return host;
}

std::string PathFromHost(std::string_view hostPath) {
    std::string absolute(hostPath);
    if (!hostPath.starts_with('/')) {
        const auto current = HostCurrentFolder();
        if (!current) return "";
        absolute = JoinHost(*current, hostPath);
    }
    std::string path = "Z:";
    std::size_t start = 0;
    while (start < absolute.size()) {
        const std::size_t end = std::min(absolute.find('/', start), absolute.size());
        if (end > start) path += '\\' + NameFromHost(std::string_view(absolute).substr(start, end - start));
        start = end + 1;
    }
    if (path.size() == 2) path += '\\';
    return path;
}

std::string FileUrlOf(std::string_view path) {
    const std::string slashed = ReplaceAll(path, "\\", "/");
    if (path.starts_with("\\\\")) return "file:" + slashed;
    if (path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == ':') {
        // Z: is the host root, so its paths name host files.
        if (AsciiUpperChar(path[0]) != 'Z') return "file:///" + slashed;
        std::string rest = slashed.substr(2);
        if (!rest.starts_with('/')) rest.insert(0, "/");
        return "file://" + rest;
    }
    return slashed;
}

std::string ProcessCurrentFolder() {
    const auto current = HostCurrentFolder();
    return current ? PathFromHost(*current) : "";
}

std::string DriveCurrentFolder(char driveLetter) {
    const char drive = AsciiUpperChar(driveLetter);
    if (auto mapped = MappedDriveCurrentFolder(drive)) return *mapped;
    if (drive == 'Z') return ProcessCurrentFolder();
    return std::string{drive, ':', '\\'};
}

}  // namespace folvane

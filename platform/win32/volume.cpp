// Volume and disk queries on Windows: GetVolumePathNameW finds the volume that holds a path
// (a drive root, or the folder another volume is mounted on), GetVolumeInformationW and
// GetDiskFreeSpaceExW answer for it.

#include "platform/volume.h"

#include <windows.h>

#include <limits>

#include "platform/root_text.h"
#include "platform/test_hooks.h"
#include "platform/text.h"
#include "platform/win32/wide.h"
#include "platform/win32/win_path.h"

namespace folvane {

namespace {

// True for a full drive or share path ("C:\...", "\\srv\shr..."), whose volume can be asked.
bool IsAbsolute(std::string_view path) {
    if (path.starts_with("\\\\")) return true;
    return path.size() >= 3 && IsAsciiLetter(path[0]) && path[1] == ':' && path[2] == '\\';
}

bool IsMappedByTest(std::string_view path) {
    if (!path.starts_with("\\\\")) return MappedDriveRoot(path[0]).has_value();
    const std::size_t serverEnd = path.find('\\', 2);
    if (serverEnd == std::string_view::npos) return false;
    const std::size_t shareEnd = std::min(path.find('\\', serverEnd + 1), path.size());
    return MappedShareRoot(path.substr(2, serverEnd - 2),
                           path.substr(serverEnd + 1, shareEnd - serverEnd - 1))
        .has_value();
}

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The mount point of the volume that holds path (an API path), ending in "\"; "" on failure.
std::wstring VolumePathOf(const std::wstring& path) {
    std::wstring buffer(path.size() + MAX_PATH + 1, L'\0');
    if (!GetVolumePathNameW(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()))) return L"";
    buffer.resize(wcslen(buffer.c_str()));
    if (!buffer.empty() && !buffer.ends_with(L'\\')) buffer += L'\\';
    return buffer;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && AsciiUpper(text.substr(0, prefix.size())) == AsciiUpper(prefix);
}

// The nearest existing folder at or above an extended path, with a final "\"; "" when none.
std::wstring NearestFolder(std::wstring extended) {
    while (!extended.empty()) {
        std::wstring folder = extended;
        if (!folder.ends_with(L'\\')) folder += L'\\';
        if (IsFolder(folder)) return folder;
        extended = ParentOfExtended(extended);
    }
    return L"";
}

int64_t Saturated(ULONGLONG bytes) {
    constexpr auto kMax = static_cast<ULONGLONG>(std::numeric_limits<int64_t>::max());
    return static_cast<int64_t>(bytes > kMax ? kMax : bytes);
}

}  // namespace

std::string VolumeRootOf(std::string_view path) {
    std::string root = RootFromText(path);
    if (!IsAbsolute(path) || IsMappedByTest(path)) return root;
    const auto apiPath = ApiPathOf(path);
    if (!apiPath) return root;
    // A folder on a volume mounted inside another shows the folder it is mounted on.
    const std::string mountPoint = PathFromWide(VolumePathOf(*apiPath));
    return StartsWithIgnoringCase(mountPoint, root) ? mountPoint : root;
}

std::optional<VolumeFacts> QueryVolume(std::string_view root) {
    if (auto substitute = VolumeSubstituteFor(root)) return *substitute;
    const auto extended = ExtendedPathOf(root);
    const auto apiPath = ApiPathOf(root);
    if (!extended || !apiPath || !IsFolder(*extended)) return std::nullopt;
    const std::wstring volume = VolumePathOf(*apiPath);
    if (volume.empty()) return std::nullopt;
    wchar_t label[MAX_PATH + 1] = {};
    wchar_t fileSystem[MAX_PATH + 1] = {};
    DWORD serial = 0;
    DWORD maxComponent = 0;
    DWORD flags = 0;
    if (!GetVolumeInformationW(volume.c_str(), label, MAX_PATH + 1, &serial, &maxComponent, &flags,
                               fileSystem, MAX_PATH + 1)) {
        return std::nullopt;
    }
    return VolumeFacts{Utf8FromWide(label), serial, maxComponent, flags, Utf8FromWide(fileSystem)};
}

std::optional<DiskSpace> QueryDiskSpace(std::string_view path) {
    if (auto substitute = DiskSpaceSubstituteFor(path)) return *substitute;
    const auto extended = ExtendedPathOf(path);
    if (!extended) return std::nullopt;
    // Any folder of the volume answers; a path not yet created is answered for the volume it
    // would be created on.
    const std::wstring folder = NearestFolder(*extended);
    ULARGE_INTEGER available{};
    ULARGE_INTEGER total{};
    ULARGE_INTEGER free{};
    if (folder.empty() || !GetDiskFreeSpaceExW(folder.c_str(), &available, &total, &free))
        return std::nullopt;
    // All free bytes, also those a quota keeps from the caller.
    return DiskSpace{Saturated(free.QuadPart), Saturated(total.QuadPart)};
}

ListedVolume QueryListedVolume(std::string_view folder) {
    ListedVolume listed;
    listed.root = VolumeRootOf(folder);
    listed.volume = QueryVolume(listed.root);
    listed.space = QueryDiskSpace(listed.root);
    return listed;
}

}  // namespace folvane

// Deleting, probing and creating on Windows; the user's folders from SHGetKnownFolderPath.

#include "platform/file_write.h"

#include <windows.h>
// after windows.h, which they need
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <string>

#include "platform/win32/handles.h"
#include "platform/win32/replacing.h"
#include "platform/win32/wide.h"
#include "platform/win32/win_path.h"

namespace folvane {

namespace {

std::string KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    const HRESULT result = SHGetKnownFolderPath(id, 0, nullptr, &path);
    std::string folder = SUCCEEDED(result) && path != nullptr ? PathFromWide(path) : std::string();
    CoTaskMemFree(path);
    while (folder.size() > 3 && folder.ends_with('\\'))
        folder.pop_back();
    return folder;
}

}  // namespace

bool DeletePath(std::string_view path) {
    const auto extended = ExtendedPathOf(path);
    if (!extended) return false;
    const DWORD attributes = AttributesOf(*extended);
    if (!Exists(attributes) || IsFolder(attributes)) return false;
    return DeleteFileW(extended->c_str()) != FALSE;
}

bool CanWriteFolder(std::string_view folder) {
    const auto extended = ExtendedPathOf(folder);
    if (!extended || !IsFolder(AttributesOf(*extended))) return false;
    // Access rights, a read-only medium and the protection of folders such as Program Files
    // all decide it; only trying to create a file answers for every one of them.
    std::wstring probeFolder = *extended;
    while (probeFolder.ends_with(L'\\'))
        probeFolder.pop_back();
    std::wstring probe;
    FileHandle file = CreateTemporary(probeFolder, L"folvane-probe", probe);
    if (!file.IsOpen()) return false;
    file.Close();
    DeleteFileW(probe.c_str());
    return true;
}

std::string UserConfigFolder() {
    return KnownFolder(FOLDERID_RoamingAppData);
}

std::string_view ProgramConfigFolderName() {
    return "Folvane";
}

std::string UserDataFolder() {
    return KnownFolder(FOLDERID_LocalAppData);
}

bool MakeFolders(std::string_view folder) {
    const auto windowsPath = WindowsPathOf(folder);
    if (!windowsPath) return false;
    const std::wstring extended = ExtendedForm(*windowsPath);
    if (IsFolder(AttributesOf(extended))) return true;
    // The folders above first; a root always exists (or never will).
    const std::wstring parent = ParentOfExtended(extended);
    if (parent.empty()) return false;
    if (!IsFolder(AttributesOf(parent + L"\\")) && !MakeFolders(PathFromWide(parent))) return false;
    if (!CreateDirectoryW(extended.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
    return IsFolder(AttributesOf(extended));
}

}  // namespace folvane

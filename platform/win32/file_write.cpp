// Writing files on Windows: a temporary file beside the target, flushed and moved over it with
// MoveFileExW, which replaces the target in one step.

#include "platform/file_write.h"

#include <windows.h>
// after windows.h, which they need
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <string>

#include "platform/win32/handles.h"
#include "platform/win32/wide.h"
#include "platform/win32/win_path.h"

namespace folvane {

namespace {

DWORD AttributesOf(const std::wstring& extended) {
    return GetFileAttributesW(extended.c_str());
}

bool Exists(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(DWORD attributes) {
    return Exists(attributes) && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The file a write to extended should replace: what a symbolic link leads to, so that the
// link survives; the path itself otherwise, and also for a link that leads nowhere.
std::wstring ReplacedFile(const std::wstring& extended, DWORD attributes) {
    if (!Exists(attributes) || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) return extended;
    const FileHandle target(CreateFileW(extended.c_str(), 0,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!target.IsOpen()) return extended;
    const std::wstring resolved = GrowingWideQuery([&](wchar_t* buffer, DWORD size) {
        return GetFinalPathNameByHandleW(target.Get(), buffer, size, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    });
    return resolved.empty() ? extended : resolved;
}

// A name for the temporary file that no other writer picks: the target's name behind a dot
// (recognisable when a crash leaves it), the process id and a counter; CREATE_NEW settles any
// remaining clash. The target's name is shortened so that the whole stays within the usual
// 255-character limit of a name.
std::wstring TemporaryName(const std::wstring& folder, std::wstring_view name) {
    static std::atomic<unsigned> counter{0};
    return folder + L"\\." + std::wstring(name.substr(0, 180)) + L"." +
           std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(counter.fetch_add(1)) + L".tmp";
}

FileHandle CreateTemporary(const std::wstring& folder, std::wstring_view targetName, std::wstring& name) {
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        name = TemporaryName(folder, targetName);
        FileHandle file(
            CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.IsOpen()) return file;
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    name.clear();
    return FileHandle();
}

bool WriteAll(const FileHandle& file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file.Get(), bytes.data(), chunk, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

bool FillAndClose(FileHandle& file, std::string_view bytes) {
    const bool stored = WriteAll(file, bytes) && FlushFileBuffers(file.Get());
    const bool closed = file.Close();
    return stored && closed;
}

// The attributes the replacement takes over from the file it replaces (a hidden file stays
// hidden); a new file keeps those it was created with.
void KeepAttributes(const std::wstring& temporary, DWORD replaced) {
    if (!Exists(replaced)) return;
    const DWORD kept =
        replaced & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    if (kept != 0) SetFileAttributesW(temporary.c_str(), kept | FILE_ATTRIBUTE_ARCHIVE);
}

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

bool WriteFileReplacing(std::string_view path, std::string_view bytes) {
    // A final "\" demands a folder, and a folder is never replaced by a file.
    if (path.ends_with('\\')) return false;
    const auto extended = ExtendedPathOf(path);
    if (!extended) return false;
    const DWORD existing = AttributesOf(*extended);
    const std::wstring target = ReplacedFile(*extended, existing);
    const DWORD replaced = target == *extended ? existing : AttributesOf(target);
    // A read-only file is never replaced; MoveFileExW would refuse it too.
    if (IsFolder(replaced) || (Exists(replaced) && (replaced & FILE_ATTRIBUTE_READONLY) != 0)) return false;
    const std::wstring folder = ParentOfExtended(target);
    if (folder.empty() || !IsFolder(AttributesOf(folder + L"\\"))) return false;

    std::wstring temporary;
    FileHandle file = CreateTemporary(folder, std::wstring_view(target).substr(folder.size() + 1), temporary);
    if (!file.IsOpen()) return false;
    const bool filled = FillAndClose(file, bytes);
    if (filled) KeepAttributes(temporary, replaced);
    if (!filled ||
        !MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}

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

#include "tests/support/host_files.h"

#include <windows.h>
#include <winioctl.h>

#include <string>

namespace folvane::testing {

namespace {

// The "\\?\" form of an absolute path, which takes every name literally and has no length limit.
std::wstring ExtendedFormOf(const std::filesystem::path& path) {
    std::wstring text = std::filesystem::absolute(path).wstring();
    for (wchar_t& c : text)
        if (c == L'/') c = L'\\';
    if (text.starts_with(L"\\\\?\\")) return text;
    if (text.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + text.substr(2);
    return L"\\\\?\\" + text;
}

void RemoveExtendedTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found{};
    const HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring entry = folder + L"\\" + name;
            SetFileAttributesW(entry.c_str(), FILE_ATTRIBUTE_NORMAL);
            const DWORD attributes = found.dwFileAttributes;
            if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
                DeleteFileW(entry.c_str());
            } else if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
                RemoveDirectoryW(entry.c_str());  // a link to a folder goes, what it leads to stays
            } else {
                RemoveExtendedTree(entry);
            }
        } while (FindNextFileW(find, &found));
        FindClose(find);
    }
    SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW(folder.c_str());
}

bool AddAttributes(const std::filesystem::path& path, DWORD added) {
    const std::wstring extended = ExtendedFormOf(path);
    const DWORD attributes = GetFileAttributesW(extended.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           SetFileAttributesW(extended.c_str(), attributes | added) != FALSE;
}

}  // namespace

std::filesystem::path HostTestTempBase() {
    const DWORD size = GetEnvironmentVariableW(L"FOLVANE_TEST_TEMP", nullptr, 0);
    if (size > 1) {
        std::wstring chosen(size, L'\0');
        chosen.resize(GetEnvironmentVariableW(L"FOLVANE_TEST_TEMP", chosen.data(), size));
        return chosen;
    }
    return std::filesystem::temp_directory_path();
}

bool SetHostUpdated(const std::filesystem::path& path, int64_t utcSeconds) {
    // FILE_FLAG_BACKUP_SEMANTICS opens folders too; only the right to change attributes is asked.
    const HANDLE file = CreateFileW(ExtendedFormOf(path).c_str(), FILE_WRITE_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const auto ticks = static_cast<uint64_t>((utcSeconds + 11'644'473'600LL) * 10'000'000LL);
    const FILETIME time{static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
    const bool set = SetFileTime(file, nullptr, &time, &time) != FALSE;
    return CloseHandle(file) != FALSE && set;
}

bool SetHostHidden(const std::filesystem::path& path) {
    return AddAttributes(path, FILE_ATTRIBUTE_HIDDEN);
}

bool SetHostReadOnly(const std::filesystem::path& path) {
    return AddAttributes(path, FILE_ATTRIBUTE_READONLY);
}

bool SetHostSparseLength(const std::filesystem::path& file, uint64_t length) {
    const HANDLE handle = CreateFileW(ExtendedFormOf(file).c_str(), GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    DWORD returned = 0;
    // A volume without sparse files still takes the length, only with its space allocated.
    DeviceIoControl(handle, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(length);
    const bool set =
        SetFilePointerEx(handle, end, nullptr, FILE_BEGIN) != FALSE && SetEndOfFile(handle) != FALSE;
    return CloseHandle(handle) != FALSE && set;
}

void RemoveHostTree(const std::filesystem::path& folder) {
    RemoveExtendedTree(ExtendedFormOf(folder));
}

}  // namespace folvane::testing

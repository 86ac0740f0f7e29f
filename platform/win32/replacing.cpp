#include "platform/win32/replacing.h"

#include <atomic>

namespace folvane {

namespace {

// A name for the temporary file that no other writer picks: the target's name behind a dot
// (recognisable when a crash leaves it), the process id and a counter; CREATE_NEW settles any
// remaining clash. The target's name is shortened so that the whole stays within the usual
// 255-character limit of a name.
std::wstring TemporaryName(const std::wstring& folder, std::wstring_view name) {
    static std::atomic<unsigned> counter{0};
    return folder + L"\\." + std::wstring(name.substr(0, 180)) + L"." +
           std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(counter.fetch_add(1)) + L".tmp";
}

}  // namespace

DWORD AttributesOf(const std::wstring& extended) {
    return GetFileAttributesW(extended.c_str());
}

bool Exists(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(DWORD attributes) {
    return Exists(attributes) && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
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

}  // namespace folvane

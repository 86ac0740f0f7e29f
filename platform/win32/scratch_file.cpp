// ScratchFile on Windows: a file in the temporary folder (GetTempPathW) that the system deletes
// when its one handle closes (FILE_FLAG_DELETE_ON_CLOSE), also when the process is killed. No
// other program may open it meanwhile.

#include "platform/scratch_file.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>

#include "platform/win32/handles.h"
#include "platform/win32/wide.h"

namespace folvane {

struct ScratchFile::Backend {
    FileHandle file;
};

namespace {

std::wstring TemporaryFolder() {
    return GrowingWideQuery([](wchar_t* buffer, DWORD size) { return GetTempPathW(size, buffer); });
}

FileHandle MakeScratchFile(const std::wstring& folder) {
    static std::atomic<unsigned> counter{0};
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        const std::wstring name = folder + L"folvane-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                  std::to_wstring(counter.fetch_add(1)) + L".tmp";
        FileHandle file(CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_DELETE, nullptr,
                                    CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE,
                                    nullptr));
        if (file.IsOpen()) return file;
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    return FileHandle();
}

OVERLAPPED At(int64_t offset) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(static_cast<uint64_t>(offset) & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(static_cast<uint64_t>(offset) >> 32);
    return at;
}

DWORD ChunkOf(std::size_t size) {
    return static_cast<DWORD>(std::min<std::size_t>(size, std::size_t{1} << 30));
}

}  // namespace

ScratchFile::ScratchFile() = default;
ScratchFile::ScratchFile(ScratchFile&& other) noexcept = default;
ScratchFile& ScratchFile::operator=(ScratchFile&& other) noexcept = default;
ScratchFile::~ScratchFile() = default;

bool ScratchFile::Create() {
    const std::wstring folder = TemporaryFolder();
    if (folder.empty()) return false;
    FileHandle file = MakeScratchFile(folder.ends_with(L'\\') ? folder : folder + L'\\');
    if (!file.IsOpen()) return false;
    backend_ = std::make_unique<Backend>();
    backend_->file = std::move(file);
    return true;
}

bool ScratchFile::IsOpen() const {
    return backend_ != nullptr && backend_->file.IsOpen();
}

bool ScratchFile::WriteAt(int64_t offset, std::string_view bytes) {
    if (!IsOpen() || offset < 0) return false;
    while (!bytes.empty()) {
        OVERLAPPED at = At(offset);
        DWORD written = 0;
        if (!WriteFile(backend_->file.Get(), bytes.data(), ChunkOf(bytes.size()), &written, &at) ||
            written == 0)
            return false;
        bytes.remove_prefix(written);
        offset += written;
    }
    return true;
}

bool ScratchFile::ReadAt(int64_t offset, void* buffer, std::size_t size) const {
    if (!IsOpen() || offset < 0) return false;
    auto* bytes = static_cast<char*>(buffer);
    while (size > 0) {
        OVERLAPPED at = At(offset);
        DWORD got = 0;
        if (!ReadFile(backend_->file.Get(), bytes, ChunkOf(size), &got, &at) || got == 0) return false;
        bytes += got;
        size -= got;
        offset += got;
    }
    return true;
}

}  // namespace folvane

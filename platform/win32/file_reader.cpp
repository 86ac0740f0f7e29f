// FileReader on Windows: a shared read-only handle of a file on a disk.

#include <windows.h>

#include <algorithm>
#include <climits>
#include <utility>

#include "platform/file_system.h"
#include "platform/win32/file_open.h"
#include "platform/win32/win_path.h"

namespace folvane {

namespace {

HANDLE HandleOf(std::intptr_t value) {
    return reinterpret_cast<HANDLE>(value);
}

constexpr std::intptr_t kNoFile = -1;  // INVALID_HANDLE_VALUE as stored

// ReadFile counts in DWORDs; a signed 32-bit count also fits the caller's ptrdiff_t on 32-bit
// Windows.
DWORD ChunkOf(std::size_t size) {
    return static_cast<DWORD>(std::min<std::size_t>(size, INT_MAX));
}

}  // namespace

FileReader::FileReader(FileReader&& other) noexcept
    : handle_(std::exchange(other.handle_, kNoFile)), length_(std::exchange(other.length_, 0)) {}

FileReader& FileReader::operator=(FileReader&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = std::exchange(other.handle_, kNoFile);
        length_ = std::exchange(other.length_, 0);
    }
    return *this;
}

FileReader::~FileReader() {
    Close();
}

bool FileReader::Open(std::string_view path) {
    Close();
    const auto extended = ExtendedPathOf(path);
    if (!extended) return false;
    int64_t length = 0;
    FileHandle file = OpenFileForReading(*extended, length);
    if (!file.IsOpen()) return false;
    handle_ = reinterpret_cast<std::intptr_t>(file.Release());
    length_ = length;
    return true;
}

std::ptrdiff_t FileReader::Read(void* buffer, std::size_t size) {
    if (handle_ == kNoFile) return -1;
    DWORD got = 0;
    if (!ReadFile(HandleOf(handle_), buffer, ChunkOf(size), &got, nullptr)) return -1;
    return static_cast<std::ptrdiff_t>(got);
}

std::ptrdiff_t FileReader::ReadAt(int64_t offset, void* buffer, std::size_t size) {
    if (handle_ == kNoFile || offset < 0) return -1;
    // A read at an offset moves the position of a synchronous handle, so the position Read
    // continues from is put back afterwards.
    LARGE_INTEGER position{};
    if (!SetFilePointerEx(HandleOf(handle_), LARGE_INTEGER{}, &position, FILE_CURRENT)) return -1;
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(static_cast<uint64_t>(offset) & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(static_cast<uint64_t>(offset) >> 32);
    DWORD got = 0;
    const bool read = ReadFile(HandleOf(handle_), buffer, ChunkOf(size), &got, &at) != FALSE;
    const DWORD error = read ? ERROR_SUCCESS : GetLastError();
    SetFilePointerEx(HandleOf(handle_), position, nullptr, FILE_BEGIN);
    // An offset so far out that the end of the read would overflow is refused as a parameter
    // error rather than answered as the end of the file.
    LARGE_INTEGER length{};
    const bool atEnd = error == ERROR_HANDLE_EOF ||
                       (!read && GetFileSizeEx(HandleOf(handle_), &length) && offset >= length.QuadPart);
    if (atEnd) return 0;
    return read ? static_cast<std::ptrdiff_t>(got) : -1;
}

bool FileReader::Close() {
    if (handle_ == kNoFile) return false;
    length_ = 0;
    return CloseHandle(HandleOf(std::exchange(handle_, kNoFile))) != FALSE;
}

}  // namespace folvane

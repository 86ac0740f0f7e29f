#pragma once
// Owners of Win32 handles, Windows backend only. Each closes what it holds when it goes; Close()
// reports whether closing succeeded. Not copyable; movable.

#include <windows.h>

#include <utility>

namespace folvane {

// A handle that CloseFunction releases and Invalid() marks as empty.
template <typename Traits>
class UniqueHandle {
  public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, Traits::Invalid())) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            Close();
            handle_ = std::exchange(other.handle_, Traits::Invalid());
        }
        return *this;
    }
    ~UniqueHandle() {
        // The caller may still want to read why the call that made this handle failed.
        const DWORD saved = GetLastError();
        Close();
        SetLastError(saved);
    }

    bool IsOpen() const { return handle_ != Traits::Invalid(); }
    Handle Get() const { return handle_; }
    // Gives up ownership: the caller closes the handle returned.
    Handle Release() { return std::exchange(handle_, Traits::Invalid()); }
    // Closes the handle; false when closing failed or nothing was open.
    bool Close() {
        if (!IsOpen()) return false;
        return Traits::Close(std::exchange(handle_, Traits::Invalid()));
    }

  private:
    Handle handle_ = Traits::Invalid();
};

struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static bool Close(Handle handle) { return CloseHandle(handle) != FALSE; }
};

struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static bool Close(Handle handle) { return FindClose(handle) != FALSE; }
};

struct RegistryKeyTraits {
    using Handle = HKEY;
    static Handle Invalid() { return nullptr; }
    static bool Close(Handle handle) { return RegCloseKey(handle) == ERROR_SUCCESS; }
};

// A file or folder opened with CreateFileW.
using FileHandle = UniqueHandle<FileHandleTraits>;
// A search opened with FindFirstFileExW.
using FindHandle = UniqueHandle<FindHandleTraits>;
// An open registry key.
using RegistryKey = UniqueHandle<RegistryKeyTraits>;

}  // namespace folvane

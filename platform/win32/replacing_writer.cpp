// ReplacingWriter on Windows: the bytes go to a temporary file beside the target, which is
// flushed and then put in the target's place by ReplaceFileW (the replaced file's attributes,
// security and creation time carry over) or, for a new file or where ReplaceFileW cannot,
// MoveFileExW(MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH). Both leave the old file
// whole when they fail. The DOS devices (NUL, CON, COM1, ...) are written into in place.

#include <windows.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_write.h"
#include "platform/text.h"
#include "platform/win32/handles.h"
#include "platform/win32/replacing.h"
#include "platform/win32/wide.h"
#include "platform/win32/win_path.h"

namespace folvane {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The file a write to extended should replace: what a symbolic link leads to, so that the
// link survives; the path itself otherwise, and also for a link that leads nowhere.
std::wstring ReplacedFile(const std::wstring& extended, DWORD attributes) {
    if (!Exists(attributes) || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) return extended;
    const FileHandle target(CreateFileW(extended.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!target.IsOpen()) return extended;
    const std::wstring resolved = GrowingWideQuery([&](wchar_t* buffer, DWORD size) {
        return GetFinalPathNameByHandleW(target.Get(), buffer, size, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    });
    return resolved.empty() ? extended : resolved;
}

// The device a path's last name stands for in every folder, as Win32 reads ordinary paths:
// "NUL", "con.txt", "COM1 " name the devices; "\\.\NUL" for them, "" for any other name.
std::wstring DeviceNamed(std::string_view path) {
    std::string_view name = path.substr(path.rfind('\\') + 1);
    name = name.substr(0, name.find('.'));
    while (name.ends_with(' '))
        name.remove_suffix(1);
    const std::string upper = AsciiUpper(name);
    static constexpr std::array<std::string_view, 6> kPlain = {"CON", "PRN",    "AUX",
                                                               "NUL", "CONIN$", "CONOUT$"};
    bool device = std::find(kPlain.begin(), kPlain.end(), upper) != kPlain.end();
    if (upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT")))
        device = upper[3] >= '1' && upper[3] <= '9';
    if (!device) return L"";
    // The console's output is where "CON" is written.
    return L"\\\\.\\" + WideFromUtf8(upper == "CON" ? std::string("CONOUT$") : upper);
}

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

// A file with several names (hard links) is written over in place, so that every name shows
// the new content: the finished temporary file is copied into it.
bool CopyInto(const std::wstring& temporary, const std::wstring& target) {
    const FileHandle from(CreateFileW(temporary.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    const FileHandle to(
        CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!from.IsOpen() || !to.IsOpen() || !SetEndOfFile(to.Get())) return false;
    std::vector<char> block(std::size_t{1} << 18);
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(from.Get(), block.data(), static_cast<DWORD>(block.size()), &got, nullptr))
            return false;
        if (got == 0) break;
        if (!WriteAll(to.Get(), std::string_view(block.data(), got))) return false;
    }
    return FlushFileBuffers(to.Get()) != FALSE;
}

DWORD LinkCountOf(const std::wstring& file) {
    const FileHandle handle(
        CreateFileW(file.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!handle.IsOpen() || !GetFileInformationByHandle(handle.Get(), &info)) return 1;
    return info.nNumberOfLinks;
}

// The attributes a replacement made by MoveFileExW takes over from the file it replaces (a
// hidden file stays hidden); ReplaceFileW does this itself.
void KeepAttributes(const std::wstring& temporary, DWORD replaced) {
    if (!Exists(replaced)) return;
    const DWORD kept =
        replaced & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    if (kept != 0) SetFileAttributesW(temporary.c_str(), kept | FILE_ATTRIBUTE_ARCHIVE);
}

bool MoveInPlace(const std::wstring& temporary, const std::wstring& target, DWORD replaced) {
    if (Exists(replaced) && ReplaceFileW(target.c_str(), temporary.c_str(), nullptr,
                                         REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
        return true;
    }
    KeepAttributes(temporary, replaced);
    return MoveFileExW(temporary.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

}  // namespace

struct ReplacingWriter::State {
    FileHandle file;
    bool device = false;
    std::wstring temporary;  // "" for a device
    std::wstring target;
    DWORD replaced = INVALID_FILE_ATTRIBUTES;

    ~State() {
        file.Close();
        if (!temporary.empty()) DeleteFileW(temporary.c_str());
    }
};

ReplacingWriter::ReplacingWriter() = default;
ReplacingWriter::ReplacingWriter(ReplacingWriter&& other) noexcept = default;
ReplacingWriter& ReplacingWriter::operator=(ReplacingWriter&& other) noexcept = default;
ReplacingWriter::~ReplacingWriter() = default;

bool ReplacingWriter::Open(std::string_view path) {
    Abandon();
    // A final "\" demands a folder, and a folder is never replaced by a file.
    if (path.ends_with('\\')) return false;
    const auto extended = ExtendedPathOf(path);
    if (!extended) return false;
    auto state = std::make_unique<State>();
    if (const std::wstring device = DeviceNamed(path); !device.empty()) {
        state->file =
            FileHandle(CreateFileW(device.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, 0, nullptr));
        if (!state->file.IsOpen() || GetFileType(state->file.Get()) == FILE_TYPE_DISK) return false;
        state->device = true;
        state_ = std::move(state);
        return true;
    }
    const DWORD existing = AttributesOf(*extended);
    state->target = ReplacedFile(*extended, existing);
    state->replaced = state->target == *extended ? existing : AttributesOf(state->target);
    // A read-only file is never replaced; MoveFileExW and ReplaceFileW would refuse it too.
    if (IsFolder(state->replaced) ||
        (Exists(state->replaced) && (state->replaced & FILE_ATTRIBUTE_READONLY) != 0))
        return false;
    const std::wstring folder = ParentOfExtended(state->target);
    if (folder.empty() || !IsFolder(AttributesOf(folder + L"\\"))) return false;
    state->file =
        CreateTemporary(folder, std::wstring_view(state->target).substr(folder.size() + 1), state->temporary);
    if (!state->file.IsOpen()) return false;
    state_ = std::move(state);
    return true;
}

bool ReplacingWriter::Write(std::string_view bytes) {
    if (!state_) return false;
    if (WriteAll(state_->file.Get(), bytes)) return true;
    Abandon();
    return false;
}

bool ReplacingWriter::Commit() {
    if (!state_) return false;
    std::unique_ptr<State> state = std::move(state_);
    if (state->device) return state->file.Close();
    const bool stored = FlushFileBuffers(state->file.Get()) != FALSE;
    if (!state->file.Close() || !stored) return false;
    if (Exists(state->replaced) && LinkCountOf(state->target) > 1 &&
        CopyInto(state->temporary, state->target))
        return true;  // ~State removes the temporary file
    if (!MoveInPlace(state->temporary, state->target, state->replaced)) return false;
    state->temporary.clear();
    return true;
}

void ReplacingWriter::Abandon() {
    state_.reset();
}

bool WriteFileReplacing(std::string_view path, std::string_view bytes) {
    ReplacingWriter writer;
    return writer.Open(path) && writer.Write(bytes) && writer.Commit();
}

}  // namespace folvane

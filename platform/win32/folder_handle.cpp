// FolderHandle on Windows: a folder handle from CreateFileW (FILE_FLAG_BACKUP_SEMANTICS). Its
// entries come from GetFileInformationByHandleEx (FileIdBothDirectoryInfo), which gives every
// fact of an entry, its file id included, in the same answer as its name; whatever lies below
// the folder is opened relative to the handle with NtCreateFile, so no path is ever resolved
// from text again and the path length never grows with the depth of the walk.

#include <windows.h>
#include <winternl.h>

#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_system.h"
#include "platform/win32/handles.h"
#include "platform/win32/wide.h"
#include "platform/win32/win_facts.h"
#include "platform/win32/win_path.h"

namespace folvane {

struct FolderHandle::Backend {
    FileHandle folder;
    DWORD volumeSerial = 0;
    // The handle has one position in its list of entries; readers take turns.
    mutable std::mutex reading;
};

namespace {

constexpr ULONG kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr ACCESS_MASK kFolderAccess = FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE;

// Opens name (one component) relative to the open folder at; options are NtCreateFile's. An
// invalid handle when it cannot be opened.
FileHandle OpenRelative(HANDLE at, const std::wstring& name, ACCESS_MASK access, ULONG options) {
    if (name.empty() || name.size() * sizeof(wchar_t) > 0xFFFE) return FileHandle();
    UNICODE_STRING text;
    text.Buffer = const_cast<wchar_t*>(name.c_str());
    text.Length = static_cast<USHORT>(name.size() * sizeof(wchar_t));
    text.MaximumLength = text.Length;
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &text, OBJ_CASE_INSENSITIVE, at, nullptr);
    IO_STATUS_BLOCK status{};
    HANDLE opened = INVALID_HANDLE_VALUE;
    const NTSTATUS result =
        NtCreateFile(&opened, access, &attributes, &status, nullptr, 0, kShareAll, FILE_OPEN,
                     options | FILE_SYNCHRONOUS_IO_NONALERT | FILE_OPEN_FOR_BACKUP_INTENT, nullptr, 0);
    if (result < 0) return FileHandle();
    return FileHandle(opened);
}

// One path-space name as a component to open: no separators, no "." or "..".
std::optional<std::wstring> ComponentOf(std::string_view name) {
    if (name.empty() || name == "." || name == ".." || name.find_first_of("\\/") != std::string_view::npos)
        return std::nullopt;
    return WideFromUtf8(name);
}

bool IsFolderHandle(HANDLE handle, DWORD& volumeSerial, bool refuseLinks) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle, &info)) return false;
    volumeSerial = info.dwVolumeSerialNumber;
    if (refuseLinks && (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        FILE_ATTRIBUTE_TAG_INFO tag{};
        if (!GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tag, sizeof tag) ||
            IsLinkReparseTag(tag.FileAttributes, tag.ReparseTag)) {
            return false;
        }
    }
    return (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::wstring NameOf(const FILE_ID_BOTH_DIR_INFO& info) {
    return std::wstring(info.FileName, info.FileNameLength / sizeof(wchar_t));
}

// An entry's facts: a link reports what it leads to, or itself when that cannot be reached.
FileFacts EntryFacts(HANDLE folder, const FILE_ID_BOTH_DIR_INFO& info, DWORD volumeSerial) {
    FileFacts facts = FactsFromDirectoryInfo(info, volumeSerial);
    // For a reparse point the directory query gives the tag in place of the EA size.
    if (!IsLinkReparseTag(info.FileAttributes, info.EaSize)) return facts;
    facts.isLink = true;
    facts.isRegular = false;
    facts.size = 0;
    const FileHandle target = OpenRelative(folder, NameOf(info), FILE_READ_ATTRIBUTES | SYNCHRONIZE, 0);
    if (!target.IsOpen()) return facts;
    if (auto reached = FactsOfHandle(target.Get())) {
        facts = *reached;
        facts.isLink = true;
    }
    return facts;
}

bool IsDotName(const std::wstring& name) {
    return name == L"." || name == L"..";
}

}  // namespace

FolderHandle::FolderHandle() = default;
FolderHandle::FolderHandle(FolderHandle&& other) noexcept = default;
FolderHandle& FolderHandle::operator=(FolderHandle&& other) noexcept = default;
FolderHandle::~FolderHandle() = default;

bool FolderHandle::Open(std::string_view path) {
    Close();
    const auto extended = ExtendedPathOf(path);
    if (!extended) return false;
    FileHandle folder(CreateFileW(extended->c_str(), kFolderAccess, kShareAll, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    DWORD serial = 0;
    if (!folder.IsOpen() || !IsFolderHandle(folder.Get(), serial, false)) return false;
    backend_ = std::make_unique<Backend>();
    backend_->folder = std::move(folder);
    backend_->volumeSerial = serial;
    return true;
}

bool FolderHandle::OpenChild(const FolderHandle& parent, std::string_view name) {
    Close();
    const auto component = ComponentOf(name);
    if (!parent.IsOpen() || !component) return false;
    // FILE_OPEN_REPARSE_POINT opens a link itself, which IsFolderHandle then refuses.
    FileHandle folder = OpenRelative(parent.backend_->folder.Get(), *component, kFolderAccess,
                                     FILE_DIRECTORY_FILE | FILE_OPEN_REPARSE_POINT);
    DWORD serial = 0;
    if (!folder.IsOpen() || !IsFolderHandle(folder.Get(), serial, true)) return false;
    backend_ = std::make_unique<Backend>();
    backend_->folder = std::move(folder);
    backend_->volumeSerial = serial;
    return true;
}

bool FolderHandle::IsOpen() const {
    return backend_ != nullptr && backend_->folder.IsOpen();
}

bool FolderHandle::Close() {
    if (!backend_) return false;
    const bool closed = backend_->folder.Close();
    backend_.reset();
    return closed;
}

bool FolderHandle::ReadItems(std::vector<FolderItem>& items) const {
    if (!IsOpen()) return false;
    const std::lock_guard guard(backend_->reading);
    const HANDLE folder = backend_->folder.Get();
    // Entries are variable-sized records; 64 KiB holds hundreds of them per call.
    std::vector<unsigned long long> buffer(65536 / sizeof(unsigned long long));
    bool first = true;
    for (;;) {
        // The restart class begins from the first entry, whatever an earlier reader left.
        const auto infoClass = first ? FileIdBothDirectoryRestartInfo : FileIdBothDirectoryInfo;
        if (!GetFileInformationByHandleEx(folder, infoClass, buffer.data(),
                                          static_cast<DWORD>(buffer.size() * sizeof buffer[0]))) {
            const DWORD error = GetLastError();
            // An empty folder (a drive root holds no "." and "..") answers "no file" at once.
            return error == ERROR_NO_MORE_FILES || (first && error == ERROR_FILE_NOT_FOUND);
        }
        first = false;
        const auto* bytes = reinterpret_cast<const unsigned char*>(buffer.data());
        for (;;) {
            const auto& info = *reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(bytes);
            const std::wstring name = NameOf(info);
            if (!IsDotName(name)) {
                FolderItem& item = items.emplace_back();
                item.name = Utf8FromWide(name);
                item.facts = EntryFacts(folder, info, backend_->volumeSerial);
            }
            if (info.NextEntryOffset == 0) break;
            bytes += info.NextEntryOffset;
        }
    }
}

bool FolderHandle::OpenFile(std::string_view name, const FileFacts& facts, FileReader& reader) const {
    reader.Close();
    const auto component = ComponentOf(name);
    if (!IsOpen() || !facts.isRegular || !component) return false;
    // A link that has been put in place of the file since it was examined is opened as itself,
    // never followed, and then fails the identity check below.
    const ULONG follow = facts.isLink ? 0 : FILE_OPEN_REPARSE_POINT;
    FileHandle file = OpenRelative(backend_->folder.Get(), *component, GENERIC_READ | SYNCHRONIZE,
                                   FILE_NON_DIRECTORY_FILE | FILE_SEQUENTIAL_ONLY | follow);
    if (!file.IsOpen() || GetFileType(file.Get()) != FILE_TYPE_DISK) return false;
    const auto seen = FactsOfHandle(file.Get());
    if (!seen || !seen->isRegular || seen->identity != facts.identity) return false;
    // A relative open shares its position with nothing; reads continue from the start.
    reader.handle_ = reinterpret_cast<std::intptr_t>(file.Release());
    reader.length_ = seen->size;
    return true;
}

}  // namespace folvane

#include "platform/win32/folder_listing.h"

#include "platform/win32/wide.h"
#include "platform/win32/win_facts.h"

namespace folvane {

namespace {

bool IsFolderPath(const std::wstring& extended) {
    const DWORD attributes = GetFileAttributesW(extended.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

bool FolderListing::Open(const std::wstring& extendedFolder) {
    Close();
    folder_ = extendedFolder;
    if (!folder_.ends_with(L'\\')) folder_ += L'\\';
    // FindExInfoBasic leaves the short name out, which the file system then need not look up;
    // the large fetch asks for many entries per call.
    find_ = FindHandle(FindFirstFileExW((folder_ + L'*').c_str(), FindExInfoBasic, &pending_,
                                        FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (find_.IsOpen()) {
        hasPending_ = true;
        return true;
    }
    // A folder without any entry (a drive root holds no "." and "..") answers "no file found".
    return GetLastError() == ERROR_FILE_NOT_FOUND && IsFolderPath(folder_);
}

bool FolderListing::Next(FolderItem& item) {
    if (!hasPending_) return false;
    item.name = Utf8FromWide(pending_.cFileName);
    const bool dots = item.name == "." || item.name == "..";
    if (dots) {
        item.facts = FileFacts{};
        item.facts.attributes = kAttrFolder;
    } else {
        item.facts = ResolvedFacts(pending_, folder_ + pending_.cFileName);
    }
    hasPending_ = FindNextFileW(find_.Get(), &pending_) != FALSE;
    return true;
}

bool FolderListing::Close() {
    hasPending_ = false;
    return find_.Close();
}

}  // namespace folvane

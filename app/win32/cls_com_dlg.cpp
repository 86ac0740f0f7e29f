#include "app/win32/cls_com_dlg.h"

#include <commdlg.h>
#include <shlobj.h>

#include <vector>

#include "platform/path_space.h"
#include "platform/win32/wide.h"
#include "settings/path_utils.h"

namespace folvane {

namespace {

// Room for the longest path the wide-character API takes, so a long chosen path is never cut.
constexpr DWORD kFileBufferChars = 32768;

int CALLBACK FolderSelectCallback(HWND browser, UINT message, LPARAM, LPARAM data) {
    if (message == BFFM_INITIALIZED) SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, data);
    return 0;
}

}  // namespace

std::wstring DialogFilterList(std::string_view filter) {
    if (filter.empty()) return L"";
    std::wstring list = WideFromUtf8(filter);
    for (wchar_t& c : list) {
        if (c == L'|') c = L'\0';
    }
    list.push_back(L'\0');
    list.push_back(L'\0');
    return list;
}

void clsComDlg::Action(int action) {
    if (action != kOpenDialog && action != kSaveDialog) return;
    const std::wstring filter = DialogFilterList(Filter);
    const std::wstring title = WideFromUtf8(DialogTitle);
    const std::wstring initialFolder = WideFromUtf8(ParentFolder(FileName));
    std::vector<wchar_t> file(kFileBufferChars, L'\0');
    const std::wstring proposed = WideFromUtf8(FileNamePart(FileName));
    if (proposed.size() < kFileBufferChars) std::copy(proposed.begin(), proposed.end(), file.begin());

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = OwnerhWnd;
    dialog.hInstance = GetModuleHandleW(nullptr);
    dialog.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    dialog.nFilterIndex = static_cast<DWORD>(FilterIndex > 0 ? FilterIndex : 0);
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = kFileBufferChars;
    dialog.lpstrInitialDir = initialFolder.empty() ? nullptr : initialFolder.c_str();
    dialog.lpstrTitle = title.empty() ? nullptr : title.c_str();
    dialog.Flags = Flags;

    const BOOL confirmed = action == kOpenDialog ? GetOpenFileNameW(&dialog) : GetSaveFileNameW(&dialog);
    if (!confirmed) {
        FileName.clear();
        return;
    }
    FileName = Utf8FromWide(file.data());
    FilterIndex = static_cast<int32_t>(dialog.nFilterIndex);
}

std::string FolderSelect(HWND owner, const std::string& title, const std::string& initialFolder,
                         uint32_t flags) {
    const std::wstring preselect =
        WideFromUtf8(initialFolder.empty() ? ProcessCurrentFolder() : initialFolder);
    const std::wstring caption = WideFromUtf8(title);
    wchar_t displayName[MAX_PATH] = {};
    BROWSEINFOW browse{};
    browse.hwndOwner = owner;
    browse.pidlRoot = nullptr;
    browse.pszDisplayName = displayName;
    browse.lpszTitle = caption.c_str();
    browse.ulFlags = flags;
    browse.lpfn = FolderSelectCallback;
    browse.lParam = reinterpret_cast<LPARAM>(preselect.c_str());

    PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&browse);
    if (item == nullptr) return "";
    wchar_t path[MAX_PATH] = {};
    const bool hasPath = SHGetPathFromIDListW(item, path) != FALSE;
    CoTaskMemFree(item);
    return hasPath ? Utf8FromWide(path) : "";
}

}  // namespace folvane

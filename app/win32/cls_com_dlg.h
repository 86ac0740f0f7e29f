#pragma once
// The open-file and save-file dialog on the common dialogs (GetOpenFileNameW and
// GetSaveFileNameW), set up through properties and shown by writing Action, and the shell's
// folder browser (SHBrowseForFolderW). Texts and paths are UTF-8 path-space strings.

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace folvane {

class clsComDlg {
  public:
    static constexpr int kOpenDialog = 1;
    static constexpr int kSaveDialog = 2;

    std::string DialogTitle;
    // "|"-separated pairs of caption and pattern; several patterns in one pair separated by ";".
    std::string Filter;
    // The OFN_* option bits, handed to the dialog unchanged.
    uint32_t Flags = 0;
    HWND OwnerhWnd = nullptr;
    // Before: the proposed file (its folder is where the dialog starts, its name is pre-filled).
    // After: the chosen full path, or "" when the dialog was cancelled or failed.
    std::string FileName;
    // 1-based pair of Filter selected at the start; after a confirmed dialog, the pair chosen.
    int32_t FilterIndex = 1;
    // Kept only: no extension is ever appended to the chosen name.
    std::string DefaultExt;

    // kOpenDialog shows the open-file dialog, kSaveDialog the save-file dialog; returns when it
    // has closed. Any other value shows nothing.
    void Action(int action);
};

// The filter list of the common dialogs: every "|" becomes a NUL and the list ends with two
// NULs. An empty filter gives an empty list (no filter at all).
std::wstring DialogFilterList(std::string_view filter);

// The shell's folder browser over owner with title, preselecting initialFolder (the process's
// current folder when it is ""); flags are the BIF_* bits. The chosen folder's path, or ""
// when cancelled or when the item has no file-system path.
std::string FolderSelect(HWND owner, const std::string& title, const std::string& initialFolder,
                         uint32_t flags);

}  // namespace folvane

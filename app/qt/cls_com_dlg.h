#pragma once
// The open-file and save-file dialog, set up through properties and shown by writing Action.
// Texts and paths are path-space std::strings; only the owner is a Qt widget.

#include <QStringList>
#include <cstdint>
#include <string>
#include <string_view>

class QWidget;

namespace folvane {

class clsComDlg {
  public:
    static constexpr int kOpenDialog = 1;
    static constexpr int kSaveDialog = 2;

    std::string DialogTitle;
    // "|"-separated pairs of caption and pattern; several patterns in one pair separated by ";".
    std::string Filter;
    // The caller's option bits; kept, the dialog's behaviour does not depend on them.
    uint32_t Flags = 0;
    QWidget* OwnerhWnd = nullptr;
    // Before: the proposed file (its folder is where the dialog starts, its name is pre-filled).
    // After: the chosen full path, or "" when the dialog was cancelled.
    std::string FileName;
    // 1-based pair of Filter selected at the start; after a confirmed dialog, the pair chosen.
    int32_t FilterIndex = 1;
    // Kept only: no extension is ever appended to the chosen name.
    std::string DefaultExt;

    // kOpenDialog shows the open-file dialog, kSaveDialog the save-file dialog; returns when it
    // has closed. Any other value shows nothing. The dialog never asks about replacing a file.
    void Action(int action);
};

// The Qt name filters of a "caption|pattern|..." filter: "caption (pattern1 pattern2)". A
// pattern "*.*" becomes "*", which matches every file as it does on Windows; a caption
// without a pattern is dropped.
QStringList QtNameFilters(std::string_view filter);

}  // namespace folvane

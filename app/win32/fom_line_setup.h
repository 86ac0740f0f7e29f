#pragma once
// The tree-line dialog "罫線の設定": edits both sets of the tree-line table on a working copy,
// with a preview of a small tree drawn in the set being edited, in a fixed-pitch Japanese font.

#include <windows.h>

#include "app/win32/dialog_kit.h"
#include "settings/char_table.h"

namespace folvane {

// The face of the boxes and the preview: Japanese Windows' fixed-pitch gothic, in which a
// full-width character is as wide as two half-width ones.
inline constexpr wchar_t kTreeLineFace[] = L"ＭＳ ゴシック";

class fomLineSetup {
  public:
    // Shows the dialog modally over owner; only 保存 writes into chars.
    static void Show(HWND owner, CharTable& chars);

  private:
    explicit fomLineSetup(CharTable& chars) : chars_(chars), work_(chars) {}

  public:
    // The dialog's messages (HandlerDialogProc).
    bool OnInitDialog(HWND window);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    void OnCommand(int id, int notification);
    void FitPreviewToLines();
    void ShowPreview(bool shown);

    // Copies the five boxes into set of the working copy.
    void StoreBoxes(int set);
    // Puts set of the working copy into the boxes and rebuilds the preview.
    void ShowSet(int set);
    void RebuildPreview();

    CharTable& chars_;
    CharTable work_;
    int shownSet_ = 0;
    bool filling_ = false;
    bool previewShown_ = true;
    HWND hwnd_ = nullptr;
    OwnedFont cellFont_;
};

}  // namespace folvane

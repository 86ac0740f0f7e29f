#pragma once
// The caption dialog "ショートカット名称の設定": edits the caption of the context-menu entry.

#include <windows.h>

#include <string>

namespace folvane {

class fomTextInput {
  public:
    // Shows the dialog modally over owner with caption; the edited caption, or "" when the
    // dialog was cancelled.
    static std::string View(HWND owner, const std::string& caption);

  private:
    explicit fomTextInput(std::string caption) : caption_(std::move(caption)) {}
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void cmdExit_Click(HWND window);

    std::string caption_;
};

}  // namespace folvane

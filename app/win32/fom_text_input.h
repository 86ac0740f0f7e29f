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

    // The dialog's messages (HandlerDialogProc).
    bool OnInitDialog(HWND window);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    explicit fomTextInput(std::string caption) : caption_(std::move(caption)) {}
    void cmdExit_Click();

    std::string caption_;
    HWND hwnd_ = nullptr;
};

}  // namespace folvane

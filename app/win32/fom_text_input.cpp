#include "app/win32/fom_text_input.h"

#include "app/context_menu.h"
#include "app/win32/dialog_kit.h"
#include "app/win32/resource.h"
#include "platform/win32/wide.h"

namespace folvane {

std::string fomTextInput::View(HWND owner, const std::string& caption) {
    fomTextInput dialog(caption);
    return ShowModalDialog(owner, IDD_TEXT_INPUT, dialog) == IDOK ? dialog.caption_ : "";
}

bool fomTextInput::OnInitDialog(HWND window) {
    hwnd_ = window;
    SetItemText(window, IDC_TXTSHORTCUTCAPTION, caption_);
    return true;
}

INT_PTR fomTextInput::HandleMessage(UINT message, WPARAM wParam, LPARAM) {
    if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return FALSE;
    if (LOWORD(wParam) == IDOK) cmdExit_Click();
    if (LOWORD(wParam) == IDCANCEL) EndDialog(hwnd_, IDCANCEL);
    return TRUE;
}

void fomTextInput::cmdExit_Click() {
    const std::string text = ItemText(hwnd_, IDC_TXTSHORTCUTCAPTION);
    if (text.empty()) {
        ShowNotice(hwnd_, kCaptionEmptyMessage, MsgIcon::Exclamation);
        return;
    }
    // An unedited box keeps the caption byte for byte, even one the box could not hold exactly.
    if (WideFromUtf8(text) != WideFromUtf8(caption_)) caption_ = text;
    EndDialog(hwnd_, IDOK);
}

}  // namespace folvane

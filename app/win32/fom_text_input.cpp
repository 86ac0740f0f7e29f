#include "app/win32/fom_text_input.h"

#include "app/context_menu.h"
#include "app/win32/dialog_kit.h"
#include "app/win32/resource.h"
#include "platform/win32/wide.h"

namespace folvane {

std::string fomTextInput::View(HWND owner, const std::string& caption) {
    fomTextInput dialog(caption);
    const INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_TEXT_INPUT), owner,
                                           DialogProc, reinterpret_cast<LPARAM>(&dialog));
    return result == IDOK ? dialog.caption_ : "";
}

INT_PTR CALLBACK fomTextInput::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, GWLP_USERDATA, lParam);
        SetItemText(window, IDC_TXTSHORTCUTCAPTION, reinterpret_cast<fomTextInput*>(lParam)->caption_);
        return TRUE;
    }
    auto* self = reinterpret_cast<fomTextInput*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr || message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return FALSE;
    if (LOWORD(wParam) == IDOK) self->cmdExit_Click(window);
    if (LOWORD(wParam) == IDCANCEL) EndDialog(window, IDCANCEL);
    return TRUE;
}

void fomTextInput::cmdExit_Click(HWND window) {
    const std::string text = ItemText(window, IDC_TXTSHORTCUTCAPTION);
    if (text.empty()) {
        ShowNotice(window, kCaptionEmptyMessage, MsgIcon::Exclamation);
        return;
    }
    // An unedited box keeps the caption byte for byte, even one the box could not hold exactly.
    if (WideFromUtf8(text) != WideFromUtf8(caption_)) caption_ = text;
    EndDialog(window, IDOK);
}

}  // namespace folvane

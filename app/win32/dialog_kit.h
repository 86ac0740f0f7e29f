#pragma once
// Small helpers shared by the desktop program's windows: control texts as UTF-8, check boxes
// and groups of option buttons, message boxes under the program's title, and fonts.

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/ui_port.h"

namespace folvane {

// The text of a window or of control id of dialog, as UTF-8; "" when there is none.
std::string WindowText(HWND window);
std::string ItemText(HWND dialog, int id);
void SetItemText(HWND dialog, int id, std::string_view text);

bool IsItemChecked(HWND dialog, int id);
void CheckItem(HWND dialog, int id, bool checked);

// The index of the checked button among count option buttons with consecutive ids from
// firstId; -1 when none is checked.
int CheckedOption(HWND dialog, int firstId, int count);
// Checks button index (the first one when index is outside 0..count-1) and clears the others.
void SelectOption(HWND dialog, int firstId, int count, int index);

// The MessageBoxW style bits of a request: buttons, icon, default button, modal to its owner.
UINT MessageBoxStyle(const MessageRequest& request);

// Shows request modally over owner and returns the button chosen. An empty title becomes the
// program's title.
MsgAnswer ShowMessageBox(HWND owner, const MessageRequest& request);

// A message with an OK button and icon under the program's title.
void ShowNotice(HWND owner, std::string_view text, MsgIcon icon);

// A GDI font that deletes itself.
class OwnedFont {
  public:
    OwnedFont() = default;
    explicit OwnedFont(HFONT font) : font_(font) {}
    ~OwnedFont() { Reset(); }
    OwnedFont(const OwnedFont&) = delete;
    OwnedFont& operator=(const OwnedFont&) = delete;
    OwnedFont(OwnedFont&& other) noexcept : font_(other.font_) { other.font_ = nullptr; }
    OwnedFont& operator=(OwnedFont&& other) noexcept;

    HFONT get() const { return font_; }
    // Deletes the font; false when GDI refused.
    bool Reset();

  private:
    HFONT font_ = nullptr;
};

// A variant of the font a window uses, with face (when not empty) and underline changed; the
// size stays, so it follows the dialog's scaling.
OwnedFont FontLike(HWND window, const wchar_t* face, bool underline);

// The dialog procedure of a dialog whose messages go to an object, its creation parameter:
// WM_INITDIALOG to handler.OnInitDialog(window), which returns whether the system is to place
// the focus, and every later message to handler.HandleMessage(message, wParam, lParam).
template <typename Handler>
INT_PTR CALLBACK HandlerDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, GWLP_USERDATA, lParam);
        return reinterpret_cast<Handler*>(lParam)->OnInitDialog(window) ? TRUE : FALSE;
    }
    auto* handler = reinterpret_cast<Handler*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return handler != nullptr ? handler->HandleMessage(message, wParam, lParam) : FALSE;
}

// Shows dialog templateId of the program modally over owner with handler taking its messages;
// returns the dialog's result.
template <typename Handler>
INT_PTR ShowModalDialog(HWND owner, int templateId, Handler& handler) {
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), owner,
                           HandlerDialogProc<Handler>, reinterpret_cast<LPARAM>(&handler));
}

// The rectangle of a child window in its parent's client coordinates.
RECT ChildRect(HWND child);

}  // namespace folvane

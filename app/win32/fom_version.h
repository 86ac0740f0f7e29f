#pragma once
// The version dialog "バージョン情報": the program's icon, product name, version, copyright
// notice and a link to the home page.

#include <windows.h>

#include "app/win32/dialog_kit.h"

namespace folvane {

class fomVersion {
  public:
    // Shows the dialog modally over owner.
    static void Show(HWND owner);

    // The dialog's messages (HandlerDialogProc).
    bool OnInitDialog(HWND window);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    fomVersion() = default;
    static LRESULT CALLBACK LinkProc(HWND link, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR data);
    void FillTexts();
    void SetLinkHot(bool hot);

    HWND hwnd_ = nullptr;
    bool linkHot_ = false;
    OwnedFont linkFont_;
};

}  // namespace folvane

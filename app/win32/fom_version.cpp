#include "app/win32/fom_version.h"

#include <commctrl.h>

#include "app/product.h"
#include "app/win32/resource.h"
#include "platform/shell.h"
#include "render/title_blocks.h"

namespace folvane {

namespace {

constexpr UINT_PTR kLinkSubclassId = 1;
constexpr COLORREF kHotLinkColour = RGB(0, 0, 255);

}  // namespace

void fomVersion::Show(HWND owner) {
    fomVersion dialog;
    ShowModalDialog(owner, IDD_VERSION, dialog);
}

bool fomVersion::OnInitDialog(HWND window) {
    hwnd_ = window;
    const HWND link = GetDlgItem(window, IDC_LBLSUPORT);
    linkFont_ = FontLike(link, nullptr, true);
    SendMessageW(link, WM_SETFONT, reinterpret_cast<WPARAM>(linkFont_.get()), FALSE);
    SetItemText(window, IDC_LBLSUPORT, kHomePageAddress);
    SetWindowSubclass(link, LinkProc, kLinkSubclassId, reinterpret_cast<DWORD_PTR>(this));
    FillTexts();
    return true;
}

// The texts are rebuilt from scratch, so each activation shows the same.
void fomVersion::FillTexts() {
    SetItemText(hwnd_, IDC_LBLTEXT0, kProductName);
    SetItemText(hwnd_, IDC_LBLTEXT0 + 1, VersionText(kVersionMajor, kVersionMinor, kVersionRevision));
    SetItemText(hwnd_, IDC_LBLTEXT0 + 2, kCopyrightNotice);
}

void fomVersion::SetLinkHot(bool hot) {
    if (hot == linkHot_) return;
    linkHot_ = hot;
    InvalidateRect(GetDlgItem(hwnd_, IDC_LBLSUPORT), nullptr, TRUE);
}

INT_PTR fomVersion::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE) FillTexts();
            return FALSE;
        case WM_MOUSEMOVE:
            // Only the dialog's own background gives the link its usual colour back.
            SetLinkHot(false);
            return TRUE;
        case WM_CTLCOLORSTATIC:
            if (reinterpret_cast<HWND>(lParam) != GetDlgItem(hwnd_, IDC_LBLSUPORT)) return FALSE;
            SetTextColor(reinterpret_cast<HDC>(wParam),
                         linkHot_ ? kHotLinkColour : GetSysColor(COLOR_BTNTEXT));
            SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
            return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
        case WM_COMMAND:
            if (LOWORD(wParam) == IDC_LBLSUPORT && HIWORD(wParam) == STN_CLICKED) {
                // Whether a browser could be started is not reported; the dialog stays open.
                OpenWithDefaultHandler(ItemText(hwnd_, IDC_LBLSUPORT));
            } else if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                EndDialog(hwnd_, IDOK);
            }
            return TRUE;
        case WM_DESTROY:
            RemoveWindowSubclass(GetDlgItem(hwnd_, IDC_LBLSUPORT), LinkProc, kLinkSubclassId);
            return FALSE;
        default:
            return FALSE;
    }
}

LRESULT CALLBACK fomVersion::LinkProc(HWND link, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                      DWORD_PTR data) {
    auto* self = reinterpret_cast<fomVersion*>(data);
    if (message == WM_MOUSEMOVE) self->SetLinkHot(true);
    if (message == WM_SETCURSOR) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
    }
    return DefSubclassProc(link, message, wParam, lParam);
}

}  // namespace folvane

#include "app/win32/fom_line_setup.h"

#include <array>
#include <string>

#include "app/win32/resource.h"
#include "platform/win32/wide.h"
#include "render/char_table_preview.h"

namespace folvane {

namespace {

constexpr int kPreviewLines = 7;  // the rule line and the six lines of the sample tree
constexpr int kMovedByPreview[] = {IDC_LINE_CMDINITPARA, IDOK, IDCANCEL};

void MoveBy(HWND dialog, int id, int dy) {
    const HWND item = GetDlgItem(dialog, id);
    const RECT rect = ChildRect(item);
    SetWindowPos(item, nullptr, rect.left, rect.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void GrowWindowBy(HWND window, int dy) {
    RECT rect{};
    GetWindowRect(window, &rect);
    SetWindowPos(window, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top + dy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void fomLineSetup::Show(HWND owner, CharTable& chars) {
    fomLineSetup dialog(chars);
    ShowModalDialog(owner, IDD_LINE_SETUP, dialog);
}

INT_PTR fomLineSetup::HandleMessage(UINT message, WPARAM wParam, LPARAM) {
    if (message != WM_COMMAND) return FALSE;
    OnCommand(LOWORD(wParam), HIWORD(wParam));
    return TRUE;
}

bool fomLineSetup::OnInitDialog(HWND window) {
    hwnd_ = window;
    cellFont_ = FontLike(window, kTreeLineFace, false);
    for (int role = 0; role < kCharRoles; ++role)
        SendDlgItemMessageW(window, IDC_TXTCHARTABLE0 + role, WM_SETFONT,
                            reinterpret_cast<WPARAM>(cellFont_.get()), FALSE);
    SendDlgItemMessageW(window, IDC_TXTPREVIEW, WM_SETFONT, reinterpret_cast<WPARAM>(cellFont_.get()), FALSE);
    FitPreviewToLines();
    // Always opens on the half-width set, whatever CharType holds, with the preview hidden.
    SelectOption(window, IDC_LINE_OPTCHARTYPE0, kCharSets, 0);
    CheckItem(window, IDC_CHKPREVIEW, false);
    ShowPreview(false);
    ShowSet(0);
    return true;
}

// The preview box is made exactly as high as the sample's lines in the cell font.
void fomLineSetup::FitPreviewToLines() {
    const HWND preview = GetDlgItem(hwnd_, IDC_TXTPREVIEW);
    const HDC dc = GetDC(preview);
    const HGDIOBJ previous = SelectObject(dc, cellFont_.get());
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(preview, dc);
    RECT outer = ChildRect(preview);
    RECT inner{};
    GetClientRect(preview, &inner);
    const int border = (outer.bottom - outer.top) - inner.bottom;
    const int wanted = metrics.tmHeight * kPreviewLines + border + 4;
    const int dy = wanted - (outer.bottom - outer.top);
    SetWindowPos(preview, nullptr, 0, 0, outer.right - outer.left, wanted,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (const int id : kMovedByPreview)
        MoveBy(hwnd_, id, dy);
    GrowWindowBy(hwnd_, dy);
}

// Hiding the preview shrinks the dialog by the preview's height and moves the buttons up by as
// much; showing it does the reverse.
void fomLineSetup::ShowPreview(bool shown) {
    if (shown == previewShown_) return;
    previewShown_ = shown;
    const HWND preview = GetDlgItem(hwnd_, IDC_TXTPREVIEW);
    const RECT rect = ChildRect(preview);
    const int dy = (shown ? 1 : -1) * (rect.bottom - rect.top);
    ShowWindow(preview, shown ? SW_SHOWNA : SW_HIDE);
    for (const int id : kMovedByPreview)
        MoveBy(hwnd_, id, dy);
    GrowWindowBy(hwnd_, dy);
}

void fomLineSetup::OnCommand(int id, int notification) {
    if (id >= IDC_TXTCHARTABLE0 && id < IDC_TXTCHARTABLE0 + kCharRoles) {
        if (notification == EN_CHANGE && !filling_) RebuildPreview();
        return;
    }
    if (notification != BN_CLICKED) return;
    if (id >= IDC_LINE_OPTCHARTYPE0 && id < IDC_LINE_OPTCHARTYPE0 + kCharSets) {
        const int set = id - IDC_LINE_OPTCHARTYPE0;
        if (set == shownSet_) return;
        StoreBoxes(shownSet_);
        ShowSet(set);
        return;
    }
    switch (id) {
        case IDC_CHKPREVIEW:
            ShowPreview(IsItemChecked(hwnd_, IDC_CHKPREVIEW));
            break;
        case IDC_LINE_CMDINITPARA:
            SetCharTableDefaults(work_);
            ShowSet(shownSet_);
            break;
        case IDOK:
            StoreBoxes(shownSet_);
            chars_ = work_;
            EndDialog(hwnd_, IDOK);
            break;
        case IDCANCEL:
            EndDialog(hwnd_, IDCANCEL);
            break;
        default:
            break;
    }
}

void fomLineSetup::StoreBoxes(int set) {
    for (int role = 0; role < kCharRoles; ++role) {
        const std::string text = ItemText(hwnd_, IDC_TXTCHARTABLE0 + role);
        std::string& piece = work_.strings[set][role];
        // An unedited box keeps its string byte for byte, even one the box could not hold exactly.
        if (WideFromUtf8(text) != WideFromUtf8(piece)) piece = text;
    }
}

void fomLineSetup::ShowSet(int set) {
    shownSet_ = set;
    filling_ = true;
    for (int role = 0; role < kCharRoles; ++role)
        SetItemText(hwnd_, IDC_TXTCHARTABLE0 + role, work_.strings[set][role]);
    filling_ = false;
    RebuildPreview();
}

void fomLineSetup::RebuildPreview() {
    std::array<std::string, kCharRoles> pieces;
    for (int role = 0; role < kCharRoles; ++role)
        pieces[role] = ItemText(hwnd_, IDC_TXTCHARTABLE0 + role);
    SetItemText(hwnd_, IDC_TXTPREVIEW, CharTablePreview(pieces));
}

}  // namespace folvane

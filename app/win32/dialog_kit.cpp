#include "app/win32/dialog_kit.h"

#include "platform/win32/wide.h"
#include "render/output_file.h"

namespace folvane {

std::string WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) return "";
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return Utf8FromWide(text);
}

std::string ItemText(HWND dialog, int id) {
    return WindowText(GetDlgItem(dialog, id));
}

void SetItemText(HWND dialog, int id, std::string_view text) {
    SetDlgItemTextW(dialog, id, WideFromUtf8(text).c_str());
}

bool IsItemChecked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void CheckItem(HWND dialog, int id, bool checked) {
    CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

int CheckedOption(HWND dialog, int firstId, int count) {
    for (int i = 0; i < count; ++i) {
        if (IsItemChecked(dialog, firstId + i)) return i;
    }
    return -1;
}

void SelectOption(HWND dialog, int firstId, int count, int index) {
    if (index < 0 || index >= count) index = 0;
    for (int i = 0; i < count; ++i)
        CheckItem(dialog, firstId + i, i == index);
}

UINT MessageBoxStyle(const MessageRequest& request) {
    UINT style = request.buttons == MsgButtons::YesNo ? MB_YESNO : MB_OK;
    switch (request.icon) {
        case MsgIcon::Information:
            style |= MB_ICONINFORMATION;
            break;
        case MsgIcon::Exclamation:
            style |= MB_ICONEXCLAMATION;
            break;
        case MsgIcon::Critical:
            style |= MB_ICONSTOP;
            break;
        case MsgIcon::None:
            break;
    }
    // An OK box has one button, which is always the default.
    if (request.buttons == MsgButtons::YesNo && request.defaultButton == MsgDefault::Second)
        style |= MB_DEFBUTTON2;
    return style | MB_APPLMODAL | MB_SETFOREGROUND;
}

MsgAnswer ShowMessageBox(HWND owner, const MessageRequest& request) {
    const std::string title = request.title.empty() ? std::string(kApplicationTitle) : request.title;
    const int answer = MessageBoxW(owner, WideFromUtf8(request.text).c_str(), WideFromUtf8(title).c_str(),
                                   MessageBoxStyle(request));
    if (request.buttons != MsgButtons::YesNo) return MsgAnswer::Ok;
    // A box that could not be shown (0) counts as its default answer of No.
    return answer == IDYES ? MsgAnswer::Yes : MsgAnswer::No;
}

void ShowNotice(HWND owner, std::string_view text, MsgIcon icon) {
    MessageRequest request;
    request.text = std::string(text);
    request.title = std::string(kApplicationTitle);
    request.icon = icon;
    ShowMessageBox(owner, request);
}

OwnedFont& OwnedFont::operator=(OwnedFont&& other) noexcept {
    if (this != &other) {
        Reset();
        font_ = other.font_;
        other.font_ = nullptr;
    }
    return *this;
}

bool OwnedFont::Reset() {
    if (font_ == nullptr) return true;
    const bool deleted = DeleteObject(font_) != 0;
    font_ = nullptr;
    return deleted;
}

OwnedFont FontLike(HWND window, const wchar_t* face, bool underline) {
    auto base = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    if (base == nullptr) base = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTW description{};
    if (GetObjectW(base, sizeof description, &description) == 0) return OwnedFont();
    if (face != nullptr && *face != L'\0') {
        lstrcpynW(description.lfFaceName, face, LF_FACESIZE);
        description.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    }
    description.lfUnderline = underline ? TRUE : FALSE;
    return OwnedFont(CreateFontIndirectW(&description));
}

RECT ChildRect(HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

}  // namespace folvane

#include "app/win32/fom_setup.h"

#include "app/context_menu.h"
#include "app/win32/dialog_kit.h"
#include "app/win32/fom_line_setup.h"
#include "app/win32/fom_text_input.h"
#include "app/win32/fom_version.h"
#include "app/win32/resource.h"
#include "platform/win32/wide.h"
#include "render/html.h"

namespace folvane {

namespace {

struct CheckField {
    int id;
    bool SetupValues::*field;
};

struct OptionField {
    int firstId;
    int count;
    int SetupValues::*field;
};

struct NumberField {
    int id;
    std::string SetupValues::*field;
};

constexpr CheckField kChecks[] = {
    {IDC_CHKSIZE, &SetupValues::size},
    {IDC_CHKATTR, &SetupValues::attr},
    {IDC_CHKCDATE, &SetupValues::cdate},
    {IDC_CHKCTIME, &SetupValues::ctime},
    {IDC_CHKUDATE, &SetupValues::udate},
    {IDC_CHKUTIME, &SetupValues::utime},
    {IDC_CHKCRC, &SetupValues::crc},
    {IDC_CHKVERSION, &SetupValues::version},
    {IDC_CHKCOMPMODE, &SetupValues::compMode},
    {IDC_CHKLISTTYPE, &SetupValues::listType},
    {IDC_CHKFOLDERLINKFLG, &SetupValues::folderLink},
    {IDC_CHKFILELINKFLG, &SetupValues::fileLink},
    {IDC_CHKSHORTCUTMENU, &SetupValues::shortCutMenu},
    {IDC_CHKHIDDENVIEW, &SetupValues::hiddenView},
    {IDC_CHKLONGNAME, &SetupValues::longName},
    {IDC_CHKSUBDIRSEARCHFLG, &SetupValues::subDirSearch},
    {IDC_CHKMEMPOS, &SetupValues::memPos},
    {IDC_CHKFILTERFLG, &SetupValues::filterFlg},
    {IDC_CHKAUTOOPENFLG, &SetupValues::autoOpen},
};

constexpr OptionField kOptions[] = {
    {IDC_OPTSORTKEY0, 5, &SetupValues::sortKey},   {IDC_OPTSORTFLG0, 2, &SetupValues::sortFlgIndex},
    {IDC_OPTCHARTYPE0, 2, &SetupValues::charType}, {IDC_OPTSIZETYPE0, 2, &SetupValues::sizeType},
    {IDC_OPTVIEWTYPE0, 4, &SetupValues::viewType},
};

constexpr NumberField kNumbers[] = {
    {IDC_TXTCOLUMNS, &SetupValues::columns},
    {IDC_TXTLINES, &SetupValues::lines},
    {IDC_TXTSIZEMAXCOLUMNS, &SetupValues::sizeMaxColumns},
};

constexpr int kHtmlItems[] = {IDC_CBOHTMLNAME, IDC_LABEL11_STYLE, IDC_CHKFOLDERLINKFLG, IDC_CHKFILELINKFLG};

// A page hands the commands of its controls to the dialog that owns it.
INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) return FALSE;
    if (message == WM_COMMAND) {
        SendMessageW(GetParent(page), WM_COMMAND, wParam, lParam);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

fomSetup::fomSetup(Settings& settings, CharTable& chars, std::string executablePath,
                   std::string templateFolder)
    : settings_(settings),
      chars_(chars),
      executablePath_(std::move(executablePath)),
      templateFolder_(std::move(templateFolder)) {}

void fomSetup::Show(HWND owner, Settings& settings, CharTable& chars, std::string executablePath,
                    std::string templateFolder) {
    fomSetup dialog(settings, chars, std::move(executablePath), std::move(templateFolder));
    ShowModalDialog(owner, IDD_SETUP, dialog);
}

INT_PTR fomSetup::HandleMessage(UINT message, WPARAM wParam, LPARAM) {
    if (message != WM_COMMAND) return FALSE;
    OnCommand(LOWORD(wParam), HIWORD(wParam));
    return TRUE;
}

bool fomSetup::OnInitDialog(HWND window) {
    hwnd_ = window;
    // The five pages lie on top of each other inside the frame.
    RECT frame = ChildRect(GetDlgItem(window, IDC_CMDTAB));
    InflateRect(&frame, -2, -2);
    for (int i = 0; i < kPageCount; ++i) {
        pages_[i] = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_SETUP_PAGE0 + i),
                                       window, PageProc, 0);
        SetWindowLongPtrW(pages_[i], GWLP_ID, IDD_SETUP_PAGE0 + i);
        SetWindowPos(pages_[i], GetDlgItem(window, IDC_CMDTAB), frame.left, frame.top,
                     frame.right - frame.left, frame.bottom - frame.top, SWP_NOACTIVATE);
    }
    CheckItem(Holder(IDC_CHKFILENAME), IDC_CHKFILENAME, true);
    SelectOption(window, IDC_OPTTAB0, kPageCount, 0);
    ShowPage(0);

    // Without a readable folder class the context menu cannot be offered; the switch-off is
    // made in the live record at once and survives キャンセル.
    shortCutAvailable_ = ShortCutMenuAvailable();
    if (!shortCutAvailable_) {
        settings_.ShortCutMenuFlg = false;
        EnableWindow(Holder(IDC_CHKSHORTCUTMENU), FALSE);
    }
    ParaToView(settings_);
    return true;
}

HWND fomSetup::Holder(int id) const {
    for (HWND page : pages_) {
        if (page != nullptr && GetDlgItem(page, id) != nullptr) return page;
    }
    return hwnd_;
}

void fomSetup::ShowPage(int page) {
    for (int i = 0; i < kPageCount; ++i)
        ShowWindow(pages_[i], i == page ? SW_SHOWNA : SW_HIDE);
}

void fomSetup::OnCommand(int id, int notification) {
    if (id >= IDC_OPTTAB0 && id < IDC_OPTTAB0 + kPageCount) {
        if (notification == BN_CLICKED) ShowPage(id - IDC_OPTTAB0);
        return;
    }
    if (id >= IDC_OPTSORTKEY0 && id < IDC_OPTSORTKEY0 + 5) {
        if (notification == BN_CLICKED) UpdateSortCaptions();
        return;
    }
    if (id >= IDC_OPTSIZETYPE0 && id < IDC_OPTSIZETYPE0 + 2) {
        if (notification == BN_CLICKED) UpdateSizeColumnsEnabled();
        return;
    }
    if (notification != BN_CLICKED) return;
    switch (id) {
        case IDC_CHKCRC:
            // A click comes from the person only, so filling the boxes never shows the notices.
            if (IsItemChecked(Holder(id), id)) ShowNotice(hwnd_, kCrcNotice, MsgIcon::Information);
            break;
        case IDC_CHKVERSION:
            if (IsItemChecked(Holder(id), id)) ShowNotice(hwnd_, kVersionNotice, MsgIcon::Information);
            break;
        case IDC_CHKLISTTYPE:
            UpdateHtmlEnabled();
            break;
        case IDC_CMDLINESETUP:
            fomLineSetup::Show(hwnd_, chars_);
            break;
        case IDC_CMDSHORTCUTCAPTION: {
            std::string caption = fomTextInput::View(hwnd_, workCaption_);
            if (!caption.empty()) workCaption_ = std::move(caption);
            break;
        }
        case IDC_CMDVERSION:
            fomVersion::Show(hwnd_);
            break;
        case IDC_CMDINITPARA:
            cmdInitPara_Click();
            break;
        case IDOK:
            cmdExit_Click();
            break;
        case IDCANCEL:
            EndDialog(hwnd_, IDCANCEL);
            break;
        default:
            break;
    }
}

void fomSetup::ParaToView(const Settings& record) {
    // The template folder is read again on every fill, so the list shows what is there now.
    templates_ = HtmlTemplateList(templateFolder_);
    ShowValues(folvane::ParaToView(record, templates_));
}

void fomSetup::ShowValues(const SetupValues& values) {
    for (const auto& [id, field] : kChecks)
        CheckItem(Holder(id), id, values.*field);
    for (const auto& [firstId, count, field] : kOptions)
        SelectOption(Holder(firstId), firstId, count, values.*field);
    for (const auto& [id, field] : kNumbers)
        SetItemText(Holder(id), id, values.*field);

    const HWND combo = GetDlgItem(Holder(IDC_CBOHTMLNAME), IDC_CBOHTMLNAME);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (const TemplateItem& item : values.templateItems) {
        const std::wstring caption = WideFromUtf8(item.caption);
        const LRESULT index = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(caption.c_str()));
        if (index >= 0) SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(index), item.data);
    }
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(values.selectedTemplate), 0);

    workCaption_ = values.workCaption;
    // While the context menu cannot be offered its box stays off, also after 初期化.
    if (!shortCutAvailable_) CheckItem(Holder(IDC_CHKSHORTCUTMENU), IDC_CHKSHORTCUTMENU, false);
    UpdateHtmlEnabled();
    UpdateSizeColumnsEnabled();
    UpdateSortCaptions();
}

SetupValues fomSetup::ValuesFromView() const {
    SetupValues values;
    for (const auto& [id, field] : kChecks)
        values.*field = IsItemChecked(Holder(id), id);
    for (const auto& [firstId, count, field] : kOptions)
        values.*field = CheckedOption(Holder(firstId), firstId, count);
    for (const auto& [id, field] : kNumbers)
        values.*field = ItemText(Holder(id), id);
    const HWND combo = GetDlgItem(Holder(IDC_CBOHTMLNAME), IDC_CBOHTMLNAME);
    const auto count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const auto length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring caption(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(caption.data()));
        caption.resize(static_cast<std::size_t>(std::max<LRESULT>(length, 0)));
        const auto data = static_cast<int>(SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(i), 0));
        values.templateItems.push_back({Utf8FromWide(caption), data});
    }
    values.selectedTemplate = static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
    values.workCaption = workCaption_;
    return values;
}

void fomSetup::UpdateHtmlEnabled() {
    const bool html = IsItemChecked(Holder(IDC_CHKLISTTYPE), IDC_CHKLISTTYPE);
    for (const int id : kHtmlItems)
        EnableWindow(GetDlgItem(Holder(id), id), html);
}

void fomSetup::UpdateSizeColumnsEnabled() {
    // A disabled edit box is drawn on the button face, the colour the old dialog chose.
    const bool bytes = CheckedOption(Holder(IDC_OPTSIZETYPE0), IDC_OPTSIZETYPE0, 2) == 0;
    EnableWindow(GetDlgItem(Holder(IDC_TXTSIZEMAXCOLUMNS), IDC_TXTSIZEMAXCOLUMNS), bytes);
}

void fomSetup::UpdateSortCaptions() {
    const auto captions = SortDirectionCaptions(CheckedOption(Holder(IDC_OPTSORTKEY0), IDC_OPTSORTKEY0, 5));
    if (!captions) return;
    const HWND page = Holder(IDC_OPTSORTFLG0);
    SetItemText(page, IDC_OPTSORTFLG0, captions->first);
    SetItemText(page, IDC_OPTSORTFLG0 + 1, captions->second);
}

void fomSetup::cmdExit_Click() {
    const std::string message = folvane::ViewToPara(ValuesFromView(), templates_, settings_);
    if (!message.empty()) {
        ShowNotice(hwnd_, message, MsgIcon::Exclamation);
        return;
    }
    ShortCutMenuUpdate(settings_, executablePath_);
    EndDialog(hwnd_, IDOK);
}

void fomSetup::cmdInitPara_Click() {
    Settings scratch;
    SetDefaults(scratch);
    ParaToView(scratch);
}

}  // namespace folvane

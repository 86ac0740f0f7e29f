#include "app/win32/fom_folvane.h"

#include <commctrl.h>

#include <algorithm>

#include "app/context_menu.h"
#include "app/product.h"
#include "app/status_texts.h"
#include "app/win32/dialog_kit.h"
#include "app/win32/fom_setup.h"
#include "app/win32/resource.h"
#include "platform/win32/wide.h"

namespace folvane {

namespace {

constexpr UINT_PTR kCaptionTimerId = 1;
// Posted on each activation, so that the window is drawn before an automatic run starts.
constexpr UINT kActivatedMessage = WM_APP + 1;

// Heights of the three panels in dialog units, top to bottom, as the dialog template lays
// them out with the filter panel shown.
constexpr int kCtrlPanelUnits = 22;
constexpr int kWildCardUnits = 18;
constexpr int kButtonTrayUnits = 21;

constexpr int kFolderPanelItems[] = {IDC_LABEL1, IDC_TXTDIRNAME, IDC_CMDSELDIR};
constexpr int kFilterPanelItems[] = {IDC_LABEL11, IDC_CBOFILTERTEXT};
constexpr int kButtonTrayItems[] = {IDC_CMDSETUP, IDC_CMDEXEC, IDC_CMDEXIT};

}  // namespace

std::vector<std::string> DroppedPaths(HDROP drop) {
    std::vector<std::string> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        if (length == 0) continue;
        std::wstring path(length + 1, L'\0');
        const UINT copied = DragQueryFileW(drop, i, path.data(), length + 1);
        path.resize(copied);
        if (!path.empty()) paths.push_back(Utf8FromWide(path));
    }
    return paths;
}

fomFolvane::fomFolvane(std::string settingsFile, std::string templateFolder)
    : templateFolder_(std::move(templateFolder)) {
    form_ = std::make_unique<MainForm>(ui_, *this, clock_, std::move(settingsFile), templateFolder_);
    form_->caption().SetRestartHook([this] {
        SetTimer(hwnd_, kCaptionTimerId, static_cast<UINT>(CaptionTimer::kInterval.count()), nullptr);
    });
    ui_.SetProgressHook([this] { ShowProgress(); });
    CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_MAIN), nullptr,
                       HandlerDialogProc<fomFolvane>, reinterpret_cast<LPARAM>(this));
}

fomFolvane::~fomFolvane() {
    if (hwnd_ != nullptr) DestroyWindow(hwnd_);
}

bool fomFolvane::Load(std::string_view commandLine, std::string_view shownCommandLine) {
    return hwnd_ != nullptr && form_->Form_Load(commandLine, shownCommandLine);
}

void fomFolvane::Show() {
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    SetForegroundWindow(hwnd_);
    SetFocus(GetDlgItem(hwnd_, IDC_TXTDIRNAME));
}

bool fomFolvane::OnInitDialog(HWND window) {
    hwnd_ = window;
    ui_.SetWindow(window);
    const HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_FOLVANE));
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    status_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, window,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_SBRSTATUS)),
                              GetModuleHandleW(nullptr), nullptr);
    SendMessageW(status_, WM_SETFONT, SendMessageW(window, WM_GETFONT, 0, 0), FALSE);
    DragAcceptFiles(window, TRUE);
    ArrangePanels(false);
    return false;  // the focus is placed when the window is shown
}

INT_PTR fomFolvane::HandleMessage(UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE) PostMessageW(hwnd_, kActivatedMessage, 0, 0);
            return FALSE;
        case kActivatedMessage:
            RunHandler([this] { form_->Form_Activate(); });
            return TRUE;
        case WM_TIMER:
            if (wParam == kCaptionTimerId) OnCaptionTimer();
            return TRUE;
        case WM_DROPFILES:
            OnDropFiles(reinterpret_cast<HDROP>(wParam));
            return TRUE;
        case WM_SETCURSOR:
            if (!OnSetCursor(reinterpret_cast<HWND>(wParam))) return FALSE;
            SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, TRUE);
            return TRUE;
        case WM_SIZE:
            PlaceStatusLine();
            return FALSE;
        case WM_CLOSE:
            OnClose();
            return TRUE;
        case WM_QUERYENDSESSION:
            // Logoff and shutdown are requests to close too: a run stops, nothing is saved, and
            // the session may end.
            form_->Form_QueryUnload();
            SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, TRUE);
            return TRUE;
        case WM_DESTROY:
            KillTimer(hwnd_, kCaptionTimerId);
            DragAcceptFiles(hwnd_, FALSE);
            PostQuitMessage(0);
            return TRUE;
        case WM_NCDESTROY:
            SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
            hwnd_ = nullptr;
            return FALSE;
        default:
            return FALSE;
    }
}

void fomFolvane::OnCommand(int id, int notification) {
    if (notification != BN_CLICKED) return;
    switch (id) {
        case IDC_CMDSELDIR:
            form_->cmdSelDir_Click();
            break;
        case IDC_CMDSETUP:
            RunHandler([this] { form_->cmdSetup_Click(); });
            break;
        case IDC_CMDEXEC:
            RunHandler([this] { form_->cmdExec_Click(); });
            break;
        case IDC_CMDEXIT:
            RunHandler([this] { form_->cmdExit_Click(); });
            break;
        default:
            // Esc (IDCANCEL) does not close the main window: only 終了 and the close box do.
            break;
    }
}

template <typename Handler>
void fomFolvane::RunHandler(Handler handler) {
    ++handlerDepth_;
    handler();
    --handlerDepth_;
    if (handlerDepth_ == 0 && closePending_ && !form_->run().BusyFlag && hwnd_ != nullptr)
        DestroyWindow(hwnd_);
}

// A drop counts on the folder panel only; elsewhere, and during a run, it is not taken.
void fomFolvane::OnDropFiles(HDROP drop) {
    POINT point{};
    const bool onFolderPanel = DragQueryPoint(drop, &point) && point.y < PanelHeight(kCtrlPanelUnits);
    std::vector<std::string> paths;
    if (onFolderPanel && !busy_) paths = DroppedPaths(drop);
    DragFinish(drop);
    if (onFolderPanel && !busy_) form_->Form_OLEDragDrop(paths);
}

// Every request to close reaches the form, which stops a run; the window goes once no handler
// that may hold a run is running any more.
void fomFolvane::OnClose() {
    form_->Form_QueryUnload();
    if (handlerDepth_ > 0 || form_->run().BusyFlag) {
        closePending_ = true;
        ShowWindow(hwnd_, SW_HIDE);
        return;
    }
    DestroyWindow(hwnd_);
}

bool fomFolvane::OnSetCursor(HWND under) {
    if (!busy_) return false;
    const bool onRunButton =
        under == GetDlgItem(hwnd_, IDC_CMDEXEC) || under == GetDlgItem(hwnd_, IDC_CMDEXIT);
    SetCursor(LoadCursorW(nullptr, onRunButton ? IDC_APPSTARTING : IDC_WAIT));
    return true;
}

// The timer is one-shot like the caption's 100 ms count: a tick that came before its time
// arms it again for the rest.
void fomFolvane::OnCaptionTimer() {
    KillTimer(hwnd_, kCaptionTimerId);
    form_->timTimer_Timer();
    if (const auto remaining = form_->caption().TimeUntilDue()) {
        const auto wait = std::max<long long>(remaining->count(), USER_TIMER_MINIMUM);
        SetTimer(hwnd_, kCaptionTimerId, static_cast<UINT>(wait), nullptr);
    }
}

int fomFolvane::PanelHeight(int dialogUnits) const {
    RECT rect{0, 0, 0, dialogUnits};
    MapDialogRect(hwnd_, &rect);
    return rect.bottom;
}

void fomFolvane::PlaceStatusLine() {
    if (status_ != nullptr) SendMessageW(status_, WM_SIZE, 0, 0);
}

std::string fomFolvane::FolderText() const {
    return ItemText(hwnd_, IDC_TXTDIRNAME);
}

void fomFolvane::SetFolderText(const std::string& text) {
    SetItemText(hwnd_, IDC_TXTDIRNAME, text);
    const HWND field = GetDlgItem(hwnd_, IDC_TXTDIRNAME);
    const auto end = static_cast<WPARAM>(GetWindowTextLengthW(field));
    SendMessageW(field, EM_SETSEL, end, static_cast<LPARAM>(end));
    SendMessageW(field, EM_SCROLLCARET, 0, 0);
}

std::string fomFolvane::FilterText() const {
    return ItemText(hwnd_, IDC_CBOFILTERTEXT);
}

void fomFolvane::SetFilterText(const std::string& text) {
    SetItemText(hwnd_, IDC_CBOFILTERTEXT, text);
}

void fomFolvane::SetFilterList(const std::vector<std::string>& items, const std::string& text) {
    const HWND combo = GetDlgItem(hwnd_, IDC_CBOFILTERTEXT);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::wstring item = WideFromUtf8(items[i]);
        const LRESULT index = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        if (index >= 0)
            SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(i));
    }
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    SetFilterText(text);
}

void fomFolvane::ShowBusy(bool busy) {
    busy_ = busy;
    for (const int id : kFolderPanelItems)
        EnableWindow(GetDlgItem(hwnd_, id), !busy);
    if (filterShown_) {
        for (const int id : kFilterPanelItems)
            EnableWindow(GetDlgItem(hwnd_, id), !busy);
    }
    const HWND exec = GetDlgItem(hwnd_, IDC_CMDEXEC);
    SetWindowTextW(exec, WideFromUtf8(busy ? kCancelCaption : kExecIdleCaption).c_str());
    // A disabled field cannot keep the focus: the cancel button takes it, so Enter and Space
    // reach it.
    if (busy) SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(exec), TRUE);
    // After a run the status line tells where the listing went; otherwise it is empty.
    SetWindowTextW(status_,
                   WideFromUtf8(busy ? ProgressText(0, 0) : RunEndText(form_->lastResult())).c_str());
    // The pointer takes the new cursor at once, not only when it next moves.
    POINT cursor{};
    GetCursorPos(&cursor);
    const HWND under = WindowFromPoint(cursor);
    if (under == hwnd_ || IsChild(hwnd_, under))
        SendMessageW(hwnd_, WM_SETCURSOR, reinterpret_cast<WPARAM>(under),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
}

void fomFolvane::ShowProgress() {
    if (!form_->run().BusyFlag) return;
    SetWindowTextW(status_, WideFromUtf8(RunProgressText(form_->run())).c_str());
}

void fomFolvane::ArrangePanels(bool showFilterPanel) {
    const bool wasShown = filterShown_;
    filterShown_ = showFilterPanel;
    for (const int id : kFilterPanelItems) {
        const HWND item = GetDlgItem(hwnd_, id);
        ShowWindow(item, showFilterPanel ? SW_SHOWNA : SW_HIDE);
        EnableWindow(item, showFilterPanel && !busy_);
    }
    // The tray follows the filter panel up or down by exactly its height.
    const int shift =
        wasShown == showFilterPanel ? 0 : (showFilterPanel ? 1 : -1) * PanelHeight(kWildCardUnits);
    for (const int id : kButtonTrayItems) {
        const HWND item = GetDlgItem(hwnd_, id);
        const RECT rect = ChildRect(item);
        SetWindowPos(item, nullptr, rect.left, rect.top + shift, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT status{};
    GetWindowRect(status_, &status);
    const int panels = kCtrlPanelUnits + (showFilterPanel ? kWildCardUnits : 0) + kButtonTrayUnits;
    const int clientHeight = PanelHeight(panels) + (status.bottom - status.top);
    RECT outer{};
    RECT client{};
    GetWindowRect(hwnd_, &outer);
    GetClientRect(hwnd_, &client);
    const int frame = (outer.bottom - outer.top) - (client.bottom - client.top);
    SetWindowPos(hwnd_, nullptr, 0, 0, outer.right - outer.left, clientHeight + frame,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    PlaceStatusLine();
}

bool fomFolvane::FilterPanelShown() const {
    return filterShown_;
}

void fomFolvane::MoveWindow(int left, int top) {
    SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::pair<int, int> fomFolvane::WindowPosition() const {
    RECT rect{};
    GetWindowRect(hwnd_, &rect);
    return {rect.left, rect.top};
}

void fomFolvane::CloseWindow() {
    SendMessageW(hwnd_, WM_CLOSE, 0, 0);
}

void fomFolvane::QuitNow() {
    closePending_ = true;
    PostQuitMessage(0);
}

void fomFolvane::ShowSetupDialog() {
    fomSetup::Show(hwnd_, form_->settings(), form_->chars(), OwnProgramPath(), templateFolder_);
}

void fomFolvane::UpdateContextMenuEntry() {
    ShortCutMenuUpdate(form_->settings(), OwnProgramPath());
}

}  // namespace folvane

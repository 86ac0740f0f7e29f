#include "app/win32/win32_ui.h"

#include "app/win32/dialog_kit.h"
#include "platform/shell.h"
#include "platform/win32/wide.h"

namespace folvane {

void DispatchWindowMessage(HWND mainWindow, MSG& message) {
    if (mainWindow != nullptr && IsDialogMessageW(mainWindow, &message)) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

MsgAnswer Win32Ui::ShowMessage(const MessageRequest& request) {
    return ShowMessageBox(window_, request);
}

FileChooserResult Win32Ui::ChooseFile(const FileChooserRequest& request, int action) {
    fileDialog_.DialogTitle = request.title;
    fileDialog_.Filter = request.filter;
    fileDialog_.FilterIndex = request.filterIndex;
    fileDialog_.Flags = request.flags;
    fileDialog_.OwnerhWnd = window_;
    fileDialog_.FileName = request.fileName;
    fileDialog_.Action(action);
    return FileChooserResult{fileDialog_.FileName, fileDialog_.FilterIndex};
}

FileChooserResult Win32Ui::ChooseSaveFile(const FileChooserRequest& request) {
    return ChooseFile(request, clsComDlg::kSaveDialog);
}

FileChooserResult Win32Ui::ChooseOpenFile(const FileChooserRequest& request) {
    return ChooseFile(request, clsComDlg::kOpenDialog);
}

std::string Win32Ui::ChooseFolder(const std::string& title, const std::string& initialFolder,
                                  uint32_t flags) {
    return FolderSelect(window_, title, initialFolder, flags);
}

std::string Win32Ui::WindowCaption() const {
    return window_ != nullptr ? WindowText(window_) : caption_;
}

void Win32Ui::SetWindowCaption(const std::string& caption) {
    caption_ = caption;
    if (window_ != nullptr) SetWindowTextW(window_, WideFromUtf8(caption).c_str());
}

void Win32Ui::OpenWithAssociatedProgram(const std::string& pathOrAddress) {
    OpenWithDefaultHandler(pathOrAddress);
}

void Win32Ui::Beep() {
    MessageBeep(MB_OK);
}

void Win32Ui::PumpEvents() {
    if (quitRequested_) return;
    const auto now = std::chrono::steady_clock::now();
    if (now - lastPump_ < kPumpInterval) return;
    lastPump_ = now;
    if (progressHook_) progressHook_();
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // The main loop must see it too: put it back and let nothing else run.
            quitRequested_ = true;
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        DispatchWindowMessage(window_, message);
    }
}

}  // namespace folvane

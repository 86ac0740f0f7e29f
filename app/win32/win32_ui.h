#pragma once
// The Ui port of the Windows desktop program: message boxes, the common file dialogs, the
// shell's folder browser, the main window's caption, the shell's handler for files and
// addresses, and the event pump that keeps the window responsive while a run works on the UI
// thread.

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <utility>

#include "app/win32/cls_com_dlg.h"
#include "platform/ui_port.h"

namespace folvane {

// Hands one message to the modeless main window's keyboard handling (Tab, access keys, Enter)
// or to its window procedure.
void DispatchWindowMessage(HWND mainWindow, MSG& message);

class Win32Ui final : public UiPort {
  public:
    static constexpr std::chrono::milliseconds kPumpInterval{15};

    Win32Ui() = default;
    Win32Ui(const Win32Ui&) = delete;
    Win32Ui& operator=(const Win32Ui&) = delete;

    // The main window: it owns the dialogs and carries the caption.
    void SetWindow(HWND window) { window_ = window; }
    // Called at each pump that lets events run, just before they run (the status line).
    void SetProgressHook(std::function<void()> hook) { progressHook_ = std::move(hook); }

    clsComDlg& fileDialog() { return fileDialog_; }
    // True once the pump has seen the request to end the program; it is passed on to the
    // main loop, and the pump lets no more events run.
    bool quitRequested() const { return quitRequested_; }

    MsgAnswer ShowMessage(const MessageRequest& request) override;
    FileChooserResult ChooseSaveFile(const FileChooserRequest& request) override;
    FileChooserResult ChooseOpenFile(const FileChooserRequest& request) override;
    std::string ChooseFolder(const std::string& title, const std::string& initialFolder,
                             uint32_t flags) override;
    std::string WindowCaption() const override;
    void SetWindowCaption(const std::string& caption) override;
    void OpenWithAssociatedProgram(const std::string& pathOrAddress) override;
    void Beep() override;
    // Lets pending messages run at most once per pump interval; in between it only reads a
    // clock.
    void PumpEvents() override;

  private:
    FileChooserResult ChooseFile(const FileChooserRequest& request, int action);

    HWND window_ = nullptr;
    clsComDlg fileDialog_;
    std::string caption_ = "Folvane";
    std::function<void()> progressHook_;
    std::chrono::steady_clock::time_point lastPump_{};
    bool quitRequested_ = false;
};

}  // namespace folvane

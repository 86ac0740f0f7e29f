#pragma once
// The Ui port of the desktop program: Qt message boxes, the file and folder choosers, the main
// window's caption, the desktop's handler for files and addresses, and the event pump that
// keeps the window responsive while a run works on the UI thread.

#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>
#include <chrono>
#include <functional>
#include <string>
#include <utility>

#include "app/qt/cls_com_dlg.h"
#include "platform/ui_port.h"

namespace folvane {

class QtUi final : public UiPort {
  public:
    static constexpr std::chrono::milliseconds kPumpInterval{15};

    QtUi() = default;
    QtUi(const QtUi&) = delete;
    QtUi& operator=(const QtUi&) = delete;

    // The main window: it owns the dialogs and carries the caption. Without one, dialogs have
    // no owner and the caption is only remembered.
    void SetWindow(QWidget* window) { window_ = window; }
    // Called at each pump that lets events run, just before they run (the status line).
    void SetProgressHook(std::function<void()> hook) { progressHook_ = std::move(hook); }
    // The least time between two pumps that let events run; kPumpInterval unless changed.
    void SetPumpInterval(std::chrono::milliseconds interval) { pumpInterval_ = interval; }

    // The shared file-dialog object that the output-file choosers use.
    clsComDlg& fileDialog() { return fileDialog_; }

    MsgAnswer ShowMessage(const MessageRequest& request) override;
    FileChooserResult ChooseSaveFile(const FileChooserRequest& request) override;
    FileChooserResult ChooseOpenFile(const FileChooserRequest& request) override;
    std::string ChooseFolder(const std::string& title, const std::string& initialFolder,
                             uint32_t flags) override;
    std::string WindowCaption() const override;
    void SetWindowCaption(const std::string& caption) override;
    // A path-space path opens the host file; anything else is taken as an address.
    void OpenWithAssociatedProgram(const std::string& pathOrAddress) override;
    void Beep() override;
    // Lets pending events run at most once per pump interval; in between it only reads a clock.
    void PumpEvents() override;

  private:
    FileChooserResult ChooseFile(const FileChooserRequest& request, int action);

    QPointer<QWidget> window_;
    clsComDlg fileDialog_;
    std::string caption_ = "Folvane";
    std::function<void()> progressHook_;
    std::chrono::milliseconds pumpInterval_ = kPumpInterval;
    QElapsedTimer sincePump_;
};

// The message box text for Qt: CR LF (and a lone CR) become line feeds.
QString MessageBoxText(const std::string& text);

}  // namespace folvane

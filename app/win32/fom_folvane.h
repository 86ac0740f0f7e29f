#pragma once
// The main window "Folvane": the folder field with its browser button, the filter field (shown
// while the filter is switched on), the buttons 設定, 実行 and 終了, and a status line with the
// progress of a run. The window's logic is MainForm's; this class supplies the Win32 controls.

#include <windows.h>

#include <shellapi.h>

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/main_form.h"
#include "app/win32/win32_ui.h"
#include "engine/caption_timer.h"

namespace folvane {

class fomFolvane final : public MainFormView {
  public:
    // settingsFile and templateFolder are path-space paths. Creates the window, hidden.
    fomFolvane(std::string settingsFile, std::string templateFolder);
    ~fomFolvane() override;
    fomFolvane(const fomFolvane&) = delete;
    fomFolvane& operator=(const fomFolvane&) = delete;

    // The start-up sequence for commandLine (everything after the program name); a rejected
    // command line is quoted as shownCommandLine ("" quotes commandLine). False when it was
    // rejected: its message has been shown; the window must not be shown.
    bool Load(std::string_view commandLine, std::string_view shownCommandLine = {});
    // Shows the window and activates it.
    void Show();

    HWND hwnd() const { return hwnd_; }
    MainForm& form() { return *form_; }
    Win32Ui& ui() { return ui_; }

    // MainFormView.
    std::string FolderText() const override;
    void SetFolderText(const std::string& text) override;
    std::string FilterText() const override;
    void SetFilterText(const std::string& text) override;
    void SetFilterList(const std::vector<std::string>& items, const std::string& text) override;
    void ShowBusy(bool busy) override;
    // The filter panel shown or hidden; the window grows or shrinks by exactly its height.
    void ArrangePanels(bool showFilterPanel) override;
    bool FilterPanelShown() const override;
    void MoveWindow(int left, int top) override;
    std::pair<int, int> WindowPosition() const override;
    void CloseWindow() override;
    // Ends the message loop: the program ends once the running handler has returned.
    void QuitNow() override;
    void ShowSetupDialog() override;
    void UpdateContextMenuEntry() override;

    // The window's messages (HandlerDialogProc).
    bool OnInitDialog(HWND window);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    void OnCommand(int id, int notification);
    void OnDropFiles(HDROP drop);
    void OnClose();
    bool OnSetCursor(HWND under);
    void OnCaptionTimer();
    // Runs a handler that may contain a whole run; a close asked for during the run is carried
    // out once it has ended.
    template <typename Handler>
    void RunHandler(Handler handler);
    void ShowProgress();
    void PlaceStatusLine();
    int PanelHeight(int dialogUnits) const;

    Win32Ui ui_;
    SteadyClock clock_;
    std::string templateFolder_;
    std::unique_ptr<MainForm> form_;
    HWND hwnd_ = nullptr;
    HWND status_ = nullptr;
    bool busy_ = false;
    bool filterShown_ = true;
    bool closePending_ = false;
    int handlerDepth_ = 0;
};

// The paths a drop of files carries, in order; none when it carries no file list.
std::vector<std::string> DroppedPaths(HDROP drop);

}  // namespace folvane

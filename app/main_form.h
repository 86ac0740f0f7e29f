#pragma once
// The main window's logic, independent of any window system: the start-up sequence, the
// automatic run at the first activation, the folder and filter fields, the folder browser, a
// dropped folder, the Setup button and the exit. A front end supplies the widgets through
// MainFormView and the person through the Ui port.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/caption_timer.h"
#include "engine/listing_run.h"
#include "engine/run_state.h"
#include "platform/ui_port.h"
#include "settings/char_table.h"
#include "settings/run_options.h"
#include "settings/settings.h"

namespace folvane {

// The widgets of the main window.
class MainFormView {
  public:
    virtual ~MainFormView() = default;
    virtual std::string FolderText() const = 0;
    // Puts text into the folder field with the caret at its end and nothing selected.
    virtual void SetFolderText(const std::string& text) = 0;
    virtual std::string FilterText() const = 0;
    virtual void SetFilterText(const std::string& text) = 0;
    // Refills the filter list with items (history order) and sets the field's text.
    virtual void SetFilterList(const std::vector<std::string>& items, const std::string& text) = 0;
    virtual void ShowBusy(bool busy) = 0;
    // Lays out the panels: the filter panel shown or hidden, the window's height following.
    virtual void ArrangePanels(bool showFilterPanel) = 0;
    virtual bool FilterPanelShown() const = 0;
    // The window's outer top-left corner in screen pixels.
    virtual void MoveWindow(int left, int top) = 0;
    virtual std::pair<int, int> WindowPosition() const = 0;
    // Asks the window system to close the window (which reaches Form_QueryUnload).
    virtual void CloseWindow() = 0;
    // Ends the program at once, without any further step.
    virtual void QuitNow() = 0;
    // Shows the Setup dialog modally on settings; returns when it is closed.
    virtual void ShowSetupDialog() = 0;
    // Makes the file manager's context-menu entry match the settings (a front end that does not
    // register it does nothing).
    virtual void UpdateContextMenuEntry() = 0;
};

inline constexpr std::string_view kCancelQuestion = "現在、フォルダの調査中です。中断しますか？";
inline constexpr std::string_view kExitWhileBusyQuestion =
    "現在、フォルダの調査中です。中止して終了しますか？";
inline constexpr std::string_view kFolderBrowserTitle = "一覧を作成するﾌｫﾙﾀﾞを選択して下さい。";
inline constexpr uint32_t kFolderBrowserFlags = 13;

class MainForm {
  public:
    // settingsFile and templateFolder are path-space paths; clock drives the caption timer.
    MainForm(UiPort& ui, MainFormView& view, const Clock& clock, std::string settingsFile,
             std::string templateFolder);
    ~MainForm();
    MainForm(const MainForm&) = delete;
    MainForm& operator=(const MainForm&) = delete;

    // The start-up sequence. commandLine is everything after the program name. False when the
    // command line was rejected: the message has been shown and the program must end.
    // shownCommandLine is the command line as the person typed it, for that message ("" shows
    // commandLine).
    bool Form_Load(std::string_view commandLine, std::string_view shownCommandLine = {});
    // Each activation of the window; the first one starts the automatic run when asked for.
    void Form_Activate();

    // The Exec button: starts a run with the fields' texts, or, while one runs, offers to
    // cancel it.
    void cmdExec_Click();
    void cmdExit_Click();
    void cmdSelDir_Click();
    void cmdSetup_Click();
    // A drop of a file list on the window; the first path counts. An empty list changes nothing
    // but the caret.
    void Form_OLEDragDrop(const std::vector<std::string>& paths);
    // Any request to close the window: during a run it asks the run to stop. Never refused.
    void Form_QueryUnload();
    // The caption timer's tick.
    void timTimer_Timer();

    // A folder text as a person reads it (see PathForPerson) made into the long (or, with long
    // names off, short) form of an existing folder, read the same way; anything else is
    // returned unchanged.
    std::string DirReGet(std::string_view path) const;
    // Refills the filter list from the history and sets the filter field to text.
    void FillFilterList(const std::string& text);
    void ArrangePanels();

    Settings& settings() { return settings_; }
    CharTable& chars() { return chars_; }
    RunState& run() { return run_; }
    RunOptions& options() { return options_; }
    CaptionTimer& caption() { return caption_; }
    // How the last run ended.
    const ListingResult& lastResult() const { return lastResult_; }
    const std::string& helpFilePath() const { return helpFilePath_; }
    // True when the command line named the folder to list.
    bool commandLineNamedFolder() const { return commandLineNamedFolder_; }

  private:
    void ApplyRememberedPosition();
    MsgAnswer AskWhileBusy(std::string_view text);

    UiPort& ui_;
    MainFormView& view_;
    std::string settingsFile_;
    std::string helpFilePath_;
    Settings settings_;
    CharTable chars_;
    RunState run_;
    RunOptions options_;
    CaptionTimer caption_;
    ListingRunner runner_;
    ListingResult lastResult_;
    bool activatedOnce_ = false;
    bool commandLineNamedFolder_ = false;
};

}  // namespace folvane

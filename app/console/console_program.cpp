#include "app/console/console_program.h"

#include <string>
#include <vector>

#include "app/console_ui.h"
#include "app/main_form.h"
#include "engine/caption_timer.h"
#include "platform/interrupt.h"
#include "platform/process.h"
#include "render/html.h"
#include "settings/command_line.h"
#include "settings/settings_file.h"

namespace folvane {

namespace {

enum ExitCode { kExitSaved = 0, kExitNotSaved = 1, kExitCommandLineRejected = 2 };

constexpr std::string_view kUsage =
    "使い方: folvane-cli [/option] フォルダ [ファイル]\n"
    "  フォルダの一覧を作成します。/A とファイルを指定すると、質問せずにそのファイルへ保存して終了します。\n"
    "  ファイルを省略すると、保存先を端末で尋ねます (Enter で提案された名前に保存)。\n"
    "usage: folvane-cli [/option] FOLDER [FILE]\n";

// The console has no window: it keeps the texts of the fields and answers the window's
// requests as far as a terminal can.
class ConsoleView final : public MainFormView {
  public:
    std::string FolderText() const override { return folder_; }
    void SetFolderText(const std::string& text) override { folder_ = text; }
    std::string FilterText() const override { return filter_; }
    void SetFilterText(const std::string& text) override { filter_ = text; }
    void SetFilterList(const std::vector<std::string>&, const std::string& text) override { filter_ = text; }
    void ShowBusy(bool) override {}
    void ArrangePanels(bool showFilterPanel) override { filterShown_ = showFilterPanel; }
    bool FilterPanelShown() const override { return filterShown_; }
    void MoveWindow(int, int) override {}
    // Without a window the remembered position stays as it was.
    std::pair<int, int> WindowPosition() const override { return position_; }
    void CloseWindow() override { closed_ = true; }
    void QuitNow() override { closed_ = true; }
    void ShowSetupDialog() override {}
    // The context-menu entry starts the desktop program, which keeps it current.
    void UpdateContextMenuEntry() override {}

    void RememberPosition(int left, int top) { position_ = {left, top}; }
    bool closed() const { return closed_; }

  private:
    std::string folder_;
    std::string filter_;
    bool filterShown_ = false;
    std::pair<int, int> position_{-1, -1};
    bool closed_ = false;
};

}  // namespace

int RunConsoleProgram(int argc, char** argv) {
    const std::vector<std::string> arguments = ProgramArguments(argc, argv);
    ProcessTerminal terminal;
    if (arguments.empty() || arguments.front() == "--help" || arguments.front() == "-h") {
        terminal.Write(std::string(kUsage));
        return kExitCommandLineRejected;
    }

    ConsoleUi ui(terminal);
    ConsoleView view;
    SteadyClock clock;
    MainForm form(ui, view, clock, SettingsFilePath(), HtmlTemplateFolder());
    CatchInterrupts();
    // Ctrl+C during a run stops it without a question; nothing is written.
    ui.SetInterruptHandler([&form] {
        if (form.run().BusyFlag) form.run().CancelFlag = kCancelByUser;
    });

    if (!form.Form_Load(CommandLineFromHostArguments(arguments))) return kExitCommandLineRejected;
    view.RememberPosition(form.settings().Left, form.settings().Top);
    if (!form.commandLineNamedFolder()) {
        terminal.Write(std::string(kUsage));
        return kExitCommandLineRejected;
    }

    // With /A the first activation starts the run; without it the run starts as if 実行 were
    // pressed at once.
    if (form.options().AutoStart) {
        form.Form_Activate();
    } else {
        form.cmdExec_Click();
    }
    ui.EndProgress();
    if (!view.closed()) form.cmdExit_Click();
    return form.runner().LastOutcome() == ListingOutcome::Saved ? kExitSaved : kExitNotSaved;
}

}  // namespace folvane

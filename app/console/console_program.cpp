#include "app/console/console_program.h"

#include <string>
#include <vector>

#include "app/console/console_ui.h"
#include "app/start_up.h"
#include "engine/caption_timer.h"
#include "engine/listing_run.h"
#include "platform/interrupt.h"
#include "platform/process.h"
#include "platform/person_path.h"
#include "render/html.h"
#include "settings/command_line.h"
#include "settings/path_utils.h"
#include "settings/settings_fields.h"
#include "settings/settings_file.h"

namespace folvane {

namespace {

enum ExitCode { kExitSaved = 0, kExitNotSaved = 1, kExitCommandLineRejected = 2 };

constexpr std::string_view kUsage =
    "使い方: folvane-cli [/option] フォルダ [ファイル]\n"
    "  フォルダの一覧を作成します。/A とファイルを指定すると、質問せずにそのファイルへ保存して終了します。\n"
    "  ファイルを省略すると、保存先を端末で尋ねます (Enter で提案された名前に保存)。\n"
    "usage: folvane-cli [/option] FOLDER [FILE]\n";

}  // namespace

int RunConsoleProgram(int argc, char** argv) {
    const std::vector<std::string> arguments = ProgramArguments(argc, argv);
    ProcessTerminal terminal;
    if (arguments.empty() || arguments.front() == "--help" || arguments.front() == "-h") {
        terminal.Write(std::string(kUsage));
        return kExitCommandLineRejected;
    }

    ConsoleUi ui(terminal);
    const std::string settingsFile = SettingsFilePath();
    Settings settings;
    CharTable chars;
    LoadSettings(settingsFile, HelpFilePath(), settings, chars);
    RunOptions options;
    CommandLineEffects effects;
    const int parsed = ParseCommandLine(CommandLineFromHostArguments(arguments), settings, options, effects);
    if (parsed < 0) {
        ShowCommandLineError(ui, parsed, JoinArguments(arguments));
        return kExitCommandLineRejected;
    }
    if (!effects.hasFolder) {
        terminal.Write(std::string(kUsage));
        return kExitCommandLineRejected;
    }

    RunState run;
    SteadyClock clock;
    CaptionTimer caption(run, ui, clock);
    ListingRunner runner(settings, chars, run, options, ui, caption, HtmlTemplateFolder());
    ui.FollowRun(run, clock);
    CatchInterrupts();
    // Ctrl+C during a run stops it without a question; nothing is written.
    ui.SetInterruptHandler([&run] {
        if (run.BusyFlag) run.CancelFlag = kCancelByUser;
    });
    const std::string folderText = PathForPerson(effects.folderText);
    const ListingResult result = runner.Run({folderText, effects.hasFilter ? effects.filterText : "", {}});
    ui.EndProgress();

    // The exit remembers the folder listed, as the desktop program's does, except in automatic mode.
    if (!options.AutoMode) {
        settings.LastPathName = CappedText(&Settings::LastPathName, folderText);
        SaveSettings(settingsFile, settings, chars);
    }
    return result.outcome == ListingOutcome::Saved ? kExitSaved : kExitNotSaved;
}

}  // namespace folvane

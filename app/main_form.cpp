#include "app/main_form.h"

#include <algorithm>
#include <cstdint>

#include "app/start_up.h"
#include "platform/person_path.h"
#include "platform/text.h"
#include "render/output_file.h"
#include "settings/command_line.h"
#include "settings/path_utils.h"
#include "settings/settings_fields.h"
#include "settings/settings_file.h"

namespace folvane {

namespace {

int16_t ToPixel16(int value) {
    return static_cast<int16_t>(std::clamp(value, INT16_MIN + 0, INT16_MAX + 0));
}

}  // namespace

MainForm::MainForm(UiPort& ui, MainFormView& view, const Clock& clock, std::string settingsFile,
                   std::string templateFolder)
    : ui_(ui),
      view_(view),
      settingsFile_(std::move(settingsFile)),
      caption_(run_, ui, clock),
      runner_(settings_, chars_, run_, options_, ui, caption_, std::move(templateFolder)) {}

MainForm::~MainForm() = default;

bool MainForm::Form_Load(std::string_view commandLine, std::string_view shownCommandLine) {
    run_.BusyFlag = false;
    run_.CancelFlag = kNoCancel;
    // The help path comes first: loading an older settings file deletes that help file's index.
    helpFilePath_ = HelpFilePath();
    LoadSettings(settingsFile_, helpFilePath_, settings_, chars_);
    view_.UpdateContextMenuEntry();
    view_.SetFolderText(DirReGet(settings_.LastPathName));
    FillFilterList("");

    if (!TrimBlanks(commandLine).empty()) {
        CommandLineEffects effects;
        const int result = ParseCommandLine(commandLine, settings_, options_, effects);
        commandLineNamedFolder_ = effects.hasFolder;
        if (effects.hasFolder) view_.SetFolderText(PathForPerson(effects.folderText));
        if (effects.hasFilter) view_.SetFilterText(effects.filterText);
        if (effects.moveWindow) view_.MoveWindow(settings_.Left, settings_.Top);
        if (result < 0) {
            ShowCommandLineError(ui_, result, shownCommandLine.empty() ? commandLine : shownCommandLine);
            return false;
        }
    }
    ApplyRememberedPosition();
    ArrangePanels();
    return true;
}

void MainForm::ApplyRememberedPosition() {
    if (settings_.MemPos && settings_.Top >= 0 && settings_.Left >= 0)
        view_.MoveWindow(settings_.Left, settings_.Top);
}

void MainForm::Form_Activate() {
    if (activatedOnce_) return;
    activatedOnce_ = true;
    if (options_.AutoStart && !view_.FolderText().empty()) cmdExec_Click();
}

void MainForm::cmdExec_Click() {
    // A second press while the walk lets events run: only record the wish to stop.
    if (run_.BusyFlag) {
        if (AskWhileBusy(kCancelQuestion) == MsgAnswer::Yes) run_.CancelFlag = kCancelByUser;
        return;
    }
    view_.ShowBusy(true);
    lastResult_ =
        runner_.Run({view_.FolderText(), view_.FilterText(), [this] { FillFilterList(view_.FilterText()); }});
    if (run_.CancelFlag == kCancelByClosing) {
        view_.QuitNow();
        return;
    }
    view_.ShowBusy(false);
    if (options_.QuitAfterRun) cmdExit_Click();
}

// The questions asked during a run: Yes and No, No the default.
MsgAnswer MainForm::AskWhileBusy(std::string_view text) {
    MessageRequest question;
    question.text = std::string(text);
    question.title = std::string(kApplicationTitle);
    question.buttons = MsgButtons::YesNo;
    question.icon = MsgIcon::Information;
    question.defaultButton = MsgDefault::Second;
    return ui_.ShowMessage(question);
}

void MainForm::cmdExit_Click() {
    if (run_.BusyFlag && AskWhileBusy(kExitWhileBusyQuestion) != MsgAnswer::Yes) return;
    settings_.LastPathName = CappedText(&Settings::LastPathName, view_.FolderText());
    if (settings_.MemPos) {
        const auto [left, top] = view_.WindowPosition();
        settings_.Left = ToPixel16(left);
        settings_.Top = ToPixel16(top);
    }
    if (!options_.AutoMode) SaveSettings(settingsFile_, settings_, chars_);
    view_.CloseWindow();
}

void MainForm::cmdSelDir_Click() {
    std::string initial = PathFromPerson(view_.FolderText());
    if (initial.ends_with('\\') && !initial.ends_with(":\\")) initial.pop_back();
    std::string chosen = ui_.ChooseFolder(std::string(kFolderBrowserTitle), initial, kFolderBrowserFlags);
    if (chosen.empty()) return;
    if (!settings_.LongNameFlg) {
        // A folder gone since it was chosen (or typed at a prompt) has no short form; keep the
        // choice rather than emptying the field.
        std::string shortForm = ShortPath(chosen);
        if (!shortForm.empty()) chosen = std::move(shortForm);
    }
    view_.SetFolderText(PathForPerson(chosen));
}

void MainForm::cmdSetup_Click() {
    if (run_.BusyFlag) {
        ui_.Beep();
        return;
    }
    const bool filterWas = settings_.FilterFlg;
    const bool longNamesWere = settings_.LongNameFlg;
    view_.ShowSetupDialog();
    if (settings_.LongNameFlg != longNamesWere) view_.SetFolderText(DirReGet(view_.FolderText()));
    if (settings_.FilterFlg != filterWas) ArrangePanels();
}

void MainForm::Form_OLEDragDrop(const std::vector<std::string>& paths) {
    view_.SetFolderText(paths.empty() ? view_.FolderText() : DirReGet(PathForPerson(paths.front())));
}

void MainForm::Form_QueryUnload() {
    if (run_.BusyFlag) run_.CancelFlag = kCancelByClosing;
}

void MainForm::timTimer_Timer() {
    caption_.Tick();
}

std::string MainForm::DirReGet(std::string_view path) const {
    std::string folder = TruePath(PathFromPerson(path), kAnyFolderMask);
    if (folder.empty()) return std::string(path);
    if (!settings_.LongNameFlg) {
        std::string shortForm = ShortPath(folder);
        if (!shortForm.empty()) folder = std::move(shortForm);
    }
    return PathForPerson(folder);
}

void MainForm::FillFilterList(const std::string& text) {
    view_.SetFilterList(settings_.FilterText, text);
}

void MainForm::ArrangePanels() {
    view_.ArrangePanels(settings_.FilterFlg);
}

}  // namespace folvane

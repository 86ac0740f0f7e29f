#include "app/console/console_ui.h"

#include "app/status_texts.h"
#include "platform/interrupt.h"
#include "platform/person_path.h"
#include "platform/shell.h"
#include "platform/terminal.h"
#include "platform/text.h"
#include "render/text_width.h"
#include "settings/path_utils.h"

namespace folvane {

namespace {

// Cells of the progress line: a terminal shows a double-byte character in two columns, so
// display cells are terminal columns here too.
constexpr int kProgressCells = 79;

std::string WithLineFeeds(std::string_view text) {
    return ReplaceAll(text, "\r\n", "\n");
}

std::optional<MsgAnswer> AnswerOf(std::string_view typed) {
    const std::string word = AsciiLower(TrimBlanks(typed));
    if (word == "y" || word == "yes" || word == "はい") return MsgAnswer::Yes;
    if (word == "n" || word == "no" || word == "いいえ") return MsgAnswer::No;
    return std::nullopt;
}

}  // namespace

bool ProcessTerminal::CanAsk() const {
    return InputIsTerminal() && ErrorIsTerminal();
}

std::optional<std::string> ProcessTerminal::ReadLine() {
    return ReadInputLine();
}

void ProcessTerminal::Write(std::string_view text) {
    WriteError(text);
}

bool ProcessTerminal::ShowsProgress() const {
    return ErrorIsTerminal();
}

void ProcessTerminal::ShowStatus(std::string_view text) {
    ShowStatusLine(text);
}

void ProcessTerminal::ClearStatus() {
    ClearStatusLine();
}

ConsoleUi::ConsoleUi(Terminal& terminal) : terminal_(terminal) {}

void ConsoleUi::FollowRun(const RunState& run, const Clock& clock) {
    run_ = &run;
    clock_ = &clock;
}

void ConsoleUi::EndProgress() {
    if (!progressShown_) return;
    terminal_.ClearStatus();
    progressShown_ = false;
}

MsgAnswer ConsoleUi::ShowMessage(const MessageRequest& request) {
    EndProgress();
    terminal_.Write("[" + request.title + "]\n" + WithLineFeeds(request.text) + "\n");
    if (request.buttons == MsgButtons::Ok) return MsgAnswer::Ok;

    const MsgAnswer byDefault = request.defaultButton == MsgDefault::First ? MsgAnswer::Yes : MsgAnswer::No;
    const std::string choices = byDefault == MsgAnswer::Yes ? "[Y/n]" : "[y/N]";
    if (!terminal_.CanAsk()) {
        terminal_.Write(std::string(byDefault == MsgAnswer::Yes
                                        ? "(端末がないため「はい」で答えました)\n"
                                        : "(端末がないため「いいえ」で答えました)\n"));
        return byDefault;
    }
    for (;;) {
        terminal_.Write("はい(y) / いいえ(n) " + choices + ": ");
        const auto line = terminal_.ReadLine();
        if (!line) {
            terminal_.Write("\n");
            return byDefault;
        }
        if (TrimBlanks(*line).empty()) return byDefault;
        if (const auto answer = AnswerOf(*line)) return *answer;
    }
}

std::optional<std::string> ConsoleUi::AskForPath(std::string_view title, std::string_view question,
                                                 const std::string& proposed) {
    terminal_.Write("[" + std::string(title) + "]\n" + std::string(question));
    if (!proposed.empty()) terminal_.Write(" [" + PathForPerson(proposed) + "]");
    terminal_.Write(": ");
    const auto line = terminal_.ReadLine();
    if (!line) {
        terminal_.Write("\n");
        return std::nullopt;
    }
    if (TrimBlanks(*line).empty()) {
        if (proposed.empty()) return std::nullopt;
        return proposed;
    }
    return PathFromPerson(TrimBlanks(*line));
}

FileChooserResult ConsoleUi::ChooseFile(const FileChooserRequest& request, std::string_view question) {
    EndProgress();
    FileChooserResult result;
    result.filterIndex = request.filterIndex;
    if (!terminal_.CanAsk()) return result;
    // A chooser answers with a full path, also when a proposal without a folder is accepted.
    if (auto chosen = AskForPath(request.title, question, request.fileName)) {
        const std::string full = FullPath(*chosen);
        result.fileName = full.empty() ? std::move(*chosen) : full;
    }
    return result;
}

FileChooserResult ConsoleUi::ChooseSaveFile(const FileChooserRequest& request) {
    if (!terminal_.CanAsk()) {
        EndProgress();
        terminal_.Write(std::string(kNoTerminalForSaving));
    }
    return ChooseFile(request, "保存するファイル (Enter で決定)");
}

FileChooserResult ConsoleUi::ChooseOpenFile(const FileChooserRequest& request) {
    return ChooseFile(request, "開くファイル (Enter で決定)");
}

std::string ConsoleUi::ChooseFolder(const std::string& title, const std::string& initialFolder, uint32_t) {
    EndProgress();
    if (!terminal_.CanAsk()) return "";
    return AskForPath(title, "フォルダ (Enter で決定)", initialFolder).value_or("");
}

void ConsoleUi::SetWindowCaption(const std::string& caption) {
    caption_ = caption;
    if (!terminal_.ShowsProgress()) return;
    if (caption == "Folvane") {
        EndProgress();
        return;
    }
    DrawStatus();
}

// The run's counts and bytes when a run is followed, then the folder the caption names.
void ConsoleUi::DrawStatus() {
    std::string line = run_ != nullptr && run_->BusyFlag ? RunProgressText(*run_) : "";
    // The caption names a folder only after its lead; "Folvane" alone names nothing.
    if (caption_.starts_with(kCaptionLead)) {
        if (!line.empty()) line += "  ";
        line += caption_.substr(kCaptionLead.size());
    }
    terminal_.ShowStatus(CutWidth(line, kProgressCells));
    progressShown_ = true;
    if (clock_ != nullptr) drawnAt_ = clock_->Now();
}

void ConsoleUi::OpenWithAssociatedProgram(const std::string& pathOrAddress) {
    OpenWithDefaultHandler(pathOrAddress);
}

void ConsoleUi::Beep() {
    if (terminal_.ShowsProgress()) terminal_.Write("\a");
}

void ConsoleUi::PumpEvents() {
    if (TakeInterrupt() && onInterrupt_) onInterrupt_();
    if (run_ == nullptr || clock_ == nullptr || !run_->BusyFlag || !terminal_.ShowsProgress()) return;
    if (clock_->Now() - drawnAt_ >= kStatusInterval) DrawStatus();
}

}  // namespace folvane

#pragma once
// The Ui port on a terminal: messages go to standard error with their title, questions and
// file names are asked on the terminal, and without a terminal the default button answers and
// choosers are cancelled. On a terminal a status line shows the progress of a run: its counts,
// the bytes read for checksums and the folder being read.

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "engine/caption_timer.h"
#include "engine/run_state.h"
#include "platform/ui_port.h"

namespace folvane {

// Where the console program meets the person.
class Terminal {
  public:
    virtual ~Terminal() = default;
    // True when a person can answer: input and messages both on a terminal.
    virtual bool CanAsk() const = 0;
    // The next line typed, without its line end; nullopt at the end of input or on Ctrl+C.
    virtual std::optional<std::string> ReadLine() = 0;
    // Writes text for the person (standard error).
    virtual void Write(std::string_view text) = 0;
    // True when a status line can be redrawn in place (standard error is a terminal).
    virtual bool ShowsProgress() const = 0;
    // Shows text as the status line, replacing the one shown; removes it again.
    virtual void ShowStatus(std::string_view text) = 0;
    virtual void ClearStatus() = 0;
};

// The process's own standard input and standard error.
class ProcessTerminal final : public Terminal {
  public:
    bool CanAsk() const override;
    std::optional<std::string> ReadLine() override;
    void Write(std::string_view text) override;
    bool ShowsProgress() const override;
    void ShowStatus(std::string_view text) override;
    void ClearStatus() override;
};

inline constexpr std::string_view kNoTerminalForSaving =
    "保存先を尋ねる端末がないため、一覧は保存されませんでした。\n"
    "保存するファイルはコマンドラインで指定して下さい: folvane-cli /A フォルダ ファイル\n";

class ConsoleUi final : public UiPort {
  public:
    explicit ConsoleUi(Terminal& terminal);

    // Called from PumpEvents when Ctrl+C was pressed since the last pump.
    void SetInterruptHandler(std::function<void()> handler) { onInterrupt_ = std::move(handler); }
    // Lets the status line follow run, redrawn at most every kStatusInterval of clock while
    // events are pumped. Both must outlive the port.
    void FollowRun(const RunState& run, const Clock& clock);
    // Clears the status line, if one is shown.
    void EndProgress();

    static constexpr std::chrono::milliseconds kStatusInterval{200};

    MsgAnswer ShowMessage(const MessageRequest& request) override;
    FileChooserResult ChooseSaveFile(const FileChooserRequest& request) override;
    FileChooserResult ChooseOpenFile(const FileChooserRequest& request) override;
    std::string ChooseFolder(const std::string& title, const std::string& initialFolder,
                             uint32_t flags) override;
    std::string WindowCaption() const override { return caption_; }
    void SetWindowCaption(const std::string& caption) override;
    void OpenWithAssociatedProgram(const std::string& pathOrAddress) override;
    void Beep() override;
    void PumpEvents() override;

  private:
    FileChooserResult ChooseFile(const FileChooserRequest& request, std::string_view question);
    std::optional<std::string> AskForPath(std::string_view title, std::string_view question,
                                          const std::string& proposed);

    Terminal& terminal_;
    std::function<void()> onInterrupt_;
    void DrawStatus();

    std::string caption_ = "Folvane";
    bool progressShown_ = false;
    const RunState* run_ = nullptr;
    const Clock* clock_ = nullptr;
    std::chrono::milliseconds drawnAt_{0};
};

}  // namespace folvane

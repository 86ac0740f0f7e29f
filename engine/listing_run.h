#pragma once
// One listing run: the Exec button's double role (start, and cancel while running), the check
// of the folder, the assembly of the five parts of a listing and the save-and-retry loop.

#include <functional>
#include <string>
#include <string_view>

#include "engine/listing_context.h"
#include "render/file_entry.h"
#include "render/listing_writer.h"
#include "render/output_file.h"
#include "settings/run_options.h"

namespace folvane {

// What a run needs of the main window beyond the Ui port. The desktop program supplies widgets;
// the console program keeps texts.
class RunWindow {
  public:
    virtual ~RunWindow() = default;
    virtual std::string FolderText() const = 0;       // the folder field, as typed
    virtual std::string FilterComboText() const = 0;  // the filter field, as typed
    // Busy: the panels are disabled (the filter panel only when shown), the pointers show the
    // hourglass and the Exec button reads "中断". Idle undoes it and the button reads "実行".
    virtual void ShowBusy(bool busy) = 0;
    // Refills the filter list from the history, keeping the field's text.
    virtual void RefreshFilterList() = 0;
    // The normal exit (the Exit button), after a run that was started to end the program.
    virtual void ExitProgram() = 0;
    // Ends the program at once: the window was closed during the run.
    virtual void EndProgramNow() = 0;
};

// How the last run ended, for front ends that report it (the console program's exit code).
enum class ListingOutcome {
    None,            // no run yet, or the run was refused before it began
    Saved,           // the listing was written, or the person declined to replace a file
    NotSaved,        // the person gave up saving: the chooser was cancelled or retry declined
    Cancelled,       // the walk was cancelled
    FolderNotFound,  // the folder text named no usable folder
};

inline constexpr std::string_view kCancelQuestion = "現在、フォルダの調査中です。中断しますか？";
// The base of the proposed file name when the host's root folder is listed.
inline constexpr std::string_view kHostRootBaseName = "ルートフォルダ";
inline constexpr std::string_view kFolderNotFoundMessage =
    "この名前のフォルダまたはドライブが見つかりませんでした。";

class ListingRunner {
  public:
    // settings is the live record: a run adds to the filter history and remembers where it
    // saved. templateFolder holds the HTML templates; now gives the date of the title.
    ListingRunner(Settings& settings, const CharTable& chars, RunState& run, RunOptions& options, UiPort& ui,
                  CaptionTimer& caption, RunWindow& window, std::string templateFolder,
                  std::function<DateTime()> now = LocalDateTimeNow);

    // The Exec button: starts a run, or, while one runs, offers to cancel it.
    void cmdExec_Click();

    // Checks folderText and lists it: 0, or -1 when it names no usable folder.
    int StartListing(std::string_view folderText);

    // Builds and saves the listing of rootPath (a full folder path ending in "\").
    void ListMake(std::string_view rootPath);

    ListingOutcome LastOutcome() const { return outcome_; }
    // The file the last run saved ("" when none).
    const std::string& LastSavedFile() const { return savedFile_; }

  private:
    struct RootLines;
    RootLines MakeRootLines(ListingContext& context, const ListingWriter& writer, std::string_view rootPath,
                            const FolderTotals& totals, const ListingFacts& facts);
    std::string SaveListing(const ListingWriter& writer, const FileContent& content,
                            const std::string& baseName);
    bool RetryAfterFailure(const std::string& fileName);

    Settings& settings_;
    const CharTable& chars_;
    RunState& run_;
    RunOptions& options_;
    UiPort& ui_;
    CaptionTimer& caption_;
    RunWindow& window_;
    std::string templateFolder_;
    std::function<DateTime()> now_;
    ListingOutcome outcome_ = ListingOutcome::None;
    std::string savedFile_;
    bool programEnding_ = false;
};

}  // namespace folvane

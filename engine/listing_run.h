#pragma once
// One listing run: from a request (the folder and filter texts as typed) through the check of the
// folder, the walk and the assembly of the five parts of a listing to the save-and-retry loop.
// The front ends own the buttons around it: the desktop program's Exec button starts a run or,
// during one, asks whether to cancel it.

#include <functional>
#include <string>
#include <string_view>

#include "engine/listing_context.h"
#include "render/file_entry.h"
#include "render/listing_writer.h"
#include "render/output_file.h"
#include "settings/run_options.h"

namespace folvane {

// How a run ended.
enum class ListingOutcome {
    None,            // no run yet, or the run was refused before it began
    Saved,           // the listing was written, or the person declined to replace a file
    NotSaved,        // the person gave up saving: the chooser was cancelled or retry declined
    Cancelled,       // the walk was cancelled
    FolderNotFound,  // the folder text named no usable folder
};

// The base of the proposed file name when the host's root folder is listed.
inline constexpr std::string_view kHostRootBaseName = "ルートフォルダ";
inline constexpr std::string_view kFolderNotFoundMessage =
    "この名前のフォルダまたはドライブが見つかりませんでした。";

// What a run is asked to list: the texts of the folder and filter fields, exactly as typed.
struct ListingRequest {
    std::string folderText;
    std::string filterText;  // counts only while the settings switch the filter on
    // Called when the run has put filterText into the filter history, before the walk, so a
    // window can show the new history at once; may be empty.
    std::function<void()> onFilterHistoryChanged;
};

struct ListingResult {
    ListingOutcome outcome = ListingOutcome::None;
    std::string savedFile;  // the file written (or kept after a declined replace); "" when none
};

class ListingRunner {
  public:
    // settings is the live record: a run adds to the filter history and remembers where it
    // saved. templateFolder holds the HTML templates; now gives the date of the title.
    ListingRunner(Settings& settings, const CharTable& chars, RunState& run, const RunOptions& options,
                  UiPort& ui, CaptionTimer& caption, std::string templateFolder,
                  std::function<DateTime()> now = LocalDateTimeNow);

    // One run for request. run.BusyFlag holds while it goes on; run.CancelFlag set above 0
    // meanwhile (by a handler that PumpEvents runs) ends the walk and nothing is saved: Cancelled.
    // A folder text that names no usable folder is reported to the person: FolderNotFound. When
    // run.CancelFlag is kCancelByClosing afterwards, the window was closed: the program ends.
    ListingResult Run(const ListingRequest& request);

  private:
    struct RootLines;
    // Checks folderText and lists it: 0, or -1 when it names no usable folder.
    int StartListing(std::string_view folderText);
    // Builds and saves the listing of rootPath (a full folder path ending in "\").
    void ListMake(std::string_view rootPath);
    void UseFilter(const ListingRequest& request);
    RootLines MakeRootLines(ListingContext& context, const ListingWriter& writer, std::string_view rootPath,
                            const FolderTotals& totals, const ListingFacts& facts);
    std::string SaveListing(const ListingWriter& writer, const FileContent& content,
                            const std::string& baseName);
    bool RetryAfterFailure(const std::string& fileName);

    Settings& settings_;
    const CharTable& chars_;
    RunState& run_;
    const RunOptions& options_;
    UiPort& ui_;
    CaptionTimer& caption_;
    std::string templateFolder_;
    std::function<DateTime()> now_;
    ListingResult result_;
};

}  // namespace folvane

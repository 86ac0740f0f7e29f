#pragma once
// Helpers for tests that compare whole listing texts written out by hand: a listing context
// over the scripted Ui and a clock that only moves when told, settings presets that keep lines
// short, small folder trees and the line joining of the listing.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/caption_timer.h"
#include "engine/listing_context.h"
#include "engine/run_state.h"
#include "render/file_entry.h"
#include "settings/char_table.h"
#include "settings/settings.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace folvane::testing {

// Local time is UTC while it lives; the previous zone comes back afterwards.
class UtcZone {
  public:
    UtcZone();
    ~UtcZone();
    UtcZone(const UtcZone&) = delete;
    UtcZone& operator=(const UtcZone&) = delete;

  private:
    std::optional<std::string> saved_;
};

// A clock that stands still until a test moves it.
class StepClock final : public Clock {
  public:
    std::chrono::milliseconds Now() const override { return now_; }
    void Advance(std::chrono::milliseconds by) { now_ += by; }

  private:
    std::chrono::milliseconds now_{10000};
};

// Everything a tree walk needs, with default settings and the default tree-line table.
struct ListingRig {
    ListingRig();
    ListingRig(const ListingRig&) = delete;
    ListingRig& operator=(const ListingRig&) = delete;

    // Only the name column, `columns` cells wide (NameWidth == columns).
    void NameColumnOnly(int columns);
    // The name column and the size column (exact byte counts in sizeColumns cells).
    void NameAndSize(int columns, int sizeColumns = 12);

    // The tree body of folder (a path-space path without the final "\"), listed as the root.
    std::string Walk(std::string_view folder, FolderTotals& totals);

    Settings settings;
    CharTable chars;
    RunState run;
    ScriptedUi ui{"Folvane"};
    StepClock clock;
    CaptionTimer caption{run, ui, clock};
    ListingContext context{settings, chars, run, ui, caption};
};

// Entries of a small tree: a name ending in "/" is a folder, any other a file with the content.
using TreeSpec = std::vector<std::pair<std::string, std::string>>;

// Creates the entries of tree inside dir's folder base ("" for dir itself), parents as needed.
void MakeTree(const TempDir& dir, std::string_view base, const TreeSpec& tree);

// Each line followed by CR LF.
std::string CrLf(const std::vector<std::string>& lines);

// lead followed by i in at least three digits ("f007").
std::string Numbered(int i, std::string_view lead = "f");

// n spaces.
std::string Sp(int n);

// The lines of a listing text (split at CR LF, without the line ends).
std::vector<std::string> SplitCrLf(std::string_view text);

// The reference a link to an entry of dir carries: "file://" + the host path + "/" + relative,
// where relative is already written as the link writes it (blank as %20, & as &amp;).
std::string FileUrl(const TempDir& dir, std::string_view relative);

// True when the host path of dir needs no escaping inside a link.
bool HostPathIsPlain(const TempDir& dir);

}  // namespace folvane::testing

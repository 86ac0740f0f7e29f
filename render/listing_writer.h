#pragma once
// A listing in its form: the walk hands over what it finds (an entry, a folder's line once its
// subtree is known, a folder's summary, margins), the writer makes the lines and keeps them in
// a BodyStore, and at the end it composes the five parts of the listing into the output file.
// Text and HTML listings share every rule of layout; the text writer and the HTML writer
// (text_writer.cpp, html_writer.cpp) own every decision of form: escaping, links, the teletype
// span of tree lines, "<BR>", the template.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/byte_sink.h"
#include "platform/ui_port.h"
#include "render/body_store.h"
#include "render/file_entry.h"
#include "settings/char_table.h"
#include "settings/settings.h"

namespace folvane {

// The product line at the start of every listing, and the address it links to in HTML.
inline constexpr std::string_view kProductLine = "Folvane Ver 1.8";
extern const std::string_view kHomePageAddress;

// The facts of the listed folder's volume and disk, read once per run (listing_facts.h in the
// engine gathers them).
struct VolumeInfo {
    std::string label;
    uint32_t serial = 0;
    uint32_t maxComponentLength = 0;
    uint32_t flags = 0;
    std::string fileSystemName;
};
struct ListingFacts {
    std::string root;                  // RootPath of the listed folder
    std::optional<VolumeInfo> volume;  // nullopt when the volume cannot be queried
    int64_t freeBytes = -1;            // -1 when the disk cannot be queried
    int64_t totalBytes = -1;
};

// The five parts of a listing. The body is the listed folder's own lines (head, text) followed
// by the tree body kept in a store (code page 932), without the final line end.
struct ListingParts {
    std::string header;
    std::string heading;
    std::string separator;
    std::string bodyHead;
    const BodyStore* bodyTail = nullptr;
    std::string footer;
};

class ListingWriter {
  public:
    // The writer of the form settings ask for: the one place where ListType is read. The HTML
    // writer fills the template settings name, looked up in templateFolder.
    static std::unique_ptr<ListingWriter> For(const Settings& settings, const CharTable& chars,
                                              std::string templateFolder = "");
    virtual ~ListingWriter() = default;
    ListingWriter(const ListingWriter&) = delete;
    ListingWriter& operator=(const ListingWriter&) = delete;

    // ---- The tree body, into store ----------------------------------------------------------
    // The line(s) of an entry below the listed folder, led by linePrefix (linePrefixWidth
    // cells): a name too wide for the name column goes on after childPrefix in continuation
    // lines; then the margin lines with childPrefix. folderPath holds the entry.
    void Entry(BodyStore& store, std::string_view linePrefix, int linePrefixWidth,
               std::string_view childPrefix, std::string_view folderPath, const FileEntry& entry,
               bool link) const;
    // The same for a folder whose place was reserved before its subtree was written.
    void FolderEntry(BodyStore& store, BodyStore::Slot slot, std::string_view linePrefix, int linePrefixWidth,
                     std::string_view childPrefix, std::string_view folderPath, const FileEntry& entry,
                     bool link) const;
    // A folder's own files in the abbreviated views: the count line led by linePrefix, the
    // packed name lines led by packPrefix (view style 1), and the margin lines with packPrefix.
    void Summary(BodyStore& store, std::string_view linePrefix, const FolderTotals& own,
                 std::string_view packPrefix, const std::vector<std::string>& packedLines) const;
    // A piece of a packed file name as it stands on a packed line: linked to target or not.
    std::string PackedPiece(std::string_view piece, std::string_view target, bool link) const;

    // ---- Lines ---------------------------------------------------------------------------------
    // One entry's line (no line end): prefix and name in the name column, then the columns.
    std::string EntryLine(std::string_view prefix, std::string_view displayName, std::string_view folderPath,
                          const FileEntry& entry) const;
    // The line of a listed drive or share root: entry.Name spans the name, size, attribute and
    // date columns; targetPath is the link target.
    std::string RootLine(std::string_view targetPath, const FileEntry& entry) const;
    // The line(s) of the listed folder itself, held in parentPath, each ended by CR LF: a name
    // wider than the name column is broken into pieces of the column's width.
    std::string ListedFolderLines(std::string_view parentPath, const FileEntry& entry) const;
    // Lines - 1 lines holding prefix cut to the name column, each ended by CR LF.
    std::string MarginLines(std::string_view prefix) const;
    // folderText followed by the counts in the name column and the total size (no line end).
    std::string FolderSumLine(std::string_view folderText, const FolderTotals& totals) const;

    // ---- The parts around the body -----------------------------------------------------------
    std::string Title(std::string_view folder, DateTime now, const ListingFacts& facts) const;
    std::string Midashi() const;
    std::string PartLine() const;
    std::string SummaryText(const FolderTotals& totals) const;
    std::string Futter(const ListingFacts& facts) const;

    // Writes the whole listing in code page 932 into sink; false when the sink refused or the
    // body could not be read back.
    virtual bool Compose(const ListingParts& parts, ByteSink& sink) const = 0;

    // What follows the base name in a proposed file name: "のリスト.txt" or "のリスト.htm".
    virtual std::string_view FileNameSuffix() const = 0;
    // Lets the person choose where to save a listing of this form; "" when cancelled.
    virtual std::string ChooseOutputFile(UiPort& ui, std::string_view proposedName) const = 0;

    const Settings& settings() const { return settings_; }

  protected:
    ListingWriter(const Settings& settings, const CharTable& chars) : settings_(settings), chars_(chars) {}

    // ---- Decisions of form -------------------------------------------------------------------
    // text as it stands in the listing.
    virtual void AppendText(std::string& out, std::string_view text) const = 0;
    // The name column of an entry line: prefix and name fitted to the column.
    virtual void AppendNameColumn(std::string& out, std::string_view prefix, std::string_view displayName,
                                  std::string_view folderPath, const FileEntry& entry) const = 0;
    // The name of a listed root spanning cells cells.
    virtual void AppendRootName(std::string& out, std::string_view name, int cells,
                                std::string_view target) const = 0;
    // Tree lines that stand alone before a piece of a name (already cut to fit).
    virtual void AppendTreeLines(std::string& out, std::string_view prefix) const = 0;
    // A piece of a name, linked to target or not.
    virtual void AppendNamePiece(std::string& out, std::string_view piece, std::string_view target,
                                 bool link) const = 0;
    // The folder text that leads a count line.
    virtual void AppendSummaryLead(std::string& out, std::string_view folderText) const = 0;
    // The prefix that leads each packed name line.
    virtual void AppendPackLead(std::string& out, std::string_view packPrefix) const = 0;
    // A path as the title block shows it: shown is what the person reads, target the path.
    virtual void AppendShownPath(std::string& out, std::string_view shown, std::string_view target) const = 0;
    // The product name of the title line.
    virtual void AppendProductName(std::string& out) const = 0;

    // Writes the body (head, then the store, without the final CR LF) into sink.
    static bool WriteBody(const ListingParts& parts, ByteSink& sink);

    const Settings& settings_;
    const CharTable& chars_;

  private:
    void AppendEntryLines(std::string& out, std::string_view linePrefix, int linePrefixWidth,
                          std::string_view childPrefix, std::string_view folderPath, const FileEntry& entry,
                          bool link) const;
    void AppendContinuationLines(std::string& out, std::string_view rest, std::string_view childPrefix,
                                 std::string_view target, bool link) const;
};

}  // namespace folvane

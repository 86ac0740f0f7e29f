#include "engine/tree_body.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "engine/entry_order.h"
#include "engine/folder_read.h"
#include "platform/file_system.h"
#include "render/entry_columns.h"
#include "render/html.h"
#include "render/text_width.h"
#include "render/title_blocks.h"

namespace folvane {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
// The top folder hands its lines on to the caller's text every this many entries.
constexpr std::size_t kFlushEvery = 100;
// Lines per entry beyond this are no layout anyone asked for, only a way to exhaust memory.
constexpr int kMaxLinesPerEntry = 100;

// The file names of one folder packed into lines (view style 1).
struct PackedNames {
    std::vector<std::string> full;  // lines already closed
    std::string current;            // the line being filled
    int used = 0;                   // cells counted on the current line
    int64_t packed = 0;             // names packed so far

    void CloseLine() {
        full.push_back(std::move(current));
        current.clear();
        used = 0;
    }
};

// One folder on the way from the top folder to the one being read. The walk keeps one frame
// per level on its own stack instead of the call stack, so any depth can be walked; the
// folder's path and prefix live once, in the walk, and a frame holds only their lengths.
struct Frame {
    std::vector<FolderEntry> entries;  // sorted
    std::size_t next = 0;              // the entry to take up next
    std::size_t pathLength = 0;
    std::size_t prefixLength = 0;
    int prefixWidth = 0;
    int packWidth = 0;  // cells for packed names after prefix and blank
    FileIdentity identity;
    std::size_t slot = 0;  // the piece that will hold this folder's own line in its parent's list
    FolderTotals totals;
    int64_t folderFiles = 0;  // this folder's own files, for its summary line
    int64_t folderBytes = 0;
    PackedNames pack;
};

// The first character of s alone, and the rest.
SplitResult FirstCharacter(std::string_view s) {
    std::size_t end = 0;
    DecodeUtf8(s, end);
    return SplitWidth(s, StrWidth(s.substr(0, end)));
}

void RemoveTrailingSpaces(std::string& line) {
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
}

class TreeWalk {
  public:
    TreeWalk(ListingContext& context, std::string& text, std::string_view prefix, std::string_view path);

    // Walks the whole tree; false when the run was cancelled on the way.
    bool Run(FolderTotals& totals);

  private:
    const std::string& Piece(CharRole role) const { return context_.chars.Piece(settings_.CharType, role); }
    int PieceWidth(CharRole role) const { return pieceWidths_[static_cast<int>(role)]; }
    bool IsHtml() const { return settings_.ListType == 1; }

    // Reading folders and moving between them.
    bool Enter(const FileIdentity& identity, std::size_t slot);
    bool Descend(Frame& frame);
    bool MayDescend(const FolderEntry& entry) const;
    void RequestSubfolders();
    void Ascend();
    void Flush();
    std::string& Out() { return pieces_.back(); }

    // The steps for one entry.
    void FolderSteps(Frame& frame, std::string& out, bool emptyBody, const FolderTotals& childTotals,
                     bool searched);
    void FileSteps(Frame& frame);
    void EntryLines(std::string& out, const FileEntry& entry, int prefixWidth, std::string_view childPrefix,
                    bool link);
    void ContinuationLines(std::string& out, std::string_view rest, std::string_view childPrefix,
                           std::string_view name, bool link);
    void MarginLines(std::string& out, std::string_view prefix) const;
    std::string NamePiece(std::string_view piece, std::string_view name, bool link) const;

    // View style 1.
    void Pack(Frame& frame, const FileEntry& entry);
    void PackSeparator(Frame& frame) const;
    void FolderSummary(Frame& frame);

    ListingContext& context_;
    const Settings& settings_;
    std::string& text_;
    std::string path_;    // of the folder on top of the stack
    std::string prefix_;  // of the entries of the folder on top of the stack
    std::vector<Frame> frames_;
    // The text not yet handed to the caller, in order. A folder's line is written after its
    // subtree, into a piece kept free for it in front of the subtree's pieces, so no text is
    // ever copied from one level to the next.
    std::vector<std::string> pieces_;
    std::string linePrefix_;  // scratch texts, kept to save allocations
    std::string childPrefix_;
    std::array<int, kCharRoles> pieceWidths_{};
    FolderPrefetch prefetch_;  // last: its worker stops before anything else goes
};

TreeWalk::TreeWalk(ListingContext& context, std::string& text, std::string_view prefix, std::string_view path)
    : context_(context), settings_(context.settings), text_(text), path_(path), prefix_(prefix), pieces_(1) {
    if (!path_.ends_with('\\')) path_ += '\\';
    for (int role = 0; role < kCharRoles; ++role)
        pieceWidths_[role] = StrWidth(Piece(static_cast<CharRole>(role)));
}

bool TreeWalk::Run(FolderTotals& totals) {
    totals = FolderTotals{};
    const auto top = GetFileFacts(path_);
    if (!Enter(top ? top->identity : FileIdentity{}, 0)) return false;
    for (;;) {
        Frame& frame = frames_.back();
        if (frame.next == frame.entries.size()) {
            FolderSummary(frame);
            if (frames_.size() == 1) {
                Flush();
                totals = frame.totals;
                return true;
            }
            Ascend();
            continue;
        }
        const std::size_t n = frame.next++;
        if (context_.PumpAndCheckCancel()) return false;
        if (n % kFlushEvery == 0) Flush();
        const FolderEntry& entry = frame.entries[n];
        if (!entry.record.IsFolder()) {
            FileSteps(frame);
        } else if (!settings_.SubDirSearchFlg) {
            FolderSteps(frame, Out(), true, {}, false);
        } else if (!MayDescend(entry)) {
            // Listed like a folder that cannot be read: no contents.
            FolderSteps(frame, Out(), true, {}, true);
        } else if (!Descend(frame)) {
            return false;
        }
    }
}

// Reads the folder at path_ into a new frame; false when the run was cancelled meanwhile.
bool TreeWalk::Enter(const FileIdentity& identity, std::size_t slot) {
    context_.caption.SetPendingCaption("Folvane  -  " + path_ + "*");
    context_.run.FoldersRead += 1;
    std::vector<FolderEntry> entries = ReadFolderEntries(context_, path_, &prefetch_);
    if (context_.run.CancelRequested()) return false;
    std::stable_sort(entries.begin(), entries.end(), [&](const FolderEntry& a, const FolderEntry& b) {
        return SortsBefore(settings_, a.record, b.record);
    });
    Frame frame;
    frame.entries = std::move(entries);
    frame.pathLength = path_.size();
    frame.prefixLength = prefix_.size();
    frame.prefixWidth = StrWidth(prefix_);
    frame.packWidth = settings_.Columns - (frame.prefixWidth + PieceWidth(CharRole::Blank));
    frame.identity = identity;
    frame.slot = slot;
    frames_.push_back(std::move(frame));
    RequestSubfolders();
    return true;
}

// The folders the walk will enter next, in the order it will enter them.
void TreeWalk::RequestSubfolders() {
    if (!settings_.SubDirSearchFlg) return;
    std::vector<std::string> subfolders;
    for (const FolderEntry& entry : frames_.back().entries) {
        if (entry.record.IsFolder() && MayDescend(entry))
            subfolders.push_back(path_ + entry.record.Name + '\\');
    }
    prefetch_.Request(std::move(subfolders));
}

// Enters the folder of the entry just taken up; its lines continue the tree line below that
// entry unless it is the last one.
bool TreeWalk::Descend(Frame& frame) {
    const FolderEntry& entry = frame.entries[frame.next - 1];
    const bool last = frame.next == frame.entries.size();
    const FileIdentity identity = entry.identity;
    path_ += entry.record.Name;
    path_ += '\\';
    prefix_ += Piece(last ? CharRole::Blank : CharRole::Vertical);
    const std::size_t slot = pieces_.size();
    pieces_.resize(slot + 2);  // the folder's line, then the first piece of its subtree
    return Enter(identity, slot);
}

// Back in the parent after a folder's subtree: the folder's own line goes into its piece.
void TreeWalk::Ascend() {
    const std::size_t slot = frames_.back().slot;
    const FolderTotals subtree = frames_.back().totals;
    frames_.pop_back();
    path_.resize(frames_.back().pathLength);
    prefix_.resize(frames_.back().prefixLength);
    const bool emptyBody = std::all_of(pieces_.begin() + static_cast<std::ptrdiff_t>(slot) + 1, pieces_.end(),
                                       [](const std::string& piece) { return piece.empty(); });
    FolderSteps(frames_.back(), pieces_[slot], emptyBody, subtree, true);
    pieces_.emplace_back();
}

// A link to a folder is listed but never followed, and a folder already on the way down (a
// bind mount of an ancestor) is not entered again, so no tree can make the walk go round.
bool TreeWalk::MayDescend(const FolderEntry& entry) const {
    if (entry.viaLink) return false;
    if (entry.identity == FileIdentity{}) return true;
    return std::none_of(frames_.begin(), frames_.end(),
                        [&](const Frame& frame) { return frame.identity == entry.identity; });
}

// Hands the pieces to the caller's text. Only the top folder does so, every kFlushEvery
// entries and at its end, when every folder line in the pieces has been written.
void TreeWalk::Flush() {
    if (frames_.size() != 1) return;
    std::size_t size = text_.size();
    for (const std::string& piece : pieces_)
        size += piece.size();
    if (size > text_.capacity()) text_.reserve(std::max(size, 2 * text_.capacity()));
    for (const std::string& piece : pieces_)
        text_ += piece;
    pieces_.assign(1, std::string());
}

// The line of a folder, written once its subtree has been read: the subtree decides the CRC
// sum shown and whether the tree line continues below the folder's name.
void TreeWalk::FolderSteps(Frame& frame, std::string& out, bool emptyBody, const FolderTotals& childTotals,
                           bool searched) {
    FileEntry& entry = frame.entries[frame.next - 1].record;
    const bool last = frame.next == frame.entries.size();
    linePrefix_.assign(prefix_).append(Piece(last ? CharRole::End : CharRole::Branch));
    childPrefix_.assign(prefix_).append(Piece(last ? CharRole::Blank : CharRole::Vertical));
    if (searched) {
        childPrefix_ += Piece(emptyBody ? CharRole::Blank : CharRole::Vertical);
        entry.Crc = childTotals.CrcSum;
    }
    EntryLines(out, entry, frame.prefixWidth + PieceWidth(last ? CharRole::End : CharRole::Branch),
               childPrefix_, settings_.FolderLinkFlg);
    MarginLines(out, childPrefix_);
    frame.totals.Folders += childTotals.Folders + 1;
    frame.totals.Files += childTotals.Files;
    frame.totals.Bytes += childTotals.Bytes;
    frame.totals.CrcSum = AddWrap32(frame.totals.CrcSum, childTotals.CrcSum);
}

void TreeWalk::FileSteps(Frame& frame) {
    const FileEntry& entry = frame.entries[frame.next - 1].record;
    if (settings_.ViewType == 0) {
        const bool last = frame.next == frame.entries.size();
        linePrefix_.assign(prefix_).append(Piece(last ? CharRole::End : CharRole::Branch));
        childPrefix_.assign(prefix_).append(Piece(last ? CharRole::Blank : CharRole::Vertical));
        EntryLines(Out(), entry, frame.prefixWidth + PieceWidth(last ? CharRole::End : CharRole::Branch),
                   childPrefix_, settings_.FileLinkFlg);
        MarginLines(Out(), childPrefix_);
    } else {
        if (settings_.ViewType == 1 && frame.packWidth > 0) Pack(frame, entry);
        frame.folderFiles += 1;
        frame.folderBytes += entry.Size;
    }
    frame.totals.Files += 1;
    context_.run.FilesRead += 1;
    frame.totals.Bytes += entry.Size;
    frame.totals.CrcSum = AddWrap32(frame.totals.CrcSum, entry.Crc);
}

// The entry's line, led by linePrefix_ (prefixWidth cells); a name too wide for the name
// column goes on in continuation lines when the prefix leaves room for two cells of it.
void TreeWalk::EntryLines(std::string& out, const FileEntry& entry, int prefixWidth,
                          std::string_view childPrefix, bool link) {
    const std::string_view linePrefix = linePrefix_;
    const int nameWidth = settings_.NameWidth;
    // No character takes more cells than bytes, so a name with no more bytes than the free
    // cells fits without measuring it.
    const bool fits = prefixWidth + static_cast<int64_t>(entry.Name.size()) <= nameWidth ||
                      prefixWidth + StrWidth(entry.Name) <= nameWidth;
    if (!fits && prefixWidth + 1 < nameWidth) {
        const SplitResult split = SplitWidth(entry.Name, nameWidth - prefixWidth);
        out += EntryLine(settings_, linePrefix, split.head, path_, entry);
        out += kLineEnd;
        ContinuationLines(out, split.rest, childPrefix, entry.Name, link);
    } else {
        out += EntryLine(settings_, linePrefix, entry.Name, path_, entry);
        out += kLineEnd;
    }
}

// Each piece of the rest of a wrapped name follows the child prefix, in the cells the prefix
// leaves of the name column. Where those cells cannot hold the piece (the prefix fills the
// column, or one cell is left for a double-byte character), the piece stands at the start of
// its line instead, without tree lines, so that no part of the name is lost.
void TreeWalk::ContinuationLines(std::string& out, std::string_view rest, std::string_view childPrefix,
                                 std::string_view name, bool link) {
    const int nameWidth = settings_.NameWidth;
    const int room = nameWidth - StrWidth(childPrefix);
    const std::vector<std::string> pieces = WrapLines(rest, room >= 1 ? room : nameWidth);
    const std::string htmlPrefix =
        IsHtml() ? "<TT>" + HtmlEscape(CutWidth(childPrefix, nameWidth)) + "</TT>" : "";
    for (const std::string& piece : pieces) {
        const bool underPrefix = room >= 1 && StrWidth(piece) <= room;
        if (!IsHtml()) {
            out += underPrefix ? CutWidth(std::string(childPrefix) + piece, nameWidth)
                               : CutWidth(piece, nameWidth);
        } else if (underPrefix) {
            out += htmlPrefix + NamePiece(CutWidth(piece, room), name, link);
        } else {
            out += NamePiece(CutWidth(piece, nameWidth), name, link);
        }
        out += kLineEnd;
    }
}

// Lines that only continue the tree lines, so that every entry takes Lines lines at least.
void TreeWalk::MarginLines(std::string& out, std::string_view prefix) const {
    const int count = std::min<int>(settings_.Lines, kMaxLinesPerEntry) - 1;
    if (count < 1) return;
    const std::string cut = CutWidth(prefix, settings_.NameWidth);
    std::string line = IsHtml() ? "<TT>" + HtmlEscape(cut) + "</TT>" : cut;
    line += kLineEnd;
    for (int k = 0; k < count; ++k)
        out += line;
}

// A piece of an entry's name in an HTML listing: a link to the entry, or escaped text.
std::string TreeWalk::NamePiece(std::string_view piece, std::string_view name, bool link) const {
    if (!link) return HtmlEscape(piece);
    return PathLink(piece, path_ + std::string(name));
}

// Packs a file name after the names packed before it, separated by "," (one character,
// counted as two cells). A name that fits on an empty line but not on the current one starts a
// new line; a longer one is continued over as many lines as it needs.
void TreeWalk::Pack(Frame& frame, const FileEntry& entry) {
    PackedNames& pack = frame.pack;
    const int width = frame.packWidth;
    if (pack.packed > 0) PackSeparator(frame);
    const int nameWidth = StrWidth(entry.Name);
    if (nameWidth + 2 <= width && pack.used + nameWidth + 2 > width) {
        RemoveTrailingSpaces(pack.current);
        pack.CloseLine();
    }
    std::string rest = entry.Name;
    while (!rest.empty()) {
        SplitResult split = SplitWidth(rest, width - pack.used);
        // A character wider than the whole line (a double-byte one when the line has one
        // cell) can never fit: it takes a line of its own rather than stalling the packing.
        if (split.head.empty() && pack.used == 0) split = FirstCharacter(rest);
        if (split.head.empty()) {
            pack.used = width;
        } else {
            pack.used += StrWidth(split.head);
            pack.current += IsHtml() ? NamePiece(split.head, entry.Name, settings_.FileLinkFlg) : split.head;
        }
        if (pack.used >= width) pack.CloseLine();
        rest = std::move(split.rest);
    }
    pack.packed += 1;
}

void TreeWalk::PackSeparator(Frame& frame) const {
    PackedNames& pack = frame.pack;
    const int width = frame.packWidth;
    if (width > 2) {
        pack.current += ',';
        if (width - pack.used <= 2) {
            pack.CloseLine();
        } else {
            pack.used += 2;
        }
        return;
    }
    if (pack.used > 0) pack.CloseLine();
    pack.current += ',';
    pack.CloseLine();
}

// In the abbreviated views a folder's own files are summed up in one line after its
// subfolders, followed in view style 1 by their packed names.
void TreeWalk::FolderSummary(Frame& frame) {
    if (settings_.ViewType <= 0 || frame.folderFiles == 0) return;
    FolderTotals own;
    own.Files = frame.folderFiles;
    own.Bytes = frame.folderBytes;
    std::string& out = Out();
    out += FolderSumLine(settings_, prefix_ + Piece(CharRole::End), own);
    out += kLineEnd;
    const std::string packPrefix = prefix_ + Piece(CharRole::Blank);
    if (settings_.ViewType == 1) {
        PackedNames& pack = frame.pack;
        if (!pack.current.empty()) pack.full.push_back(std::move(pack.current));
        const std::string lead =
            IsHtml() ? "<TT>" + HtmlEscape(CutWidth(packPrefix, settings_.Columns)) + "</TT>" : packPrefix;
        for (const std::string& line : pack.full) {
            out += lead;
            out += line;
            out += kLineEnd;
        }
    }
    MarginLines(out, packPrefix);
}

}  // namespace

void TreeBody(ListingContext& context, std::string& text, std::string_view prefix, std::string_view path,
              FolderTotals& totals) {
    TreeWalk walk(context, text, prefix, path);
    walk.Run(totals);
}

}  // namespace folvane

#include "engine/tree_body.h"

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/entry_order.h"
#include "engine/folder_read.h"
#include "platform/file_system.h"
#include "platform/person_path.h"
#include "render/text_width.h"

namespace folvane {

namespace {

// Folders the walk keeps open at most. A folder stays open while subfolders of it may still be
// entered; beyond this many the one nearest the top lets go, and is opened again through the
// nearest open folder above it should it be needed, so no tree can exhaust the descriptors.
constexpr std::size_t kMaxOpenFolders = 64;

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
    std::shared_ptr<const FolderHandle> folder;  // null once let go of (or when it would not open)
    std::string enumeratedName;                  // its name in the parent folder
    std::vector<FolderEntry> entries;            // sorted
    std::size_t next = 0;                        // the entry to take up next
    std::size_t lastToEnter = 0;                 // one past the last subfolder that may be entered
    std::size_t pathLength = 0;
    std::size_t prefixLength = 0;
    int prefixWidth = 0;
    int packWidth = 0;  // cells for packed names after prefix and blank
    FileIdentity identity;
    BodyStore::Slot slot;  // the place of this folder's own line in its parent's body
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
    TreeWalk(ListingContext& context, const ListingWriter& writer, BodyStore& store, std::string_view prefix,
             std::string_view path);

    // Walks the whole tree; false when the run was cancelled on the way.
    bool Run(FolderTotals& totals);

  private:
    const std::string& Piece(CharRole role) const { return context_.chars.Piece(settings_.CharType, role); }
    int PieceWidth(CharRole role) const { return pieceWidths_[static_cast<int>(role)]; }

    // Reading folders and moving between them.
    bool Enter(std::shared_ptr<const FolderHandle> folder, std::optional<std::vector<FolderItem>> items,
               std::string enumeratedName, const FileIdentity& identity, BodyStore::Slot slot);
    bool Descend(Frame& frame);
    bool MayDescend(const FolderEntry& entry) const;
    void AskForSubfolders();
    void Ascend();
    std::shared_ptr<const FolderHandle> OpenFolder(std::size_t level);
    void KeepWithinOpenLimit();

    // The steps for one entry.
    void FolderSteps(Frame& frame, std::optional<BodyStore::Slot> slot, bool emptyBody,
                     const FolderTotals& childTotals, bool searched);
    void FileSteps(Frame& frame);

    // View style 1.
    void Pack(Frame& frame, const FileEntry& entry);
    void PackSeparator(Frame& frame) const;
    void FolderSummary(Frame& frame);

    ListingContext& context_;
    const Settings& settings_;
    const ListingWriter& writer_;
    BodyStore& store_;
    std::string path_;    // of the folder on top of the stack
    std::string prefix_;  // of the entries of the folder on top of the stack
    std::vector<Frame> frames_;
    std::string linePrefix_;  // scratch texts, kept to save allocations
    std::string childPrefix_;
    std::array<int, kCharRoles> pieceWidths_{};
    std::optional<ChecksumPool> checksums_;
    FolderPrefetch prefetch_;  // last: its worker stops before anything else goes
};

TreeWalk::TreeWalk(ListingContext& context, const ListingWriter& writer, BodyStore& store,
                   std::string_view prefix, std::string_view path)
    : context_(context),
      settings_(context.settings),
      writer_(writer),
      store_(store),
      path_(path),
      prefix_(prefix) {
    if (!path_.ends_with('\\')) path_ += '\\';
    for (int role = 0; role < kCharRoles; ++role)
        pieceWidths_[role] = StrWidth(Piece(static_cast<CharRole>(role)));
    if (settings_.CRCFlg && settings_.ViewType == 0) checksums_.emplace();
}

bool TreeWalk::Run(FolderTotals& totals) {
    totals = FolderTotals{};
    const auto top = GetFileFacts(path_);
    auto folder = std::make_shared<FolderHandle>();
    if (!folder->Open(path_)) folder.reset();
    if (!Enter(std::move(folder), std::nullopt, "", top ? top->identity : FileIdentity{}, {})) return false;
    for (;;) {
        Frame& frame = frames_.back();
        if (frame.next == frame.entries.size()) {
            FolderSummary(frame);
            if (frames_.size() == 1) {
                totals = frame.totals;
                return true;
            }
            Ascend();
            continue;
        }
        const std::size_t n = frame.next++;
        if (context_.PumpAndCheckCancel()) return false;
        const FolderEntry& entry = frame.entries[n];
        if (!entry.record.IsFolder()) {
            FileSteps(frame);
        } else if (!settings_.SubDirSearchFlg) {
            FolderSteps(frame, std::nullopt, true, {}, false);
        } else if (!MayDescend(entry)) {
            // Listed like a folder that cannot be read: no contents.
            FolderSteps(frame, std::nullopt, true, {}, true);
        } else if (!Descend(frame)) {
            return false;
        }
    }
}

// Reads the folder at path_ into a new frame; false when the run was cancelled meanwhile.
bool TreeWalk::Enter(std::shared_ptr<const FolderHandle> folder, std::optional<std::vector<FolderItem>> items,
                     std::string enumeratedName, const FileIdentity& identity, BodyStore::Slot slot) {
    context_.caption.SetPendingCaption(std::string(kCaptionLead) + PathForPerson(path_ + "*"));
    context_.run.FoldersRead += 1;
    std::vector<FolderEntry> entries;
    if (folder) {
        entries = ReadFolder(context_, *folder, path_, items ? &*items : nullptr,
                             checksums_ ? &*checksums_ : nullptr);
    }
    if (context_.run.CancelRequested()) return false;
    SortEntries(settings_, entries);
    Frame frame;
    frame.folder = std::move(folder);
    frame.enumeratedName = std::move(enumeratedName);
    frame.entries = std::move(entries);
    frame.pathLength = path_.size();
    frame.prefixLength = prefix_.size();
    frame.prefixWidth = StrWidth(prefix_);
    frame.packWidth = settings_.Columns - (frame.prefixWidth + PieceWidth(CharRole::Blank));
    frame.identity = identity;
    frame.slot = slot;
    frames_.push_back(std::move(frame));
    Frame& entered = frames_.back();
    if (settings_.SubDirSearchFlg) {
        for (std::size_t i = entered.entries.size(); i > 0; --i) {
            if (entered.entries[i - 1].record.IsFolder() && MayDescend(entered.entries[i - 1])) {
                entered.lastToEnter = i;
                break;
            }
        }
    }
    // A folder with no subfolder to enter has nothing more to open.
    if (entered.lastToEnter == 0) entered.folder.reset();
    AskForSubfolders();
    KeepWithinOpenLimit();
    return true;
}

// The folders the walk will enter next, in the order it will enter them.
void TreeWalk::AskForSubfolders() {
    const Frame& frame = frames_.back();
    if (!frame.folder) return;
    std::vector<FolderPrefetch::Request> subfolders;
    for (std::size_t i = 0; i < frame.lastToEnter; ++i) {
        const FolderEntry& entry = frame.entries[i];
        if (entry.record.IsFolder() && MayDescend(entry))
            subfolders.push_back({path_ + entry.record.Name + '\\', entry.enumeratedName});
    }
    prefetch_.Ask(frame.folder, std::move(subfolders));
}

// Enters the folder of the entry just taken up; its lines continue the tree line below that
// entry unless it is the last one.
bool TreeWalk::Descend(Frame& frame) {
    const std::size_t index = frame.next - 1;
    const FolderEntry& entry = frame.entries[index];
    const bool last = frame.next == frame.entries.size();
    const FileIdentity identity = entry.identity;
    path_ += entry.record.Name;
    path_ += '\\';
    prefix_ += Piece(last ? CharRole::Blank : CharRole::Vertical);
    const BodyStore::Slot slot = store_.Reserve();

    std::shared_ptr<const FolderHandle> child;
    std::optional<std::vector<FolderItem>> items;
    if (auto read = prefetch_.Take(path_)) {
        child = std::move(read->folder);
        if (read->itemsRead) items = std::move(read->items);
    } else if (auto parent = OpenFolder(frames_.size() - 1)) {
        auto opened = std::make_shared<FolderHandle>();
        if (opened->OpenChild(*parent, entry.enumeratedName)) child = std::move(opened);
    }
    // Past its last subfolder, a folder need not stay open.
    if (index + 1 >= frame.lastToEnter) frame.folder.reset();
    return Enter(std::move(child), std::move(items), entry.enumeratedName, identity, slot);
}

// The open folder of a level, opened again through the nearest open folder above it when the
// walk has let go of it.
std::shared_ptr<const FolderHandle> TreeWalk::OpenFolder(std::size_t level) {
    if (frames_[level].folder) return frames_[level].folder;
    std::size_t base = level;
    while (base > 0 && !frames_[base].folder)
        --base;
    std::shared_ptr<const FolderHandle> folder = frames_[base].folder;
    if (!folder) {
        auto top = std::make_shared<FolderHandle>();
        if (!top->Open(std::string_view(path_).substr(0, frames_[0].pathLength))) return nullptr;
        folder = std::move(top);
    }
    for (std::size_t k = base + 1; k <= level; ++k) {
        auto next = std::make_shared<FolderHandle>();
        if (!next->OpenChild(*folder, frames_[k].enumeratedName)) return nullptr;
        folder = std::move(next);
    }
    frames_[level].folder = folder;
    return folder;
}

void TreeWalk::KeepWithinOpenLimit() {
    std::size_t open = 0;
    for (const Frame& frame : frames_)
        open += frame.folder ? 1 : 0;
    for (std::size_t level = 0; open > kMaxOpenFolders && level + 1 < frames_.size(); ++level) {
        if (frames_[level].folder) {
            frames_[level].folder.reset();
            --open;
        }
    }
}

// Back in the parent after a folder's subtree: the folder's own line goes into its place.
void TreeWalk::Ascend() {
    const BodyStore::Slot slot = frames_.back().slot;
    const FolderTotals subtree = frames_.back().totals;
    frames_.pop_back();
    path_.resize(frames_.back().pathLength);
    prefix_.resize(frames_.back().prefixLength);
    FolderSteps(frames_.back(), slot, store_.NothingSince(slot), subtree, true);
}

// A link to a folder is listed but never followed, and a folder already on the way down (a
// bind mount of an ancestor) is not entered again, so no tree can make the walk go round.
bool TreeWalk::MayDescend(const FolderEntry& entry) const {
    if (entry.viaLink) return false;
    if (entry.identity == FileIdentity{}) return true;
    return std::none_of(frames_.begin(), frames_.end(),
                        [&](const Frame& frame) { return frame.identity == entry.identity; });
}

// The line of a folder. A folder that is entered has its line written once its subtree has
// been read, into the place kept for it: the subtree decides the CRC sum shown and whether
// the tree line continues below the folder's name.
void TreeWalk::FolderSteps(Frame& frame, std::optional<BodyStore::Slot> slot, bool emptyBody,
                           const FolderTotals& childTotals, bool searched) {
    FileEntry& entry = frame.entries[frame.next - 1].record;
    const bool last = frame.next == frame.entries.size();
    linePrefix_.assign(prefix_).append(Piece(last ? CharRole::End : CharRole::Branch));
    childPrefix_.assign(prefix_).append(Piece(last ? CharRole::Blank : CharRole::Vertical));
    if (searched) {
        childPrefix_ += Piece(emptyBody ? CharRole::Blank : CharRole::Vertical);
        entry.Crc = childTotals.CrcSum;
    }
    const int linePrefixWidth = frame.prefixWidth + PieceWidth(last ? CharRole::End : CharRole::Branch);
    if (slot) {
        writer_.FolderEntry(store_, *slot, linePrefix_, linePrefixWidth, childPrefix_, path_, entry,
                            settings_.FolderLinkFlg);
    } else {
        writer_.Entry(store_, linePrefix_, linePrefixWidth, childPrefix_, path_, entry,
                      settings_.FolderLinkFlg);
    }
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
        writer_.Entry(store_, linePrefix_,
                      frame.prefixWidth + PieceWidth(last ? CharRole::End : CharRole::Branch), childPrefix_,
                      path_, entry, settings_.FileLinkFlg);
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
    const std::string target = path_ + entry.Name;
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
            pack.current += writer_.PackedPiece(split.head, target, settings_.FileLinkFlg);
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
    PackedNames& pack = frame.pack;
    if (settings_.ViewType == 1 && !pack.current.empty()) pack.full.push_back(std::move(pack.current));
    static const std::vector<std::string> kNoLines;
    writer_.Summary(store_, prefix_ + Piece(CharRole::End), own, prefix_ + Piece(CharRole::Blank),
                    settings_.ViewType == 1 ? pack.full : kNoLines);
}

}  // namespace

void TreeBody(ListingContext& context, const ListingWriter& writer, BodyStore& store, std::string_view prefix,
              std::string_view path, FolderTotals& totals) {
    TreeWalk walk(context, writer, store, prefix, path);
    walk.Run(totals);
}

}  // namespace folvane

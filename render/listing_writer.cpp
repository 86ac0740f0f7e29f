#include "render/listing_writer.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "platform/cp932.h"
#include "platform/person_path.h"
#include "render/entry_columns.h"
#include "render/listing_writers.h"
#include "render/size_text.h"
#include "render/text_width.h"
#include "settings/path_utils.h"

namespace folvane {

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr int kAttrCells = 5;
constexpr int kDateCells = 11;
constexpr int kTimeCells = 9;
constexpr int kDateTimeCells = 19;  // "yyyy/mm/dd hh:mm:ss"
// Lines per entry beyond this are no layout anyone asked for, only a way to exhaust memory.
constexpr int kMaxLinesPerEntry = 100;

void StripTrailingSpaces(std::string& line) {
    const std::size_t end = line.find_last_not_of(' ');
    line.erase(end == std::string::npos ? 0 : end + 1);
}

void AppendCrcColumn(std::string& out, uint32_t crc) {
    char buffer[16];
    const int length = std::snprintf(buffer, sizeof buffer, " %08X", static_cast<unsigned>(crc));
    out.append(buffer, static_cast<std::size_t>(length));
}

void AppendAttributeColumn(std::string& out, uint32_t attr) {
    out += ' ';
    out += (attr & kAttrReadOnly) != 0 ? 'R' : '-';
    out += (attr & kAttrHidden) != 0 ? 'H' : '-';
    out += (attr & kAttrSystem) != 0 ? 'S' : '-';
    out += (attr & kAttrArchive) != 0 ? 'A' : '-';
}

// The created and updated date and time columns that are switched on. A folder has no
// last-write time of its own in a listing.
void AppendDateColumns(std::string& out, const Settings& settings, const FileEntry& entry) {
    if (settings.CDateFlg) out.append(" ").append(DateText(entry.Created));
    if (settings.CTimeFlg) out.append(" ").append(TimeText(entry.Created));
    if (settings.UDateFlg) {
        if (entry.IsFolder()) {
            out.append(kDateCells, ' ');
        } else {
            out.append(" ").append(DateText(entry.Updated));
        }
    }
    if (settings.UTimeFlg) {
        if (entry.IsFolder()) {
            out.append(kTimeCells, ' ');
        } else {
            out.append(" ").append(TimeText(entry.Updated));
        }
    }
}

// Cells of the columns that the name of a listed root spans: name, size, attributes, dates.
int RootNameCells(const Settings& settings) {
    int cells = settings.NameWidth;
    if (settings.SizeFlg) cells += settings.SizeWidth;
    if (settings.AttrFlg) cells += kAttrCells;
    if (settings.CDateFlg) cells += kDateCells;
    if (settings.CTimeFlg) cells += kTimeCells;
    if (settings.UDateFlg) cells += kDateCells;
    if (settings.UTimeFlg) cells += kTimeCells;
    return cells;
}

bool WantsLink(const Settings& settings, const FileEntry& entry) {
    return entry.IsFolder() ? settings.FolderLinkFlg : settings.FileLinkFlg;
}

// "2 個のフォルダと 5 個のファイル" without the parentheses, or "無し".
std::string CountsText(const FolderTotals& totals) {
    if (totals.Folders < 1 && totals.Files < 1) return "無し";
    std::string text;
    if (totals.Folders >= 1) text += FormatThousands(totals.Folders) + " 個のフォルダ";
    if (totals.Folders >= 1 && totals.Files >= 1) text += "と ";
    if (totals.Files >= 1) text += FormatThousands(totals.Files) + " 個のファイル";
    return text;
}

std::string SerialText(uint32_t serial) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04X-%04X", static_cast<unsigned>(serial >> 16),
                  static_cast<unsigned>(serial & 0xFFFF));
    return buffer;
}

// free * 100 / total rounded to one decimal, halves away from zero, as "25.0"; free >= 0 and
// total > 0. Exact for every pair of 64-bit values: the quotient is worked out as a whole part
// and three decimals of the rest, digit by digit, so that no step overflows.
std::string PercentText(int64_t freeBytes, int64_t totalBytes) {
    const auto total = static_cast<uint64_t>(totalBytes);
    uint64_t whole = static_cast<uint64_t>(freeBytes) / total;
    uint64_t rest = static_cast<uint64_t>(freeBytes) % total;
    uint64_t thousandths = 0;  // of the rest: rest * 1000 / total, rounded down
    for (int digit = 0; digit < 3; ++digit) {
        uint64_t times10 = 0;
        int value = 0;
        for (int k = 0; k < 10; ++k) {
            times10 += rest;  // below 2 * total, which fits: total is at most 2^63 - 1
            if (times10 >= total) {
                times10 -= total;
                ++value;
            }
        }
        rest = times10;
        thousandths = thousandths * 10 + static_cast<uint64_t>(value);
    }
    if (rest >= total - rest) ++thousandths;  // the remaining rest is at least one half
    if (thousandths == 1000) {
        ++whole;
        thousandths = 0;
    }
    // The percentage is whole * 100 + thousandths / 10, with thousandths % 10 tenths.
    const uint64_t hundreds = thousandths / 10;
    std::string integer = std::to_string(hundreds);
    if (whole > 0) integer = std::to_string(whole) + (hundreds < 10 ? "0" : "") + integer;
    return integer + "." + std::to_string(thousandths % 10);
}

}  // namespace

std::unique_ptr<ListingWriter> ListingWriter::For(const Settings& settings, const CharTable& chars,
                                                  std::string templateFolder) {
    if (settings.ListType == 1) return MakeHtmlWriter(settings, chars, std::move(templateFolder));
    return MakeTextWriter(settings, chars);
}

// ---- The tree body -----------------------------------------------------------------------------

void ListingWriter::Entry(BodyStore& store, std::string_view linePrefix, int linePrefixWidth,
                          std::string_view childPrefix, std::string_view folderPath, const FileEntry& entry,
                          bool link) const {
    std::string lines;
    AppendEntryLines(lines, linePrefix, linePrefixWidth, childPrefix, folderPath, entry, link);
    lines += MarginLines(childPrefix);
    store.Append(ToCp932(lines));
}

void ListingWriter::FolderEntry(BodyStore& store, BodyStore::Slot slot, std::string_view linePrefix,
                                int linePrefixWidth, std::string_view childPrefix,
                                std::string_view folderPath, const FileEntry& entry, bool link) const {
    std::string lines;
    AppendEntryLines(lines, linePrefix, linePrefixWidth, childPrefix, folderPath, entry, link);
    lines += MarginLines(childPrefix);
    store.Fill(slot, ToCp932(lines));
}

void ListingWriter::Summary(BodyStore& store, std::string_view linePrefix, const FolderTotals& own,
                            std::string_view packPrefix, const std::vector<std::string>& packedLines) const {
    std::string lines = FolderSumLine(linePrefix, own);
    lines += kCrLf;
    if (!packedLines.empty()) {
        std::string lead;
        AppendPackLead(lead, packPrefix);
        for (const std::string& line : packedLines)
            lines.append(lead).append(line).append(kCrLf);
    }
    lines += MarginLines(packPrefix);
    store.Append(ToCp932(lines));
}

std::string ListingWriter::PackedPiece(std::string_view piece, std::string_view target, bool link) const {
    std::string out;
    AppendNamePiece(out, piece, target, link);
    return out;
}

// The entry's line, led by linePrefix (linePrefixWidth cells); a name too wide for the name
// column goes on in continuation lines when the prefix leaves room for two cells of it.
void ListingWriter::AppendEntryLines(std::string& out, std::string_view linePrefix, int linePrefixWidth,
                                     std::string_view childPrefix, std::string_view folderPath,
                                     const FileEntry& entry, bool link) const {
    const int nameWidth = settings_.NameWidth;
    // No character takes more cells than bytes, so a name with no more bytes than the free
    // cells fits without measuring it.
    const bool fits = linePrefixWidth + static_cast<int64_t>(entry.Name.size()) <= nameWidth ||
                      linePrefixWidth + StrWidth(entry.Name) <= nameWidth;
    if (fits || linePrefixWidth + 1 >= nameWidth) {
        out += EntryLine(linePrefix, entry.Name, folderPath, entry);
        out += kCrLf;
        return;
    }
    const SplitResult split = SplitWidth(entry.Name, nameWidth - linePrefixWidth);
    out += EntryLine(linePrefix, split.head, folderPath, entry);
    out += kCrLf;
    AppendContinuationLines(out, split.rest, childPrefix, std::string(folderPath) + entry.Name, link);
}

// Each piece of the rest of a wrapped name follows the child prefix, in the cells the prefix
// leaves of the name column. Where those cells cannot hold the piece (the prefix fills the
// column, or one cell is left for a double-byte character), the piece stands at the start of
// its line instead, without tree lines, so that no part of the name is lost.
void ListingWriter::AppendContinuationLines(std::string& out, std::string_view rest,
                                            std::string_view childPrefix, std::string_view target,
                                            bool link) const {
    const int nameWidth = settings_.NameWidth;
    const int room = nameWidth - StrWidth(childPrefix);
    const std::string cutPrefix = CutWidth(childPrefix, nameWidth);
    for (const std::string& piece : WrapLines(rest, room >= 1 ? room : nameWidth)) {
        if (room >= 1 && StrWidth(piece) <= room) {
            AppendTreeLines(out, cutPrefix);
            AppendNamePiece(out, CutWidth(piece, room), target, link);
        } else {
            AppendNamePiece(out, CutWidth(piece, nameWidth), target, link);
        }
        out += kCrLf;
    }
}

// ---- Lines -------------------------------------------------------------------------------------

std::string ListingWriter::EntryLine(std::string_view prefix, std::string_view displayName,
                                     std::string_view folderPath, const FileEntry& entry) const {
    std::string line;
    AppendNameColumn(line, prefix, displayName, folderPath, entry);
    if (settings_.SizeFlg) {
        if (entry.IsFolder()) {
            AppendText(line, FitRight("< Dir >", settings_.SizeWidth));
        } else {
            line += SizeColumnText(settings_.SizeType, entry.Size, settings_.SizeWidth);
        }
    }
    if (settings_.AttrFlg) AppendAttributeColumn(line, entry.Attr);
    AppendDateColumns(line, settings_, entry);
    if (settings_.CRCFlg) AppendCrcColumn(line, entry.Crc);
    if (settings_.VersionFlg && !entry.IsFolder()) {
        line += ' ';
        AppendText(line, entry.Version);
    }
    StripTrailingSpaces(line);
    return line;
}

std::string ListingWriter::RootLine(std::string_view targetPath, const FileEntry& entry) const {
    std::string line;
    AppendRootName(line, entry.Name, RootNameCells(settings_), targetPath);
    if (settings_.CRCFlg) AppendCrcColumn(line, entry.Crc);
    StripTrailingSpaces(line);
    return line;
}

// The listed folder's name is broken into lines of the name column's width as a whole (its
// surrounding blanks dropped); the first piece is its entry line, the others stand alone.
std::string ListingWriter::ListedFolderLines(std::string_view parentPath, const FileEntry& entry) const {
    const int nameWidth = settings_.NameWidth;
    const std::vector<std::string> pieces = StrWidth(entry.Name) > nameWidth && nameWidth > 1
                                                ? WrapLines(entry.Name, nameWidth)
                                                : std::vector<std::string>();
    std::string lines =
        EntryLine("", pieces.empty() ? std::string_view(entry.Name) : pieces.front(), parentPath, entry);
    lines += kCrLf;
    const std::string target = std::string(parentPath) + entry.Name;
    for (std::size_t k = 1; k < pieces.size(); ++k) {
        AppendNamePiece(lines, CutWidth(pieces[k], nameWidth), target, WantsLink(settings_, entry));
        lines += kCrLf;
    }
    return lines;
}

std::string ListingWriter::MarginLines(std::string_view prefix) const {
    const int count = std::min<int>(settings_.Lines, kMaxLinesPerEntry) - 1;
    if (count < 1) return "";
    std::string line;
    AppendTreeLines(line, CutWidth(prefix, settings_.NameWidth));
    line += kCrLf;
    std::string lines;
    lines.reserve(line.size() * static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k)
        lines += line;
    return lines;
}

std::string ListingWriter::FolderSumLine(std::string_view folderText, const FolderTotals& totals) const {
    std::string line;
    AppendSummaryLead(line, folderText);
    const int countCells = settings_.NameWidth - StrWidth(folderText);
    AppendText(line, FitLeft("( " + CountsText(totals) + " )", countCells));
    if (settings_.SizeFlg) line += SizeColumnText(settings_.SizeType, totals.Bytes, settings_.SizeWidth);
    return line;
}

// ---- The parts around the body -----------------------------------------------------------------

std::string ListingWriter::Title(std::string_view folder, DateTime now, const ListingFacts& facts) const {
    std::string title;
    AppendProductName(title);
    // The date ends at cell Columns when there is room for it; otherwise one space parts them.
    const int dateStart = settings_.Columns - kDateTimeCells;
    title += StrWidth(kProductLine) >= dateStart ? " " : PadSpace(kProductLine, dateStart);
    title.append(DateText(now)).append(" ").append(TimeText(now)).append(kCrLf);
    if (facts.volume) {
        title += "ドライブ ";
        AppendShownPath(title, PathForPerson(facts.root), facts.root);
        title += " のボリュームラベルは";
        if (facts.volume->label.empty()) {
            title += "ありません。";
        } else {
            title += ' ';
            AppendText(title, facts.volume->label);
        }
        title.append(" (").append(SerialText(facts.volume->serial)).append(")").append(kCrLf);
    }
    title += "フォルダは ";
    const std::string shownFolder = WithoutBackslash(folder);
    AppendShownPath(title, PathForPerson(shownFolder), shownFolder);
    return title;
}

std::string ListingWriter::Midashi() const {
    std::string line = FitLeft("ファイル／フォルダ名", settings_.NameWidth);
    if (settings_.SizeFlg)
        line += FitRight(settings_.SizeType != 0 ? "サイズ" : "バイト数", settings_.SizeWidth);
    if (settings_.AttrFlg) line += " 属性";
    if (settings_.CDateFlg) line += "   作成日付";
    if (settings_.CTimeFlg) line += " 作成時刻";
    if (settings_.UDateFlg) line += "   更新日付";
    if (settings_.UTimeFlg) line += " 更新時刻";
    if (settings_.CRCFlg) line += " CRC     ";
    if (settings_.VersionFlg) line += " バージョン";
    StripTrailingSpaces(line);
    std::string out;
    AppendText(out, line);
    return out;
}

std::string ListingWriter::PartLine() const {
    const std::string& rule = chars_.Piece(settings_.CharType, CharRole::Rule);
    std::string out;
    AppendText(out, FitLeft(RepeatStr(settings_.Columns, rule), settings_.Columns));
    return out;
}

std::string ListingWriter::SummaryText(const FolderTotals& totals) const {
    if (totals.Folders < 1 && totals.Files < 1) return "ファイルはありません。";
    std::string text;
    if (totals.Folders >= 1) text += FormatThousands(totals.Folders) + " 個のフォルダ";
    if (totals.Folders >= 1 && totals.Files >= 1) text += "と ";
    if (totals.Files >= 1) {
        text += FormatThousands(totals.Files) + " 個 " + CurSizeText(settings_.SizeType, totals.Bytes) +
                " のファイル";
    }
    std::string out;
    AppendText(out, text + "があります。");
    return out;
}

std::string ListingWriter::Futter(const ListingFacts& facts) const {
    if (facts.freeBytes < 0 || facts.totalBytes < 0) return "";
    std::string text = "ディスク空き容量は";
    if (facts.freeBytes == 0) {
        text += "ありません。";
    } else {
        text += " " + CurSizeText(settings_.SizeType, facts.freeBytes);
        // A disk that reports no capacity but free space has no share to show.
        if (facts.totalBytes > 0) text += " (" + PercentText(facts.freeBytes, facts.totalBytes) + " ％)";
        text += " あります。";
    }
    std::string out;
    AppendText(out, text);
    return out;
}

bool ListingWriter::WriteBody(const ListingParts& parts, ByteSink& sink) {
    // Every line of the body ends with CR LF; the body as a whole does not.
    std::string head = ToCp932(parts.bodyHead);
    if (parts.bodyTail != nullptr && parts.bodyTail->Size() > 0)
        return sink.Write(head) && parts.bodyTail->WriteTo(sink, kCrLf.size());
    if (head.ends_with(kCrLf)) head.resize(head.size() - kCrLf.size());
    return sink.Write(head);
}

}  // namespace folvane

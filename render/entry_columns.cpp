#include "render/entry_columns.h"

#include <charconv>
#include <cstdio>

#include "render/html.h"
#include "render/size_text.h"
#include "render/text_width.h"

namespace folvane {

namespace {

constexpr int kAttrCells = 5;
constexpr int kDateCells = 11;
constexpr int kTimeCells = 9;

bool IsHtml(const Settings& settings) {
    return settings.ListType == 1;
}

std::string EscapedIf(const Settings& settings, std::string text) {
    return IsHtml(settings) ? HtmlEscape(text) : text;
}

// Appends value with at least digits digits, a minus sign in front of them when negative.
// Dates are formatted for every entry line, so this avoids the cost of a formatted print.
void AppendZeroPadded(std::string& out, int value, int digits) {
    const unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    if (value < 0) out += '-';
    char buffer[16];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, magnitude);
    for (auto written = end - buffer; written < digits; ++written)
        out += '0';
    out.append(buffer, end);
}

std::string StripTrailingSpaces(std::string line) {
    const std::size_t end = line.find_last_not_of(' ');
    line.erase(end == std::string::npos ? 0 : end + 1);
    return line;
}

std::string CrcColumn(uint32_t crc) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, " %08X", static_cast<unsigned>(crc));
    return buffer;
}

std::string AttributeColumn(uint32_t attr) {
    std::string text = " ";
    text += (attr & kAttrReadOnly) != 0 ? 'R' : '-';
    text += (attr & kAttrHidden) != 0 ? 'H' : '-';
    text += (attr & kAttrSystem) != 0 ? 'S' : '-';
    text += (attr & kAttrArchive) != 0 ? 'A' : '-';
    return text;
}

std::string SizeColumn(const Settings& settings, const FileEntry& entry) {
    if (entry.IsFolder()) return EscapedIf(settings, FitRight("< Dir >", settings.SizeWidth));
    return SizeColumnText(settings.SizeType, entry.Size, settings.SizeWidth);
}

std::string NameColumnText(const Settings& settings, std::string_view prefix, std::string_view displayName) {
    return FitLeft(std::string(prefix) + std::string(displayName), settings.NameWidth);
}

bool WantsLink(const Settings& settings, const FileEntry& entry) {
    return entry.IsFolder() ? settings.FolderLinkFlg : settings.FileLinkFlg;
}

// The tree prefix in a teletype span, then the name in the cells the prefix leaves; a linked
// name keeps its padding outside the link.
std::string NameColumnHtml(const Settings& settings, std::string_view prefix, std::string_view displayName,
                           std::string_view folderPath, const FileEntry& entry) {
    std::string text = "<TT>" + HtmlEscape(CutWidth(prefix, settings.NameWidth)) + "</TT>";
    const int rest = settings.NameWidth - StrWidth(prefix);
    if (!WantsLink(settings, entry)) return text + HtmlEscape(FitLeft(displayName, rest));
    const std::string target = std::string(folderPath) + entry.Name;
    return text + PathLink(CutWidth(displayName, rest), target) + PadSpace(displayName, rest);
}

// The created and updated date and time columns that are switched on.
std::string DateColumns(const Settings& settings, const FileEntry& entry) {
    std::string text;
    if (settings.CDateFlg) text.append(" ").append(DateText(entry.Created));
    if (settings.CTimeFlg) text.append(" ").append(TimeText(entry.Created));
    // A folder has no last-write time of its own in a listing.
    if (settings.UDateFlg) {
        if (entry.IsFolder()) {
            text.append(kDateCells, ' ');
        } else {
            text.append(" ").append(DateText(entry.Updated));
        }
    }
    if (settings.UTimeFlg) {
        if (entry.IsFolder()) {
            text.append(kTimeCells, ' ');
        } else {
            text.append(" ").append(TimeText(entry.Updated));
        }
    }
    return text;
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

}  // namespace

std::string DateText(DateTime t) {
    const DateParts parts = SplitDateTime(t);
    std::string text;
    text.reserve(10);
    AppendZeroPadded(text, parts.year, 4);
    text += '/';
    AppendZeroPadded(text, parts.month, 2);
    text += '/';
    AppendZeroPadded(text, parts.day, 2);
    return text;
}

std::string TimeText(DateTime t) {
    const DateParts parts = SplitDateTime(t);
    std::string text;
    text.reserve(8);
    AppendZeroPadded(text, parts.hour, 2);
    text += ':';
    AppendZeroPadded(text, parts.minute, 2);
    text += ':';
    AppendZeroPadded(text, parts.second, 2);
    return text;
}

std::string SizeColumnText(int16_t sizeType, int64_t size, int width) {
    const std::string text = CListSizeText(sizeType, size);
    if (StrWidth(text) <= width) return FitRight(text, width);
    // Cutting digits off would show a wrong number; a row of "-" says that it does not fit.
    return RepeatStr(width, "-");
}

std::string EntryLine(const Settings& settings, std::string_view prefix, std::string_view displayName,
                      std::string_view folderPath, const FileEntry& entry) {
    std::string line = IsHtml(settings) ? NameColumnHtml(settings, prefix, displayName, folderPath, entry)
                                        : NameColumnText(settings, prefix, displayName);
    if (settings.SizeFlg) line += SizeColumn(settings, entry);
    if (settings.AttrFlg) line += AttributeColumn(entry.Attr);
    line += DateColumns(settings, entry);
    if (settings.CRCFlg) line += CrcColumn(entry.Crc);
    if (settings.VersionFlg && !entry.IsFolder()) line.append(" ").append(EscapedIf(settings, entry.Version));
    return StripTrailingSpaces(std::move(line));
}

std::string RootLine(const Settings& settings, std::string_view targetPath, const FileEntry& entry) {
    const int cells = RootNameCells(settings);
    std::string line;
    if (!IsHtml(settings)) {
        line = FitLeft(entry.Name, cells);
    } else if (settings.FolderLinkFlg) {
        line = PathLink(CutWidth(entry.Name, cells), targetPath) + PadSpace(entry.Name, cells);
    } else {
        line = HtmlEscape(FitLeft(entry.Name, cells));
    }
    if (settings.CRCFlg) line += CrcColumn(entry.Crc);
    return StripTrailingSpaces(std::move(line));
}

}  // namespace folvane

#include "render/title_blocks.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>

#include "platform/volume.h"
#include "render/entry_columns.h"
#include "render/html.h"
#include "render/size_text.h"
#include "render/text_width.h"
#include "settings/path_utils.h"

namespace folvane {

const std::string_view kHomePageAddress = "https://folvane.example/";

namespace {

constexpr int kDateTimeCells = 19;  // "yyyy/mm/dd hh:mm:ss"

bool IsHtml(const Settings& settings) {
    return settings.ListType == 1;
}

std::string EscapedIf(const Settings& settings, std::string text) {
    return IsHtml(settings) ? HtmlEscape(text) : text;
}

// A path as the title block shows it: a link to it, escaped, or as it is.
std::string ShownPath(const Settings& settings, std::string_view path) {
    if (!IsHtml(settings)) return std::string(path);
    return settings.FolderLinkFlg ? PathLink(path, "") : HtmlEscape(path);
}

std::string ProductLine(const Settings& settings, DateTime now) {
    std::string line = IsHtml(settings) && settings.FolderLinkFlg ? UrlLink(kProductLine, kHomePageAddress)
                                                                  : std::string(kProductLine);
    // The date ends at cell Columns when there is room for it; otherwise one space parts them.
    const int dateStart = settings.Columns - kDateTimeCells;
    line += StrWidth(kProductLine) >= dateStart ? " " : PadSpace(kProductLine, dateStart);
    return line + DateText(now) + " " + TimeText(now) + "\r\n";
}

std::string SerialText(uint32_t serial) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04X-%04X", static_cast<unsigned>(serial >> 16),
                  static_cast<unsigned>(serial & 0xFFFF));
    return buffer;
}

// "ドライブ C:\ のボリュームラベルは DATA (1A2B-3C4D)" and a line end, or "" when the volume
// cannot be queried.
std::string VolumeLine(const Settings& settings, const std::string& root) {
    VolumeInfo info;
    if (GetVolumeInfo(root, info) != 0) return "";
    std::string line = "ドライブ " + ShownPath(settings, root) + " のボリュームラベルは";
    line += info.label.empty() ? "ありません。" : " " + EscapedIf(settings, info.label);
    return line + " (" + SerialText(info.serial) + ")\r\n";
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

// The next decimal digit of remainder / divisor (remainder < divisor < 2^63), leaving the new
// remainder: 10 * remainder is added up one remainder at a time, wrapping at divisor, so no
// intermediate value leaves 64 bits.
int NextDigit(uint64_t& remainder, uint64_t divisor) {
    uint64_t accumulated = 0;
    int digit = 0;
    for (int k = 0; k < 10; ++k) {
        accumulated += remainder;
        if (accumulated >= divisor) {
            accumulated -= divisor;
            ++digit;
        }
    }
    remainder = accumulated;
    return digit;
}

// Adds one to a text of decimal digits.
void Increment(std::string& digits) {
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
}

// free * 100 / total rounded to one decimal, halves away from zero, as "25.0"; free >= 0 and
// total > 0. Long division in decimal digits keeps it exact for every pair of 64-bit values.
std::string PercentText(int64_t freeBytes, int64_t totalBytes) {
    const auto free = static_cast<uint64_t>(freeBytes);
    const auto total = static_cast<uint64_t>(totalBytes);
    // Tenths of a percent: the whole quotient followed by three more digits.
    std::string tenths = std::to_string(free / total);
    uint64_t remainder = free % total;
    for (int k = 0; k < 3; ++k)
        tenths += static_cast<char>('0' + NextDigit(remainder, total));
    if (remainder >= total - remainder) Increment(tenths);  // 2 * remainder >= total
    const std::size_t firstDigit = std::min(tenths.find_first_not_of('0'), tenths.size() - 2);
    tenths.erase(0, firstDigit);
    return tenths.substr(0, tenths.size() - 1) + "." + tenths.back();
}

std::string FreeSpaceSentence(const Settings& settings, int64_t freeBytes, int64_t totalBytes) {
    std::string text = "ディスク空き容量は";
    if (freeBytes == 0) return text + "ありません。";
    text += " " + CurSizeText(settings.SizeType, freeBytes);
    // A disk that reports no capacity but free space has no share to show.
    if (totalBytes > 0) text += " (" + PercentText(freeBytes, totalBytes) + " ％)";
    return text + " あります。";
}

}  // namespace

std::string RootPath(std::string_view folder) {
    return VolumeRootOf(folder);
}

std::string Title(const Settings& settings, std::string_view folder, DateTime now) {
    std::string title = ProductLine(settings, now);
    title += VolumeLine(settings, RootPath(folder));
    return title + "フォルダは " + ShownPath(settings, WithoutBackslash(folder));
}

std::string Midashi(const Settings& settings) {
    std::string line = FitLeft("ファイル／フォルダ名", settings.NameWidth);
    if (settings.SizeFlg)
        line += FitRight(settings.SizeType != 0 ? "サイズ" : "バイト数", settings.SizeWidth);
    if (settings.AttrFlg) line += " 属性";
    if (settings.CDateFlg) line += "   作成日付";
    if (settings.CTimeFlg) line += " 作成時刻";
    if (settings.UDateFlg) line += "   更新日付";
    if (settings.UTimeFlg) line += " 更新時刻";
    if (settings.CRCFlg) line += " CRC     ";
    if (settings.VersionFlg) line += " バージョン";
    line.erase(line.find_last_not_of(' ') + 1);
    return EscapedIf(settings, std::move(line));
}

std::string PartLine(const Settings& settings, const CharTable& chars) {
    const std::string& rule = chars.Piece(settings.CharType, CharRole::Rule);
    return EscapedIf(settings, FitLeft(RepeatStr(settings.Columns, rule), settings.Columns));
}

std::string SummaryText(const Settings& settings, const FolderTotals& totals) {
    if (totals.Folders < 1 && totals.Files < 1) return "ファイルはありません。";
    std::string text;
    if (totals.Folders >= 1) text += FormatThousands(totals.Folders) + " 個のフォルダ";
    if (totals.Folders >= 1 && totals.Files >= 1) text += "と ";
    if (totals.Files >= 1) {
        text += FormatThousands(totals.Files) + " 個 " + CurSizeText(settings.SizeType, totals.Bytes) +
                " のファイル";
    }
    return EscapedIf(settings, text + "があります。");
}

std::string FolderSumLine(const Settings& settings, std::string_view folderText, const FolderTotals& totals) {
    std::string line = IsHtml(settings)
                           ? "<TT>" + HtmlEscape(CutWidth(folderText, settings.NameWidth)) + "</TT>"
                           : std::string(folderText);
    const int countCells = settings.NameWidth - StrWidth(folderText);
    line += EscapedIf(settings, FitLeft("( " + CountsText(totals) + " )", countCells));
    if (settings.SizeFlg) line += SizeColumnText(settings.SizeType, totals.Bytes, settings.SizeWidth);
    return line;
}

std::string Futter(const Settings& settings, std::string_view folder) {
    const std::string root = RootPath(folder);
    const int64_t totalBytes = DiskTotalBytes(root);
    const int64_t freeBytes = DiskFreeBytes(root);
    if (freeBytes < 0 || totalBytes < 0) return "";
    return EscapedIf(settings, FreeSpaceSentence(settings, freeBytes, totalBytes));
}

int GetVolumeInfo(std::string_view root, VolumeInfo& info) {
    const std::optional<VolumeFacts> facts = QueryVolume(root);
    if (!facts) return -1;
    info.label = facts->label;
    info.serial = facts->serial;
    info.maxComponentLength = facts->maxComponentLength;
    info.flags = facts->flags;
    info.fileSystemName = facts->fileSystemName;
    return 0;
}

int64_t DiskFreeBytes(std::string_view path) {
    const std::optional<DiskSpace> space = QueryDiskSpace(path);
    return space ? space->freeBytes : -1;
}

int64_t DiskTotalBytes(std::string_view path) {
    const std::optional<DiskSpace> space = QueryDiskSpace(path);
    return space ? space->totalBytes : -1;
}

bool HasDiskFreeSpaceEx() {
    // The 64-bit disk-space query is the only one this host has.
    return true;
}

}  // namespace folvane

#pragma once
// The texts around the tree body: the title block, the column heading, the separator, the
// summary sentence, a folder's count line and the free-space footer, with the volume and
// disk queries behind them.

#include <cstdint>
#include <string>
#include <string_view>

#include "render/file_entry.h"
#include "settings/char_table.h"
#include "settings/settings.h"

namespace folvane {

// The product line at the start of every listing, and the address it links to in HTML.
inline constexpr std::string_view kProductLine = "Folvane Ver 1.8";
extern const std::string_view kHomePageAddress;

// The root of the drive or share that holds folder ("C:\", "\\srv\shr\"); on hosts where
// drives are mount points below one root, the mount point of the file system holding it.
std::string RootPath(std::string_view folder);

// Two or three lines: product line with the date and time now, the volume line when the
// volume can be queried, "フォルダは " and the folder. The last line has no line end.
std::string Title(const Settings& settings, std::string_view folder, DateTime now);

// The column heading, without a line end.
std::string Midashi(const Settings& settings);

// The separator: the rule string repeated and fitted to Columns cells.
std::string PartLine(const Settings& settings, const CharTable& chars);

// "ファイルはありません。" or the sentence that counts folders and files.
std::string SummaryText(const Settings& settings, const FolderTotals& totals);

// folderText followed by the counts in the name column and the total size.
std::string FolderSumLine(const Settings& settings, std::string_view folderText, const FolderTotals& totals);

// The free-space line of folder's disk, or "" when the disk cannot be queried.
std::string Futter(const Settings& settings, std::string_view folder);

struct VolumeInfo {
    std::string label;
    uint32_t serial = 0;
    uint32_t maxComponentLength = 0;
    uint32_t flags = 0;
    std::string fileSystemName;
};
// 0 and info filled for an existing root, -1 otherwise.
int GetVolumeInfo(std::string_view root, VolumeInfo& info);
// Free bytes / capacity of the disk that holds path; -1 when it cannot be queried.
int64_t DiskFreeBytes(std::string_view path);
int64_t DiskTotalBytes(std::string_view path);
// Whether the 64-bit disk-space query is available (always on hosts that have only that one).
bool HasDiskFreeSpaceEx();

}  // namespace folvane

#pragma once
// The texts around the tree body: the title block, the column heading, the separator, the
// summary sentence, a folder's count line and the free-space footer, in the form the settings
// ask for (see ListingWriter, which makes them during a run). The volume and disk facts are
// read once per run by the engine and handed in.

#include <cstdint>
#include <string>
#include <string_view>

#include "render/file_entry.h"
#include "render/listing_writer.h"
#include "settings/char_table.h"
#include "settings/settings.h"

namespace folvane {

// Two or three lines: product line with the date and time now, the volume line when the
// facts hold the volume, "フォルダは " and the folder. The last line has no line end.
std::string Title(const Settings& settings, std::string_view folder, DateTime now, const ListingFacts& facts);

// The column heading, without a line end.
std::string Midashi(const Settings& settings);

// The separator: the rule string repeated and fitted to Columns cells.
std::string PartLine(const Settings& settings, const CharTable& chars);

// "ファイルはありません。" or the sentence that counts folders and files.
std::string SummaryText(const Settings& settings, const FolderTotals& totals);

// folderText followed by the counts in the name column and the total size.
std::string FolderSumLine(const Settings& settings, std::string_view folderText, const FolderTotals& totals);

// The free-space line of the listed folder's disk, or "" when the disk could not be queried.
std::string Futter(const Settings& settings, const ListingFacts& facts);

}  // namespace folvane

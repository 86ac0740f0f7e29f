#pragma once
// One listing line per file or folder: the tree prefix and name in the name column, then the
// switched-on columns (size, attributes, created date and time, updated date and time, CRC,
// version), in text or HTML form (see ListingWriter, which makes them during a run). No line
// end is added.

#include <string>
#include <string_view>

#include "render/file_entry.h"
#include "settings/settings.h"

namespace folvane {

// The line of entry, shown as displayName after the tree prefix; folderPath (ending in "\")
// holds the entry and, with its Name, is the link target in an HTML listing.
std::string EntryLine(const Settings& settings, std::string_view prefix, std::string_view displayName,
                      std::string_view folderPath, const FileEntry& entry);

// The line of a listed drive or share root: entry.Name (the root path with its volume label)
// spans the name, size, attribute and date columns; targetPath is the link target.
std::string RootLine(const Settings& settings, std::string_view targetPath, const FileEntry& entry);

// Pieces of the columns, shared with the folder and title lines.
// "yyyy/mm/dd" and "hh:mm:ss" of t; a year outside 0..9999 is written with all its digits.
std::string DateText(DateTime t);
std::string TimeText(DateTime t);
// The size text of CListSizeText right-aligned in width cells, or width "-" when it is wider;
// "" when width < 1.
std::string SizeColumnText(int16_t sizeType, int64_t size, int width);

}  // namespace folvane

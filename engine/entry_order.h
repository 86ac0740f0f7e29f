#pragma once
// The order of a folder's entries: folders first, then by SortKey in the direction of SortFlg,
// names compared as CompMode says.

#include <vector>

#include "engine/folder_read.h"
#include "render/file_entry.h"
#include "settings/settings.h"

namespace folvane {

// Negative when a comes first, positive when b comes first, 0 when the order is open.
// Folders come before files in either direction. SortKey 0 orders by name, 1 by extension,
// 2 by size (small first), 3 by update and 4 by creation time (newest first); keys 1 to 4 fall
// back to the names, ascending, when the key is equal. SortFlg false reverses the key only. Any
// other key finds all folders equal and all files equal.
int CompareEntries(const Settings& settings, const FileEntry& a, const FileEntry& b);

// The order SortEntries gives: a before b by CompareEntries, and, where that finds them equal,
// by their names compared by code point. A strict weak order, for sorting other lists of
// entries the same way.
bool SortsBefore(const Settings& settings, const FileEntry& a, const FileEntry& b);

// Sorts a folder's entries in place by CompareEntries of their records; entries it finds equal
// keep a fixed order (their names by code point), so the same folder always lists the same way.
void SortEntries(const Settings& settings, std::vector<FolderEntry>& entries);

}  // namespace folvane

#pragma once
// The tree body of a listing: the lines of every file and folder below a folder, led by
// tree-line strings, in one of four view styles, with the totals of the subtree.

#include <string>
#include <string_view>

#include "engine/listing_context.h"
#include "render/file_entry.h"

namespace folvane {

// Walks path (a full path ending in "\") depth first and appends the lines of its entries to
// text, each led by prefix; fills totals. Returns early when the run is cancelled, leaving in
// text only the blocks of 100 top-level entries completed before. Never fails: an unreadable
// folder is listed without contents. A link to a folder is listed but not entered, nor is a
// folder that is already on the way down (a bind mount of an ancestor). Any depth the host
// allows is walked without deep recursion.
void TreeBody(ListingContext& context, std::string& text, std::string_view prefix, std::string_view path,
              FolderTotals& totals);

}  // namespace folvane

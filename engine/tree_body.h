#pragma once
// The tree body of a listing: the lines of every file and folder below a folder, led by
// tree-line strings, in one of four view styles, with the totals of the subtree.

#include <string>
#include <string_view>

#include "engine/listing_context.h"
#include "render/body_store.h"
#include "render/file_entry.h"
#include "render/listing_writer.h"

namespace folvane {

// Walks path (a full path ending in "\") depth first and hands what it finds to writer, which
// keeps the lines, each led by prefix, in store; fills totals. Returns early when the run is
// cancelled (store then holds a part of the body, to be discarded). Never fails: an
// unreadable folder is listed without contents. A link to a folder is listed but not entered,
// nor is a folder that is already on the way down (a bind mount of an ancestor). Each folder is
// opened through its parent's handle, so depth and path length are limited by nothing but
// memory, and memory grows with the largest folder, not with the tree.
void TreeBody(ListingContext& context, const ListingWriter& writer, BodyStore& store, std::string_view prefix,
              std::string_view path, FolderTotals& totals);

}  // namespace folvane

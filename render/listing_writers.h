#pragma once
// The two writers behind ListingWriter::For; nothing else makes them.

#include <memory>
#include <string>

#include "render/listing_writer.h"

namespace folvane {

std::unique_ptr<ListingWriter> MakeTextWriter(const Settings& settings, const CharTable& chars);
std::unique_ptr<ListingWriter> MakeHtmlWriter(const Settings& settings, const CharTable& chars,
                                              std::string templateFolder);

}  // namespace folvane

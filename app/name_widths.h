#pragma once
// A report of every name under a folder with its width in display cells, the main job of the
// console program until the listing run exists.

#include <string>
#include <string_view>

namespace folvane {

// One line per entry below hostFolder, depth first in name order: the width in cells, a tab,
// two spaces per level and the name in its path-space spelling. "" when the folder cannot be read.
std::string NameWidthReport(std::string_view hostFolder);

}  // namespace folvane

#pragma once
// The sample tree that the tree-line dialog shows for the five strings being edited.

#include <array>
#include <string>

namespace folvane {

// pieces holds the strings of roles blank, vertical, branch, end and rule. Lines are joined by
// CR LF, with no line end after the last: the rule repeated and fitted to 20 cells (only when
// the rule is not empty), then "Root" and a small tree of a folder, a subfolder and files.
std::string CharTablePreview(const std::array<std::string, 5>& pieces);

}  // namespace folvane

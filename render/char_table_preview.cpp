#include "render/char_table_preview.h"

#include "render/text_width.h"

namespace folvane {

std::string CharTablePreview(const std::array<std::string, 5>& pieces) {
    const auto& [blank, vertical, branch, end, rule] = pieces;
    constexpr int kRuleCells = 20;
    std::string preview;
    if (!rule.empty()) preview += FitLeft(RepeatStr(kRuleCells, rule), kRuleCells) + "\r\n";
    preview += "Root\r\n";
    preview += branch + "Directory\r\n";
    preview += vertical + end + "Sub Directory\r\n";
    preview += vertical + blank + branch + "File\r\n";
    preview += vertical + blank + end + "File\r\n";
    preview += end + "File";
    return preview;
}

}  // namespace folvane

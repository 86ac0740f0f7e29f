#include "tests/engine/golden_support.h"

#include <cstdlib>
#include <ctime>

#include "engine/tree_body.h"

namespace folvane::testing {

UtcZone::UtcZone() {
    if (const char* zone = std::getenv("TZ")) saved_ = zone;
    setenv("TZ", "UTC", 1);
    tzset();
}

UtcZone::~UtcZone() {
    if (saved_)
        setenv("TZ", saved_->c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

ListingRig::ListingRig() {
    SetDefaults(settings);
    SetCharTableDefaults(chars);
}

void ListingRig::NameColumnOnly(int columns) {
    settings.Columns = static_cast<int16_t>(columns);
    settings.SizeFlg = false;
    settings.AttrFlg = false;
    settings.CDateFlg = false;
    settings.CTimeFlg = false;
    settings.UDateFlg = false;
    settings.UTimeFlg = false;
    settings.CRCFlg = false;
    settings.VersionFlg = false;
    ComputeWidths(settings);
}

void ListingRig::NameAndSize(int columns, int sizeColumns) {
    NameColumnOnly(columns);
    settings.SizeFlg = true;
    settings.SizeType = 0;
    settings.SizeMaxColumns = static_cast<int16_t>(sizeColumns);
    ComputeWidths(settings);
}

std::string ListingRig::Walk(std::string_view folder, FolderTotals& totals) {
    std::string text;
    TreeBody(context, text, "", std::string(folder) + "\\", totals);
    return text;
}

void MakeTree(const TempDir& dir, std::string_view base, const TreeSpec& tree) {
    const std::string lead = base.empty() ? std::string() : std::string(base) + "/";
    dir.MakeFolder(base);
    for (const auto& [name, content] : tree) {
        if (!name.empty() && name.back() == '/')
            dir.MakeFolder(lead + name.substr(0, name.size() - 1));
        else
            dir.WriteFile(lead + name, content);
    }
}

std::string CrLf(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines)
        text += line + "\r\n";
    return text;
}

std::string Numbered(int i, std::string_view lead) {
    const std::string digits = std::to_string(i);
    return std::string(lead) + std::string(digits.size() < 3 ? 3 - digits.size() : 0, '0') + digits;
}

std::string Sp(int n) {
    return std::string(static_cast<size_t>(n > 0 ? n : 0), ' ');
}

std::vector<std::string> SplitCrLf(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::string FileUrl(const TempDir& dir, std::string_view relative) {
    return "file://" + dir.host().string() + "/" + std::string(relative);
}

bool HostPathIsPlain(const TempDir& dir) {
    for (const char c : dir.host().string()) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                           c == '/' || c == '_' || c == '-' || c == '.';
        if (!plain) return false;
    }
    return true;
}

}  // namespace folvane::testing

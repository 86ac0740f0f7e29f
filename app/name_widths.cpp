#include "app/name_widths.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "platform/path_space.h"
#include "render/text_width.h"

namespace folvane {

namespace {

void ReportFolder(const std::filesystem::path& folder, int depth, std::string& out) {
    std::error_code error;
    std::vector<std::filesystem::directory_entry> entries;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        entries.push_back(entry);
    std::sort(entries.begin(), entries.end(),
              [](const auto& a, const auto& b) { return a.path().filename() < b.path().filename(); });
    for (const auto& entry : entries) {
        const std::string name = NameFromHost(entry.path().filename().string());
        out += std::to_string(StrWidth(name)) + "\t" + std::string(2 * depth, ' ') + name + "\n";
        if (entry.is_directory(error) && !entry.is_symlink(error)) ReportFolder(entry.path(), depth + 1, out);
    }
}

}  // namespace

std::string NameWidthReport(std::string_view hostFolder) {
    std::string out;
    ReportFolder(std::filesystem::path(std::string(hostFolder)), 0, out);
    return out;
}

}  // namespace folvane

#include "app/status_texts.h"

#include <array>
#include <cstdio>

#include "platform/person_path.h"
#include "render/size_text.h"

namespace folvane {

std::string ProgressText(int64_t folders, int64_t files) {
    return "フォルダ " + FormatThousands(folders) + " ・ ファイル " + FormatThousands(files);
}

std::string StatusBytesText(int64_t bytes) {
    static constexpr std::array<const char*, 4> kUnits = {"KB", "MB", "GB", "TB"};
    if (bytes < 1024) return std::to_string(bytes < 0 ? 0 : bytes) + " B";
    double value = static_cast<double>(bytes) / 1024;
    std::size_t unit = 0;
    // 1023.95 and more would print as "1024.0": the next unit takes over there.
    while (value >= 1023.95 && unit + 1 < kUnits.size()) {
        value /= 1024;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %s", value, kUnits[unit]);
    return text;
}

std::string RunProgressText(const RunState& run) {
    std::string text = ProgressText(run.FoldersRead, run.FilesRead);
    if (run.CrcBytesRead <= 0) return text;
    text += " ・ CRC ";
    if (run.CrcFileRead < run.CrcFileLength) {
        text += StatusBytesText(run.CrcFileRead) + " / " + StatusBytesText(run.CrcFileLength) + " (計 " +
                StatusBytesText(run.CrcBytesRead) + ")";
    } else {
        text += "計 " + StatusBytesText(run.CrcBytesRead);
    }
    return text;
}

std::string RunEndText(const ListingResult& result) {
    if (result.outcome != ListingOutcome::Saved || result.savedFile.empty()) return "";
    return "保存先: " + PathForPerson(result.savedFile);
}

}  // namespace folvane

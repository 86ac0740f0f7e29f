#include "settings/settings.h"

#include <algorithm>

#include "platform/text.h"

namespace folvane {

void SetDefaults(Settings& settings) {
    Settings defaults;
    defaults.LastPathName = std::move(settings.LastPathName);
    defaults.LastOutPathName = std::move(settings.LastOutPathName);
    defaults.Left = settings.Left;
    defaults.Top = settings.Top;
    settings = std::move(defaults);
    ComputeWidths(settings);
}

void SetHistoryDefaults(Settings& settings) {
    settings.LastPathName.clear();
    settings.LastOutPathName.clear();
    settings.Left = -1;
    settings.Top = -1;
}

void ComputeWidths(Settings& settings) {
    const int sizeWidth = settings.SizeType == 0 ? settings.SizeMaxColumns : 7;
    int nameWidth = settings.Columns;
    if (settings.SizeFlg) nameWidth -= sizeWidth;
    if (settings.CRCFlg) nameWidth -= 9;
    if (settings.AttrFlg) nameWidth -= 5;
    if (settings.CDateFlg) nameWidth -= 11;
    if (settings.CTimeFlg) nameWidth -= 9;
    if (settings.UDateFlg) nameWidth -= 11;
    if (settings.UTimeFlg) nameWidth -= 9;
    if (settings.VersionFlg) nameWidth -= 17;
    settings.SizeWidth = static_cast<int16_t>(sizeWidth);
    settings.NameWidth = static_cast<int16_t>(std::clamp(nameWidth, INT16_MIN, INT16_MAX));
}

void AddFilterText(Settings& settings, std::string_view text) {
    auto& history = settings.FilterText;
    const std::string key = AsciiUpper(text);
    auto equal = std::find_if(history.begin(), history.end(),
                              [&](const std::string& entry) { return AsciiUpper(entry) == key; });
    if (equal == history.end()) {
        // A history read from a file may hold more entries than the limit; it keeps its length.
        if (history.size() < static_cast<size_t>(kFilterHistoryLimit)) history.emplace_back();
        equal = history.end() - 1;
    }
    std::move_backward(history.begin(), equal, equal + 1);
    history.front() = std::string(text);
}

}  // namespace folvane

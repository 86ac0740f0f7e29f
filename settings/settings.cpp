#include "settings/settings.h"

#include <algorithm>

#include "platform/text.h"
#include "settings/settings_fields.h"

namespace folvane {

namespace {

enum class Which { kPreferences, kHistory };

// Puts the table's defaults into the fields of one group; the filter history is emptied with
// the preferences.
void ApplyDefaults(Settings& settings, Which which) {
    for (const SettingsField& field : kSettingsFields) {
        if (field.history != (which == Which::kHistory)) continue;
        switch (field.kind) {
            case FieldKind::kText:
                settings.*field.text = std::string(field.defaultText);
                break;
            case FieldKind::kFlag:
                settings.*field.flag = field.defaultFlag;
                break;
            case FieldKind::kNumber:
                settings.*field.number = field.defaultNumber;
                break;
            case FieldKind::kTextList:
                (settings.*field.list).clear();
                break;
        }
    }
}

}  // namespace

Settings::Settings() {
    ApplyDefaults(*this, Which::kPreferences);
    ApplyDefaults(*this, Which::kHistory);
    ComputeWidths(*this);
}

void SetDefaults(Settings& settings) {
    ApplyDefaults(settings, Which::kPreferences);
    ComputeWidths(settings);
}

void SetHistoryDefaults(Settings& settings) {
    ApplyDefaults(settings, Which::kHistory);
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

void AddFilterText(Settings& settings, std::string_view typed) {
    auto& history = settings.FilterText;
    const std::string text = CapText(typed, FilterHistoryField().textCap);
    const std::string key = AsciiUpper(text);
    auto equal = std::find_if(history.begin(), history.end(),
                              [&](const std::string& entry) { return AsciiUpper(entry) == key; });
    if (equal == history.end()) {
        // A history read from a file may hold more entries than the limit; it keeps its length.
        if (history.size() < static_cast<size_t>(kFilterHistoryLimit)) history.emplace_back();
        equal = history.end() - 1;
    }
    std::move_backward(history.begin(), equal, equal + 1);
    history.front() = text;
}

}  // namespace folvane

#pragma once
// The settings record's persisted fields, in one table: each field's name (the key of the
// settings file), its kind, its default, the range a number must keep and the cap of a text.
// The settings file, the command line and the Setup logic all take their rules from here.

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/settings.h"

namespace folvane {

enum class FieldKind { kText, kFlag, kNumber, kTextList };

// The range of a number field, both ends included.
struct NumberRange {
    int lowest = INT16_MIN;
    int highest = INT16_MAX;

    constexpr bool Contains(int64_t value) const { return value >= lowest && value <= highest; }
    constexpr int16_t Clamp(int64_t value) const {
        return static_cast<int16_t>(std::clamp<int64_t>(value, lowest, highest));
    }
};

struct SettingsField {
    std::string_view name;  // the key in the settings file, without its "="
    FieldKind kind = FieldKind::kText;
    std::string Settings::*text = nullptr;
    bool Settings::*flag = nullptr;
    int16_t Settings::*number = nullptr;
    std::vector<std::string> Settings::*list = nullptr;
    std::string_view defaultText = {};
    bool defaultFlag = false;
    int16_t defaultNumber = 0;
    NumberRange range = {};
    int textCap = 0;       // a text (each entry of a list) keeps this many bytes of code page 932
    bool history = false;  // set by SetHistoryDefaults and kept by SetDefaults
};

// The attribute masks of the walk with and without hidden entries: read-only, system and folder
// bits, and the hidden bit.
inline constexpr int16_t kSearchAttrWithHidden = 23;
inline constexpr int16_t kSearchAttrWithoutHidden = 21;

// The cap of each tree-line string.
inline constexpr int kCharTableTextCap = 64;

namespace fields {

constexpr SettingsField Text(std::string_view name, std::string Settings::*member, std::string_view byDefault,
                             int cap, bool history = false) {
    return {.name = name,
            .kind = FieldKind::kText,
            .text = member,
            .defaultText = byDefault,
            .textCap = cap,
            .history = history};
}
constexpr SettingsField Flag(std::string_view name, bool Settings::*member, bool byDefault) {
    return {.name = name, .kind = FieldKind::kFlag, .flag = member, .defaultFlag = byDefault};
}
constexpr SettingsField Number(std::string_view name, int16_t Settings::*member, int16_t byDefault,
                               NumberRange range = {}, bool history = false) {
    return {.name = name,
            .kind = FieldKind::kNumber,
            .number = member,
            .defaultNumber = byDefault,
            .range = range,
            .history = history};
}

}  // namespace fields

// Every persisted field, in the order the settings file lists them.
inline constexpr std::array kSettingsFields = {
    fields::Text("Version", &Settings::Version, "", 16),
    fields::Number("ListType", &Settings::ListType, 0, {0, 1}),
    fields::Number("SearchAttr", &Settings::SearchAttr, kSearchAttrWithHidden),
    fields::Number("ViewType", &Settings::ViewType, 0, {0, 3}),
    fields::Flag("SizeFlg", &Settings::SizeFlg, true),
    fields::Flag("CDateFlg", &Settings::CDateFlg, false),
    fields::Flag("CTimeFlg", &Settings::CTimeFlg, false),
    fields::Flag("UDateFlg", &Settings::UDateFlg, true),
    fields::Flag("UTimeFlg", &Settings::UTimeFlg, true),
    fields::Flag("AttrFlg", &Settings::AttrFlg, true),
    fields::Flag("VersionFlg", &Settings::VersionFlg, false),
    fields::Flag("CRCFlg", &Settings::CRCFlg, false),
    fields::Flag("AutoOpenFlg", &Settings::AutoOpenFlg, false),
    fields::Flag("LongNameFlg", &Settings::LongNameFlg, true),
    fields::Flag("FolderLinkFlg", &Settings::FolderLinkFlg, false),
    fields::Flag("FileLinkFlg", &Settings::FileLinkFlg, true),
    fields::Text("HtmlName", &Settings::HtmlName, "基本.htm", 255),
    fields::Flag("FilterFlg", &Settings::FilterFlg, false),
    SettingsField{
        .name = "FilterText", .kind = FieldKind::kTextList, .list = &Settings::FilterText, .textCap = 1024},
    fields::Number("Columns", &Settings::Columns, 78, {1, 1000}),
    fields::Number("Lines", &Settings::Lines, 1, {1, 100}),
    fields::Number("CharType", &Settings::CharType, 1, {0, 1}),
    fields::Number("SizeType", &Settings::SizeType, 0, {0, 1}),
    fields::Number("SizeMaxColumns", &Settings::SizeMaxColumns, 12, {7, 99}),
    fields::Number("SortKey", &Settings::SortKey, 0, {0, 4}),
    fields::Flag("SortFlg", &Settings::SortFlg, true),
    fields::Number("CompMode", &Settings::CompMode, 1, {0, 1}),
    fields::Flag("ShortCutMenuFlg", &Settings::ShortCutMenuFlg, true),
    fields::Text("ShortCutCaption", &Settings::ShortCutCaption, "フォルダ リスト(&L)", 255),
    fields::Text("LastPathName", &Settings::LastPathName, "", 2048, true),
    fields::Text("LastOutPathName", &Settings::LastOutPathName, "", 2048, true),
    fields::Flag("SubDirSearchFlg", &Settings::SubDirSearchFlg, true),
    fields::Flag("MemPos", &Settings::MemPos, true),
    fields::Number("Left", &Settings::Left, -1, {}, true),
    fields::Number("Top", &Settings::Top, -1, {}, true),
};

// The entry of a field in the table.
constexpr const SettingsField& FieldOf(int16_t Settings::*member) {
    return *std::find_if(kSettingsFields.begin(), kSettingsFields.end(),
                         [&](const SettingsField& field) { return field.number == member; });
}
constexpr const SettingsField& FieldOf(std::string Settings::*member) {
    return *std::find_if(kSettingsFields.begin(), kSettingsFields.end(),
                         [&](const SettingsField& field) { return field.text == member; });
}
constexpr const SettingsField& FilterHistoryField() {
    return *std::find_if(kSettingsFields.begin(), kSettingsFields.end(),
                         [&](const SettingsField& field) { return field.kind == FieldKind::kTextList; });
}

constexpr NumberRange RangeOf(int16_t Settings::*member) {
    return FieldOf(member).range;
}

// value cut to at most capBytes bytes of its code page 932 form, at a character boundary; a
// line break (CR or LF), which no settings line can hold, is left out.
std::string CapText(std::string_view value, int capBytes);

// value as the text field member keeps it (CapText with the field's cap).
std::string CappedText(std::string Settings::*member, std::string_view value);

// The number a text stands for, as the settings file, the command line and the Setup dialog
// read numbers: blanks (spaces, tabs), an optional sign, digits with an optional fraction (".5"
// and "5." count), blanks. addend is added before the number is rounded to the nearest
// integer, halves to even. Magnitudes beyond 10^12 saturate there. nullopt when the text is no
// such number.
std::optional<int64_t> ParseRoundedNumber(std::string_view text, int addend = 0);

}  // namespace folvane

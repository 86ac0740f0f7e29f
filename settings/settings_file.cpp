#include "settings/settings_file.h"

#include <algorithm>
#include <array>
#include <climits>

#include "platform/cp932.h"
#include "platform/file_system.h"
#include "platform/file_write.h"
#include "platform/process.h"
#include "platform/text.h"
#include "settings/path_utils.h"
#include "settings/program_files.h"

namespace folvane {

namespace {

// ---- Numbers ----------------------------------------------------------------------------------

constexpr int64_t kNumberLimit = 1'000'000'000'000;

bool IsNumberBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimNumberBlanks(std::string_view text) {
    while (!text.empty() && IsNumberBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsNumberBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool AllDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), IsDigit);
}

int64_t SaturatedValue(std::string_view digits) {
    int64_t value = 0;
    for (const char digit : digits) {
        value = value * 10 + (digit - '0');
        if (value >= kNumberLimit) return kNumberLimit;
    }
    return value;
}

// Whether the fraction digits (the part after the point) move the integer part up by one when
// rounding to the nearest integer, halves to even.
bool RoundsUp(int64_t integer, std::string_view fraction) {
    if (fraction.empty() || fraction[0] < '5') return false;
    if (fraction[0] > '5') return true;
    const bool moreThanHalf = fraction.find_first_not_of('0', 1) != std::string_view::npos;
    return moreThanHalf || integer % 2 != 0;
}

// ---- Values -----------------------------------------------------------------------------------

constexpr std::string_view kTrue = "True";
constexpr std::string_view kFalse = "False";

// A flag value: "True" or "False" in any letter case, or a number, where any value but zero is
// True (also a fraction such as 0.5 that rounds to zero).
std::optional<bool> DecodeFlag(std::string_view value) {
    const std::string word = AsciiUpper(TrimNumberBlanks(value));
    if (word == "TRUE") return true;
    if (word == "FALSE") return false;
    if (!ParseRoundedNumber(value)) return std::nullopt;
    return value.find_first_of("123456789") != std::string_view::npos;
}

// A text value as it can be written: a line break would end the line early and turn the rest
// of the value into a line of its own, so breaks are left out.
std::string OneLine(std::string_view text) {
    std::string line(text);
    std::erase_if(line, [](char c) { return c == '\r' || c == '\n'; });
    return line;
}

// ---- Fields of the [Settings] section ---------------------------------------------------------

enum class FieldKind {
    kText,
    kFlag,
    kNumber,         // clamped into lowest..highest
    kAttributeMask,  // SearchAttr: hidden entries in or out, by the hidden bit
    kPosition,       // any 16-bit number; others are skipped
    kFilterHistory,  // one line per entry
};

struct Field {
    std::string_view key;  // with its "="
    FieldKind kind;
    std::string Settings::*text = nullptr;
    bool Settings::*flag = nullptr;
    int16_t Settings::*number = nullptr;
    int lowest = INT16_MIN;
    int highest = INT16_MAX;
};

constexpr Field TextField(std::string_view key, std::string Settings::*text) {
    return {.key = key, .kind = FieldKind::kText, .text = text};
}
constexpr Field FlagField(std::string_view key, bool Settings::*flag) {
    return {.key = key, .kind = FieldKind::kFlag, .flag = flag};
}
constexpr Field NumberField(std::string_view key, int16_t Settings::*number, int lowest, int highest) {
    return {.key = key, .kind = FieldKind::kNumber, .number = number, .lowest = lowest, .highest = highest};
}
constexpr Field PositionField(std::string_view key, int16_t Settings::*number) {
    return {.key = key, .kind = FieldKind::kPosition, .number = number};
}

// In the order the reader tries them: the first key a line starts with decides.
constexpr std::array kFields = {
    TextField("Version=", &Settings::Version),
    NumberField("ListType=", &Settings::ListType, 0, 1),
    Field{.key = "SearchAttr=", .kind = FieldKind::kAttributeMask, .number = &Settings::SearchAttr},
    FlagField("SizeFlg=", &Settings::SizeFlg),
    NumberField("ViewType=", &Settings::ViewType, 0, 3),
    Field{.key = "FilterText=", .kind = FieldKind::kFilterHistory},
    FlagField("FilterFlg=", &Settings::FilterFlg),
    FlagField("CDateFlg=", &Settings::CDateFlg),
    FlagField("CTimeFlg=", &Settings::CTimeFlg),
    FlagField("UDateFlg=", &Settings::UDateFlg),
    FlagField("UTimeFlg=", &Settings::UTimeFlg),
    FlagField("AttrFlg=", &Settings::AttrFlg),
    FlagField("VersionFlg=", &Settings::VersionFlg),
    FlagField("CRCFlg=", &Settings::CRCFlg),
    FlagField("AutoOpenFlg=", &Settings::AutoOpenFlg),
    NumberField("Columns=", &Settings::Columns, 1, 1000),
    NumberField("Lines=", &Settings::Lines, 1, 100),
    FlagField("LongNameFlg=", &Settings::LongNameFlg),
    FlagField("FileLinkFlg=", &Settings::FileLinkFlg),
    FlagField("FolderLinkFlg=", &Settings::FolderLinkFlg),
    TextField("HtmlName=", &Settings::HtmlName),
    NumberField("CharType=", &Settings::CharType, 0, 1),
    NumberField("SizeType=", &Settings::SizeType, 0, 1),
    NumberField("SizeMaxColumns=", &Settings::SizeMaxColumns, 7, 99),
    NumberField("SortKey=", &Settings::SortKey, 0, 4),
    FlagField("SortFlg=", &Settings::SortFlg),
    NumberField("CompMode=", &Settings::CompMode, 0, 1),
    FlagField("ShortCutMenuFlg=", &Settings::ShortCutMenuFlg),
    TextField("ShortCutCaption=", &Settings::ShortCutCaption),
    TextField("LastPathName=", &Settings::LastPathName),
    TextField("LastOutPathName=", &Settings::LastOutPathName),
    FlagField("SubDirSearchFlg=", &Settings::SubDirSearchFlg),
    FlagField("MemPos=", &Settings::MemPos),
    PositionField("Left=", &Settings::Left),
    PositionField("Top=", &Settings::Top),
};

// In the order the writer puts them into the file.
// clang-format off
constexpr std::array<std::string_view, kFields.size()> kWrittenKeys = {
    "Version=", "ListType=", "SearchAttr=", "ViewType=", "SizeFlg=", "CDateFlg=", "CTimeFlg=",
    "UDateFlg=", "UTimeFlg=", "AttrFlg=", "VersionFlg=", "CRCFlg=", "AutoOpenFlg=", "LongNameFlg=",
    "FolderLinkFlg=", "FileLinkFlg=", "HtmlName=", "FilterFlg=", "FilterText=", "Columns=", "Lines=",
    "CharType=", "SizeType=", "SizeMaxColumns=", "SortKey=", "SortFlg=", "CompMode=", "ShortCutMenuFlg=",
    "ShortCutCaption=", "LastPathName=", "LastOutPathName=", "SubDirSearchFlg=", "MemPos=", "Left=", "Top=",
};
// clang-format on

constexpr bool IsFieldKey(std::string_view key) {
    return std::any_of(kFields.begin(), kFields.end(), [&](const Field& field) { return field.key == key; });
}
static_assert(std::all_of(kWrittenKeys.begin(), kWrittenKeys.end(), IsFieldKey));

const Field& FieldOf(std::string_view key) {
    return *std::find_if(kFields.begin(), kFields.end(),
                         [&](const Field& field) { return field.key == key; });
}

constexpr std::string_view kSettingsSection = "[Settings]";
constexpr std::string_view kTableSection = "[CharTable]";
constexpr std::string_view kLineEnd = "\r\n";

// Files this large are not settings files the program wrote; they are not read at all.
constexpr int64_t kSizeLimit = 32768;

void AppendLine(std::string& text, std::string_view key, std::string_view value) {
    text.append(key).append(value).append(kLineEnd);
}

void AppendField(std::string& text, const Settings& settings, const Field& field) {
    switch (field.kind) {
        case FieldKind::kText:
            AppendLine(text, field.key, OneLine(settings.*field.text));
            break;
        case FieldKind::kFlag:
            AppendLine(text, field.key, settings.*field.flag ? kTrue : kFalse);
            break;
        case FieldKind::kNumber:
        case FieldKind::kAttributeMask:
        case FieldKind::kPosition:
            AppendLine(text, field.key, std::to_string(settings.*field.number));
            break;
        case FieldKind::kFilterHistory:
            for (const auto& entry : settings.FilterText)
                AppendLine(text, field.key, OneLine(entry));
            break;
    }
}

void StoreNumber(Settings& settings, const Field& field, int64_t value) {
    switch (field.kind) {
        case FieldKind::kNumber:
            settings.*field.number =
                static_cast<int16_t>(std::clamp<int64_t>(value, field.lowest, field.highest));
            break;
        case FieldKind::kAttributeMask:
            if (value >= INT16_MIN && value <= INT16_MAX) settings.*field.number = (value & 2) != 0 ? 23 : 21;
            break;
        case FieldKind::kPosition:
            if (value >= INT16_MIN && value <= INT16_MAX)
                settings.*field.number = static_cast<int16_t>(value);
            break;
        default:
            break;
    }
}

void StoreField(Settings& settings, const Field& field, std::string_view value) {
    switch (field.kind) {
        case FieldKind::kText:
            settings.*field.text = std::string(value);
            break;
        case FieldKind::kFlag:
            if (const auto flag = DecodeFlag(value)) settings.*field.flag = *flag;
            break;
        case FieldKind::kFilterHistory:
            settings.FilterText.emplace_back(value);
            break;
        default:
            if (const auto number = ParseRoundedNumber(value)) StoreNumber(settings, field, *number);
            break;
    }
}

bool StartsWithIgnoringCase(std::string_view line, std::string_view key) {
    return line.size() >= key.size() && AsciiUpper(line.substr(0, key.size())) == AsciiUpper(key);
}

void ReadSettingsLine(std::string_view line, Settings& settings) {
    for (const Field& field : kFields) {
        if (StartsWithIgnoringCase(line, field.key)) {
            StoreField(settings, field, line.substr(field.key.size()));
            return;
        }
    }
}

// A table line "set,role=string". The "," and "=" are looked for from the second character on,
// so a line that starts with either of them names no set.
void ReadTableLine(std::string_view line, CharTable& table) {
    const std::size_t comma = line.find(',', 1);
    const std::size_t equals = line.find('=', 1);
    if (comma == std::string_view::npos || equals == std::string_view::npos || equals <= comma + 1) return;
    const auto set = ParseRoundedNumber(line.substr(0, comma));
    const auto role = ParseRoundedNumber(line.substr(comma + 1, equals - comma - 1));
    if (!set || !role || *set < 0 || *set >= kCharSets || *role < 0 || *role >= kCharRoles) return;
    table.strings[static_cast<std::size_t>(*set)][static_cast<std::size_t>(*role)] =
        std::string(line.substr(equals + 1));
}

enum class Section { kNone, kSettings, kTable };

void ReadLines(std::string_view bytes, Settings& settings, CharTable& table) {
    Section section = Section::kNone;
    // Only text followed by CR LF is a line; a last piece without one is dropped.
    for (std::size_t end = bytes.find(kLineEnd); end != std::string_view::npos; end = bytes.find(kLineEnd)) {
        const std::string line = FromCp932(bytes.substr(0, end));
        bytes.remove_prefix(end + kLineEnd.size());
        if (line.starts_with('[')) {
            section = line == kSettingsSection ? Section::kSettings
                      : line == kTableSection  ? Section::kTable
                                               : Section::kNone;
        } else if (section == Section::kSettings) {
            ReadSettingsLine(line, settings);
        } else if (section == Section::kTable) {
            ReadTableLine(line, table);
        }
    }
}

// The bytes of the settings file; nullopt when it is missing, unreadable or too large.
// The file is read through a bounded buffer, so a file that grows meanwhile is not read whole.
std::optional<std::string> ReadSettingsBytes(std::string_view path) {
    FileReader file;
    if (!file.Open(path) || file.Length() >= kSizeLimit) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(kSizeLimit), '\0');
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        const std::ptrdiff_t count = file.Read(bytes.data() + filled, bytes.size() - filled);
        if (count < 0) return std::nullopt;
        if (count == 0) break;
        filled += static_cast<std::size_t>(count);
    }
    if (filled >= bytes.size()) return std::nullopt;
    bytes.resize(filled);
    return bytes;
}

// Versions before 1.8 drew the full-width vertical line with a full-width bar; a table that
// still holds all the former defaults gets the box-drawing line that matches the others.
void UpgradeFullWidthVertical(CharTable& table) {
    auto& full = table.strings[1];
    if (full[0] == "   " && full[1] == "｜ " && full[2] == "├ " && full[3] == "└ ") full[1] = "│ ";
}

// The help viewer keeps an index ("Folvane.GID") beside the help file that an older program's
// help would leave stale. Any failure here is of no consequence.
void DeleteHelpIndex(std::string_view helpFilePath) {
    if (helpFilePath.size() < 4 || AsciiLower(helpFilePath.substr(helpFilePath.size() - 4)) != ".hlp") return;
    if (helpFilePath.find('\\') == std::string_view::npos) return;
    const std::string index = std::string(helpFilePath.substr(0, helpFilePath.size() - 3)) + "GID";
    if (IsFile(index)) DeletePath(index);
}

}  // namespace

std::optional<int64_t> ParseRoundedNumber(std::string_view text) {
    text = TrimNumberBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    const std::size_t point = text.find('.');
    const std::string_view integerDigits = text.substr(0, point);
    const std::string_view fractionDigits =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    if (integerDigits.empty() && fractionDigits.empty()) return std::nullopt;
    if (!AllDigits(integerDigits) || !AllDigits(fractionDigits)) return std::nullopt;

    int64_t value = SaturatedValue(integerDigits);
    if (value < kNumberLimit && RoundsUp(value, fractionDigits)) ++value;
    return negative ? -value : value;
}

std::string SettingsFilePath() {
    return SettingsFilePathOf(ExecutableFolder(), UserConfigFolder());
}

std::string SettingsFilePathOf(std::string_view executableFolder, std::string_view configFolder) {
    const std::string beside =
        executableFolder.empty() ? "" : WithBackslash(executableFolder) + std::string(kSettingsFileName);
    // An installed program's folder is shared by every user of the machine (and writable by the
    // administrator): its settings are each user's own.
    const bool installed = !InstalledDataFolder(executableFolder).empty();
    if (!beside.empty() && !installed && CanWriteFolder(executableFolder)) return beside;
    if (!configFolder.empty())
        return WithBackslash(configFolder) + "folvane\\" + std::string(kSettingsFileName);
    return beside;
}

std::string SettingsFileText(const Settings& settings, const CharTable& table) {
    std::string text;
    text.append(kSettingsSection).append(kLineEnd);
    for (const std::string_view key : kWrittenKeys)
        AppendField(text, settings, FieldOf(key));
    text.append(kTableSection).append(kLineEnd);
    for (int set = 0; set < kCharSets; ++set) {
        for (int role = 0; role < kCharRoles; ++role) {
            const std::string key = std::to_string(set) + ',' + std::to_string(role) + '=';
            AppendLine(text, key, OneLine(table.strings[set][role]));
        }
    }
    return text;
}

void LoadSettings(std::string_view path, std::string_view helpFilePath, Settings& settings,
                  CharTable& table) {
    SetDefaults(settings);
    SetHistoryDefaults(settings);
    SetCharTableDefaults(table);
    // An empty file is taken like a missing one: nothing in it asks for an upgrade.
    const auto bytes = ReadSettingsBytes(path);
    if (bytes && !bytes->empty()) {
        ReadLines(*bytes, settings, table);
        // Also a file without a usable "Version=" line counts as an older layout.
        if (settings.Version != kSettingsVersion) {
            UpgradeFullWidthVertical(table);
            DeleteHelpIndex(helpFilePath);
        }
    }
    settings.Version = kSettingsVersion;
    ComputeWidths(settings);
}

bool SaveSettings(std::string_view path, const Settings& settings, const CharTable& table) {
    const std::string bytes = ToCp932(SettingsFileText(settings, table));
    // The folder below the user's configuration folder does not exist before the first save.
    const std::string folder = ParentFolder(path);
    if (!folder.empty() && !IsFolder(folder)) MakeFolders(folder);
    return WriteFileReplacing(path, bytes);
}

}  // namespace folvane

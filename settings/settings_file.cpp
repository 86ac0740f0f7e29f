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
#include "settings/settings_fields.h"
#include "settings/program_files.h"

namespace folvane {

namespace {

constexpr std::string_view kTrue = "True";
constexpr std::string_view kFalse = "False";

constexpr std::string_view kSettingsSection = "[Settings]";
constexpr std::string_view kTableSection = "[CharTable]";
constexpr std::string_view kLineEnd = "\r\n";

// A flag value: "True" or "False" in any letter case, or a number, where any value but zero is
// True (also a fraction such as 0.5 that rounds to zero).
std::optional<bool> DecodeFlag(std::string_view value) {
    const std::size_t first = value.find_first_not_of(" \t");
    const std::size_t last = value.find_last_not_of(" \t");
    const std::string word =
        first == std::string_view::npos ? "" : AsciiUpper(value.substr(first, last - first + 1));
    if (word == "TRUE") return true;
    if (word == "FALSE") return false;
    if (!ParseRoundedNumber(value)) return std::nullopt;
    return value.find_first_of("123456789") != std::string_view::npos;
}

void AppendLine(std::string& text, std::string_view name, std::string_view value) {
    text.append(name).append("=").append(value).append(kLineEnd);
}

void AppendField(std::string& text, const Settings& settings, const SettingsField& field) {
    switch (field.kind) {
        case FieldKind::kText:
            AppendLine(text, field.name, CapText(settings.*field.text, field.textCap));
            break;
        case FieldKind::kFlag:
            AppendLine(text, field.name, settings.*field.flag ? kTrue : kFalse);
            break;
        case FieldKind::kNumber:
            AppendLine(text, field.name, std::to_string(settings.*field.number));
            break;
        case FieldKind::kTextList:
            for (const auto& entry : settings.*field.list)
                AppendLine(text, field.name, CapText(entry, field.textCap));
            break;
    }
}

// A number outside a field's range is brought into it; one that no 16-bit field can hold is
// clamped too when the field has a narrower range, and skipped when any 16-bit value is valid.
void StoreNumber(Settings& settings, const SettingsField& field, int64_t value) {
    const NumberRange whole;
    if (field.range.lowest == whole.lowest && field.range.highest == whole.highest && !whole.Contains(value))
        return;
    settings.*field.number = field.range.Clamp(value);
}

void StoreField(Settings& settings, const SettingsField& field, std::string_view value) {
    switch (field.kind) {
        case FieldKind::kText:
            settings.*field.text = CapText(value, field.textCap);
            break;
        case FieldKind::kFlag:
            if (const auto flag = DecodeFlag(value)) settings.*field.flag = *flag;
            break;
        case FieldKind::kTextList:
            (settings.*field.list).push_back(CapText(value, field.textCap));
            break;
        case FieldKind::kNumber:
            if (const auto number = ParseRoundedNumber(value)) StoreNumber(settings, field, *number);
            break;
    }
}

bool StartsWithIgnoringCase(std::string_view line, std::string_view key) {
    return line.size() >= key.size() && AsciiUpper(line.substr(0, key.size())) == AsciiUpper(key);
}

// A key ends in its "=", which no field name holds, so no key is the beginning of another and
// at most one field matches a line.
void ReadSettingsLine(std::string_view line, Settings& settings) {
    for (const SettingsField& field : kSettingsFields) {
        const std::size_t keyLength = field.name.size() + 1;
        if (StartsWithIgnoringCase(line, field.name) && line.size() >= keyLength &&
            line[field.name.size()] == '=') {
            StoreField(settings, field, line.substr(keyLength));
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
        CapText(line.substr(equals + 1), kCharTableTextCap);
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
    if (!file.Open(path) || file.Length() >= static_cast<int64_t>(kSettingsFileSizeLimit)) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(static_cast<int64_t>(kSettingsFileSizeLimit)), '\0');
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
        return WithBackslash(configFolder) + std::string(ProgramConfigFolderName()) + "\\" +
               std::string(kSettingsFileName);
    return beside;
}

std::string SettingsFileText(const Settings& settings, const CharTable& table) {
    std::string text;
    text.append(kSettingsSection).append(kLineEnd);
    for (const SettingsField& field : kSettingsFields)
        AppendField(text, settings, field);
    text.append(kTableSection).append(kLineEnd);
    for (int set = 0; set < kCharSets; ++set) {
        for (int role = 0; role < kCharRoles; ++role) {
            const std::string key = std::to_string(set) + ',' + std::to_string(role);
            AppendLine(text, key, CapText(table.strings[set][role], kCharTableTextCap));
        }
    }
    return text;
}

void FitHistoryToFile(Settings& settings, const CharTable& table) {
    int64_t size = static_cast<int64_t>(ToCp932(SettingsFileText(settings, table)).size());
    auto& history = settings.FilterText;
    const SettingsField& field = FilterHistoryField();
    while (size >= static_cast<int64_t>(kSettingsFileSizeLimit) && !history.empty()) {
        size -= static_cast<int64_t>(
            field.name.size() + 1 + ToCp932(CapText(history.back(), field.textCap)).size() + kLineEnd.size());
        history.pop_back();
    }
}

std::string SettingsFileBytes(const Settings& settings, const CharTable& table) {
    Settings fitted = settings;
    FitHistoryToFile(fitted, table);
    return ToCp932(SettingsFileText(fitted, table));
}

bool ReadSettingsText(std::string_view fileBytes, Settings& settings, CharTable& table) {
    SetDefaults(settings);
    SetHistoryDefaults(settings);
    SetCharTableDefaults(table);
    // An empty file is taken like a missing one: nothing in it asks for an upgrade.
    bool upgraded = false;
    if (!fileBytes.empty() && static_cast<int64_t>(fileBytes.size()) < static_cast<int64_t>(kSettingsFileSizeLimit)) {
        ReadLines(fileBytes, settings, table);
        // Also a file without a usable "Version=" line counts as an older layout.
        upgraded = settings.Version != kSettingsVersion;
        if (upgraded) UpgradeFullWidthVertical(table);
    }
    settings.Version = kSettingsVersion;
    FitHistoryToFile(settings, table);
    ComputeWidths(settings);
    return upgraded;
}

void LoadSettings(std::string_view path, std::string_view helpFilePath, Settings& settings,
                  CharTable& table) {
    const auto bytes = ReadSettingsBytes(path);
    if (ReadSettingsText(bytes.value_or(std::string()), settings, table)) DeleteHelpIndex(helpFilePath);
}

bool SaveSettings(std::string_view path, const Settings& settings, const CharTable& table) {
    // A settings file the person made read-only is kept as it is, as a read-only listing is.
    if (const auto attributes = GetAttributes(path); attributes && (*attributes & kAttrReadOnly) != 0)
        return false;
    const std::string bytes = SettingsFileBytes(settings, table);
    // The folder below the user's configuration folder does not exist before the first save.
    const std::string folder = ParentFolder(path);
    if (!folder.empty() && !IsFolder(folder)) MakeFolders(folder);
    return WriteFileReplacing(path, bytes);
}

}  // namespace folvane

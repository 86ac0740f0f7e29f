#pragma once
// The settings file "Folvane.ini": the settings record and the tree-line table in two
// sections of an INI-like text, code page 932, CR LF line ends.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "settings/char_table.h"
#include "settings/settings.h"

namespace folvane {

inline constexpr std::string_view kSettingsFileName = "Folvane.ini";

// Files this large are not settings files the program wrote; they are not read at all.
inline constexpr std::size_t kSettingsFileSizeLimit = 32768;

// Where the running program's settings file lives: SettingsFilePathOf its executable's folder
// and the user's configuration folder.
std::string SettingsFilePath();

// Where the settings file of a program whose executable lies in executableFolder lives, with
// configFolder as the user's configuration folder (path-space paths, "" when unknown): beside
// the executable when that folder can be written and the program is not installed (see
// InstalledDataFolder), else "folvane\Folvane.ini" in configFolder; beside the executable
// again when configFolder is "", and "" when neither is known.
std::string SettingsFilePathOf(std::string_view executableFolder, std::string_view configFolder);

// The whole text of the settings file for settings and table, exactly as it is written (before
// the conversion to code page 932). Texts keep their caps, which also leave out line breaks, so
// that every value stays on its own line.
std::string SettingsFileText(const Settings& settings, const CharTable& table);

// The bytes SaveSettings writes: SettingsFileText of settings with the filter history fitted
// (FitHistoryToFile), in code page 932. Always fewer than kSettingsFileSizeLimit.
std::string SettingsFileBytes(const Settings& settings, const CharTable& table);

// Fills settings and table from the bytes of a settings file: defaults first, then the lines of
// the file (nothing of a file that is empty or 32768 bytes or larger). Numbers out of a field's
// range are clamped into it; a value that does not convert, and a table line naming no existing
// set and role, are skipped; texts keep their caps (settings_fields.h). An older layout is
// upgraded. Version becomes the current one; the filter history keeps as many entries as fit
// into a file the reader takes (FitHistoryToFile). Ends with ComputeWidths. True when the file
// came from an older layout.
bool ReadSettingsText(std::string_view fileBytes, Settings& settings, CharTable& table);

// ReadSettingsText of the file at path (ignored when missing or unreadable); after an upgrade,
// helpFilePath's ".GID" index is deleted. Never reports an error.
void LoadSettings(std::string_view path, std::string_view helpFilePath, Settings& settings, CharTable& table);

// Drops the oldest filter texts until the settings file for settings and table is smaller than
// the 32768 bytes the reader takes. The other fields' caps leave room for many filter texts.
void FitHistoryToFile(Settings& settings, const CharTable& table);

// Writes the file at path from settings and table (with the filter history fitted), creating its
// folder when missing; a failed write leaves the previous file. A read-only file is not
// replaced. False when it was not written.
bool SaveSettings(std::string_view path, const Settings& settings, const CharTable& table);

}  // namespace folvane

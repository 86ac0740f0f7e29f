#pragma once
// The settings file "Folvane.ini": the settings record and the tree-line table in two
// sections of an INI-like text, code page 932, CR LF line ends.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "settings/char_table.h"
#include "settings/settings.h"

namespace folvane {

inline constexpr std::string_view kSettingsFileName = "Folvane.ini";

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
// the conversion to code page 932). A line break inside a text value is left out, so that
// every value stays on its own line.
std::string SettingsFileText(const Settings& settings, const CharTable& table);

// Fills settings and table: defaults first, then the file at path (ignored when missing, empty,
// unreadable or 32768 bytes or larger); an older layout is upgraded (helpFilePath's ".GID"
// index is deleted then). Ends with ComputeWidths. Numbers out of a field's range are clamped
// into it; a value that does not convert, and a table line naming no existing set and role,
// are skipped. Never reports an error.
void LoadSettings(std::string_view path, std::string_view helpFilePath, Settings& settings, CharTable& table);

// Writes the file at path from settings and table, creating its folder when missing; a failed
// write leaves the previous file. False when it could not be written.
bool SaveSettings(std::string_view path, const Settings& settings, const CharTable& table);

// The integer a number text stands for, as the settings file and the command line read
// numbers: blanks, an optional sign, digits with an optional fraction (".5" and "5." count),
// blanks; rounded to the nearest integer, halves to even. Magnitudes beyond 10^12 saturate
// there. nullopt when the text is no such number.
std::optional<int64_t> ParseRoundedNumber(std::string_view text);

}  // namespace folvane

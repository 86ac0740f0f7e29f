#pragma once
// The settings file "Folvane.ini": the settings record and the tree-line table in two
// sections of an INI-like text, code page 932, CR LF line ends.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/char_table.h"
#include "settings/settings.h"

namespace folvane {

inline constexpr std::string_view kSettingsFileName = "Folvane.ini";
// Files this large or larger are not settings files the program wrote; they are not read.
inline constexpr std::size_t kSettingsFileSizeLimit = 32768;

// Where the settings file lives: beside the executable when that folder can be written, else
// "folvane\Folvane.ini" in the user's configuration folder; beside the executable again when
// no configuration folder is known (readable, not writable), "" when neither is known. A
// path-space path.
std::string SettingsFilePath();

// The whole text of the settings file for settings and table, exactly as it is written (before
// the conversion to code page 932). A line break inside a text value is left out, so that
// every value stays on its own line.
std::string SettingsFileText(const Settings& settings, const CharTable& table);

// The bytes SaveSettings writes: SettingsFileText in code page 932.
std::string SettingsFileBytes(const Settings& settings, const CharTable& table);

// Fills settings and table from the bytes of a settings file as LoadSettings does from the
// file, touching no file: defaults, then the bytes unless they are empty or at least
// kSettingsFileSizeLimit long; an older layout is upgraded. True when the bytes were of an
// older layout, so that the caller deletes the help index.
bool LoadSettingsFromBytes(std::string_view bytes, Settings& settings, CharTable& table);

// Fills settings and table: defaults first, then the file at path (ignored when missing, empty,
// unreadable or 32768 bytes or larger); an older layout is upgraded (helpFilePath's ".GID"
// index is deleted then). Ends with ComputeWidths. Numbers out of a field's range are clamped
// into it; a value that does not convert, and a table line naming no existing set and role,
// are skipped. Never reports an error.
void LoadSettings(std::string_view path, std::string_view helpFilePath, Settings& settings, CharTable& table);

// Writes the file at path from settings and table, creating its folder when missing; a failed
// write leaves the previous file. False when it could not be written.
bool SaveSettings(std::string_view path, const Settings& settings, const CharTable& table);

// A numeric field of the [Settings] section and the range the reader keeps its value in.
struct SettingsNumberRange {
    std::string_view key;  // with its "="
    int16_t Settings::*number;
    int lowest;
    int highest;
};
// Every numeric field of the [Settings] section, in the order the reader tries the keys.
std::vector<SettingsNumberRange> SettingsNumberRanges();

// The integer a number text stands for, as the settings file and the command line read
// numbers: blanks, an optional sign, digits with an optional fraction (".5" and "5." count),
// blanks; rounded to the nearest integer, halves to even. Magnitudes beyond 10^12 saturate
// there. nullopt when the text is no such number.
std::optional<int64_t> ParseRoundedNumber(std::string_view text);

}  // namespace folvane

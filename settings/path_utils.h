#pragma once
// Small operations on path-space paths, file names and argument lists. Paths are
// Windows-style: a drive ("C:") or a share ("\\server\share"), components separated by "\".
// All are total: where an operation fails it returns "" or false, as stated.

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace folvane {

// Splits a command line or filter text into arguments: blanks, tabs, CR and LF outside double
// quotes separate them; two separators in a row give an empty argument; an argument longer
// than two characters that starts and ends with a double quote loses those quotes; then each
// pair of double quotes becomes one. Blanks only, or "", give no arguments.
std::vector<std::string> SplitArguments(std::string_view text);

// The text that SplitArguments splits into arguments again: the arguments joined by blanks,
// each that holds a blank, tab, CR, LF or double quote put in double quotes with its inner
// quotes doubled. An empty argument is written as nothing, so it survives only between two
// others (blanks at either end of the text are trimmed away).
std::string JoinArguments(const std::vector<std::string>& arguments);

// 1-based byte position of the first blank, tab, LF or CR outside double quotes; 0 if none.
int FindArgumentEnd(std::string_view text);

// "\\server\share" for a share path ("" when no "\" follows the server name); for a drive
// path everything up to and including the first ":"; "" when there is neither.
std::string DrivePart(std::string_view path);

// Splits at each "\": a\b\ gives (a, b), \a gives ("", a), a\\b gives (a, "", b), "" gives none.
std::vector<std::string> SplitPath(std::string_view text);

// The absolute, normalised form of path, resolved against the current folder of its drive
// (or the process's current folder when it has no drive part); "" when the path is blank, has
// two "\" in a row, or climbs above its root. Touches nothing but the current folders.
std::string FullPath(std::string_view path);

// The mask TruePath takes for a folder typed, dropped or passed on the command line: a folder,
// read-only, hidden and system ones allowed.
inline constexpr uint32_t kAnyFolderMask = kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrFolder;

// The existing path with every component in the spelling the file system stores, or "" when
// it does not exist, its folder bit differs from mask's, or it has a read-only, hidden or
// system bit that mask lacks.
std::string TruePath(std::string_view path, uint32_t mask);

// True when a component after the drive part is CON, PRN, AUX, NUL or COM1..COM4 (any case).
bool HasReservedName(std::string_view path);

bool IsFolder(std::string_view path);    // attributes readable and include the folder bit
bool IsFile(std::string_view path);      // attributes readable and exclude the folder bit
bool PathExists(std::string_view path);  // IsFile or IsFolder

// The short (8.3) form of an existing path; "" when it cannot be obtained.
std::string ShortPath(std::string_view path);

// Trims blanks; appends "\" to a non-empty result that does not end in one.
std::string WithBackslash(std::string_view path);

// Trims blanks; removes a final "\" unless the result ends in ":\".
std::string WithoutBackslash(std::string_view path);

// The folder that holds path: C:\a\b\c.txt gives C:\a\b, C:\c.txt gives C:\, C:c.txt gives
// C:; "" when the path has no drive part.
std::string ParentFolder(std::string_view path);

// The path after ParentFolder of it, without a leading "\"; a path without a drive part is
// returned whole, less a leading "\".
std::string FileNamePart(std::string_view path);

// The text after the last "." when it follows the last "\" and ":"; otherwise "".
std::string Extension(std::string_view name);

// The text before the last "." when it follows the last "\" and ":"; otherwise name.
std::string WithoutExtension(std::string_view name);

// The whole file decoded from code page 932; "" for an empty file; fallback on any failure, and
// for a file of more than maxBytes bytes.
std::string ReadTextFile(std::string_view path, std::string_view fallback,
                         int64_t maxBytes = std::numeric_limits<int64_t>::max());

// Orders names for display lists: ignoring letter case first; names equal that way but not
// identical are ordered by code point after folding A-Z to a-z. Returns -1, 0 or 1.
int CompareNames(std::string_view a, std::string_view b);

}  // namespace folvane

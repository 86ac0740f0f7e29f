#pragma once
// The process's terminal: the standard input a person types on and the standard error the
// console program talks on. Texts are UTF-8 with "\n" line ends.

#include <optional>
#include <string>
#include <string_view>

namespace folvane {

// True when standard input, or standard error, is a terminal (not a file, a pipe or nothing).
bool InputIsTerminal();
bool ErrorIsTerminal();

// The next line typed on standard input, without its line end; nullopt at the end of input,
// or when an interrupt (Ctrl+C) ended the wait. A last line without a line end still counts.
std::optional<std::string> ReadInputLine();

// Writes text to standard error; what cannot be written is dropped.
void WriteError(std::string_view text);

// On a terminal standard error: shows text as the one status line, in place of the one shown
// before, and removes it again. Call only when ErrorIsTerminal().
void ShowStatusLine(std::string_view text);
void ClearStatusLine();

}  // namespace folvane

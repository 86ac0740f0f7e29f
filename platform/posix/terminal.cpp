#include "platform/terminal.h"

#include <unistd.h>

#include <cerrno>

namespace folvane {

namespace {

// Back to the start of the line, and the line erased (ECMA-48 "erase in line").
constexpr std::string_view kClearLine = "\r\x1b[K";

}  // namespace

bool InputIsTerminal() {
    return isatty(STDIN_FILENO) == 1;
}

bool ErrorIsTerminal() {
    return isatty(STDERR_FILENO) == 1;
}

std::optional<std::string> ReadInputLine() {
    std::string line;
    char ch = 0;
    for (;;) {
        const ssize_t got = read(STDIN_FILENO, &ch, 1);
        // An interrupt ends the wait: the question is then answered as if cancelled.
        if (got < 0) return std::nullopt;
        if (got == 0) return line.empty() ? std::nullopt : std::optional<std::string>(line);
        if (ch == '\n') return line;
        line += ch;
    }
}

void WriteError(std::string_view text) {
    while (!text.empty()) {
        const ssize_t written = write(STDERR_FILENO, text.data(), text.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return;
        text.remove_prefix(static_cast<std::size_t>(written));
    }
}

void ShowStatusLine(std::string_view text) {
    WriteError(std::string(kClearLine) + std::string(text));
}

void ClearStatusLine() {
    WriteError(kClearLine);
}

}  // namespace folvane

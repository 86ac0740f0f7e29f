#include "platform/terminal.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32/wide.h"

namespace folvane {

namespace {

// A console is talked to in UTF-16 (WriteConsoleW, ReadConsoleW), whatever its code page;
// a file or a pipe gets the program's UTF-8 bytes.
bool IsConsole(HANDLE handle) {
    DWORD mode = 0;
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

HANDLE ErrorHandle() {
    return GetStdHandle(STD_ERROR_HANDLE);
}

HANDLE InputHandle() {
    return GetStdHandle(STD_INPUT_HANDLE);
}

std::optional<std::string> ReadConsoleLine(HANDLE input) {
    std::wstring line;
    wchar_t unit = 0;
    for (;;) {
        DWORD got = 0;
        // Ctrl+C ends the wait with nothing read (ERROR_OPERATION_ABORTED): cancelled.
        if (!ReadConsoleW(input, &unit, 1, &got, nullptr) || got == 0) return std::nullopt;
        if (unit == L'\n') break;
        if (unit != L'\r') line += unit;
    }
    return Utf8FromWide(line);
}

std::optional<std::string> ReadByteLine(HANDLE input) {
    std::string line;
    char ch = 0;
    for (;;) {
        DWORD got = 0;
        const BOOL ok = ReadFile(input, &ch, 1, &got, nullptr);
        if (!ok || got == 0) return line.empty() ? std::nullopt : std::optional<std::string>(line);
        if (ch == '\n') break;
        line += ch;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

void WriteBytes(HANDLE handle, std::string_view text) {
    while (!text.empty()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(text.size(), 1u << 20));
        if (!WriteFile(handle, text.data(), chunk, &written, nullptr) || written == 0) return;
        text.remove_prefix(written);
    }
}

void WriteConsoleText(HANDLE console, std::string_view text) {
    std::wstring wide = WideFromUtf8(text);
    std::wstring_view rest = wide;
    while (!rest.empty()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(rest.size(), 16384));
        if (!WriteConsoleW(console, rest.data(), chunk, &written, nullptr) || written == 0) return;
        rest.remove_prefix(written);
    }
}

// The width of the console's line in cells, so that a status line can be blanked out.
SHORT ConsoleLineWidth(HANDLE console) {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!GetConsoleScreenBufferInfo(console, &info)) return 0;
    return info.dwSize.X;
}

// Blanks the cursor's line and puts the cursor at its start; works on consoles that do not
// take escape sequences (those before Windows 10).
void BlankConsoleLine(HANDLE console) {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!GetConsoleScreenBufferInfo(console, &info)) return;
    const COORD start{0, info.dwCursorPosition.Y};
    DWORD written = 0;
    FillConsoleOutputCharacterW(console, L' ', static_cast<DWORD>(ConsoleLineWidth(console)), start, &written);
    SetConsoleCursorPosition(console, start);
}

}  // namespace

bool InputIsTerminal() {
    return IsConsole(InputHandle());
}

bool ErrorIsTerminal() {
    return IsConsole(ErrorHandle());
}

std::optional<std::string> ReadInputLine() {
    const HANDLE input = InputHandle();
    if (input == nullptr || input == INVALID_HANDLE_VALUE) return std::nullopt;
    return IsConsole(input) ? ReadConsoleLine(input) : ReadByteLine(input);
}

void WriteError(std::string_view text) {
    const HANDLE error = ErrorHandle();
    if (error == nullptr || error == INVALID_HANDLE_VALUE) return;
    if (IsConsole(error))
        WriteConsoleText(error, text);
    else
        WriteBytes(error, text);
}

void ShowStatusLine(std::string_view text) {
    const HANDLE error = ErrorHandle();
    BlankConsoleLine(error);
    WriteConsoleText(error, text);
}

void ClearStatusLine() {
    BlankConsoleLine(ErrorHandle());
}

}  // namespace folvane

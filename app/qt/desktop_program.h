#pragma once
// The desktop program "folvane": the application, its font, the main window and the event loop.

#include <string>
#include <string_view>

namespace folvane {

// The desktop program: returns the process exit code.
int RunDesktopProgram(int argc, char** argv);

// Under a running QApplication: the main window's start-up for commandLine with the settings
// file and the template folder (path-space paths), then the window and the event loop. Returns
// 1 when the command line was rejected (after its message; the window is never shown), else
// the event loop's exit code.
int RunMainWindow(std::string_view commandLine, std::string settingsFile, std::string templateFolder);

// Makes the application's font one with Japanese glyphs when the default font has none.
void UseFontWithJapaneseGlyphs();

}  // namespace folvane

#pragma once
// The desktop program "folvane": the application, its font, the main window and the event loop.

#include <QIcon>
#include <string>
#include <string_view>

namespace folvane {

// The desktop program: returns the process exit code.
int RunDesktopProgram(int argc, char** argv);

// Under a running QApplication: the main window's start-up for commandLine with the settings
// file and the template folder (path-space paths), then the window and the event loop. Returns
// 1 when the command line was rejected (after its message; the window is never shown), else
// the event loop's exit code. shownCommandLine is the command line as typed, for its message.
int RunMainWindow(std::string_view commandLine, std::string settingsFile, std::string templateFolder,
                  std::string_view shownCommandLine = {});

// Readies the running QApplication before any window opens: its name and desktop entry (so
// that the desktop pairs the windows with the entry and its icon), the program's icon for
// every window, a font with Japanese glyphs, and Qt's own texts (file dialogs, standard
// buttons) in Japanese whatever the session's language, like the rest of the program.
void PrepareApplication();

// The program's icon, in every size it is drawn in.
QIcon ProgramIcon();

// Makes the application's font one with Japanese glyphs when the default font has none.
void UseFontWithJapaneseGlyphs();

}  // namespace folvane

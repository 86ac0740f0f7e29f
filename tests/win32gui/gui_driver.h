#pragma once
// Drives the Windows desktop program from outside, as a person at the screen would: copies of
// the programs in a fresh folder, started as processes, their windows found by title and
// worked through window messages. Every wait is bounded.

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/temp_dir.h"

namespace folvane::wintest {

using namespace std::chrono_literals;

// Long enough for a slow Wine start; a test that waits this long has failed.
inline constexpr std::chrono::milliseconds kPatience = 30s;

// Polls condition until it holds or timeout passes; true when it held.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = kPatience);

// The bytes of a file; "" when it cannot be read.
std::string ReadBytes(const std::filesystem::path& file);

// A built program of this build tree ("Z:\..." under Wine) by its host path.
std::filesystem::path BuiltProgram(std::string_view hostPath);

// The desktop program, the console program and the templates, copied into folder\bin, so that
// the settings file they write beside themselves stays inside the test.
struct Programs {
    std::filesystem::path gui;
    std::filesystem::path cli;
};
Programs InstallPrograms(const testing::TempDir& folder);

// A started process; one still running at the end is ended.
class Process {
  public:
    Process(const std::filesystem::path& program, const std::wstring& arguments,
            const std::filesystem::path& workingFolder);
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool started() const { return info_.hProcess != nullptr; }
    // The exit code once the process has ended within timeout; nullopt while it still runs.
    std::optional<DWORD> WaitForExit(std::chrono::milliseconds timeout = kPatience);
    // The first visible top-level window of the process with title (and the dialog class
    // "#32770") other than besides; nullptr when none appeared within timeout.
    HWND WaitForWindow(std::wstring_view title, std::chrono::milliseconds timeout = kPatience,
                       HWND besides = nullptr) const;
    // Whether the process shows a visible top-level window with title now.
    bool ShowsWindow(std::wstring_view title) const;

  private:
    PROCESS_INFORMATION info_{};
};

std::wstring TextOf(HWND window);
std::wstring ItemTextOf(HWND dialog, int id);
// Clicks button id of dialog as the button itself would report it.
void ClickItem(HWND dialog, int id);

// The file-name box of the save dialog; nullptr when it has none.
HWND SaveDialogNameBox(HWND dialog);
// Answers the save dialog: puts path into its file-name box and confirms. False when the dialog
// has no file-name box.
bool AnswerSaveDialog(HWND dialog, const std::filesystem::path& path);

// The lines of a listing's bytes without the two that depend on the moment of the run: the
// first (its date and time) and the last (the disk's free space).
std::vector<std::string> ListingWithoutMomentLines(const std::string& listing);

// The command line's quoting of a path.
std::wstring Quoted(const std::filesystem::path& path);

}  // namespace folvane::wintest

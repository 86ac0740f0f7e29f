#include "tests/win32gui/gui_driver.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <thread>

#include "platform/win32/wide.h"

namespace folvane::wintest {

namespace fs = std::filesystem;

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(20ms);
    }
}

std::string ReadBytes(const fs::path& file) {
    std::ostringstream bytes;
    bytes << std::ifstream(file, std::ios::binary).rdbuf();
    return bytes.str();
}

fs::path BuiltProgram(std::string_view hostPath) {
    std::wstring path = WideFromUtf8(hostPath);
    // Under Wine the build tree's host paths are on drive Z:.
    if (path.starts_with(L"/")) path = L"Z:" + path;
    for (wchar_t& c : path) {
        if (c == L'/') c = L'\\';
    }
    return fs::path(path);
}

Programs InstallPrograms(const testing::TempDir& folder) {
    // In the host's own separators, as the programs will name themselves.
    const fs::path bin = folder.MakeFolder("bin").make_preferred();
    const fs::path gui = BuiltProgram(FOLVANE_GUI_PATH);
    const fs::path cli = BuiltProgram(FOLVANE_CLI_PATH);
    fs::copy_file(gui, bin / gui.filename());
    fs::copy_file(cli, bin / cli.filename());
    fs::copy(BuiltProgram(FOLVANE_BASEHTML_DIR), bin / "basehtml", fs::copy_options::recursive);
    return Programs{bin / gui.filename(), bin / cli.filename()};
}

Process::Process(const fs::path& program, const std::wstring& arguments, const fs::path& workingFolder) {
    std::wstring commandLine = Quoted(program) + L" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workingFolder.c_str(), &startup, &info_)) {
        info_ = PROCESS_INFORMATION{};
        ADD_FAILURE() << "cannot start " << Utf8FromWide(program.wstring());
    }
}

Process::~Process() {
    if (!started()) return;
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(info_.hProcess, 99);
        WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
}

std::optional<DWORD> Process::WaitForExit(std::chrono::milliseconds timeout) {
    if (!started() ||
        WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0)
        return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

namespace {

struct WindowSearch {
    DWORD processId;
    std::wstring_view title;
    HWND besides;
    HWND found = nullptr;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (owner == search->processId && window != search->besides && IsWindowVisible(window) &&
        std::wstring_view(className) == L"#32770" && TextOf(window) == search->title) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindProcessWindow(DWORD processId, std::wstring_view title, HWND besides = nullptr) {
    WindowSearch search{processId, title, besides};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

HWND Process::WaitForWindow(std::wstring_view title, std::chrono::milliseconds timeout, HWND besides) const {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindProcessWindow(info_.dwProcessId, title, besides)) != nullptr; },
              timeout);
    return found;
}

bool Process::ShowsWindow(std::wstring_view title) const {
    return FindProcessWindow(info_.dwProcessId, title) != nullptr;
}

std::wstring TextOf(HWND window) {
    wchar_t text[1024] = {};
    // WM_GETTEXT reaches the window itself, also across processes.
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                        nullptr);
    return text;
}

std::wstring ItemTextOf(HWND dialog, int id) {
    const HWND item = GetDlgItem(dialog, id);
    return item != nullptr ? TextOf(item) : L"<no control>";
}

void ClickItem(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

HWND SaveDialogNameBox(HWND dialog) {
    // An edit inside combo box cmb13 on newer systems, edit edt1 on older ones and on Wine.
    HWND box = GetDlgItem(dialog, 0x47C);
    if (box != nullptr) {
        const HWND edit = FindWindowExW(box, nullptr, L"Edit", nullptr);
        if (edit != nullptr) box = edit;
    } else {
        box = GetDlgItem(dialog, 0x480);
    }
    return box;
}

bool AnswerSaveDialog(HWND dialog, const fs::path& path) {
    const HWND box = SaveDialogNameBox(dialog);
    if (box == nullptr) return false;
    SendMessageTimeoutW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()), SMTO_ABORTIFHUNG, 5000,
                        nullptr);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    return true;
}

std::vector<std::string> ListingWithoutMomentLines(const std::string& listing) {
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < listing.size();) {
        std::size_t end = listing.find("\r\n", start);
        if (end == std::string::npos) end = listing.size();
        lines.push_back(listing.substr(start, end - start));
        start = end + 2;
    }
    if (!lines.empty()) lines.erase(lines.begin());
    if (!lines.empty()) lines.pop_back();
    return lines;
}

std::wstring Quoted(const fs::path& path) {
    return L"\"" + path.wstring() + L"\"";
}

}  // namespace folvane::wintest

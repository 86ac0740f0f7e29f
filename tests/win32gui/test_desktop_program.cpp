// folvane.exe as a person or a script uses it: the window comes up with its folder field, a
// run through 実行 and the save dialog writes the listing that folvane-cli.exe writes, Setup
// opens on its pages and closes with キャンセル, /A runs without a question and ends, and a
// rejected command line ends with its message.

#include <gtest/gtest.h>

#include "app/win32/resource.h"
#include "platform/win32/wide.h"
#include "tests/win32gui/gui_driver.h"

namespace folvane::wintest {
namespace {

namespace fs = std::filesystem;

constexpr std::wstring_view kMainTitle = L"Folvane";

class DesktopProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        programs_ = InstallPrograms(folder_);
        folder_.WriteFile("tree\\日本語フォルダ\\ファイル.txt", "中身");
        folder_.WriteFile("tree\\a & b <c>.txt", "x");
        folder_.WriteFile("tree\\" + std::string(120, 'L') + ".txt", "long");
        folder_.WriteFile("tree\\sub\\deep\\data.bin", std::string(5000, '\x7f'));
    }

    // A path inside the test's folder with the host's own separators only: the folder itself
    // may be given with "/" (FOLVANE_TEST_TEMP), which a typed folder text must not hold.
    fs::path Host(std::string_view relative) const { return folder_.host(relative).make_preferred(); }
    fs::path Tree() const { return Host("tree"); }

    // The listing folvane-cli.exe writes for the tree, as the reference.
    std::string CliListing() {
        Process cli(programs_.cli, L"/A " + Quoted(Tree()) + L" " + Quoted(Host("cli.txt")), folder_.host());
        EXPECT_EQ(cli.WaitForExit(), std::optional<DWORD>(0));
        return ReadBytes(Host("cli.txt"));
    }

    // The window and the save dialog of a run of the tree started through 実行; nullptr for
    // what did not appear.
    std::pair<HWND, HWND> RunUpToTheSaveDialog(const Process& gui) {
        const HWND window = gui.WaitForWindow(kMainTitle);
        if (window == nullptr) return {nullptr, nullptr};
        SendMessageW(GetDlgItem(window, IDC_TXTDIRNAME), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>(Tree().c_str()));
        ClickItem(window, IDC_CMDEXEC);
        return {window, gui.WaitForWindow(L"出力ﾌｧｲﾙの選択")};
    }

    // Ends the program through 終了 and returns its exit code.
    std::optional<DWORD> Exit(Process& gui, HWND window) {
        ClickItem(window, IDC_CMDEXIT);
        return gui.WaitForExit();
    }

    testing::TempDir folder_;
    Programs programs_;
};

TEST_F(DesktopProgramTest, StartsWithItsFolderFieldAndEndsThroughExitSavingTheSettings) {
    Process gui(programs_.gui, L"", folder_.host());
    const HWND window = gui.WaitForWindow(kMainTitle);
    ASSERT_NE(window, nullptr);
    const HWND field = GetDlgItem(window, IDC_TXTDIRNAME);
    ASSERT_NE(field, nullptr);
    wchar_t className[32] = {};
    GetClassNameW(field, className, 32);
    EXPECT_STREQ(className, L"Edit");
    EXPECT_TRUE(IsWindowVisible(field) && IsWindowEnabled(field));
    EXPECT_EQ(ItemTextOf(window, IDC_LABEL1), L"調査フォルダ(&F)：");
    EXPECT_EQ(ItemTextOf(window, IDC_CMDEXEC), L"実行(&E)");
    // The filter panel is off by default: the filter field is hidden.
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(window, IDC_CBOFILTERTEXT)));

    SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Tree().c_str()));
    EXPECT_EQ(Exit(gui, window), std::optional<DWORD>(0));
    // 終了 stores the folder field as typed.
    EXPECT_NE(ReadBytes(Host("bin\\Folvane.ini")).find("LastPathName"), std::string::npos);
}

// The command of the context-menu entry for folders, as the start-up wrote it; "" when absent.
std::wstring FolderEntryCommand() {
    wchar_t command[2048] = {};
    DWORD size = sizeof command;
    if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Classes\\Directory\\Shell\\Folvane\\command", nullptr,
                     RRF_RT_REG_SZ, nullptr, command, &size) != ERROR_SUCCESS)
        return L"";
    return command;
}

TEST_F(DesktopProgramTest, ContextMenuEntryStartsTheInstalledProgramWithTheChosenFolder) {
    {
        Process gui(programs_.gui, L"", folder_.host());
        const HWND window = gui.WaitForWindow(kMainTitle);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(Exit(gui, window), std::optional<DWORD>(0));
    }
    const std::wstring command = FolderEntryCommand();
    ASSERT_EQ(command, Quoted(programs_.gui) + L" \"%1\"");

    // What Explorer does with it: %1 becomes the folder the menu was opened on.
    std::wstring arguments = command.substr(command.find(L"\" ") + 2);
    arguments.replace(arguments.find(L"%1"), 2, Tree().wstring());
    Process gui(programs_.gui, arguments, folder_.host());
    const HWND window = gui.WaitForWindow(kMainTitle);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(ItemTextOf(window, IDC_TXTDIRNAME), Tree().wstring());
    EXPECT_EQ(Exit(gui, window), std::optional<DWORD>(0));
}

TEST_F(DesktopProgramTest, SetupSavesTheFilterOptionAndTheWindowShowsTheFilterPanel) {
    Process gui(programs_.gui, L"", folder_.host());
    const HWND window = gui.WaitForWindow(kMainTitle);
    ASSERT_NE(window, nullptr);
    RECT before{};
    GetWindowRect(window, &before);
    ClickItem(window, IDC_CMDSETUP);
    const HWND setup = gui.WaitForWindow(L"Folvane の設定");
    ASSERT_NE(setup, nullptr);
    const HWND format = GetDlgItem(setup, IDD_SETUP_PAGE0 + 2);
    const HWND other = GetDlgItem(setup, IDD_SETUP_PAGE0 + 4);

    // An entry that is no number keeps the dialog open with its message.
    SendMessageW(GetDlgItem(format, IDC_TXTCOLUMNS), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"abc"));
    ClickItem(setup, IDOK);
    const HWND message = gui.WaitForWindow(kMainTitle, kPatience, window);
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(ItemTextOf(message, 0xFFFF), L"行数の制限が不正です。");
    PostMessageW(message, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(message); }));
    EXPECT_TRUE(IsWindowVisible(setup));

    SendMessageW(GetDlgItem(format, IDC_TXTCOLUMNS), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"78"));
    SendMessageW(GetDlgItem(other, IDC_CHKFILTERFLG), BM_SETCHECK, BST_CHECKED, 0);
    ClickItem(setup, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return !gui.ShowsWindow(L"Folvane の設定"); }));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(GetDlgItem(window, IDC_CBOFILTERTEXT)) != FALSE; }));
    RECT after{};
    GetWindowRect(window, &after);
    EXPECT_GT(after.bottom - after.top, before.bottom - before.top);
    EXPECT_EQ(Exit(gui, window), std::optional<DWORD>(0));
    EXPECT_NE(ReadBytes(Host("bin\\Folvane.ini")).find("FilterFlg=True"), std::string::npos);
}

TEST_F(DesktopProgramTest, RunThroughExecAndTheSaveDialogWritesTheConsoleProgramsListing) {
    const std::string reference = CliListing();
    ASSERT_FALSE(reference.empty());

    Process gui(programs_.gui, L"", folder_.host());
    const auto [window, save] = RunUpToTheSaveDialog(gui);
    ASSERT_NE(save, nullptr) << "no save dialog";
    // While the dialog is open the run is on: the Exec button is the cancel button.
    EXPECT_EQ(ItemTextOf(window, IDC_CMDEXEC), L"中断");
    ASSERT_TRUE(AnswerSaveDialog(save, Host("gui.txt")));

    ASSERT_TRUE(WaitUntil([&] { return ItemTextOf(window, IDC_CMDEXEC) == L"実行"; }))
        << "the run did not end";
    EXPECT_EQ(ListingWithoutMomentLines(ReadBytes(Host("gui.txt"))), ListingWithoutMomentLines(reference));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window, IDC_TXTDIRNAME)));
    // The status line tells where the listing went.
    const std::wstring status = ItemTextOf(window, IDC_SBRSTATUS);
    EXPECT_TRUE(status.starts_with(L"保存先: ") && status.ends_with(L"gui.txt")) << Utf8FromWide(status);
    EXPECT_EQ(Exit(gui, window), std::optional<DWORD>(0));
}

TEST_F(DesktopProgramTest, EnterInTheFolderFieldRunsWithWhatWasTyped) {
    Process gui(programs_.gui, L"", folder_.host());
    const HWND window = gui.WaitForWindow(kMainTitle);
    ASSERT_NE(window, nullptr);
    const HWND field = GetDlgItem(window, IDC_TXTDIRNAME);
    const std::wstring typed = L"  " + Tree().wstring() + L" ";
    SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()));
    // Through the program's own message loop, as a key press comes.
    PostMessageW(field, WM_KEYDOWN, VK_RETURN, 1);
    PostMessageW(field, WM_KEYUP, VK_RETURN, 0xC0000001);
    const HWND save = gui.WaitForWindow(L"出力ﾌｧｲﾙの選択");
    ASSERT_NE(save, nullptr) << "Enter started no run";
    EXPECT_TRUE(TextOf(SaveDialogNameBox(save)).ends_with(L"treeのリスト.txt"))
        << Utf8FromWide(TextOf(SaveDialogNameBox(save)));
    PostMessageW(save, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    ASSERT_TRUE(WaitUntil([&] { return ItemTextOf(window, IDC_CMDEXEC) == L"実行"; }));
    EXPECT_EQ(Exit(gui, window), std::optional<DWORD>(0));
}

// The close box, and the end of the session (logoff, shutdown), while a run waits in its save
// dialog: the program stays until the run has returned, then ends without saving its settings.
TEST_F(DesktopProgramTest, ClosingOrEndingTheSessionDuringARunEndsTheProgramOnceTheRunHasUnwound) {
    struct Way {
        const char* name;
        bool (*ask)(HWND window);
        bool hidesTheWindow;
    };
    const Way ways[] = {
        {"close box", [](HWND window) { return PostMessageW(window, WM_CLOSE, 0, 0) != FALSE; }, true},
        {"end of session",
         [](HWND window) {
             DWORD_PTR granted = FALSE;
             return SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG,
                                        10000, &granted) != 0 &&
                    granted == TRUE;
         },
         false},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        Process gui(programs_.gui, L"", folder_.host());
        const auto [window, save] = RunUpToTheSaveDialog(gui);
        ASSERT_NE(save, nullptr) << "no save dialog";
        EXPECT_TRUE(way.ask(window));
        if (way.hidesTheWindow) {
            EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(window); }));
        }
        EXPECT_FALSE(gui.WaitForExit(200ms).has_value());
        PostMessageW(save, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        EXPECT_EQ(gui.WaitForExit(), std::optional<DWORD>(0));
        // Ending by any other way than 終了 saves nothing.
        EXPECT_FALSE(fs::exists(Host("bin\\Folvane.ini")));
        EXPECT_FALSE(fs::exists(Host("treeのリスト.txt")));
    }
}

TEST_F(DesktopProgramTest, SetupOpensOnFivePagesAndClosesWithCancel) {
    Process gui(programs_.gui, L"", folder_.host());
    const HWND window = gui.WaitForWindow(kMainTitle);
    ASSERT_NE(window, nullptr);
    ClickItem(window, IDC_CMDSETUP);
    const HWND setup = gui.WaitForWindow(L"Folvane の設定");
    ASSERT_NE(setup, nullptr);

    struct Page {
        std::wstring_view tab;
        int control;
        std::wstring_view caption;
    };
    const Page pages[] = {{L"表示項目", IDC_CHKSIZE, L"サイズ"},
                          {L"表示順", IDC_OPTSORTKEY0, L"ファイル名順"},
                          {L"表示形式", IDC_CMDLINESETUP, L"詳細"},
                          {L"HTML", IDC_CHKLISTTYPE, L"一覧をHTML形式で作成する"},
                          {L"その他", IDC_CHKSHORTCUTMENU, L"フォルダのショートカットから起動可能にする"}};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(ItemTextOf(setup, IDC_OPTTAB0 + i), pages[i].tab);
        ClickItem(setup, IDC_OPTTAB0 + i);
        const HWND page = GetDlgItem(setup, IDD_SETUP_PAGE0 + i);
        ASSERT_NE(page, nullptr) << "page " << i;
        EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(page) != FALSE; })) << "page " << i;
        EXPECT_EQ(ItemTextOf(page, pages[i].control), pages[i].caption);
        for (int other = 0; other < 5; ++other) {
            if (other == i) continue;
            EXPECT_FALSE(IsWindowVisible(GetDlgItem(setup, IDD_SETUP_PAGE0 + other))) << other;
        }
    }

    ClickItem(setup, IDCANCEL);
    EXPECT_TRUE(WaitUntil([&] { return !gui.ShowsWindow(L"Folvane の設定"); }));
    EXPECT_EQ(Exit(gui, window), std::optional<DWORD>(0));
}

TEST_F(DesktopProgramTest, AutomaticRunWritesTheListingAndEndsWithoutSavingSettings) {
    const std::string reference = CliListing();
    Process gui(programs_.gui, L"/A " + Quoted(Tree()) + L" " + Quoted(Host("auto.txt")), folder_.host());
    EXPECT_EQ(gui.WaitForExit(), std::optional<DWORD>(0));
    EXPECT_EQ(ListingWithoutMomentLines(ReadBytes(Host("auto.txt"))), ListingWithoutMomentLines(reference));
    EXPECT_FALSE(fs::exists(Host("bin\\Folvane.ini")));
}

TEST_F(DesktopProgramTest, RejectedCommandLineShowsItsMessageAndEnds) {
    Process gui(programs_.gui, L"/NOSUCHOPTION", folder_.host());
    const HWND box = gui.WaitForWindow(L"Folvane 起動エラー");
    ASSERT_NE(box, nullptr);
    // The message box's text is its static control 0xFFFF.
    const std::wstring text = ItemTextOf(box, 0xFFFF);
    EXPECT_TRUE(text.starts_with(L"起動パラメータに誤りがあります。")) << Utf8FromWide(text);
    EXPECT_NE(text.find(L"\"/NOSUCHOPTION\""), std::wstring::npos) << Utf8FromWide(text);
    EXPECT_FALSE(gui.ShowsWindow(kMainTitle));
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_EQ(gui.WaitForExit(), std::optional<DWORD>(1));
    EXPECT_FALSE(fs::exists(Host("bin\\Folvane.ini")));
}

}  // namespace
}  // namespace folvane::wintest

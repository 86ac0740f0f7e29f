// The Win32 pieces in the test's own process: the main window's controls as the form logic
// drives them, the drop list, the common dialogs' filter list and the message box styles.

#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>

#include "app/win32/cls_com_dlg.h"
#include "app/win32/dialog_kit.h"
#include "app/win32/fom_folvane.h"
#include "app/win32/resource.h"
#include "platform/win32/wide.h"
#include "tests/win32gui/gui_driver.h"

namespace folvane {
namespace {

using namespace std::string_literals;
using wintest::TextOf;

int HeightOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect.bottom - rect.top;
}

int TopOf(HWND child) {
    return ChildRect(child).top;
}

int DialogUnitsToPixels(HWND dialog, int units) {
    RECT rect{0, 0, 0, units};
    MapDialogRect(dialog, &rect);
    return rect.bottom;
}

class MainWindowViewTest : public ::testing::Test {
  protected:
    testing::TempDir folder_;
    fomFolvane window_{folder_.path("Folvane.ini"), folder_.path()};
    HWND item(int id) const { return GetDlgItem(window_.hwnd(), id); }
};

TEST_F(MainWindowViewTest, FilterPanelGrowsAndShrinksTheWindowByItsHeightOnly) {
    ASSERT_NE(window_.hwnd(), nullptr);
    window_.ArrangePanels(false);
    const int without = HeightOf(window_.hwnd());
    const int trayWithout = TopOf(item(IDC_CMDEXEC));
    window_.ArrangePanels(false);  // a second call moves nothing
    EXPECT_EQ(HeightOf(window_.hwnd()), without);
    EXPECT_EQ(TopOf(item(IDC_CMDEXEC)), trayWithout);
    EXPECT_FALSE(window_.FilterPanelShown());
    EXPECT_FALSE(IsWindowVisible(item(IDC_CBOFILTERTEXT)));

    window_.ArrangePanels(true);
    const int panel = DialogUnitsToPixels(window_.hwnd(), 18);
    EXPECT_EQ(HeightOf(window_.hwnd()) - without, panel);
    EXPECT_EQ(TopOf(item(IDC_CMDEXEC)) - trayWithout, panel);
    EXPECT_TRUE(window_.FilterPanelShown());
    EXPECT_NE(GetWindowLongW(item(IDC_CBOFILTERTEXT), GWL_STYLE) & WS_VISIBLE, 0);
    // The tray stays below the filter panel.
    EXPECT_GE(TopOf(item(IDC_CMDEXEC)), ChildRect(item(IDC_CBOFILTERTEXT)).top + 1);
}

TEST_F(MainWindowViewTest, FieldsTakeTextsWithTheCaretAtTheEndAndTheFilterHistoryInOrder) {
    const std::string folder = "C:\\データ\\a & b";
    window_.SetFolderText(folder);
    EXPECT_EQ(window_.FolderText(), folder);
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(item(IDC_TXTDIRNAME), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    const auto length = static_cast<DWORD>(GetWindowTextLengthW(item(IDC_TXTDIRNAME)));
    EXPECT_EQ(start, length);
    EXPECT_EQ(end, length);

    window_.SetFilterList({"*.txt", "*.日本;*.htm", ""}, "*.c");
    const HWND combo = item(IDC_CBOFILTERTEXT);
    ASSERT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(i), 0), i);
    wchar_t second[32] = {};
    SendMessageW(combo, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(second));
    EXPECT_STREQ(second, L"*.日本;*.htm");
    EXPECT_EQ(window_.FilterText(), "*.c");
    window_.SetFilterList({}, "");
    EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(window_.FilterText(), "");
}

TEST_F(MainWindowViewTest, BusyStateTurnsExecIntoCancelAndLocksTheFieldsUntilTheRunEnds) {
    window_.ArrangePanels(true);
    window_.ShowBusy(true);
    EXPECT_EQ(TextOf(item(IDC_CMDEXEC)), L"中断");
    EXPECT_FALSE(IsWindowEnabled(item(IDC_TXTDIRNAME)));
    EXPECT_FALSE(IsWindowEnabled(item(IDC_CMDSELDIR)));
    EXPECT_FALSE(IsWindowEnabled(item(IDC_CBOFILTERTEXT)));
    EXPECT_TRUE(IsWindowEnabled(item(IDC_CMDEXEC)));
    EXPECT_TRUE(IsWindowEnabled(item(IDC_CMDEXIT)));
    EXPECT_EQ(TextOf(item(IDC_SBRSTATUS)), L"フォルダ 0 ・ ファイル 0");

    window_.ShowBusy(false);
    EXPECT_EQ(TextOf(item(IDC_CMDEXEC)), L"実行");
    EXPECT_TRUE(IsWindowEnabled(item(IDC_TXTDIRNAME)));
    EXPECT_TRUE(IsWindowEnabled(item(IDC_CBOFILTERTEXT)));
    EXPECT_EQ(TextOf(item(IDC_SBRSTATUS)), L"");

    // A filter panel hidden during the run stays disabled; shown again later it is usable.
    window_.ArrangePanels(false);
    window_.ShowBusy(true);
    window_.ShowBusy(false);
    window_.ArrangePanels(true);
    EXPECT_TRUE(IsWindowEnabled(item(IDC_CBOFILTERTEXT)));
}

// A drop list as the shell builds it: a DROPFILES header and wide NUL-separated paths, dropped
// at point in the client area.
HDROP MakeDrop(const std::wstring& paths, POINT point = {}) {
    const SIZE_T bytes = sizeof(DROPFILES) + (paths.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GHND, bytes);
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->pt = point;
    header->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), paths.c_str(),
                (paths.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

TEST(DroppedPaths, ComeInOrderAsUtf8AndNoneFromAnEmptyList) {
    struct Case {
        std::wstring list;
        std::vector<std::string> paths;
    };
    const Case cases[] = {
        {L"C:\\日本語\\フォルダ\0D:\\b.txt\0"s, {"C:\\日本語\\フォルダ", "D:\\b.txt"}},
        {L"\\\\srv\\share\\x\0"s, {"\\\\srv\\share\\x"}},
        {L"\0"s, {}},
    };
    for (const auto& [list, paths] : cases) {
        const HDROP drop = MakeDrop(list);
        EXPECT_EQ(DroppedPaths(drop), paths);
        GlobalFree(drop);
    }
}

// Drops on the window as the shell sends them: the first path counts, a folder in its true
// case; a drop elsewhere than on the folder panel, an empty one and one during a run change
// nothing.
TEST_F(MainWindowViewTest, DropOnTheFolderPanelPutsTheFirstPathIntoTheField) {
    folder_.WriteFile("Sub\\file.txt", "x");
    const std::wstring sub = folder_.host("Sub").make_preferred().wstring();
    const std::wstring lowerSub = sub.substr(0, sub.size() - 3) + L"sub";
    const std::wstring file = sub + L"\\file.txt";
    const POINT onPanel{20, DialogUnitsToPixels(window_.hwnd(), 10)};
    const POINT onTray{20, DialogUnitsToPixels(window_.hwnd(), 30)};
    struct Case {
        std::wstring list;
        POINT at;
        bool busy;
        std::wstring field;
    };
    const Case cases[] = {
        {lowerSub + L'\0' + file + L'\0', onPanel, false, sub},
        {file + L'\0', onPanel, false, file},
        {L"\0"s, onPanel, false, L"before"},
        {lowerSub + L'\0', onTray, false, L"before"},
        {lowerSub + L'\0', onPanel, true, L"before"},
    };
    for (const Case& c : cases) {
        window_.SetFolderText("before");
        window_.ShowBusy(c.busy);
        // The window frees the drop list.
        SendMessageW(window_.hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(c.list, c.at)), 0);
        window_.ShowBusy(false);
        EXPECT_EQ(TextOf(item(IDC_TXTDIRNAME)), c.field) << Utf8FromWide(c.list);
    }
}

TEST(DialogFilterList, SeparatesPairsWithNulsAndEndsWithTwo) {
    struct Case {
        std::string filter;
        std::wstring list;
    };
    const Case cases[] = {
        {"", L""},
        {"ﾃｷｽﾄﾌｧｲﾙ(txt)|*.txt|全てのﾌｧｲﾙ(*.*)|*.*", L"ﾃｷｽﾄﾌｧｲﾙ(txt)\0*.txt\0全てのﾌｧｲﾙ(*.*)\0*.*\0\0"s},
        {"HTML|*.htm;*.html", L"HTML\0*.htm;*.html\0\0"s},
    };
    for (const auto& [filter, list] : cases)
        EXPECT_EQ(DialogFilterList(filter), list) << filter;
}

TEST(ComDlg, AnActionThatIsNoDialogShowsNothingAndKeepsTheProposal) {
    clsComDlg dialog;
    dialog.FileName = "C:\\out\\list.txt";
    dialog.FilterIndex = 2;
    for (const int action : {0, 3, -1}) {
        dialog.Action(action);
        EXPECT_EQ(dialog.FileName, "C:\\out\\list.txt");
        EXPECT_EQ(dialog.FilterIndex, 2);
    }
}

TEST(MessageBoxStyle, MapsButtonsIconsAndTheDefaultButton) {
    struct Case {
        MsgButtons buttons;
        MsgIcon icon;
        MsgDefault defaultButton;
        UINT style;
    };
    const Case cases[] = {
        {MsgButtons::Ok, MsgIcon::None, MsgDefault::First, MB_OK},
        {MsgButtons::Ok, MsgIcon::Exclamation, MsgDefault::First, MB_OK | MB_ICONEXCLAMATION},
        {MsgButtons::Ok, MsgIcon::Critical, MsgDefault::Second, MB_OK | MB_ICONSTOP},
        {MsgButtons::YesNo, MsgIcon::Information, MsgDefault::Second,
         MB_YESNO | MB_ICONINFORMATION | MB_DEFBUTTON2},
        {MsgButtons::YesNo, MsgIcon::Exclamation, MsgDefault::First,
         MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON1},
    };
    for (const auto& [buttons, icon, defaultButton, style] : cases) {
        MessageRequest request;
        request.buttons = buttons;
        request.icon = icon;
        request.defaultButton = defaultButton;
        const UINT got = MessageBoxStyle(request);
        EXPECT_EQ(got & (MB_TYPEMASK | MB_ICONMASK | MB_DEFMASK), style);
        EXPECT_EQ(got & MB_MODEMASK, static_cast<UINT>(MB_APPLMODAL));
    }
}

}  // namespace
}  // namespace folvane

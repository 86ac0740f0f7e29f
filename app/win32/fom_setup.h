#pragma once
// The Setup dialog "Folvane の設定": five pages that edit the settings record, validated and
// stored on 保存, which also renews the context-menu entry.

#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "app/setup_logic.h"
#include "settings/char_table.h"
#include "settings/settings.h"

namespace folvane {

class fomSetup {
  public:
    static constexpr int kPageCount = 5;

    // Shows the dialog modally over owner on the live settings and tree-line table; returns
    // when it has closed. executablePath (path space) is the program for the context-menu
    // entry; templateFolder holds the HTML templates.
    static void Show(HWND owner, Settings& settings, CharTable& chars, std::string executablePath,
                     std::string templateFolder);

  private:
    fomSetup(Settings& settings, CharTable& chars, std::string executablePath, std::string templateFolder);

  public:
    // The dialog's messages (HandlerDialogProc).
    bool OnInitDialog(HWND window);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    void OnCommand(int id, int notification);
    void ShowPage(int page);
    // The page (or the dialog itself) that holds control id.
    HWND Holder(int id) const;

    void ParaToView(const Settings& record);
    void ShowValues(const SetupValues& values);
    SetupValues ValuesFromView() const;
    void UpdateHtmlEnabled();
    void UpdateSizeColumnsEnabled();
    void UpdateSortCaptions();

    void cmdExit_Click();
    void cmdInitPara_Click();

    Settings& settings_;
    CharTable& chars_;
    std::string executablePath_;
    std::string templateFolder_;
    std::vector<std::string> templates_;  // the template list the style list refers to
    std::string workCaption_;
    bool shortCutAvailable_ = true;
    HWND hwnd_ = nullptr;
    std::array<HWND, kPageCount> pages_{};
};

}  // namespace folvane

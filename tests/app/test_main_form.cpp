#include "app/main_form.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "platform/path_space.h"
#include "settings/settings_file.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace folvane {
namespace {

// Records what the form does to its widgets, one line per call.
class FakeView final : public MainFormView {
  public:
    std::string FolderText() const override { return folder; }
    void SetFolderText(const std::string& text) override { Log("folder " + (folder = text)); }
    std::string FilterText() const override { return filter; }
    void SetFilterText(const std::string& text) override { Log("filter " + (filter = text)); }
    void SetFilterList(const std::vector<std::string>& items, const std::string& text) override {
        std::string joined;
        for (const auto& item : items)
            joined += item + ";";
        Log("list " + joined + " " + (filter = text));
    }
    void ShowBusy(bool) override {}
    void ArrangePanels(bool withFilter) override { Log(withFilter ? "arrange with filter" : "arrange"); }
    bool FilterPanelShown() const override { return false; }
    void MoveWindow(int l, int t) override { Log("move " + std::to_string(l) + "," + std::to_string(t)); }
    std::pair<int, int> WindowPosition() const override { return {30, 40}; }
    void CloseWindow() override { Log("close"), form->Form_QueryUnload(); }
    void QuitNow() override { Log("quit"); }
    void ShowSetupDialog() override { Log("setup"), setup(form->settings()); }
    void UpdateContextMenuEntry() override { Log("menu " + form->settings().ShortCutCaption); }

    void Log(std::string line) { log.push_back(std::move(line)); }
    bool Logged(std::string_view line) const { return std::find(log.begin(), log.end(), line) != log.end(); }

    MainForm* form = nullptr;
    std::string folder, filter;
    std::function<void(Settings&)> setup;
    std::vector<std::string> log;
};

struct Rig {
    explicit Rig(std::string ini) : form(ui, view, clock, std::move(ini), "") { view.form = &form; }
    testing::ScriptedUi ui;
    FakeView view;
    SteadyClock clock;
    MainForm form;
};

// C: holds Data\Sub and Data\file.txt; the settings file lives in ini\.
class MainFormTest : public ::testing::Test {
  protected:
    MainFormTest() {
        tmp.WriteFile("c/Data/file.txt", "f");
        tmp.MakeFolder("c/Data/Sub");
        tmp.MakeFolder("ini");
        MapDriveForTesting('C', tmp.host("c").string());
    }
    ~MainFormTest() override { ClearMappingsForTesting(); }

    // A fresh form over a settings file holding lines (no file when nullopt), loaded with commandLine.
    Rig& Start(std::optional<std::string> lines = std::nullopt, std::string_view commandLine = "") {
        std::filesystem::remove(tmp.host("ini/Folvane.ini"));
        if (lines) tmp.WriteFile("ini/Folvane.ini", "[Settings]\r\nVersion=1.8\r\n" + *lines);
        rig = std::make_unique<Rig>(ini);
        EXPECT_TRUE(rig->form.Form_Load(commandLine));
        return *rig;
    }
    Settings Saved() const {
        Settings settings;
        CharTable table;
        LoadSettings(ini, "", settings, table);
        return settings;
    }

    testing::TempDir tmp;
    std::string ini = tmp.path("ini") + "\\Folvane.ini";
    std::unique_ptr<Rig> rig;
};

TEST_F(MainFormTest, StartUpOrder) {
    // Settings lines, command line, the folder field after loading, what follows the filter list.
    // clang-format off
    const std::tuple<std::string, std::string, std::string, std::vector<std::string>> cases[] = {
        {"LastPathName=c:\\data\\sub\r\nLeft=10\r\nTop=20\r\nFilterFlg=1\r\n", "", "c:\\Data\\Sub",
         {"move 10,20", "arrange with filter"}},
        {"LastPathName=C:\\Gone\r\nLeft=-1\r\nTop=20\r\n", "", "C:\\Gone", {"arrange"}},
        {"MemPos=False\r\nLeft=10\r\nTop=20\r\n", "", "", {"arrange"}},
        {"Left=0\r\nTop=0\r\n", "", "", {"move 0,0", "arrange"}},
        {"", "/FT *.c /W 5,6 c:\\data", "",
         {"folder c:\\Data", "filter *.c", "move 5,6", "move 5,6", "arrange with filter"}},
    };
    // clang-format on
    for (const auto& [lines, commandLine, folder, rest] : cases) {
        std::vector<std::string> log = {"menu Menu", "folder " + folder, "list *.a;*.b; "};
        log.insert(log.end(), rest.begin(), rest.end());
        const std::string history = "ShortCutCaption=Menu\r\nFilterText=*.a\r\nFilterText=*.b\r\n";
        EXPECT_EQ(Start(history + lines, commandLine).view.log, log) << lines << commandLine;
    }
}

TEST_F(MainFormTest, AutomaticRunAtTheFirstActivationOnlyAndTheExit) {
    const std::string out = tmp.path("out.txt");
    // Command line, whether the listing is written and the program exits, save choosers shown.
    const std::tuple<std::string, bool, size_t> cases[] = {
        {"/A C:\\Data " + out, true, 0}, {"/A C:\\Data", false, 1}, {"C:\\Data " + out, false, 0}};
    for (const auto& [commandLine, written, choosers] : cases) {
        Rig& started = Start(std::nullopt, commandLine);
        for (int activation = 1; activation <= 2; ++activation) {
            started.form.Form_Activate();
            EXPECT_EQ(std::filesystem::remove(tmp.host("out.txt")), written && activation == 1)
                << commandLine;
        }
        EXPECT_EQ(started.view.Logged("close"), written) << commandLine;
        EXPECT_EQ(started.ui.saveRequests().size(), choosers) << commandLine;
    }
    // Settings lines, command line, whether the exit saves the field, the Left then saved.
    const std::tuple<std::string, std::string, bool, int> exits[] = {
        {"", "", true, 30}, {"MemPos=False\r\n", "", true, -1}, {"", "/A", false, -1}};
    for (const auto& [lines, commandLine, saved, left] : exits) {
        Rig& started = Start(lines, commandLine);
        started.view.folder = "  C:\\typed ";
        started.form.cmdExit_Click();
        EXPECT_TRUE(started.view.Logged("close") && started.ui.messages().empty());
        EXPECT_EQ(Saved().LastPathName, saved ? "  C:\\typed " : "") << lines << commandLine;
        EXPECT_EQ(Saved().Left, left) << lines << commandLine;
    }
}

TEST_F(MainFormTest, DropBrowserAndSetupUpdateTheFolderField) {
    // Drops: the host path test below and the main window's tests.
    Rig& started = Start();
    FakeView& view = started.view;
    // Field, folder the browser starts at, folder chosen ("" cancels), field after, LongNameFlg.
    const std::tuple<std::string, std::string, std::string, std::string, bool> browses[] = {
        {"C:\\Data\\", "C:\\Data", "C:\\Data\\Sub", "C:\\Data\\Sub", true},
        {"C:\\", "C:\\", "", "C:\\", true},
        {"C:\\Data", "C:\\Data", "C:\\Gone", "C:\\Gone", false}};  // gone meanwhile: no short form, kept
    for (const auto& [field, initial, chosen, after, longNames] : browses) {
        view.folder = field;
        started.form.settings().LongNameFlg = longNames;
        started.ui.QueueFolder(chosen);
        started.form.cmdSelDir_Click();
        const auto& asked = started.ui.folderRequests().back();
        EXPECT_EQ(
            asked.initialFolder + "|" + asked.title + "|" + std::to_string(asked.flags) + "|" + view.folder,
            initial + "|一覧を作成するﾌｫﾙﾀﾞを選択して下さい。|13|" + after);
    }

    const std::pair<std::function<void(Settings&)>, std::vector<std::string>> setups[] = {
        {[](Settings& s) { s.LongNameFlg = !s.LongNameFlg; }, {"setup", "folder c:\\Data"}},
        {[](Settings& s) { s.FilterFlg = !s.FilterFlg; }, {"setup", "arrange with filter"}},
        {[](Settings& s) { s.Columns = 100; }, {"setup"}}};
    for (const auto& [change, log] : setups) {
        view.folder = "c:\\data";
        view.log.clear();
        view.setup = change;
        started.form.cmdSetup_Click();
        EXPECT_EQ(view.log, log);
    }
    started.form.run().BusyFlag = true;  // no Setup during a run: a beep instead
    view.log.clear();
    started.form.cmdSetup_Click();
    EXPECT_TRUE(view.log.empty());
    EXPECT_EQ(started.ui.beeps(), 1);
}

// On the host root's drive the field shows host paths wherever the program fills it, keeps what
// was typed as it was typed, and a typed host path names its folder.
TEST_F(MainFormTest, TheFolderFieldReadsAndTakesHostPaths) {
    if (!testing::PersonReadsHostPaths()) GTEST_SKIP() << "this host has no host root drive";
    const std::string data = tmp.host("c/Data").string();
    const std::string lower = tmp.host("c/data").string();
    // The stored folder text and the field after start-up.
    const std::pair<std::string, std::string> starts[] = {
        {tmp.path("c") + "\\data", data},
        {lower, data},
        {tmp.host("gone").string() + " ", tmp.host("gone").string() + " "}};
    for (const auto& [stored, shown] : starts)
        EXPECT_EQ(Start("LastPathName=" + stored + "\r\n").view.folder, shown) << stored;

    Rig& started = Start();
    FakeView& view = started.view;
    started.form.Form_OLEDragDrop({tmp.path("c") + "\\data\\file.txt"});
    EXPECT_EQ(view.folder, lower + "/file.txt");
    started.form.Form_OLEDragDrop({tmp.path("c") + "\\data\\sub"});
    EXPECT_EQ(view.folder, data + "/Sub");

    view.folder = data + "/";
    started.ui.QueueFolder(tmp.path("c") + "\\Data\\Sub");
    started.form.cmdSelDir_Click();
    EXPECT_EQ(started.ui.folderRequests().back().initialFolder, tmp.path("c") + "\\Data");
    EXPECT_EQ(view.folder, data + "/Sub");

    // A typed host path that names nothing is quoted as it was typed (one that names a folder
    // is the main window's Enter test).
    view.folder = " " + tmp.host("gone").string();
    started.form.cmdExec_Click();
    ASSERT_EQ(started.ui.messages().size(), 1u);
    EXPECT_EQ(started.ui.messages()[0].text,
              "この名前のフォルダまたはドライブが見つかりませんでした。\r\n\r\n\" " +
                  tmp.host("gone").string() + "\"");

    view.folder = " " + lower + "/ ";
    started.form.cmdExit_Click();
    EXPECT_EQ(Saved().LastPathName, " " + lower + "/ ");
}

}  // namespace
}  // namespace folvane

// One listing run from the Exec button to the saved file: the whole text, root lines, proposed
// names, margins, wrapped root names, cancelling, the retry loop, refused folders, the filter
// history and what follows a save.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "engine/listing_run.h"
#include "platform/cp932.h"
#include "platform/path_space.h"
#include "platform/volume.h"
#include "tests/engine/golden_support.h"

namespace folvane {
namespace {

using namespace std::chrono_literals;
using testing::Sp;

class FakeWindow final : public RunWindow {
  public:
    std::string FolderText() const override { return folder; }
    std::string FilterComboText() const override { return filter; }
    void ShowBusy(bool busy) override { busyShown.push_back(busy); }
    void RefreshFilterList() override { ++refreshed; }
    void ExitProgram() override { ++exits; }
    void EndProgramNow() override { ++endedNow; }

    std::string folder, filter;
    std::vector<bool> busyShown;
    int refreshed = 0, exits = 0, endedNow = 0;
};

std::string Bytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

const std::string kDir = Sp(5) + "< Dir >";

// C: holds Work (sub\x.txt of 4 bytes, a.txt of 1), D: a.txt and b.txt (2 bytes), \\srv\share
// nothing. Listings have the name column and a 12-cell size column; output goes to out\.
class ListingRun : public ::testing::Test {
  protected:
    ListingRun() {
        SetDefaults(settings);
        SetCharTableDefaults(chars);
        Columns(40);
        testing::MakeTree(tmp, "c/Work", {{"sub/x.txt", "xxxx"}, {"a.txt", "a"}});
        testing::MakeTree(tmp, "d", {{"a.txt", "a"}, {"b.txt", "bb"}});
        tmp.MakeFolder("out");
        MapDriveForTesting('C', tmp.host("c").string());
        MapDriveForTesting('D', tmp.host("d").string());
        MapShareForTesting("srv", "share", tmp.MakeFolder("s").string());
        for (std::string root : {"C:\\", "D:\\", "\\\\srv\\share\\"}) {
            SubstituteVolumeForTesting(root,
                                       VolumeFacts{root[0] == '\\' ? "SHR" : "DATA", 0x1A2B3C4D, 255, 0, ""});
            SubstituteDiskSpaceForTesting(root, DiskSpace{1000, 4000});
        }
        settings.LastOutPathName = Out("");
    }
    ~ListingRun() override {
        ClearVolumeSubstitutesForTesting();
        ClearMappingsForTesting();
    }

    void Columns(int columns) {
        settings.Columns = static_cast<int16_t>(columns);
        settings.CharType = 0;
        settings.AttrFlg = settings.UDateFlg = settings.UTimeFlg = false;
        ComputeWidths(settings);
    }
    std::string Out(std::string_view name) const { return tmp.path("out") + "\\" + std::string(name); }
    void Exec(std::string folder) {
        window.folder = std::move(folder);
        runner.cmdExec_Click();
    }
    // The lines between the two separators of the listing in out\name.
    std::vector<std::string> Body(std::string_view name) const {
        const auto lines = testing::SplitCrLf(FromCp932(Bytes(tmp.host("out/" + std::string(name)))));
        const std::string rule(static_cast<size_t>(settings.Columns), '-');
        const auto first = std::find(lines.begin(), lines.end(), rule);
        return first == lines.end()
                   ? std::vector<std::string>{}
                   : std::vector<std::string>(first + 1, std::find(first + 1, lines.end(), rule));
    }

    testing::TempDir tmp;
    Settings settings;
    CharTable chars;
    RunState run;
    RunOptions options;
    testing::ScriptedUi ui;
    testing::StepClock clock;
    CaptionTimer caption{run, ui, clock};
    FakeWindow window;
    ListingRunner runner{settings, chars, run, options, ui, caption, window, tmp.path("no-templates"), [] {
                             return MakeDateTime({2024, 1, 2, 3, 4, 5});
                         }};
};

TEST_F(ListingRun, WholeTextListing) {
    ui.QueueFileName(Out("list.txt"));
    Exec(" C:\\Work ");
    const std::string rule(40, '-');
    EXPECT_EQ(Bytes(tmp.host("out/list.txt")),
              ToCp932(testing::CrLf({"Folvane Ver 1.8" + Sp(6) + "2024/01/02 03:04:05",
                                     "ドライブ C:\\ のボリュームラベルは DATA (1A2B-3C4D)",
                                     "フォルダは C:\\Work", "", "ファイル／フォルダ名" + Sp(12) + "バイト数",
                                     rule, "Work" + Sp(24) + kDir, "|- sub" + Sp(22) + kDir,
                                     "|  +- x.txt" + Sp(28) + "4", "+- a.txt" + Sp(31) + "1", rule,
                                     "1 個のフォルダと 2 個 5 Byte のファイルがあります。",
                                     "ディスク空き容量は 1,000 Byte (25.0 ％) あります。"})));
    EXPECT_EQ(ui.saveRequests().at(0).fileName, Out("Workのリスト.txt"));
    EXPECT_EQ(runner.LastOutcome(), ListingOutcome::Saved);
    EXPECT_EQ(window.busyShown, (std::vector<bool>{true, false}));
    EXPECT_FALSE(run.BusyFlag);
    EXPECT_EQ(run.PendingCaption, "Folvane");
    EXPECT_TRUE(ui.messages().empty());
}

TEST_F(ListingRun, RootLinesMarginsAndProposedNames) {
    struct Case {
        const char* folder;
        int columns, lines, listType;
        bool crc;
        const char* base;               // of the proposed name
        std::vector<std::string> body;  // the first body lines; none for HTML
    };
    tmp.MakeFolder("c/Empty");
    tmp.MakeFolder("c/abcdefghijklmnopqrstuvwxyz0123");
    tmp.MakeFolder("c/日本語のとても長いフォルダの名前です");
    // clang-format off
    const Case cases[] = {
        {"D:\\", 40, 1, 0, false, "Dドライブ", {"D:\\ < DATA >", "|- a.txt" + Sp(31) + "1"}},
        {"d:\\", 40, 1, 0, true, "Dドライブ", {"d:\\ < DATA >" + Sp(19) + " 9E65D9F1"}},
        {"\\\\srv\\share", 40, 1, 0, false, "srv_share", {"\\\\srv\\share\\ < SHR >"}},
        {"C:\\Work", 40, 1, 1, false, "Work", {}},
        {"C:\\Work", 40, 2, 0, false, "Work", {"Work" + Sp(24) + kDir, "|  ", "|- sub" + Sp(22) + kDir, "|  |  ",
                                              "|  +- x.txt" + Sp(28) + "4", "|     ", "+- a.txt" + Sp(31) + "1", "   "}},
        {"C:\\Empty", 40, 3, 0, false, "Empty", {"Empty" + Sp(23) + kDir, "   ", "   "}},
        {"C:\\abcdefghijklmnopqrstuvwxyz0123", 40, 1, 0, false, "abcdefghijklmnopqrstuvwxyz0123",
         {"abcdefghijklmnopqrstuvwxyz01" + kDir, "23"}},
        // A double-byte character that would straddle cell 27 starts the next piece.
        {"C:\\日本語のとても長いフォルダの名前です", 39, 1, 0, false, "日本語のとても長いフォルダの名前です",
         {"日本語のとても長いフォルダ " + kDir, "の名前です"}},
    };
    // clang-format on
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        Columns(c.columns);
        settings.Lines = static_cast<int16_t>(c.lines);
        settings.ListType = static_cast<int16_t>(c.listType);
        settings.CRCFlg = c.crc;
        ComputeWidths(settings);
        const std::string name = std::to_string(++n) + ".out";
        ui.QueueFileName(Out(name));
        Exec(c.folder);
        EXPECT_EQ(ui.saveRequests().back().fileName,
                  Out(c.base + std::string(c.listType ? "のリスト.htm" : "のリスト.txt")));
        EXPECT_EQ(ui.saveRequests().back().filter.starts_with("HTML"), c.listType == 1);
        EXPECT_EQ(Bytes(tmp.host("out/" + name)).starts_with("<HTML"), c.listType == 1);
        const auto body = Body(name);
        EXPECT_EQ(std::vector<std::string>(body.begin(), body.begin() + std::min(body.size(), c.body.size())),
                  c.body);
    }
}

// Cancelling in the middle of the walk, by the Exec button's question or by closing the window.
TEST_F(ListingRun, CancelDuringTheWalkWritesNothing) {
    for (const std::optional<MsgAnswer> answer :
         {std::optional(MsgAnswer::Yes), std::optional(MsgAnswer::No), std::optional<MsgAnswer>()}) {
        const bool saved = answer == MsgAnswer::No;
        testing::ScriptedUi pumped;
        CaptionTimer timer{run, pumped, clock};
        ListingRunner cancelled{settings, chars, run, options, pumped, timer, window, "", LocalDateTimeNow};
        window.folder = "C:\\Work";
        window.endedNow = 0;
        pumped.QueueFileName(Out("cancel.txt"));
        pumped.OnPumpEvents([&](int call) {
            if (call == 1) clock.Advance(150ms);  // the caption shows the folder
            if (call == 2 && !answer) run.CancelFlag = kCancelByClosing;
            if (call == 2 && answer) pumped.QueueAnswer(*answer);
            if (call == 2 && answer) cancelled.cmdExec_Click();
        });
        cancelled.cmdExec_Click();
        EXPECT_EQ(std::filesystem::remove(tmp.host("out/cancel.txt")), saved);
        EXPECT_EQ(pumped.saveRequests().size(), saved ? 1u : 0u);
        EXPECT_EQ(window.endedNow, answer ? 0 : 1);
        ASSERT_EQ(pumped.messages().size(), answer ? 1u : 0u);
        if (answer) {
            const MessageRequest& asked = pumped.messages()[0];
            EXPECT_EQ(asked.text, "現在、フォルダの調査中です。中断しますか？");
            EXPECT_EQ(asked.buttons, MsgButtons::YesNo);
            EXPECT_EQ(asked.icon, MsgIcon::Information);
            EXPECT_EQ(asked.defaultButton, MsgDefault::Second);
            EXPECT_EQ(run.CancelFlag, saved ? kNoCancel : kCancelByUser);
        }
        clock.Advance(100ms);
        timer.Tick();
        EXPECT_EQ(pumped.captionsSet().front(), "Folvane  -  C:\\Work\\*");
        EXPECT_EQ(pumped.WindowCaption(), "Folvane");
    }
}

TEST_F(ListingRun, SaveFailureAsksToRetry) {
    struct Case {
        bool silent;
        MsgAnswer answer;
        std::vector<std::string> chosen;  // the chooser's answers, in order
        const char* written;              // the file that holds the listing afterwards, or ""
        std::string failed;               // the name the retry question quotes
    };
    tmp.WriteFile("out/locked.txt", "old");
    chmod(tmp.host("out/locked.txt").c_str(), 0444);
    const Case cases[] = {
        {true, MsgAnswer::Yes, {Out("new.txt")}, "new.txt", Out("locked.txt")},
        {true, MsgAnswer::No, {}, "", Out("locked.txt")},
        {false, MsgAnswer::Yes, {Out("missing\\x.txt"), ""}, "", Out("missing\\x.txt")},
    };
    options.OutFileName = Out("locked.txt");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failed);
        const size_t before = ui.saveRequests().size(), asked = ui.messages().size();
        options.SilentSave = c.silent;
        ui.QueueAnswer(c.answer);
        for (const auto& name : c.chosen)
            ui.QueueFileName(name);
        Exec("C:\\Work");
        EXPECT_EQ(Bytes(tmp.host("out/locked.txt")), "old");
        EXPECT_EQ(ui.saveRequests().size() - before, c.chosen.size());
        for (size_t i = before; i < ui.saveRequests().size(); ++i)
            EXPECT_EQ(ui.saveRequests()[i].fileName, Out("locked.txt"));
        ASSERT_EQ(ui.messages().size() - asked, 1u);
        EXPECT_EQ(ui.messages().back().text,
                  "\"" + c.failed + "\"への保存に失敗しました。\r\n再試行しますか？");
        EXPECT_EQ(ui.messages().back().icon, MsgIcon::Critical);
        EXPECT_EQ(ui.messages().back().buttons, MsgButtons::YesNo);
        EXPECT_EQ(runner.LastOutcome(), *c.written ? ListingOutcome::Saved : ListingOutcome::NotSaved);
        EXPECT_TRUE(!*c.written || Bytes(tmp.host("out/" + std::string(c.written))).starts_with("Folvane"));
    }
}

TEST_F(ListingRun, UnusableFoldersAreRefusedWithTheirTextQuoted) {
    tmp.MakeFolder("c/.hid");
    const std::tuple<const char*, int, bool> cases[] = {{"   ", 23, true},
                                                        {"C:\\.hid", 21, true},
                                                        {"C:\\.hid", 23, false},
                                                        {"C:\\Work\\a.txt", 23, true},
                                                        {"C:\\Work\\CON", 23, true}};
    for (const auto& [folder, searchAttr, refused] : cases) {
        SCOPED_TRACE(folder);
        settings.SearchAttr = static_cast<int16_t>(searchAttr);
        const size_t before = ui.messages().size(), choosers = ui.saveRequests().size();
        Exec(folder);
        EXPECT_EQ(ui.saveRequests().size() - choosers, refused ? 0u : 1u);
        ASSERT_EQ(ui.messages().size() - before, refused ? 1u : 0u);
        if (!refused) continue;
        EXPECT_EQ(ui.messages().back().text,
                  "この名前のフォルダまたはドライブが見つかりませんでした。\r\n\r\n\"" + std::string(folder) +
                      "\"");
        EXPECT_EQ(ui.messages().back().icon, MsgIcon::Exclamation);
        EXPECT_EQ(runner.LastOutcome(), ListingOutcome::FolderNotFound);
        EXPECT_FALSE(run.BusyFlag);
        EXPECT_FALSE(window.busyShown.back());
    }
}

TEST_F(ListingRun, FilterHistoryAndPatterns) {
    settings.FilterFlg = true;
    for (const char* text : {"*.a", "*.b", "*.c", "*.d", "*.e", "  ", "*.f", "*.C", " *.TXT \"My File.*\""}) {
        window.filter = text;
        Exec("C:\\Work");
    }
    EXPECT_EQ(settings.FilterText,
              (std::vector<std::string>{" *.TXT \"My File.*\"", "*.C", "*.f", "*.e", "*.d"}));
    EXPECT_EQ(run.FilterPatterns, (std::vector<std::string>{"*.txt", "my file.*"}));
    EXPECT_EQ(window.refreshed, 8);
    settings.FilterFlg = false;
    Exec("C:\\Work");
    EXPECT_TRUE(run.FilterPatterns.empty());
    EXPECT_EQ(settings.FilterText.size(), 5u);
}

TEST_F(ListingRun, AfterASave) {
    tmp.WriteFile("out/sub/kept.txt", "kept");
    std::vector<std::string> opened;
    // Whether the chosen file exists (the replace is declined), AutoOpenFlg, QuitAfterRun.
    for (const auto& [exists, autoOpen, quit] :
         {std::tuple{false, false, false}, {false, true, true}, {true, true, false}}) {
        const std::string file = Out(exists ? "sub\\kept.txt" : "sub\\new.txt");
        settings.AutoOpenFlg = autoOpen;
        settings.LastOutPathName = "";
        options.QuitAfterRun = quit;
        window.exits = 0;
        if (exists) ui.QueueAnswer(MsgAnswer::No);
        ui.QueueFileName(file);
        Exec("C:\\Work");
        EXPECT_EQ(runner.LastOutcome(), ListingOutcome::Saved);
        EXPECT_EQ(runner.LastSavedFile(), file);
        EXPECT_EQ(settings.LastOutPathName, Out("sub\\"));
        if (autoOpen) opened.push_back(file);
        EXPECT_EQ(ui.opened(), opened);
        EXPECT_EQ(window.exits, quit ? 1 : 0);
    }
    EXPECT_EQ(Bytes(tmp.host("out/sub/kept.txt")), "kept");
    Exec("C:\\Gone");
    EXPECT_EQ(runner.LastSavedFile(), "");  // that run saved nothing
}

}  // namespace
}  // namespace folvane

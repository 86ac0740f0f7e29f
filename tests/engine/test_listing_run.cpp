#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "engine/listing_run.h"
#include "platform/cp932.h"
#include "platform/path_space.h"
#include "platform/person_path.h"
#include "platform/volume.h"
#include "tests/engine/golden_support.h"

namespace folvane {
namespace {

using testing::Bytes;
using testing::Sp;

const std::string kDir = Sp(5) + "< Dir >";

// C: holds Work (sub\x.txt of 4 bytes, a.txt of 1), D: a.txt and b.txt (2 bytes), \\srv\share
// nothing. Listings have the name column and a 12-cell size column; output goes to out\.
class ListingRun : public ::testing::Test {
  protected:
    ListingRun() {
        rig.Apply({.size = true});
        testing::MakeTree(tmp, "c/Work", {"sub/x.txt=xxxx", "a.txt=a"});
        testing::MakeTree(tmp, "d", {"a.txt=a", "b.txt=bb", "../out/"});
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

    std::string Out(std::string_view name) const { return tmp.path("out") + "\\" + std::string(name); }
    void Exec(std::string folder) {
        result = runner.Run({std::move(folder), filter, [this] { ++refreshed; }});
        EXPECT_FALSE(run.BusyFlag);
    }

    testing::TempDir tmp;
    testing::ListingRig rig;
    Settings& settings = rig.settings;
    RunState& run = rig.run;
    testing::ScriptedUi& ui = rig.ui;
    RunOptions options;
    std::string filter;
    int refreshed = 0;
    ListingResult result;
    ListingRunner runner{settings, rig.chars, run, options, ui, rig.caption, tmp.path("no-templates"), [] {
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
}

TEST_F(ListingRun, RootLinesMarginsAndProposedNames) {
    testing::MakeTree(tmp, "c",
                      {"Empty/", "abcdefghijklmnopqrstuvwxyz0123/", "日本語のとても長いフォルダの名前です/"});
    // folder, Columns, Lines, ListType, CRCFlg, the proposed name, the first body lines (none for HTML)
    // clang-format off
    const std::tuple<const char*, int, int, int, bool, const char*, std::vector<std::string>> cases[] = {
        {"D:\\", 40, 1, 0, false, "Dドライブ", {"D:\\ < DATA >", "|- a.txt" + Sp(31) + "1"}},
        {"d:\\", 40, 1, 0, true, "Dドライブ", {"d:\\ < DATA >" + Sp(19) + " 9E65D9F1"}},
        {"\\\\srv\\share", 40, 1, 0, false, "srv_share", {"\\\\srv\\share\\ < SHR >"}},
        {"C:\\Work", 40, 1, 1, false, "Work", {}},
        {"C:\\Work", 40, 2, 0, false, "Work",
         {"Work" + Sp(24) + kDir, "|  ", "|- sub" + Sp(22) + kDir, "|  |  ", "|  +- x.txt" + Sp(28) + "4",
          "|     ", "+- a.txt" + Sp(31) + "1", "   "}},
        {"C:\\Empty", 40, 3, 0, false, "Empty", {"Empty" + Sp(23) + kDir, "   ", "   "}},
        {"C:\\abcdefghijklmnopqrstuvwxyz0123", 40, 1, 0, false, "abcdefghijklmnopqrstuvwxyz0123",
         {"abcdefghijklmnopqrstuvwxyz01" + kDir, "23"}},
        // A double-byte character that would straddle cell 27 starts the next piece.
        {"C:\\日本語のとても長いフォルダの名前です", 39, 1, 0, false, "日本語のとても長いフォルダの名前です",
         {"日本語のとても長いフォルダ " + kDir, "の名前です"}},
    };
    // clang-format on
    for (const auto& [folder, columns, lines, listType, crc, base, body] : cases) {
        SCOPED_TRACE(folder);
        rig.Apply({.columns = columns, .lines = lines, .size = true, .crc = crc, .html = listType == 1});
        const std::string name = std::to_string(rig.ui.saveRequests().size()) + ".out";
        ui.QueueFileName(Out(name));
        Exec(folder);
        EXPECT_EQ(ui.saveRequests().back().fileName,
                  Out(base + std::string(listType ? "のリスト.htm" : "のリスト.txt")));
        EXPECT_EQ(ui.saveRequests().back().filter.starts_with("HTML"), listType == 1);
        const std::string text = FromCp932(Bytes(tmp.host("out/" + name))),
                          rule(static_cast<size_t>(columns), '-');
        EXPECT_NE(text.find(listType ? "<HTML" : rule + "\r\n" + testing::CrLf(body)), std::string::npos)
            << text;
    }
}

// The host's root folder, which the path space calls Z:\, is read as "/" in the listing and
// its proposed name, which has no drive letter to show.
TEST_F(ListingRun, TheHostRootReadsAsItsOwnPath) {
    if (!testing::PersonReadsHostPaths()) GTEST_SKIP() << "this host has no host root drive";
    rig.Apply({.subDirs = false});
    ui.QueueFileName(Out("root.txt"));
    Exec("/");
    ASSERT_EQ(result.outcome, ListingOutcome::Saved);
    EXPECT_EQ(ui.saveRequests().back().fileName, Out("ルートフォルダのリスト.txt"));
    const std::string text = FromCp932(Bytes(tmp.host("out/root.txt")));
    EXPECT_NE(text.find("\r\nフォルダは /\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\n" + std::string(40, '-') + "\r\n/ < "), std::string::npos) << text;
    EXPECT_EQ(text.find("Z:"), std::string::npos) << text;
}

// A cancel request during the walk (the Exec button's question, Ctrl+C, a close) ends the run
// without a file or a message. (The question itself is the main form's.)
TEST_F(ListingRun, CancelDuringTheWalkWritesNothing) {
    for (const int16_t cancel : {kCancelByUser, kNoCancel, kCancelByClosing}) {
        const int pumped = ui.pumps();
        ui.QueueFileName(Out("cancel.txt"));
        ui.OnPumpEvents([&](int call) {
            if (call == pumped + 1) run.CancelFlag = cancel;
        });
        Exec("C:\\Work");
        EXPECT_EQ(std::filesystem::remove(tmp.host("out/cancel.txt")), cancel == kNoCancel);
        EXPECT_EQ(result.outcome, cancel != kNoCancel ? ListingOutcome::Cancelled : ListingOutcome::Saved);
        EXPECT_EQ(run.CancelFlag, cancel);
        EXPECT_EQ(run.PendingCaption, "Folvane");  // the caption returns after a cancel too
    }
    EXPECT_TRUE(ui.messages().empty());
}

TEST_F(ListingRun, SaveFailureAsksToRetry) {
    tmp.WriteFile("out/locked.txt", "old");
    tmp.MakeReadOnly("out/locked.txt");
    // SilentSave, the answer to the retry question, the chooser's answers in order, the file that
    // holds the listing afterwards ("" none) and the name the question quotes, as the person
    // reads it: the host path
    const std::string locked = PathForPerson(tmp.path("out/locked.txt"));
    const std::tuple<bool, MsgAnswer, std::vector<std::string>, std::string, std::string> cases[] = {
        {true, MsgAnswer::Yes, {Out("new.txt")}, "new.txt", locked},
        {true, MsgAnswer::No, {}, "", locked},
        {false, MsgAnswer::Yes, {Out("missing\\x.txt"), ""}, "", PathForPerson(tmp.path("out/missing/x.txt"))},
    };
    options.OutFileName = Out("locked.txt");
    for (const auto& [silent, answer, chosen, written, failed] : cases) {
        SCOPED_TRACE(failed);
        const size_t before = ui.saveRequests().size(), asked = ui.messages().size();
        options.SilentSave = silent;
        ui.QueueAnswer(answer);
        for (const auto& name : chosen)
            ui.QueueFileName(name);
        Exec("C:\\Work");
        EXPECT_EQ(Bytes(tmp.host("out/locked.txt")), "old");
        EXPECT_EQ(ui.saveRequests().size() - before, chosen.size());
        for (size_t i = before; i < ui.saveRequests().size(); ++i)
            EXPECT_EQ(ui.saveRequests()[i].fileName, Out("locked.txt"));
        ASSERT_EQ(ui.messages().size() - asked, 1u);
        const MessageRequest& question = ui.messages().back();
        EXPECT_EQ(question.text, "\"" + failed + "\"への保存に失敗しました。\r\n再試行しますか？");
        EXPECT_TRUE(question.icon == MsgIcon::Critical && question.buttons == MsgButtons::YesNo);
        EXPECT_EQ(result.outcome, written.empty() ? ListingOutcome::NotSaved : ListingOutcome::Saved);
        EXPECT_TRUE(written.empty() || Bytes(tmp.host("out/" + written)).starts_with("Folvane"));
    }
}

TEST_F(ListingRun, UnusableFoldersAreRefusedWithTheirTextQuoted) {
    tmp.MakeFolder("c/.hid");
    settings.SearchAttr = 21;  // without hidden entries
    for (const std::string folder : {"   ", "C:\\.hid", "C:\\Work\\a.txt", "C:\\Work\\CON"}) {
        Exec(folder);
        ASSERT_FALSE(ui.messages().empty());
        EXPECT_EQ(ui.messages().back().text,
                  "この名前のフォルダまたはドライブが見つかりませんでした。\r\n\r\n\"" + folder + "\"");
        EXPECT_EQ(ui.messages().back().icon, MsgIcon::Exclamation);
        EXPECT_EQ(result.outcome, ListingOutcome::FolderNotFound);
        EXPECT_FALSE(run.BusyFlag);
    }
    settings.SearchAttr = 23;
    Exec("C:\\.hid");
    EXPECT_EQ(ui.saveRequests().size(), 1u);  // the mask reaches TruePath, whose tests take every bit
}

// The history itself is AddFilterText's; a run adds what is typed unless it is blank.
TEST_F(ListingRun, FilterTextBecomesHistoryAndPatterns) {
    settings.FilterFlg = true;
    for (const char* text : {"*.a", "  ", " *.TXT \"My File.*\""}) {
        filter = text;
        Exec("C:\\Work");
    }
    EXPECT_EQ(settings.FilterText, (std::vector<std::string>{" *.TXT \"My File.*\"", "*.a"}));
    EXPECT_EQ(run.FilterPatterns, (std::vector<std::string>{"*.txt", "my file.*"}));
    EXPECT_EQ(refreshed, 2);
    settings.FilterFlg = false;
    Exec("C:\\Work");
    EXPECT_TRUE(run.FilterPatterns.empty());
    EXPECT_EQ(settings.FilterText.size(), 2u);
}

// QuitAfterRun is tested with the main form's automatic runs.
TEST_F(ListingRun, AfterASave) {
    tmp.WriteFile("out/sub/kept.txt", "kept");
    std::vector<std::string> opened;
    // Whether the chosen file exists (the replace is declined), AutoOpenFlg.
    for (const auto& [exists, autoOpen] : {std::pair{false, false}, {false, true}, {true, true}}) {
        const std::string file = Out(exists ? "sub\\kept.txt" : "sub\\new.txt");
        settings.AutoOpenFlg = autoOpen;
        settings.LastOutPathName = "";
        if (exists) ui.QueueAnswer(MsgAnswer::No);
        ui.QueueFileName(file);
        Exec("C:\\Work");
        EXPECT_EQ(result.outcome, ListingOutcome::Saved);
        EXPECT_EQ(result.savedFile, file);
        EXPECT_EQ(settings.LastOutPathName, Out("sub\\"));
        if (autoOpen) opened.push_back(file);
        EXPECT_EQ(ui.opened(), opened);
    }
    EXPECT_EQ(Bytes(tmp.host("out/sub/kept.txt")), "kept");
    Exec("C:\\Gone");
    EXPECT_EQ(result.savedFile, "");  // that run saved nothing
}

}  // namespace
}  // namespace folvane

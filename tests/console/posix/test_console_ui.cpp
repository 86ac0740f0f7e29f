#include "app/console/console_ui.h"

#include <gtest/gtest.h>

#include <csignal>

#include "platform/interrupt.h"
#include "platform/path_space.h"

namespace folvane {
namespace {

// Lines typed are taken from `lines`; the end of input follows them.
class FakeTerminal final : public Terminal {
  public:
    FakeTerminal(bool asks, std::vector<std::string> typed = {}, bool shows = false)
        : canAsk(asks), showsProgress(shows), lines(std::move(typed)) {}
    bool CanAsk() const override { return canAsk; }
    std::optional<std::string> ReadLine() override {
        return ++reads > static_cast<int>(lines.size()) ? std::nullopt : std::optional(lines[reads - 1]);
    }
    void Write(std::string_view text) override { written += text; }
    bool ShowsProgress() const override { return showsProgress; }
    void ShowStatus(std::string_view text) override { written += "<" + std::string(text) + ">"; }
    void ClearStatus() override { written += "<>"; }

    bool canAsk, showsProgress;
    std::vector<std::string> lines;
    std::string written;
    int reads = 0;
};

TEST(ConsoleUi, MessagesAndQuestions) {
    FakeTerminal quiet(true);
    EXPECT_EQ(ConsoleUi(quiet).ShowMessage(
                  {"一行目\r\n二行目", "Folvane 起動エラー", MsgButtons::Ok, MsgIcon::Critical}),
              MsgAnswer::Ok);
    EXPECT_EQ(quiet.written, "[Folvane 起動エラー]\n一行目\n二行目\n");
    EXPECT_EQ(quiet.reads, 0);

    // Whether one can ask, the lines typed, the default button, the answer, the lines read.
    // clang-format off
    using D = MsgDefault;
    using A = MsgAnswer;
    const std::tuple<bool, std::vector<std::string>, D, A, int> cases[] = {
        {true, {"y"}, D::Second, A::Yes, 1},    {true, {" N "}, D::First, A::No, 1},
        {true, {""}, D::Second, A::No, 1},      {true, {}, D::First, A::Yes, 1},
        {true, {"maybe", "はい"}, D::Second, A::Yes, 2},
        {true, {"maybe"}, D::Second, A::No, 2}, {false, {"y"}, D::Second, A::No, 0},
    };
    // clang-format on
    for (const auto& [canAsk, typed, byDefault, answer, reads] : cases) {
        FakeTerminal terminal(canAsk, typed);
        EXPECT_EQ(ConsoleUi(terminal).ShowMessage(
                      {"消しますか？\r\n本当に", "Folvane", MsgButtons::YesNo, MsgIcon::None, byDefault}),
                  answer);
        EXPECT_EQ(terminal.reads, reads);
        EXPECT_TRUE(terminal.written.starts_with("[Folvane]\n消しますか？\n本当に\n"));
        EXPECT_EQ(terminal.written.find("端末がないため") != std::string::npos, !canAsk);
    }
}

TEST(ConsoleUi, SaveChooserPrompt) {
    const std::string proposed = PathFromHost("/tmp/Workのリスト.txt");
    const std::tuple<bool, std::vector<std::string>, std::string> cases[] = {
        {true, {""}, proposed},
        {true, {"  out.txt "}, ProcessCurrentFolder() + "\\out.txt"},
        {true, {"/srv/a b.txt"}, "Z:\\srv\\a b.txt"},
        {true, {"\\\\srv\\s\\x.txt"}, "\\\\srv\\s\\x.txt"},
        {true, {}, ""},
        {false, {"out.txt"}, ""},
    };
    for (const auto& [canAsk, typed, chosen] : cases) {
        FakeTerminal terminal(canAsk, typed);
        const FileChooserResult result =
            ConsoleUi(terminal).ChooseSaveFile({"出力ﾌｧｲﾙの選択", "*.txt", 2, 0, proposed});
        EXPECT_EQ(result.fileName, chosen);
        EXPECT_TRUE(terminal.written.starts_with(canAsk ? "[出力ﾌｧｲﾙの選択]\n" : kNoTerminalForSaving));
        // The proposal is shown as the host path the person knows.
        EXPECT_EQ(terminal.written.find("[/tmp/Workのリスト.txt]") != std::string::npos, canAsk);
    }
    // A proposal without a folder, accepted as it stands, is a full path in the current folder.
    FakeTerminal terminal(true, {""});
    EXPECT_EQ(ConsoleUi(terminal).ChooseSaveFile({"", "", 1, 0, "Workのリスト.txt"}).fileName,
              ProcessCurrentFolder() + "\\Workのリスト.txt");
}

TEST(ConsoleUi, ProgressLineOnlyOnATerminalAndCtrlCAtTheNextPump) {
    for (const bool shows : {true, false}) {
        FakeTerminal terminal(true, {}, shows);
        ConsoleUi ui(terminal);
        ui.SetWindowCaption("Folvane  -  C:\\Data\\*");
        ui.ShowMessage({"完了", "Folvane"});
        ui.SetWindowCaption("Folvane  -  C:\\Data\\");
        ui.SetWindowCaption("Folvane");
        ui.EndProgress();
        EXPECT_EQ(ui.WindowCaption(), "Folvane");
        EXPECT_EQ(terminal.written,
                  shows ? "<C:\\Data\\*><>[Folvane]\n完了\n<C:\\Data\\><>" : "[Folvane]\n完了\n");
    }

    struct sigaction previous {};
    sigaction(SIGINT, nullptr, &previous);
    CatchInterrupts();
    TakeInterrupt();  // nothing left over from elsewhere
    FakeTerminal terminal(true);
    ConsoleUi ui(terminal);
    int calls = 0;
    ui.SetInterruptHandler([&] { ++calls; });
    ui.PumpEvents();
    EXPECT_EQ(calls, 0);
    std::raise(SIGINT);
    ui.PumpEvents();
    ui.PumpEvents();
    EXPECT_EQ(calls, 1);
    sigaction(SIGINT, &previous, nullptr);
}

class StepClock final : public Clock {
  public:
    std::chrono::milliseconds Now() const override { return now; }
    std::chrono::milliseconds now{1000};
};

// During a run the status line adds the counts and the checksum bytes to the folder being read,
// and pumping redraws it once the interval has passed; off a terminal nothing is drawn.
TEST(ConsoleUi, StatusLineFollowsTheRun) {
    for (const bool shows : {true, false}) {
        FakeTerminal terminal(true, {}, shows);
        ConsoleUi ui(terminal);
        RunState run;
        StepClock clock;
        ui.FollowRun(run, clock);
        run.BusyFlag = true;
        run.FoldersRead = 2;
        ui.PumpEvents();  // before any folder is named: the counts alone
        clock.now += ConsoleUi::kStatusInterval;
        ui.SetWindowCaption("Folvane  -  /home/ann/*");
        run.FilesRead = 1;
        run.CountCrcBlock(1 << 20, 1 << 20, 3 << 20);
        ui.PumpEvents();  // too soon
        clock.now += ConsoleUi::kStatusInterval;
        ui.PumpEvents();
        run.BusyFlag = false;
        ui.SetWindowCaption("Folvane");
        EXPECT_EQ(terminal.written,
                  shows ? "<フォルダ 2 ・ ファイル 0><フォルダ 2 ・ ファイル 0  /home/ann/*>"
                          "<フォルダ 2 ・ ファイル 1 ・ CRC 1.0 MB / 3.0 MB (計 1.0 MB)  /home/ann/*><>"
                        : "");
    }
}

}  // namespace
}  // namespace folvane

// The Ui port on a terminal: messages, Yes/No questions, the save chooser as a prompt, the
// progress line, Ctrl+C, and the translation of typed paths.

#include <gtest/gtest.h>

#include <csignal>
#include <optional>

#include "app/console_ui.h"
#include "platform/interrupt.h"
#include "platform/path_space.h"

namespace folvane {
namespace {

// Lines typed are taken from `lines`; the end of input follows them.
class FakeTerminal final : public Terminal {
  public:
    FakeTerminal(bool asks, bool shows) : canAsk(asks), showsProgress(shows) {}
    bool CanAsk() const override { return canAsk; }
    std::optional<std::string> ReadLine() override {
        if (++reads > static_cast<int>(lines.size())) return std::nullopt;
        return lines[static_cast<size_t>(reads - 1)];
    }
    void Write(std::string_view text) override { written += text; }
    bool ShowsProgress() const override { return showsProgress; }

    bool canAsk, showsProgress;
    std::vector<std::string> lines;
    std::string written;
    int reads = 0;
};

TEST(ConsoleUi, MessagesAndQuestions) {
    FakeTerminal quiet(true, false);
    ConsoleUi ui(quiet);
    EXPECT_EQ(ui.ShowMessage({"一行目\r\n二行目", "Folvane 起動エラー", MsgButtons::Ok, MsgIcon::Critical}),
              MsgAnswer::Ok);
    EXPECT_EQ(quiet.written, "[Folvane 起動エラー]\n一行目\n二行目\n");
    EXPECT_EQ(quiet.reads, 0);

    struct Case {
        bool canAsk;
        std::vector<std::string> typed;
        MsgDefault byDefault;
        MsgAnswer answer;
        int reads;
    };
    const Case cases[] = {
        {true, {"y"}, MsgDefault::Second, MsgAnswer::Yes, 1},
        {true, {" N "}, MsgDefault::First, MsgAnswer::No, 1},
        {true, {""}, MsgDefault::Second, MsgAnswer::No, 1},
        {true, {}, MsgDefault::First, MsgAnswer::Yes, 1},  // end of input
        {true, {"maybe", "はい"}, MsgDefault::Second, MsgAnswer::Yes, 2},
        {true, {"maybe"}, MsgDefault::Second, MsgAnswer::No, 2},
        {false, {"y"}, MsgDefault::Second, MsgAnswer::No, 0},
        {false, {"n"}, MsgDefault::First, MsgAnswer::Yes, 0},
    };
    for (const auto& c : cases) {
        FakeTerminal terminal(c.canAsk, false);
        terminal.lines = c.typed;
        ConsoleUi asking(terminal);
        EXPECT_EQ(asking.ShowMessage(
                      {"消しますか？\r\n本当に", "Folvane", MsgButtons::YesNo, MsgIcon::None, c.byDefault}),
                  c.answer);
        EXPECT_EQ(terminal.reads, c.reads);
        EXPECT_TRUE(terminal.written.starts_with("[Folvane]\n消しますか？\n本当に\n"));
        EXPECT_EQ(terminal.written.find("端末がないため") != std::string::npos, !c.canAsk);
    }
}

TEST(ConsoleUi, SaveChooserPrompt) {
    const std::string proposed = PathFromHost("/tmp/Workのリスト.txt");
    struct Case {
        bool canAsk;
        std::vector<std::string> typed;
        std::string chosen;
    };
    const Case cases[] = {
        {true, {""}, proposed},
        {true, {"  out.txt "}, ProcessCurrentFolder() + "\\out.txt"},
        {true, {"/srv/a b.txt"}, "Z:\\srv\\a b.txt"},
        {true, {"C:\\x.txt"}, "C:\\x.txt"},
        {true, {"\\\\srv\\s\\x.txt"}, "\\\\srv\\s\\x.txt"},
        {true, {}, ""},
        {false, {"out.txt"}, ""},
    };
    for (const auto& c : cases) {
        FakeTerminal terminal(c.canAsk, false);
        terminal.lines = c.typed;
        ConsoleUi ui(terminal);
        const FileChooserResult result = ui.ChooseSaveFile({"出力ﾌｧｲﾙの選択", "*.txt", 2, 0, proposed});
        EXPECT_EQ(result.fileName, c.chosen);
        EXPECT_EQ(result.filterIndex, 2);
        EXPECT_TRUE(terminal.written.starts_with(c.canAsk ? "[出力ﾌｧｲﾙの選択]\n" : kNoTerminalForSaving));
        // The proposal is shown as the host path the person knows.
        EXPECT_EQ(terminal.written.find("[/tmp/Workのリスト.txt]") != std::string::npos, c.canAsk);
    }
}

TEST(ConsoleUi, ProgressLineOnlyOnATerminal) {
    for (const bool shows : {true, false}) {
        FakeTerminal terminal(true, shows);
        ConsoleUi ui(terminal);
        ui.SetWindowCaption("Folvane  -  C:\\Data\\*");
        ui.ShowMessage({"完了", "Folvane"});
        ui.SetWindowCaption("Folvane  -  C:\\Data\\");
        ui.SetWindowCaption("Folvane");
        ui.EndProgress();
        EXPECT_EQ(ui.WindowCaption(), "Folvane");
        EXPECT_EQ(terminal.written, shows ? "\r\x1b[KFolvane  -  C:\\Data\\*\r\x1b[K[Folvane]\n完了\n"
                                            "\r\x1b[KFolvane  -  C:\\Data\\\r\x1b[K"
                                          : "[Folvane]\n完了\n");
    }
}

TEST(ConsoleUi, InterruptReachesTheHandlerAtTheNextPump) {
    struct sigaction previous {};
    sigaction(SIGINT, nullptr, &previous);
    CatchInterrupts();
    TakeInterrupt();  // nothing left over from elsewhere
    FakeTerminal terminal(true, false);
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

}  // namespace
}  // namespace folvane

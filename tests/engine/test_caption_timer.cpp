#include "engine/caption_timer.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/scripted_ui.h"

namespace folvane {
namespace {

using std::chrono::milliseconds;

class ManualClock final : public Clock {
  public:
    milliseconds Now() const override { return now_; }
    void Advance(milliseconds by) { now_ += by; }

  private:
    milliseconds now_{5000};
};

class CaptionTimerTest : public ::testing::Test {
  protected:
    // Advances the clock and lets the timer see it, as the front end's timer and the walk's
    // event pumping do.
    void Pass(milliseconds by) {
        clock.Advance(by);
        timer.Tick();
    }

    RunState run;
    testing::ScriptedUi ui{"Folvane"};
    ManualClock clock;
    CaptionTimer timer{run, ui, clock};
};

TEST_F(CaptionTimerTest, NothingChangesBeforeTheFirstRequest) {
    EXPECT_FALSE(timer.IsRunning());
    EXPECT_EQ(timer.TimeUntilDue(), std::nullopt);
    run.PendingCaption = "Folvane  -  Z:\\left\\over*";
    for (int i = 0; i < 10; ++i)
        Pass(milliseconds{100});
    EXPECT_TRUE(ui.captionsSet().empty());
    EXPECT_EQ(ui.WindowCaption(), "Folvane");
}

TEST_F(CaptionTimerTest, QuickSuccessionWaitsForOneHundredMillisecondsOfQuiet) {
    for (int i = 0; i < 1000; ++i) {
        timer.SetPendingCaption("Folvane  -  Z:\\data\\" + std::to_string(i) + "*");
        // The walk pumps events, and so ticks, between the requests.
        Pass(milliseconds{25});
        Pass(milliseconds{25});
    }
    EXPECT_TRUE(ui.captionsSet().empty());
    EXPECT_EQ(run.PendingCaption, "Folvane  -  Z:\\data\\999*");

    Pass(milliseconds{49});  // 99 ms after the last request (50 ms already passed)
    EXPECT_TRUE(ui.captionsSet().empty());
    EXPECT_EQ(timer.TimeUntilDue(), milliseconds{1});
    Pass(milliseconds{1});
    ASSERT_EQ(ui.captionsSet().size(), 1u);
    EXPECT_EQ(ui.WindowCaption(), "Folvane  -  Z:\\data\\999*");
    EXPECT_FALSE(timer.IsRunning());

    // Stopped after firing: later ticks redraw nothing.
    Pass(milliseconds{1000});
    EXPECT_EQ(ui.captionsSet().size(), 1u);
}

TEST_F(CaptionTimerTest, EachRequestRestartsTheCount) {
    timer.SetPendingCaption("A");
    Pass(milliseconds{90});
    timer.SetPendingCaption("B");
    EXPECT_EQ(timer.TimeUntilDue(), milliseconds{100});
    Pass(milliseconds{90});
    EXPECT_TRUE(ui.captionsSet().empty());
    Pass(milliseconds{10});
    EXPECT_EQ(ui.captionsSet(), std::vector<std::string>{"B"});

    // A late tick still fires once, with the caption pending at that moment.
    timer.SetPendingCaption("C");
    clock.Advance(milliseconds{250});
    EXPECT_EQ(timer.TimeUntilDue(), milliseconds{0});
    timer.Tick();
    timer.Tick();
    EXPECT_EQ(ui.captionsSet(), (std::vector<std::string>{"B", "C"}));
}

TEST_F(CaptionTimerTest, CaptionEqualToTheShownOneIsNotRedrawn) {
    timer.SetPendingCaption("Folvane");
    Pass(milliseconds{100});
    EXPECT_TRUE(ui.captionsSet().empty());
    EXPECT_FALSE(timer.IsRunning());

    // Passing through other captions back to the shown one within the quiet time draws nothing.
    timer.SetPendingCaption("Folvane  -  Z:\\a*");
    Pass(milliseconds{20});
    timer.SetPendingCaption("Folvane");
    Pass(milliseconds{100});
    EXPECT_TRUE(ui.captionsSet().empty());
}

}  // namespace
}  // namespace folvane

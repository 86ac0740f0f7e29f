#include "engine/caption_timer.h"

#include <gtest/gtest.h>

#include "tests/engine/golden_support.h"

namespace folvane {
namespace {

using Captions = std::vector<std::string>;

TEST(CaptionTimer, ShowsTheLastRequestAfterOneHundredMillisecondsOfQuiet) {
    testing::ListingRig rig;
    const Captions& shown = rig.ui.captionsSet();
    auto pass = [&](int ms) {  // as through the front end's timer or the walk's event pumping
        rig.clock.Advance(std::chrono::milliseconds{ms});
        rig.caption.Tick();
    };
    EXPECT_EQ(rig.caption.TimeUntilDue(), std::nullopt);  // stopped: nothing changes before a request
    rig.run.PendingCaption = "Folvane  -  Z:\\left\\over*";
    pass(1000);
    for (int i = 0; i < 1000; ++i) {
        rig.caption.SetPendingCaption("Folvane  -  Z:\\data\\" + std::to_string(i) + "*");
        pass(25);  // the walk pumps events, and so ticks, between the requests
        pass(25);
    }
    pass(49);
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(rig.caption.TimeUntilDue(), std::chrono::milliseconds{1});
    pass(1);
    EXPECT_EQ(shown, Captions{"Folvane  -  Z:\\data\\999*"});
    EXPECT_FALSE(rig.caption.IsRunning());
    pass(1000);  // stopped after firing: later ticks redraw nothing

    // A late tick fires once, with the caption pending at that moment.
    rig.caption.SetPendingCaption("B");
    rig.clock.Advance(std::chrono::milliseconds{250});
    rig.run.PendingCaption = "C";
    EXPECT_EQ(rig.caption.TimeUntilDue(), std::chrono::milliseconds{0});
    pass(0);
    pass(0);
    EXPECT_EQ(shown, (Captions{"Folvane  -  Z:\\data\\999*", "C"}));

    // The caption the window shows is not drawn again, even by way of another one.
    rig.caption.SetPendingCaption("X");
    pass(20);
    rig.caption.SetPendingCaption("C");
    pass(100);
    EXPECT_FALSE(rig.caption.IsRunning());
    EXPECT_EQ(shown.size(), 2u);
}

}  // namespace
}  // namespace folvane

#pragma once
// Everything one listing run works with: the settings and tree-line table it reads, the run
// state it shares with the window, the person (Ui port) and the progress caption.

#include "engine/caption_timer.h"
#include "engine/run_state.h"
#include "platform/ui_port.h"
#include "settings/char_table.h"
#include "settings/settings.h"

namespace folvane {

struct ListingContext {
    const Settings& settings;
    const CharTable& chars;
    RunState& run;
    UiPort& ui;
    CaptionTimer& caption;

    // Lets pending events run, then tells whether the run is to stop.
    bool PumpAndCheckCancel() {
        ui.PumpEvents();
        caption.Tick();
        return run.CancelRequested();
    }
};

}  // namespace folvane

#pragma once
// The values that a listing run, the walk and the main window share while the walk lets
// pending events run, and the options of one start of the program.

#include <cstdint>
#include <string>
#include <vector>

namespace folvane {

enum CancelRequest : int16_t {
    kNoCancel = 0,
    kCancelByUser = 1,     // Yes to the cancel question
    kCancelByClosing = 2,  // the main window is closed during a run
};

struct RunState {
    bool BusyFlag = false;                    // a run is in progress
    int16_t CancelFlag = kNoCancel;           // above 0 stops the walk
    std::vector<std::string> FilterPatterns;  // lower-cased wildcard patterns; empty: no filter
    std::string PendingCaption;               // the caption to show at the next timer tick

    bool CancelRequested() const { return CancelFlag > 0; }
};

// Options of one start, set only by the command line.
struct RunOptions {
    bool AutoStart = false;     // start the listing at the first activation of the window
    bool SilentSave = false;    // write to OutFileName without the chooser or overwrite question
    std::string OutFileName;    // output file named on the command line ("" none)
    bool QuitAfterRun = false;  // end the program through the normal exit after the run
    bool AutoMode = false;      // automatic mode: the settings are not saved at exit
};

}  // namespace folvane

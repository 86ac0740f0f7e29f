#pragma once
// Options of one start of the program, set only by the command line.

#include <string>

namespace folvane {

struct RunOptions {
    bool AutoStart = false;     // start the listing at the first activation of the window
    bool SilentSave = false;    // write to OutFileName without the chooser or overwrite question
    std::string OutFileName;    // output file named on the command line ("" none)
    bool QuitAfterRun = false;  // end the program through the normal exit after the run
    bool AutoMode = false;      // automatic mode: the settings are not saved at exit
};

}  // namespace folvane

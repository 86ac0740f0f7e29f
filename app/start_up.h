#pragma once
// The pieces of the start-up that the desktop and the console program share.

#include <string>
#include <string_view>

#include "platform/ui_port.h"

namespace folvane {

// The help file "Folvane.hlp" beside the executable. It is known before the settings are read,
// because reading an older settings file deletes that help file's index.
std::string HelpFilePath();

// The message of a rejected command line (result below 0), quoting the command line as typed.
void ShowCommandLineError(UiPort& ui, int result, std::string_view typedCommandLine);

}  // namespace folvane

#pragma once
// Handing a file or a web address to the desktop's default program for it.

#include <string_view>

namespace folvane {

// Opens a path-space file path or a web address ("https://...") with the program the desktop
// associates with it, without waiting for it. False when no opener could be started; whether
// the program then manages to open it is not known.
bool OpenWithDefaultHandler(std::string_view pathOrAddress);

}  // namespace folvane

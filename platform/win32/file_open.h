#pragma once
// Opening files for their contents, Windows backend only.

#include <windows.h>

#include <cstdint>
#include <string>

#include "platform/win32/handles.h"

namespace folvane {

// Opens the file at an extended path for reading, sharing it with every other reader and
// writer. Only a file on a disk opens: a folder, a console, a pipe or a device does not, so no
// reader can block on one. length is the file's length when it opened. Not open on failure.
FileHandle OpenFileForReading(const std::wstring& extendedPath, int64_t& length);

}  // namespace folvane

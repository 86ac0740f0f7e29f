#pragma once
// Pieces of the replacing write that the other file operations share, Windows backend only.

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/win32/handles.h"

namespace folvane {

DWORD AttributesOf(const std::wstring& extended);
bool Exists(DWORD attributes);
bool IsFolder(DWORD attributes);

// A new file in folder (an extended path without a final "\") whose name no other writer
// picks: targetName behind a dot, the process id and a counter. name receives its path. Not
// open when none can be made.
FileHandle CreateTemporary(const std::wstring& folder, std::wstring_view targetName, std::wstring& name);

}  // namespace folvane

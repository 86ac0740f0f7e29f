#pragma once
// Facts of files and folders from the Win32 queries, Windows backend only. The folder reader
// and the path queries share these rules, so an entry shows the same facts either way.

#include <windows.h>

#include <optional>
#include <string>

#include "platform/file_system.h"

namespace folvane {

// The bits the listing knows (read-only, hidden, system, folder, archive) of Win32 attributes;
// the file system's own bits are the listing's.
uint32_t ListingAttributes(DWORD attributes);

// Whole seconds since 1970 (rounded down) of a FILETIME, and back; ticks are 100 ns since 1601.
UtcSeconds UtcSecondsOf(const FILETIME& time);
FILETIME FileTimeOf(UtcSeconds seconds);

// True for the reparse points that lead elsewhere: symbolic links and junctions (mount
// points). Other reparse points (deduplicated or cloud files) are ordinary files.
bool IsLinkReparseTag(DWORD attributes, DWORD reparseTag);

// The facts a find query tells of an entry (identity unknown, 0).
FileFacts FactsFromFind(const WIN32_FIND_DATAW& data);

// The facts of what an extended path leads to, links followed, from one open handle; the
// identity is the volume's serial number and the file index. nullopt when it cannot be opened.
std::optional<FileFacts> FactsThroughHandle(const std::wstring& extendedPath);

// The facts of what an open handle leads to; nullopt when they cannot be read.
std::optional<FileFacts> FactsOfHandle(HANDLE handle);

// The facts a directory query tells of an entry, itself (a link is not followed); the identity
// is volumeSerial and the entry's file id.
FileFacts FactsFromDirectoryInfo(const FILE_ID_BOTH_DIR_INFO& info, DWORD volumeSerial);

// The facts of an entry that a find query reported (data) at extendedPath: a link reports
// what it leads to, or itself when that cannot be reached.
FileFacts ResolvedFacts(const WIN32_FIND_DATAW& data, const std::wstring& extendedPath);

}  // namespace folvane

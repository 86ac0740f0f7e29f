#pragma once
// The path space: inside the program every path is Windows-style, a drive ("C:\Data\a.txt")
// or a share ("\\server\share\a.txt") with "\" between components. This header maps such
// paths onto the host and back.
//
// On POSIX, drive Z: is the host root ("Z:\home\ann" is "/home/ann") and the process's current
// folder lives on Z:. Other drives and shares exist only when a test maps them onto a host
// folder. Each component is looked up exactly first and then ignoring ASCII letter case.
// A host name byte that cannot stand in a path-space name (an invalid UTF-8 byte, a control
// character or "\") is carried as the escape code point kEscapeBase + byte (text.h), so every
// host name has exactly one path-space spelling and maps back to the same bytes.

#include <optional>
#include <string>
#include <string_view>

namespace folvane {

// The host path of a full path-space path: the mapped root of its drive or share followed by
// its components, each in the spelling stored on disk when only the letter case differs.
// Components "." and ".." are passed on unchanged; repeated "\" count as one, and a final "\"
// stays a final "/", so it demands a folder. When a folder holds several entries that equal a
// name ignoring case and none exactly, the smallest in byte order is taken. nullopt when the
// drive or share is not mapped, the path is not absolute ("C:", "C:x", "x"), or a component
// holds "/" or a NUL.
std::optional<std::string> HostPathOf(std::string_view path);

// The path-space form of a host path. An absolute host path ("/home/ann") becomes a path on
// Z: ("Z:\home\ann"); a relative one is taken from the process's current folder first ("" when
// that folder has been removed or is out of reach). Name bytes that cannot stand in a
// path-space name are escaped.
std::string PathFromHost(std::string_view hostPath);

// The path-space spelling of one host file name (no separators): escapes applied to every
// byte of a sequence that is not valid UTF-8 (an encoded surrogate included), to control
// characters and to "\"; valid UTF-8 passes through unchanged.
std::string NameFromHost(std::string_view hostName);

// The host bytes of one path-space name: every escape code point becomes its byte.
std::string HostName(std::string_view name);

// The URL of a path-space path, from its text alone (nothing is looked up): a file URL for a
// drive or share path ("file:///C:/a.txt", "file://srv/shr/a.txt"; on POSIX a path on Z: names
// the host file, "file:///home/ann/a.txt"); any other text (a relative path) stays a relative
// reference with "/" for "\". Characters are not encoded; escape code points stay as they are.
std::string FileUrlOf(std::string_view path);

// The process's current folder in the path space ("Z:\work\main"); "" when it has been removed
// or is out of reach, so that nothing is resolved against it.
std::string ProcessCurrentFolder();

// The current folder of a drive ("C:"): the process's current folder for the drive that holds
// it ("" when that is unknown, see ProcessCurrentFolder), the drive's recorded current folder
// for a mapped drive (its root unless a test set another), and the root ("D:\") for any other
// drive. Never ends in "\" except at the root.
std::string DriveCurrentFolder(char driveLetter);

// Test hooks. They change process-wide state and are meant for single-threaded tests only.
// Maps drive letter (either case) onto a host folder; its current folder becomes its root.
void MapDriveForTesting(char driveLetter, std::string hostFolder);
// Maps the share \\server\share (names compared ignoring ASCII case) onto a host folder.
void MapShareForTesting(std::string server, std::string share, std::string hostFolder);
// Sets the current folder of a mapped drive (a full path-space path on that drive).
void SetDriveCurrentFolderForTesting(char driveLetter, std::string folder);
// Removes every mapping made by the hooks above.
void ClearMappingsForTesting();

}  // namespace folvane

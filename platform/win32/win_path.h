#pragma once
// Path-space paths as the Windows API takes them, Windows backend only.
//
// The backend hands the API the "\\?\" form of every path ("\\?\C:\a", "\\?\UNC\srv\shr\a"),
// which has no MAX_PATH limit and takes every name literally: no component is reinterpreted
// ("CON" is a file, trailing dots and blanks stay), and "/" is no separator. Because the API
// then does no normalisation, the backend does it first, by the rules Windows applies to
// ordinary paths: repeated "\" count as one, "." stays and ".." climbs, never above the root.

#include <optional>
#include <string>
#include <string_view>

namespace folvane {

// The Windows path that a full path-space path stands for: a drive or share mapped by a test
// is replaced by its host folder; components are normalised (see above) and a final "\" is
// kept. nullopt when the path is not absolute ("C:", "C:x", "x", "\x"), names the device
// namespace ("\\.\", "\\?\"), or a component holds "/" or a NUL.
std::optional<std::string> WindowsPathOf(std::string_view path);

// The "\\?\" form of a Windows path as WindowsPathOf gives it.
std::wstring ExtendedForm(std::string_view windowsPath);

// WindowsPathOf in the "\\?\" form; nullopt where WindowsPathOf gives nullopt.
std::optional<std::wstring> ExtendedPathOf(std::string_view path);

// WindowsPathOf in the ordinary form when it is shorter than MAX_PATH, else in the "\\?\"
// form: for the few calls (the shell, the version and volume queries) that are documented for
// ordinary paths.
std::optional<std::wstring> ApiPathOf(std::string_view path);

// A path the API returned, without any "\\?\" or "\\?\UNC\" prefix, as program text.
std::string PathFromWide(std::wstring_view path);

// The folder that holds the last component of an extended path, without a final "\"
// ("\\?\C:" for "\\?\C:\a"); "" for a root.
std::wstring ParentOfExtended(std::wstring_view path);

}  // namespace folvane

#pragma once
// The folder browser, and the translation of paths between the program's path space and the
// host paths that Qt's dialogs and drops deal in.

#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

class QWidget;

namespace folvane {

// Lets the person choose a folder, starting at initialFolder (a path-space path; the process's
// current folder when ""; its nearest existing ancestor when it does not exist). Returns the
// chosen folder as a path-space path, or "" when the browser was cancelled. flags are the
// caller's browser bits: the browser offers file-system folders only, as they ask.
std::string FolderSelect(QWidget* owner, const std::string& title, const std::string& initialFolder,
                         uint32_t flags);

// The host folder a chooser starts in for a path-space folder: the folder itself when it
// exists, else its nearest existing ancestor; "" when none exists on the host.
std::string HostStartFolder(std::string_view folder);

// The path-space form of a host path that Qt reports; "" for "".
std::string PathFromQtHost(const QString& hostPath);

// The host path of a path-space path; "" when it does not map onto the host.
QString QtHostPathOf(std::string_view path);

}  // namespace folvane

#pragma once
// The bridge from the registry's folder verbs to the desktop's file managers, POSIX backend
// only. A verb (the key Directory\Shell\<verb> or Drive\Shell\<verb>) becomes two files in the
// user's data folder: a desktop entry applications/folvane-<id>.desktop, which file managers
// offer among the programs that open a folder, and a KDE service menu
// kio/servicemenus/folvane-<id>.desktop, which Dolphin shows in the context menu itself.

#include <string>
#include <string_view>
#include <vector>

namespace folvane {

// One verb as the registry holds it: its key name, its caption (may hold "&" access keys) and
// its command in the path space ("\"Z:\usr\bin\folvane\" \"%1\"").
struct FolderVerb {
    std::string verb;
    std::string caption;
    std::string command;
};

// Makes the folvane-*.desktop files below dataFolder (a path-space folder such as
// "Z:\home\ann\.local\share") match verbs: writes the two files of every verb whose caption and
// command can be expressed, and deletes every other folvane-*.desktop file there. Files of
// other programs are never touched. Failures are silent: the registry works without the bridge.
void SyncDesktopEntries(std::string_view dataFolder, const std::vector<FolderVerb>& verbs);

}  // namespace folvane

#pragma once
// The entries of one folder from a find query, Windows backend only. The folder is named by
// its extended path; a walk that holds folders open by handle names each one by the extended
// path of the folder it came from and its own name, so no path is ever re-resolved from text.

#include <windows.h>

#include <string>

#include "platform/file_system.h"
#include "platform/win32/handles.h"

namespace folvane {

class FolderListing {
  public:
    // Starts the query over the folder at extendedFolder (a link to a folder lists its
    // target); false when it is no folder or cannot be listed.
    bool Open(const std::wstring& extendedFolder);
    // The next entry with its facts; false at the end and when the query fails.
    bool Next(FolderItem& item);
    bool Close();

  private:
    FindHandle find_;
    WIN32_FIND_DATAW pending_{};
    bool hasPending_ = false;
    std::wstring folder_;  // extended, with a final "\"
};

}  // namespace folvane

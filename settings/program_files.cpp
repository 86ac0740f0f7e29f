#include "settings/program_files.h"

#include "settings/path_utils.h"

namespace folvane {

std::string InstalledDataFolder(std::string_view executableFolder) {
    const std::string folder = WithoutBackslash(executableFolder);
    const std::string prefix = ParentFolder(folder);
    // A drive root, or a text without a drive part, has no prefix above it.
    if (prefix.empty() || prefix.size() >= folder.size()) return "";
    const std::string data = WithBackslash(prefix) + "share\\folvane\\";
    return IsFolder(data + std::string(kTemplateFolderName)) ? data : "";
}

}  // namespace folvane

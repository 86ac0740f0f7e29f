#include "platform/root_text.h"

namespace folvane {

std::string RootFromText(std::string_view path) {
    if (path.starts_with("\\\\")) {
        const std::size_t serverEnd = path.find('\\', 2);
        if (serverEnd == std::string_view::npos) return std::string(path);
        const std::size_t shareEnd = path.find('\\', serverEnd + 1);
        if (shareEnd == std::string_view::npos) return std::string(path);
        return std::string(path.substr(0, shareEnd + 1));
    }
    if (path.ends_with(':')) return std::string(path) + "\\";
    const std::size_t colon = path.find(':');
    if (colon == std::string_view::npos) return std::string(path.substr(0, 1));
    return std::string(path.substr(0, colon + 2));
}

}  // namespace folvane

#include "platform/person_path.h"

namespace folvane {

// On Windows a person reads and types the path space itself.

std::string PathForPerson(std::string_view path) {
    return std::string(path);
}

std::string PathFromPerson(std::string_view typed) {
    return std::string(typed);
}

bool SlashStartsHostPaths() {
    return false;
}

}  // namespace folvane

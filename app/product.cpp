#include "app/product.h"

#include "platform/process.h"

namespace folvane {

// The build chooses the platform's name (FOLVANE_PRODUCT_NAME), so no code here asks which
// system it runs on.
const std::string_view kProductName = FOLVANE_PRODUCT_NAME;

std::string VersionText(int major, int minor, int revision) {
    std::string text = " Version " + std::to_string(major) + "." + std::to_string(minor);
    if (revision != 0) text += "." + std::to_string(revision);
    return text;
}

std::string OwnProgramPath() {
    return ExecutablePath();
}

}  // namespace folvane

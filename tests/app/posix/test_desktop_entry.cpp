#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/context_menu.h"
#include "platform/registry.h"
#include "tests/support/temp_dir.h"

namespace folvane {
namespace {

// On Linux desktops the context-menu entry is also a desktop entry that opens folders, made
// and removed with the registry's verbs.
TEST(ContextMenuTest, TheDesktopEntryFollowsTheRegistryVerbs) {
    testing::TempDir home;
    SetRegistryHomeForTesting(home.host().string());
    const std::filesystem::path entry = home.host(".local/share/applications/folvane-folvane.desktop");
    Settings settings;
    settings.ShortCutMenuFlg = true;
    ShortCutMenuUpdate(settings, "");
    EXPECT_FALSE(std::filesystem::exists(entry));

    ShortCutMenuUpdate(settings, "Z:\\opt\\my tools\\folvane");
    std::ostringstream text;
    text << std::ifstream(entry, std::ios::binary).rdbuf();
    EXPECT_NE(text.str().find("\nExec=\"/opt/my tools/folvane\" %f\n"), std::string::npos) << text.str();

    settings.ShortCutMenuFlg = false;
    ShortCutMenuUpdate(settings, "Z:\\opt\\my tools\\folvane");
    EXPECT_FALSE(std::filesystem::exists(entry));
    SetRegistryHomeForTesting("");
}

}  // namespace
}  // namespace folvane

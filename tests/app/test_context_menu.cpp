#include "app/context_menu.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/path_space.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "tests/support/temp_dir.h"

namespace folvane {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kProgram = "Z:\\opt\\my tools\\folvane";

TEST(ContextMenuTest, StartCommandQuotesTheProgramAndTheFolder) {
    EXPECT_EQ(StartCommand(kProgram), "\"Z:\\opt\\my tools\\folvane\" \"%1\"");
    // The running program's own path names a file that exists, with no ".exe" made up.
    const std::string self = ExecutablePath();
    ASSERT_TRUE(HostPathOf(self).has_value()) << self;
    EXPECT_TRUE(fs::is_regular_file(*HostPathOf(self))) << self;
}

// The registry and the desktop entry live below a temporary home.
TEST(ContextMenuTest, OnWritesOrReplacesTheEntryAndOffDeletesOnlyTheVerbs) {
    testing::TempDir home;
    SetRegistryHomeForTesting(home.host().string());
    const auto get = [](std::string_view key) {
        return RegValueGet(RegistryRoot::ClassesRoot, key, "", kRegString, "(none)");
    };
    const auto read = [&](const char* file) {
        std::ostringstream bytes;
        bytes << std::ifstream(home.host(std::string(".local/share/") + file), std::ios::binary).rdbuf();
        return bytes.str();
    };
    // Off without keys, and on without a program, change nothing.
    Settings settings;
    settings.ShortCutMenuFlg = false;
    ShortCutMenuUpdate(settings, kProgram);
    const std::string fresh = read("folvane/registry.ini");
    EXPECT_EQ(fresh.find("Shell"), std::string::npos);
    EXPECT_FALSE(fs::exists(home.host(".local/share/applications")));
    settings.ShortCutMenuFlg = true;
    ShortCutMenuUpdate(settings, "");
    EXPECT_EQ(read("folvane/registry.ini"), fresh);

    RegValueSet(RegistryRoot::ClassesRoot, "Directory\\Shell\\Folvane", "", kRegString, "old caption");
    RegValueSet(RegistryRoot::ClassesRoot, "Drive\\Shell\\Folvane\\command", "", kRegString,
                "\"Z:\\old\" \"%1\"");
    ShortCutMenuUpdate(settings, kProgram);
    const char* keys[] = {"Directory\\Shell\\Folvane", "Directory\\Shell\\Folvane\\command",
                          "Drive\\Shell\\Folvane", "Drive\\Shell\\Folvane\\command"};
    std::string values;
    for (const char* key : keys)
        values += get(key) + "|";
    const std::string command = "\"Z:\\opt\\my tools\\folvane\" \"%1\"";
    EXPECT_EQ(values, "フォルダ リスト(&L)|" + command + "|フォルダ リスト(&L)|" + command + "|");
    EXPECT_NE(read("applications/folvane-folvane.desktop").find("\nExec=\"/opt/my tools/folvane\" %f\n"),
              std::string::npos);

    settings.ShortCutMenuFlg = false;
    ShortCutMenuUpdate(settings, kProgram);
    for (const char* key : keys)
        EXPECT_EQ(get(key), "(none)") << key;
    EXPECT_EQ(get("Directory\\Shell") + "|" + get("Directory"), "|ファイル フォルダー");
    EXPECT_FALSE(fs::exists(home.host(".local/share/applications/folvane-folvane.desktop")));

    EXPECT_TRUE(ShortCutMenuAvailable());  // while the folder class can be read
    RegValueSet(RegistryRoot::ClassesRoot, "Directory", "", kRegString, "");
    EXPECT_FALSE(ShortCutMenuAvailable());
    SetRegistryHomeForTesting("");
}

}  // namespace
}  // namespace folvane

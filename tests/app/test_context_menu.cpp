#include "app/context_menu.h"

#include <gtest/gtest.h>

#include <filesystem>

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

// The registry lives below a temporary home (a key of the test's own on Windows).
TEST(ContextMenuTest, OnWritesOrReplacesTheEntryAndOffDeletesOnlyTheVerbs) {
    testing::TempDir home;
    SetRegistryHomeForTesting(testing::Utf8OfHostPath(home.host()));
    const auto get = [](std::string_view key) {
        return RegValueGet(RegistryRoot::ClassesRoot, key, "", kRegString, "(none)");
    };
    const char* keys[] = {"Directory\\Shell\\Folvane", "Directory\\Shell\\Folvane\\command",
                          "Drive\\Shell\\Folvane", "Drive\\Shell\\Folvane\\command"};
    // The folder class as the system describes it.
    ASSERT_TRUE(RegValueSet(RegistryRoot::ClassesRoot, "Directory", "", kRegString, "ファイル フォルダー"));
    // Off without keys, and on without a program, change nothing.
    Settings settings;
    settings.ShortCutMenuFlg = false;
    ShortCutMenuUpdate(settings, kProgram);
    settings.ShortCutMenuFlg = true;
    ShortCutMenuUpdate(settings, "");
    for (const char* key : keys)
        EXPECT_EQ(get(key), "(none)") << key;

    RegValueSet(RegistryRoot::ClassesRoot, "Directory\\Shell\\Folvane", "", kRegString, "old caption");
    RegValueSet(RegistryRoot::ClassesRoot, "Drive\\Shell\\Folvane\\command", "", kRegString,
                "\"Z:\\old\" \"%1\"");
    ShortCutMenuUpdate(settings, kProgram);
    std::string values;
    for (const char* key : keys)
        values += get(key) + "|";
    const std::string command = "\"Z:\\opt\\my tools\\folvane\" \"%1\"";
    EXPECT_EQ(values, "フォルダ リスト(&L)|" + command + "|フォルダ リスト(&L)|" + command + "|");

    settings.ShortCutMenuFlg = false;
    ShortCutMenuUpdate(settings, kProgram);
    for (const char* key : keys)
        EXPECT_EQ(get(key), "(none)") << key;
    EXPECT_EQ(get("Directory\\Shell") + "|" + get("Directory"), "|ファイル フォルダー");

    EXPECT_TRUE(ShortCutMenuAvailable());  // while the folder class can be read
    RegValueSet(RegistryRoot::ClassesRoot, "Directory", "", kRegString, "");
    EXPECT_FALSE(ShortCutMenuAvailable());
    SetRegistryHomeForTesting("");
}

}  // namespace
}  // namespace folvane

// The context-menu entry: the start command, the registry keys written and deleted by
// ShortCutMenuUpdate, and the availability probe.

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

constexpr auto kRoot = RegistryRoot::ClassesRoot;
constexpr std::string_view kProgram = "Z:\\opt\\my tools\\folvane";

std::string Content(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string Get(std::string_view key) {
    return RegValueGet(kRoot, key, "", kRegString, "(none)");
}

class ContextMenuTest : public ::testing::Test {
  protected:
    void SetUp() override { SetRegistryHomeForTesting(dir_.host().string()); }
    void TearDown() override { SetRegistryHomeForTesting(""); }

    fs::path StoreFile() const { return dir_.host(".local/share/folvane/registry.ini"); }
    fs::path Application() const { return dir_.host(".local/share/applications/folvane-folvane.desktop"); }

    testing::TempDir dir_;
};

TEST(StartCommandTest, QuotesTheProgramAndTheFolder) {
    EXPECT_EQ(StartCommand("D:\\Tools\\Folvane.exe"), "\"D:\\Tools\\Folvane.exe\" \"%1\"");
    EXPECT_EQ(StartCommand(kProgram), "\"Z:\\opt\\my tools\\folvane\" \"%1\"");
    // The running program's own path names a file that exists, with no ".exe" made up.
    const std::string self = ExecutablePath();
    const auto host = HostPathOf(self);
    ASSERT_TRUE(host.has_value()) << self;
    EXPECT_TRUE(fs::is_regular_file(*host)) << *host;
    EXPECT_EQ(StartCommand(self), "\"" + self + "\" \"%1\"");
}

TEST_F(ContextMenuTest, OnReplacesAnOldEntryAndOffDeletesOnlyTheVerbs) {
    RegValueSet(kRoot, "Directory\\Shell\\Folvane", "", kRegString, "old caption");
    RegValueSet(kRoot, "Drive\\Shell\\Folvane\\command", "", kRegString, "\"Z:\\old\" \"%1\"");
    Settings settings;
    ShortCutMenuUpdate(settings, kProgram);
    const char* keys[] = {"Directory\\Shell\\Folvane", "Directory\\Shell\\Folvane\\command",
                          "Drive\\Shell\\Folvane", "Drive\\Shell\\Folvane\\command"};
    const std::string command = "\"Z:\\opt\\my tools\\folvane\" \"%1\"";
    const std::string written[] = {"フォルダ リスト(&L)", command, "フォルダ リスト(&L)", command};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Get(keys[i]), written[i]) << keys[i];
    EXPECT_NE(Content(Application()).find("\nExec=\"/opt/my tools/folvane\" %f\n"), std::string::npos);

    settings.ShortCutMenuFlg = false;
    ShortCutMenuUpdate(settings, kProgram);
    for (const char* key : keys)
        EXPECT_EQ(Get(key), "(none)") << key;
    EXPECT_EQ(Get("Directory\\Shell"), "");
    EXPECT_EQ(Get("Directory"), "ファイル フォルダー");
    EXPECT_FALSE(fs::exists(Application()));
}

TEST_F(ContextMenuTest, OffWithoutKeysAndOnWithoutAProgramChangeNothing) {
    Settings settings;
    settings.ShortCutMenuFlg = false;
    ShortCutMenuUpdate(settings, kProgram);
    const std::string fresh = Content(StoreFile());
    EXPECT_EQ(fresh.find("Shell"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir_.host(".local/share/applications")));

    settings.ShortCutMenuFlg = true;
    ShortCutMenuUpdate(settings, "");
    EXPECT_EQ(Content(StoreFile()), fresh);
}

TEST_F(ContextMenuTest, AvailableWhenTheFolderClassCanBeRead) {
    EXPECT_TRUE(ShortCutMenuAvailable());
    RegValueSet(kRoot, "Directory", "", kRegString, "");
    EXPECT_FALSE(ShortCutMenuAvailable());
}

}  // namespace
}  // namespace folvane

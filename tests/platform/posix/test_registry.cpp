#include "platform/registry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/support/temp_dir.h"

namespace folvane {
namespace {

namespace fs = std::filesystem;

constexpr auto kRoot = RegistryRoot::ClassesRoot;
const std::string kFallback = "(fallback)";
const std::string kVerbFile = "folvane-folvane.desktop";

std::string Content(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Get(std::string_view key, std::string_view name = "", int type = kRegString) {
    return RegValueGet(kRoot, key, name, type, kFallback);
}

bool Set(std::string_view key, std::string_view name, std::string_view text) {
    return RegValueSet(kRoot, key, name, kRegString, text);
}

bool SetVerb(const std::string& shell, std::string_view caption, std::string_view command) {
    return Set(shell + "\\Folvane", "", caption) && Set(shell + "\\Folvane\\command", "", command);
}

class RegistryTest : public ::testing::Test {
  protected:
    void SetUp() override { SetRegistryHomeForTesting(dir_.host().string()); }
    void TearDown() override { SetRegistryHomeForTesting(""); }
    fs::path App(const std::string& n) const { return dir_.host(".local/share/applications/" + n); }
    fs::path Menu(const std::string& n) const { return dir_.host(".local/share/kio/servicemenus/" + n); }
    testing::TempDir dir_;
};

TEST_F(RegistryTest, ValuesAndKeysFollowTheRegistryRules) {
    // A fresh store holds the class keys; a missing key or another type gives the fallback.
    EXPECT_EQ(Get("Directory") + "|" + Get("Missing") + "|" + Get("Directory", "", kRegNumber) + "|" +
                  Get("Directory", "Other"),
              "ファイル フォルダー|" + kFallback + "|" + kFallback + "|");
    // Parents are created; names ignore ASCII case; a text ends at a NUL.
    ASSERT_TRUE(Set("A\\B\\C", "Nul", std::string("ab\0cd", 5)));
    ASSERT_TRUE(RegValueSet(kRoot, "A\\B\\C", "Count", kRegNumber, "", 4294967295u));
    EXPECT_EQ(Get("a\\b\\c", "nUL") + "|" + Get("A\\B") + "|" + Get("a\\B\\c", "COUNT", kRegNumber),
              "ab||4294967295");
    // Other types and malformed paths change nothing.
    EXPECT_FALSE(RegValueSet(kRoot, "A\\X", "", 3, "x") || Set("A\\\\X", "", "x"));
    EXPECT_EQ(Get("A\\X"), kFallback);
    // A key with a sub-key stays; a missing parent or sub-key fails.
    EXPECT_FALSE(RegKeyDelete(kRoot, "A", "B"));
    EXPECT_TRUE(RegKeyDelete(kRoot, "a\\B", "c"));
    EXPECT_FALSE(RegKeyDelete(kRoot, "A\\B", "C") || RegKeyDelete(kRoot, "Nope", "C") ||
                 RegKeyDelete(kRoot, "A", ""));
    EXPECT_TRUE(RegKeyDelete(kRoot, "A", "B"));
    EXPECT_EQ(Get("A\\B"), kFallback);
}

TEST_F(RegistryTest, StoreKeepsFirstSpellingsAndAnyBytesAndIsReadLeniently) {
    const std::string awkward = " 100% a=b;[c]\n\r\t\xff\xed\xa0\x80 ";
    ASSERT_TRUE(Set("Directory\\Shell\\Folvane", "", "x") && Set("DIRECTORY\\SHELL\\FOLVANE", "", "y"));
    ASSERT_TRUE(RegValueSet(kRoot, "Directory\\shell\\folvane", "N=a;[", kRegNumber, "", 1));
    ASSERT_TRUE(Set("Directory\\Shell\\Folvane", "n=A;[", awkward));  // replaces the number
    ASSERT_TRUE(RegValueSet(kRoot, "Directory\\Shell\\Folvane", "Count", kRegNumber, "", 7));
    EXPECT_EQ(Get("directory\\shell\\folvane", "n=a;["), awkward);
    EXPECT_EQ(Content(dir_.host(".local/share/folvane/registry.ini")),
              "; Folvane's registry: [key] below HKEY_CLASSES_ROOT, then name=sz:text or name=dword:number.\n"
              "[Directory]\n=sz:ファイル フォルダー\n[Directory\\Shell]\n[Directory\\Shell\\Folvane]\n=sz:y\n"
              "N%3Da%3B%5B=sz: 100%25 a=b;[c]%0A%0D%09%FF%ED%A0%80 \nCount=dword:7\n[Drive]\n=sz:ドライブ\n");

    dir_.WriteFile(
        ".local/share/folvane/registry.ini",
        "; comment\r\nstray=sz:before any key\r\n[Directory]\r\n=sz:Folders\r\nbroken\r\n"
        "n=dword:12x\r\nm=dword:4294967296\r\n[A\\\\B]\r\nx=sz:lost\r\n[Deep\\Key]\r\n%41=sz:%4\r\n");
    EXPECT_EQ(Get("Directory"), "Folders");
    EXPECT_EQ(Get("Directory", "n", kRegNumber) + Get("Directory", "m", kRegNumber), kFallback + kFallback);
    EXPECT_EQ(Get("Deep"), "");  // the parents of a listed key exist
    EXPECT_EQ(Get("deep\\key", "a"), "%4");
    EXPECT_EQ(Get("Drive"), kFallback);  // only a new store gets the class keys
}

TEST_F(RegistryTest, StoreLivesInTheUserDataFolderAndFailsEveryCallWhenUnusable) {
    SetRegistryHomeForTesting("");
    const std::string old = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
    setenv("XDG_DATA_HOME", dir_.host("data").c_str(), 1);
    EXPECT_TRUE(Set("Directory\\Shell\\Folvane", "", "x"));
    old.empty() ? unsetenv("XDG_DATA_HOME") : setenv("XDG_DATA_HOME", old.c_str(), 1);
    EXPECT_NE(Content(dir_.host("data/folvane/registry.ini")).find("[Directory\\Shell\\Folvane]\n=sz:x\n"),
              std::string::npos);
    // A folder where the store should be, or a file where its folders should be.
    for (const char* blocker : {".local/share/folvane/registry.ini/", ".local"}) {
        testing::TempDir home;
        SetRegistryHomeForTesting(home.host().string());
        std::string_view(blocker).ends_with('/') ? home.MakeFolder(blocker) : home.WriteFile(blocker, "x");
        EXPECT_EQ(Get("Directory"), kFallback) << blocker;
        EXPECT_FALSE(Set("Directory\\Shell\\Folvane", "", "x") || RegKeyDelete(kRoot, "", "Directory"))
            << blocker;
    }
}

TEST_F(RegistryTest, FolderVerbsBecomeDesktopFilesThatFollowTheKeysAndLeaveOthersAlone) {
    dir_.WriteFile(".local/share/applications/other.desktop", "theirs");
    dir_.WriteFile(".local/share/applications/folvane-stale.desktop", "old");
    ASSERT_TRUE(SetVerb("Directory\\Shell", "フォルダ リスト(&L)", "\"Z:\\opt\\my tools\\folvane\" \"%1\""));
    EXPECT_EQ(
        Content(App(kVerbFile)),
        "[Desktop Entry]\nType=Application\nName=フォルダ リスト(L)\nExec=\"/opt/my tools/folvane\" %f\n"
        "MimeType=inode/directory;\nNoDisplay=true\nTerminal=false\n");
    EXPECT_EQ(Content(Menu(kVerbFile)),
              "[Desktop Entry]\nType=Service\nMimeType=inode/directory;\nActions=folvane;\n"
              "X-KDE-Priority=TopLevel\n\n[Desktop Action folvane]\nName=フォルダ リスト(L)\n"
              "Exec=\"/opt/my tools/folvane\" %f\n");
    EXPECT_NE(fs::status(Menu(kVerbFile)).permissions() & fs::perms::owner_exec, fs::perms::none);
    EXPECT_FALSE(fs::exists(App("folvane-stale.desktop")));
    // Directory and Drive stand for the same folders here: the Directory verb wins.
    ASSERT_TRUE(SetVerb("Drive\\Shell", "Drive", "\"Z:\\f\" \"%1\""));
    ASSERT_TRUE(Set("Drive\\Shell\\Go-To", "", "Go") && Set("Drive\\Shell\\Go-To\\Command", "", "\"Z:\\g\""));
    EXPECT_NE(Content(App(kVerbFile)).find("Name=フォルダ リスト(L)\n"), std::string::npos);
    EXPECT_NE(Content(Menu("folvane-go-2dto.desktop")).find("Actions=go-2dto;"), std::string::npos);
    ASSERT_TRUE(RegKeyDelete(kRoot, "Directory\\Shell\\Folvane", "command"));
    EXPECT_NE(Content(App(kVerbFile)).find("Name=Drive\n"), std::string::npos);
    ASSERT_TRUE(RegKeyDelete(kRoot, "Drive\\Shell\\Folvane", "command"));
    ASSERT_TRUE(RegKeyDelete(kRoot, "Drive\\Shell\\Go-To", "command"));
    for (const std::string& name : {kVerbFile, std::string("folvane-go-2dto.desktop")})
        EXPECT_FALSE(fs::exists(App(name)) || fs::exists(Menu(name))) << name;
    EXPECT_EQ(Content(App("other.desktop")), "theirs");
    // A desktop file removed by hand comes back with the next write, even an unchanged one.
    ASSERT_TRUE(SetVerb("Directory\\Shell", "Dir", "\"Z:\\f\" \"%1\""));
    fs::remove(Menu(kVerbFile));
    ASSERT_TRUE(SetVerb("Directory\\Shell", "Dir", "\"Z:\\f\" \"%1\""));
    EXPECT_TRUE(fs::exists(Menu(kVerbFile)));
}

TEST_F(RegistryTest, DesktopEntriesAreEscaped) {
    const struct {
        std::string caption, command, name, exec;  // "" name: no files
    } cases[] = {{"A && B&", "\"Z:\\opt\\a$b%c`d\\f\" \"%1\"", "A & B", "\"/opt/a\\\\$b%%c\\\\`d/f\" %f"},
                 {" lead\ttab\x01", "\"Z:\\f\" /x \"a b\" \"%1\"", "\\slead\\ttab", "\"/f\" /x \"a b\" %f"},
                 {"", "\"Z:\\f\" \"%1\"", "Folvane", "\"/f\" %f"},  // the verb's own name
                 {"\xff", "\"Z:\\f\" \"%1\"", "\xef\xbf\xbd", "\"/f\" %f"},
                 {"Unmapped", "\"Q:\\Tools\\Folvane.exe\" \"%1\"", "", ""}};
    for (const auto& c : cases) {
        ASSERT_TRUE(SetVerb("Directory\\Shell", c.caption, c.command));
        const std::string text = Content(App(kVerbFile));
        EXPECT_EQ(fs::exists(App(kVerbFile)) + fs::exists(Menu(kVerbFile)), c.name.empty() ? 0 : 2)
            << c.caption;
        if (c.name.empty()) continue;
        EXPECT_NE(text.find("\nName=" + c.name + "\nExec=" + c.exec + "\n"), std::string::npos) << text;
    }
}

}  // namespace
}  // namespace folvane

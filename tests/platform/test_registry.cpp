// The registry store of our own: value and key semantics, the file it keeps, a store that
// cannot be used, and the desktop files mirrored from the folder verbs.

#include "platform/registry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/temp_dir.h"

namespace folvane {
namespace {

namespace fs = std::filesystem;

constexpr auto kRoot = RegistryRoot::ClassesRoot;
constexpr std::string_view kFallback = "(fallback)";

std::string Content(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class RegistryTest : public ::testing::Test {
  protected:
    void SetUp() override { SetRegistryHomeForTesting(dir_.host().string()); }
    void TearDown() override { SetRegistryHomeForTesting(""); }

    fs::path StoreFile() const { return dir_.host(".local/share/folvane/registry.ini"); }
    fs::path Application(std::string_view name) const {
        return dir_.host(".local/share/applications/" + std::string(name));
    }
    fs::path ServiceMenu(std::string_view name) const {
        return dir_.host(".local/share/kio/servicemenus/" + std::string(name));
    }
    static std::string Get(std::string_view key, std::string_view name = "", int type = kRegString) {
        return RegValueGet(kRoot, key, name, type, kFallback);
    }
    static bool SetVerb(std::string_view shell, std::string_view caption, std::string_view command) {
        const std::string verb = std::string(shell) + "\\Folvane";
        return RegValueSet(kRoot, verb, "", kRegString, caption) &&
               RegValueSet(kRoot, verb + "\\command", "", kRegString, command);
    }

    testing::TempDir dir_;
};

const char* Flag(bool ok) {
    return ok ? "1" : "0";
}

TEST_F(RegistryTest, ValuesAndKeysFollowTheRegistryRules) {
    const std::string fallback(kFallback);
    const struct {
        char op;  // S set text, N set number, X set another type, g get text, n get number, D delete
        std::string key, name, data;
        std::string expected;  // "1"/"0" for set and delete, the text for get
    } steps[] = {
        // A fresh store holds the class keys the probe reads.
        {'g', "Directory", "", "", "ファイル フォルダー"},
        {'g', "Missing", "", "", fallback},    // the key cannot be opened
        {'g', "Directory", "Other", "", ""},   // a missing text of an existing key
        {'n', "Directory", "", "", fallback},  // a value of the other type
        // Missing parents are created; keys and value names ignore ASCII case.
        {'S', "A\\B\\C", "", "text", "1"},
        {'g', "a\\b\\c", "", "", "text"},
        {'g', "A\\B", "", "", ""},
        {'N', "A\\B\\C", "Count", "4294967295", "1"},
        {'n', "a\\B\\c", "COUNT", "", "4294967295"},
        {'S', "A\\b\\C", "", "new", "1"},
        {'g', "A\\B\\C", "", "", "new"},
        {'S', "A\\B\\C", "Nul", std::string("ab\0cd", 5), "1"},
        {'g', "A\\B\\C", "Nul", "", "ab"},
        // Other types and malformed paths change nothing.
        {'X', "A\\X", "", "x", "0"},
        {'g', "A\\X", "", "", fallback},
        {'S', "A\\\\X", "", "x", "0"},
        // A key with a sub-key stays; a missing parent or sub-key fails.
        {'D', "A", "B", "", "0"},
        {'D', "a\\B", "c", "", "1"},
        {'D', "A\\B", "C", "", "0"},
        {'D', "Nope", "C", "", "0"},
        {'D', "A", "", "", "0"},
        {'D', "A", "B", "", "1"},
        {'g', "A\\B", "", "", fallback},
        {'g', "A", "", "", ""},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.key + " / " + step.name + " / " + step.data);
        std::string result;
        if (step.op == 'S') result = Flag(RegValueSet(kRoot, step.key, step.name, kRegString, step.data));
        if (step.op == 'N')
            result = Flag(RegValueSet(kRoot, step.key, step.name, kRegNumber, "", std::stoul(step.data)));
        if (step.op == 'X') result = Flag(RegValueSet(kRoot, step.key, step.name, 3, step.data));
        if (step.op == 'g') result = Get(step.key, step.name);
        if (step.op == 'n') result = Get(step.key, step.name, kRegNumber);
        if (step.op == 'D') result = Flag(RegKeyDelete(kRoot, step.key, step.name));
        EXPECT_EQ(result, step.expected);
    }
    EXPECT_EQ(Get("Directory", "", 2), kFallback);
}

TEST_F(RegistryTest, StoreKeepsFirstSpellingsAndAnyBytes) {
    const std::string awkward = " 100% a=b;[c]\n\r\t\xff\xed\xa0\x80 ";
    ASSERT_TRUE(RegValueSet(kRoot, "Directory\\Shell\\Folvane", "", kRegString, "x"));
    ASSERT_TRUE(RegValueSet(kRoot, "DIRECTORY\\SHELL\\FOLVANE", "", kRegString, "y"));
    ASSERT_TRUE(RegValueSet(kRoot, "Directory\\shell\\folvane", "N=a;[", kRegString, awkward));
    ASSERT_TRUE(RegValueSet(kRoot, "Directory\\Shell\\Folvane", "n=A;[", kRegNumber, "", 7));
    EXPECT_EQ(Content(StoreFile()),
              "; Folvane's registry: [key] below HKEY_CLASSES_ROOT, then name=sz:text or name=dword:number.\n"
              "[Directory]\n=sz:ファイル フォルダー\n"
              "[Directory\\Shell]\n"
              "[Directory\\Shell\\Folvane]\n=sz:y\nN%3Da%3B%5B=dword:7\n"
              "[Drive]\n=sz:ドライブ\n");
    ASSERT_TRUE(RegValueSet(kRoot, "Directory\\Shell\\Folvane", "N=a;[", kRegString, awkward));
    EXPECT_EQ(Get("directory\\shell\\folvane", "n=a;["), awkward);
    EXPECT_NE(Content(StoreFile()).find("N%3Da%3B%5B=sz: 100%25 a=b;[c]%0A%0D%09%FF%ED%A0%80 \n"),
              std::string::npos);
}

TEST_F(RegistryTest, HandWrittenStoreIsReadLeniently) {
    dir_.WriteFile(
        ".local/share/folvane/registry.ini",
        "; comment\r\nstray=sz:before any key\r\n[Directory]\r\n=sz:Folders\r\nbroken\r\n"
        "n=dword:12x\r\nm=dword:4294967296\r\n[A\\\\B]\r\nx=sz:lost\r\n[Deep\\Key]\r\n%41=sz:%4\r\n");
    EXPECT_EQ(Get("Directory"), "Folders");
    EXPECT_EQ(Get("Directory", "n", kRegNumber) + Get("Directory", "m", kRegNumber), "(fallback)(fallback)");
    EXPECT_EQ(Get("Deep"), "");  // the parents of a listed key exist
    EXPECT_EQ(Get("deep\\key", "a"), "%4");
    EXPECT_EQ(Get("Drive"), kFallback);  // only a new store gets the class keys
}

TEST_F(RegistryTest, UnusableStoreFailsEveryCall) {
    for (const char* blocker : {".local/share/folvane/registry.ini/", ".local"}) {
        SCOPED_TRACE(blocker);
        testing::TempDir home;
        SetRegistryHomeForTesting(home.host().string());
        // A folder where the store should be, or a file where its folders should be.
        std::string_view(blocker).ends_with('/') ? home.MakeFolder(blocker) : home.WriteFile(blocker, "x");
        EXPECT_EQ(Get("Directory"), kFallback);
        EXPECT_FALSE(RegValueSet(kRoot, "Directory\\Shell\\Folvane", "", kRegString, "x"));
        EXPECT_FALSE(RegKeyDelete(kRoot, "", "Directory"));
    }
}

TEST_F(RegistryTest, FolderVerbsBecomeDesktopFiles) {
    ASSERT_TRUE(SetVerb("Directory\\Shell", "フォルダ リスト(&L)", "\"Z:\\opt\\my tools\\folvane\" \"%1\""));
    EXPECT_EQ(
        Content(Application("folvane-folvane.desktop")),
        "[Desktop Entry]\nType=Application\nName=フォルダ リスト(L)\nExec=\"/opt/my tools/folvane\" %f\n"
        "MimeType=inode/directory;\nNoDisplay=true\nTerminal=false\n");
    EXPECT_EQ(Content(ServiceMenu("folvane-folvane.desktop")),
              "[Desktop Entry]\nType=Service\nMimeType=inode/directory;\nActions=folvane;\n"
              "X-KDE-Priority=TopLevel\n\n[Desktop Action folvane]\nName=フォルダ リスト(L)\n"
              "Exec=\"/opt/my tools/folvane\" %f\n");
    const auto perms = fs::status(ServiceMenu("folvane-folvane.desktop")).permissions();
    EXPECT_NE(perms & fs::perms::owner_exec, fs::perms::none);

    // Names and Exec lines are escaped as desktop files require.
    const struct {
        std::string caption, command;
        std::string name, exec;  // "" name: no files
    } cases[] = {
        {"A && B&", "\"Z:\\opt\\a$b%c`d\\f\" \"%1\"", "A & B", "\"/opt/a\\\\$b%%c\\\\`d/f\" %f"},
        {" lead\ttab\x01", "\"Z:\\f\" /x \"a b\" \"%1\"", "\\slead\\ttab", "\"/f\" /x \"a b\" %f"},
        {"", "\"Z:\\f\" \"%1\"", "Folvane", "\"/f\" %f"},  // the verb's own name
        {"\xff", "\"Z:\\f\" \"%1\"", "\xef\xbf\xbd", "\"/f\" %f"},
        {"Unmapped", "\"Q:\\Tools\\Folvane.exe\" \"%1\"", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption + " / " + c.command);
        ASSERT_TRUE(SetVerb("Directory\\Shell", c.caption, c.command));
        const std::string text = Content(Application("folvane-folvane.desktop"));
        if (c.name.empty()) {
            EXPECT_FALSE(fs::exists(Application("folvane-folvane.desktop")));
            EXPECT_FALSE(fs::exists(ServiceMenu("folvane-folvane.desktop")));
            continue;
        }
        EXPECT_NE(text.find("\nName=" + c.name + "\n"), std::string::npos) << text;
        EXPECT_NE(text.find("\nExec=" + c.exec + "\n"), std::string::npos) << text;
    }
}

TEST_F(RegistryTest, DesktopFilesFollowTheKeysAndLeaveOthersAlone) {
    dir_.WriteFile(".local/share/applications/other.desktop", "theirs");
    dir_.WriteFile(".local/share/applications/folvane-stale.desktop", "old");
    ASSERT_TRUE(SetVerb("Directory\\Shell", "Dir", "\"Z:\\f\" \"%1\""));
    ASSERT_TRUE(SetVerb("Drive\\Shell", "Drive", "\"Z:\\f\" \"%1\""));
    ASSERT_TRUE(RegValueSet(kRoot, "Drive\\Shell\\Go-To", "", kRegString, "Go"));
    ASSERT_TRUE(RegValueSet(kRoot, "Drive\\Shell\\Go-To\\Command", "", kRegString, "\"Z:\\g\""));
    EXPECT_FALSE(fs::exists(Application("folvane-stale.desktop")));
    // Directory and Drive stand for the same folders here: the Directory verb wins.
    EXPECT_NE(Content(Application("folvane-folvane.desktop")).find("Name=Dir\n"), std::string::npos);
    EXPECT_NE(Content(ServiceMenu("folvane-go-2dto.desktop")).find("Actions=go-2dto;"), std::string::npos);

    ASSERT_TRUE(RegKeyDelete(kRoot, "Directory\\Shell\\Folvane", "command"));
    EXPECT_NE(Content(Application("folvane-folvane.desktop")).find("Name=Drive\n"), std::string::npos);
    ASSERT_TRUE(RegKeyDelete(kRoot, "Drive\\Shell\\Folvane", "command"));
    ASSERT_TRUE(RegKeyDelete(kRoot, "Drive\\Shell\\Go-To", "command"));
    for (const char* name : {"folvane-folvane.desktop", "folvane-go-2dto.desktop"}) {
        EXPECT_FALSE(fs::exists(Application(name)));
        EXPECT_FALSE(fs::exists(ServiceMenu(name)));
    }
    EXPECT_EQ(Content(Application("other.desktop")), "theirs");

    // A desktop file removed by hand comes back with the next write, even an unchanged one.
    ASSERT_TRUE(SetVerb("Directory\\Shell", "Dir", "\"Z:\\f\" \"%1\""));
    fs::remove(ServiceMenu("folvane-folvane.desktop"));
    ASSERT_TRUE(SetVerb("Directory\\Shell", "Dir", "\"Z:\\f\" \"%1\""));
    EXPECT_TRUE(fs::exists(ServiceMenu("folvane-folvane.desktop")));
}

TEST_F(RegistryTest, StoreLivesInTheUserDataFolder) {
    SetRegistryHomeForTesting("");
    const char* old = std::getenv("XDG_DATA_HOME");
    const std::string saved = old != nullptr ? old : "";
    setenv("XDG_DATA_HOME", dir_.host("data").c_str(), 1);
    const bool written = RegValueSet(kRoot, "Directory\\Shell\\Folvane", "", kRegString, "x");
    old != nullptr ? setenv("XDG_DATA_HOME", saved.c_str(), 1) : unsetenv("XDG_DATA_HOME");
    EXPECT_TRUE(written);
    EXPECT_NE(Content(dir_.host("data/folvane/registry.ini")).find("[Directory\\Shell\\Folvane]\n=sz:x\n"),
              std::string::npos);
}

}  // namespace
}  // namespace folvane

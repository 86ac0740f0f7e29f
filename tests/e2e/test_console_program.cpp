// The console program as a script runs it: arguments in, a listing file and an exit code out.
// Each test runs its own copy of folvane-cli in a temporary folder, so the settings file that
// a normal exit writes beside the executable stays inside the test.

#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/cp932.h"
#include "tests/support/temp_dir.h"

namespace folvane {
namespace {

namespace fs = std::filesystem;

class ConsoleProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::copy_file(FOLVANE_CLI_PATH, dir_.MakeFolder("bin") / "folvane-cli");
        fs::copy(FOLVANE_BASEHTML_DIR, dir_.host("bin/basehtml"), fs::copy_options::recursive);
        fs::copy(FOLVANE_SAMPLES_DIR, dir_.host("samples"), fs::copy_options::recursive);
        // Fixed times make the listed dates predictable.
        for (const auto& entry : fs::recursive_directory_iterator(dir_.host("samples")))
            dir_.SetUpdated(fs::relative(entry.path(), dir_.host()).string(), 1704067200);  // 2024-01-01 UTC
    }

    // Runs the copy of folvane-cli (through launcher, when given) with the arguments in the
    // test's folder (after the shell commands of prelude), with no terminal; keeps its error
    // output in err and returns its exit code.
    int Run(const std::string& arguments, const std::string& launcher = "", const std::string& prelude = "") {
        const std::string root = "'" + dir_.host().string() + "'";
        const int status =
            std::system(("cd " + root + " && " + prelude + launcher + " " + root + "/bin/folvane-cli " +
                         arguments + " </dev/null >/dev/null 2>" + root + "/err")
                            .c_str());
        err = Bytes("err");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // A file of the test's folder, as it is and converted from code page 932.
    std::string Bytes(const std::string& relative) {
        std::ostringstream bytes;
        bytes << std::ifstream(dir_.host(relative), std::ios::binary).rdbuf();
        return bytes.str();
    }
    std::string Text(const std::string& relative) { return FromCp932(Bytes(relative)); }

    testing::TempDir dir_;
    std::string err;
};

TEST_F(ConsoleProgramTest, AutomaticRunsWriteTextAndHtmlListingsAndSaveNoSettings) {
    ASSERT_EQ(Run("/A /LS 0 samples out.txt"), 0) << err;
    const std::string listing = Text("out.txt");
    // The golden listings hold the rest; they cannot tell a host path from its Z: form.
    EXPECT_TRUE(listing.starts_with("Folvane Ver 1.8")) << listing;
    EXPECT_NE(listing.find("\r\nフォルダは " + dir_.host("samples").string() + "\r\n\r\n"), std::string::npos)
        << listing;

    ASSERT_EQ(Run("/A /LT 1 '" + dir_.host("samples").string() + "' out.htm"), 0) << err;
    const std::string page = Text("out.htm");  // poured into the installed template
    EXPECT_TRUE(page.starts_with("<!DOCTYPE html>")) << page.substr(0, 200);
    EXPECT_NE(page.find("charset=\"Shift_JIS\""), std::string::npos);
    EXPECT_NE(page.find("<A href=\"file://" + dir_.host("samples/README.txt").string() + "\">README.txt</A>"),
              std::string::npos);
    EXPECT_EQ(page.find("<!-- Folvane"), std::string::npos) << "every marker is filled";
    EXPECT_FALSE(fs::exists(dir_.host("bin/Folvane.ini")))
        << "the automatic mode never writes the settings file";
}

TEST_F(ConsoleProgramTest, RejectedCommandLinesEndWithTheStartUpMessageAndCode2) {
    const std::pair<std::string, std::string> cases[] = {
        {"/XYZ samples", "起動パラメータに誤りがあります。"},
        {"/A missing-folder out.txt", "指定された調査フォルダが不正です。"},
        {"/A samples samples", "指定された保存ファイル名が不正です。"},
        {"/CO 20 samples", "桁数の指定が狭すぎます。"},
        // A host path is quoted as it was typed.
        {"/CO 20 " + dir_.host("samples").string(), "桁数の指定が狭すぎます。"},
    };
    for (const auto& [commandLine, message] : cases) {
        EXPECT_EQ(Run(commandLine), 2) << message;
        EXPECT_EQ(err, "[Folvane 起動エラー]\n" + message + "\n\nFolvane [/option] [dir [file]]\n" +
                           "（詳しくはヘルプを参照して下さい）\n\n\"" + commandLine + "\"\n");
    }
    // Relative to a current folder that has been removed, "." is nothing, not the host root.
    EXPECT_EQ(Run("/A . out.txt", "", "mkdir gone && cd gone && rmdir ../gone && "), 2);
    EXPECT_NE(err.find("指定された調査フォルダが不正です。"), std::string::npos) << err;
    EXPECT_EQ(Run(""), 2);
    EXPECT_TRUE(err.starts_with("使い方: folvane-cli [/option]")) << err;
    EXPECT_FALSE(fs::exists(dir_.host("bin/Folvane.ini")));
}

TEST_F(ConsoleProgramTest, AnUnsavedListingEndsWithCode1) {
    // A failed silent save asks to retry; the default answer gives up.
    EXPECT_EQ(Run("/A samples no-such-folder/out.txt"), 1);
    EXPECT_NE(err.find("への保存に失敗しました。\n再試行しますか？"), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(dir_.host("no-such-folder")));
    // Without a terminal nobody can be asked where to save; the normal exit saves the settings
    // with the folder that was listed.
    EXPECT_EQ(Run("samples"), 1);
    EXPECT_NE(err.find("保存先を尋ねる端末がないため、一覧は保存されませんでした。"), std::string::npos)
        << err;
    EXPECT_NE(Text("bin/Folvane.ini").find("\r\nLastPathName=" + dir_.host("samples").string() + "\r\n"),
              std::string::npos);
}

TEST_F(ConsoleProgramTest, CtrlCStopsTheRunWithoutAFile) {
    // A large sparse file keeps the checksum busy long enough to be interrupted.
    std::ofstream(dir_.host("samples/big.bin")).close();
    fs::resize_file(dir_.host("samples/big.bin"), int64_t{16} << 30);
    EXPECT_EQ(Run("/A /VC samples out.txt", "timeout --preserve-status -s INT 0.3"), 1) << err;
    EXPECT_FALSE(fs::exists(dir_.host("out.txt")));
}

}  // namespace
}  // namespace folvane

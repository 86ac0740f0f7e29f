// The console program as a script runs it: arguments in, a listing file and an exit code out.
// Each test runs its own copy of folvane-cli in a temporary folder, so the settings file that
// a normal exit writes beside the executable stays inside the test.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/cp932.h"
#include "tests/support/temp_dir.h"

extern char** environ;

namespace folvane {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

struct Finished {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string ReadBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class ConsoleProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const fs::path bin = dir_.MakeFolder("bin");
        fs::copy_file(FOLVANE_CLI_PATH, bin / "folvane-cli");
        fs::copy(FOLVANE_BASEHTML_DIR, bin / "basehtml", fs::copy_options::recursive);
        fs::copy(FOLVANE_SAMPLES_DIR, dir_.host("samples"), fs::copy_options::recursive);
        // Fixed times make the listed dates predictable.
        for (const auto& entry : fs::recursive_directory_iterator(dir_.host("samples")))
            dir_.SetUpdated(fs::relative(entry.path(), dir_.host()).string(), 1704067200);  // 2024-01-01 UTC
    }

    // Runs the copy of folvane-cli with arguments, input from /dev/null (no terminal), in the
    // test's folder. onStart runs once the process is started.
    Finished Run(
        const std::vector<std::string>& arguments, const std::function<void(pid_t)>& onStart = [](pid_t) {}) {
        const std::string program = dir_.host("bin/folvane-cli").string();
        const std::string outFile = dir_.host("stdout.txt").string();
        const std::string errFile = dir_.host("stderr.txt").string();
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const auto& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addchdir_np(&actions, dir_.host().c_str());
        pid_t child = 0;
        const int started = posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        EXPECT_EQ(started, 0);
        Finished finished;
        if (started != 0) return finished;
        onStart(child);
        int status = 0;
        waitpid(child, &status, 0);
        finished.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        finished.out = ReadBytes(outFile);
        finished.err = ReadBytes(errFile);
        return finished;
    }

    // A listing file as text.
    std::string Listing(std::string_view relative) { return FromCp932(ReadBytes(dir_.host(relative))); }

    bool SettingsWritten() { return fs::exists(dir_.host("bin/Folvane.ini")); }

    TempDir dir_;
};

TEST_F(ConsoleProgramTest, AutomaticRunWritesTheListingAndSavesNoSettings) {
    const Finished run = Run({"/A", "/LS", "0", "samples", "out.txt"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const std::string listing = Listing("out.txt");
    EXPECT_TRUE(listing.starts_with("Folvane Ver 1.8")) << listing;
    EXPECT_NE(listing.find("\r\nフォルダは " + dir_.path("samples") + "\r\n\r\n"), std::string::npos)
        << listing;
    EXPECT_NE(listing.find("\r\n|- 資料"), std::string::npos) << listing;
    EXPECT_NE(listing.find("\r\n|  +- 予算管理.csv"), std::string::npos) << listing;
    EXPECT_NE(listing.find("4 個のフォルダと 10 個 3,196 Byte のファイルがあります。\r\n"), std::string::npos)
        << listing;
    EXPECT_TRUE(listing.ends_with("\r\n"));
    EXPECT_FALSE(SettingsWritten()) << "the automatic mode never writes the settings file";
}

TEST_F(ConsoleProgramTest, HtmlListingIsPouredIntoTheInstalledTemplate) {
    const Finished run = Run({"/A", "/LT", "1", dir_.host("samples").string(), "out.htm"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const std::string page = Listing("out.htm");
    EXPECT_TRUE(page.starts_with("<!DOCTYPE html>")) << page.substr(0, 200);
    EXPECT_NE(page.find("charset=\"Shift_JIS\""), std::string::npos);
    EXPECT_NE(page.find("<A href=\"file://" + dir_.host("samples/README.txt").string() + "\">README.txt</A>"),
              std::string::npos);
    EXPECT_EQ(page.find("<!-- Folvane"), std::string::npos) << "every marker is filled";
}

TEST_F(ConsoleProgramTest, RejectedCommandLinesEndWithTheStartUpMessageAndCode2) {
    struct Case {
        std::vector<std::string> arguments;
        std::string message;
    };
    const Case cases[] = {
        {{"/XYZ", "samples"}, "起動パラメータに誤りがあります。"},
        {{"/A", "missing-folder", "out.txt"}, "指定された調査フォルダが不正です。"},
        {{"/A", "samples", "samples"}, "指定された保存ファイル名が不正です。"},
        {{"/CO", "20", "samples"}, "桁数の指定が狭すぎます。"},
    };
    for (const Case& c : cases) {
        const Finished run = Run(c.arguments);
        EXPECT_EQ(run.exitCode, 2) << c.message;
        EXPECT_NE(run.err.find("[Folvane 起動エラー]\n" + c.message), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("Folvane [/option] [dir [file]]"), std::string::npos) << run.err;
        EXPECT_FALSE(SettingsWritten());
    }
    EXPECT_EQ(Run({}).exitCode, 2);
}

TEST_F(ConsoleProgramTest, WithoutATerminalTheSaveQuestionEndsTheRunUnsaved) {
    const Finished run = Run({"samples"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("保存先を尋ねる端末がないため、一覧は保存されませんでした。"), std::string::npos)
        << run.err;
    // Ended through the normal exit: the settings are saved, with the folder that was listed.
    ASSERT_TRUE(SettingsWritten());
    EXPECT_NE(FromCp932(ReadBytes(dir_.host("bin/Folvane.ini")))
                  .find("\r\nLastPathName=" + dir_.path("samples") + "\r\n"),
              std::string::npos);
}

TEST_F(ConsoleProgramTest, AFailedSilentSaveAsksToRetryAndTheDefaultAnswerGivesUp) {
    const Finished run = Run({"/A", "samples", "no-such-folder/out.txt"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("への保存に失敗しました。\n再試行しますか？"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(dir_.host("no-such-folder")));
}

TEST_F(ConsoleProgramTest, InterruptStopsTheRunWithoutAFile) {
    // A large sparse file keeps the checksum busy long enough to be interrupted.
    const fs::path big = dir_.host("samples/big.bin");
    { std::ofstream(big).close(); }
    fs::resize_file(big, int64_t{16} << 30);
    const Finished run = Run({"/A", "/VC", "samples", "out.txt"}, [](pid_t child) {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        kill(child, SIGINT);
    });
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_FALSE(fs::exists(dir_.host("out.txt")));
}

}  // namespace
}  // namespace folvane

// Listings saved by the program to what is not a plain new file: standard output, /dev/null and
// a FIFO are written into, never replaced. (What the platform layer refuses, and how a replaced
// file keeps its mode and owner, its own tests show.)

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <thread>

#include "platform/cp932.h"
#include "tests/support/temp_dir.h"

namespace folvane {
namespace {

namespace fs = std::filesystem;

constexpr const char* kRunLimit = "timeout -s KILL 60 ";

std::string Contents(const fs::path& file) {
    std::ostringstream bytes;
    bytes << std::ifstream(file, std::ios::binary).rdbuf();
    return bytes.str();
}

// A listing without the two facts that change from run to run: the moment in the title line and
// the free disk space in the footer.
std::string WithoutMomentAndFreeSpace(const std::string& listingBytes) {
    static const std::regex moment("[0-9]{4}/[0-9]{2}/[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}");
    static const std::regex freeSpace("ディスク空き容量は[^\r\n]*");
    const std::string text = FromCp932(listingBytes);
    const std::size_t titleEnd = text.find("\r\n");
    const std::string title = std::regex_replace(text.substr(0, titleEnd), moment, "<moment>",
                                                 std::regex_constants::format_first_only);
    return title + std::regex_replace(text.substr(titleEnd), freeSpace, "<free space>");
}

class OutputTargetTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::copy_file(FOLVANE_CLI_PATH, dir_.MakeFolder("bin") / "folvane-cli");
        dir_.WriteFile("src/a.txt", "alpha");
        dir_.WriteFile("src/sub/b.txt", "beta");
    }

    std::string Command(const std::string& arguments) const {
        const std::string root = "'" + dir_.host().string() + "'";
        return "cd " + root + " && " + kRunLimit + "bin/folvane-cli " + arguments + " </dev/null 2>" + root +
               "/err";
    }

    // Runs folvane-cli with its standard output thrown away; returns its exit code.
    int Run(const std::string& arguments) const {
        const int status = std::system((Command(arguments) + " >/dev/null").c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // Runs folvane-cli with its standard output read through a pipe into out.
    int RunIntoPipe(const std::string& arguments, std::string& out) const {
        FILE* pipe = popen(Command(arguments).c_str(), "r");
        if (pipe == nullptr) return -1;
        char buffer[4096];
        for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            out.append(buffer, got);
        const int status = pclose(pipe);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    testing::TempDir dir_;
};

TEST_F(OutputTargetTest, StandardOutputDevNullAndAFifoAreWrittenIntoInPlace) {
    ASSERT_EQ(Run("/A src regular.txt"), 0) << Contents(dir_.host("err"));
    const std::string expected = WithoutMomentAndFreeSpace(Contents(dir_.host("regular.txt")));
    ASSERT_NE(expected.find("a.txt"), std::string::npos);

    std::string piped;
    EXPECT_EQ(RunIntoPipe("/A src /dev/stdout", piped), 0) << Contents(dir_.host("err"));
    EXPECT_EQ(WithoutMomentAndFreeSpace(piped), expected)
        << "standard output holds the listing and nothing else";

    struct stat before {};
    struct stat after {};
    ASSERT_EQ(stat("/dev/null", &before), 0);
    EXPECT_EQ(Run("/A src /dev/null"), 0) << Contents(dir_.host("err"));
    ASSERT_EQ(stat("/dev/null", &after), 0);
    EXPECT_TRUE(S_ISCHR(after.st_mode)) << "/dev/null was replaced";
    EXPECT_EQ(after.st_rdev, before.st_rdev);
    EXPECT_EQ(after.st_mode, before.st_mode);

    const fs::path fifo = dir_.host("listing.fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    std::string received;
    std::thread reader([&] { received = Contents(fifo); });
    EXPECT_EQ(Run("/A src listing.fifo"), 0) << Contents(dir_.host("err"));
    // A run that never opened the FIFO would leave the reader waiting: a writer of our own
    // releases it (and fails harmlessly when the reader is gone).
    const int release = open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (release >= 0) close(release);
    reader.join();
    EXPECT_EQ(WithoutMomentAndFreeSpace(received), expected);
    EXPECT_EQ(fs::symlink_status(fifo).type(), fs::file_type::fifo) << "the FIFO was replaced";
}

}  // namespace
}  // namespace folvane

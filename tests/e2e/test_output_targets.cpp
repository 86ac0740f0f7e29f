// Listings saved to what is not a plain new file: standard output, /dev/null, a FIFO (written
// into, never replaced), a folder or a socket (refused, left as they were), and an existing
// listing with its own mode and owner (replaced, keeping both).

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
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
        if (geteuid() != 0) GTEST_SKIP() << "needs root to write to /dev/null and hand files to other users";
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

    // The listing of src as a run into a new regular file writes it.
    std::string RegularListing() {
        EXPECT_EQ(Run("/A src regular.txt"), 0) << Contents(dir_.host("err"));
        return Contents(dir_.host("regular.txt"));
    }

    testing::TempDir dir_;
};

TEST_F(OutputTargetTest, StandardOutputDevNullAndAFifoAreWrittenIntoInPlace) {
    const std::string expected = WithoutMomentAndFreeSpace(RegularListing());
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

// A socket at path, left behind as the file system entry it makes.
bool MakeSocket(const fs::path& path) {
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    const bool bound = fd >= 0 && bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    if (fd >= 0) close(fd);
    return bound;
}

TEST_F(OutputTargetTest, AFolderOrASocketIsRefusedAndLeftAsItWas) {
    dir_.WriteFile("taken/kept.txt", "kept");
    ASSERT_TRUE(MakeSocket(dir_.host("listing.sock")));
    const struct {
        std::string target;
        int code;  // a folder is no file name at all; a socket is a target that cannot be written
        fs::file_type type;
    } cases[] = {
        {"taken", 2, fs::file_type::directory},
        {"listing.sock", 1, fs::file_type::socket},
    };
    for (const auto& refused : cases) {
        SCOPED_TRACE(refused.target);
        EXPECT_EQ(Run("/A src " + refused.target), refused.code) << Contents(dir_.host("err"));
        EXPECT_EQ(fs::symlink_status(dir_.host(refused.target)).type(), refused.type);
    }
    EXPECT_EQ(Contents(dir_.host("taken/kept.txt")), "kept");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_.host("taken")), fs::directory_iterator()), 1);
    for (const auto& entry : fs::directory_iterator(dir_.host()))
        EXPECT_FALSE(entry.path().filename().string().ends_with(".tmp")) << entry.path();
}

TEST_F(OutputTargetTest, AReplacedListingKeepsItsModeAndOwner) {
    const struct {
        mode_t mode;
        uid_t owner;
        gid_t group;
    } cases[] = {
        {0600, 65534, 65534},  // nobody's private listing
        {0640, 0, 65534},
    };
    const std::string expected = WithoutMomentAndFreeSpace(RegularListing());
    for (const auto& old : cases) {
        SCOPED_TRACE(old.mode);
        const fs::path listing = dir_.WriteFile("old.txt", "an older listing");
        ASSERT_EQ(chown(listing.c_str(), old.owner, old.group), 0);
        ASSERT_EQ(chmod(listing.c_str(), old.mode), 0);
        EXPECT_EQ(Run("/A src old.txt"), 0) << Contents(dir_.host("err"));
        EXPECT_EQ(WithoutMomentAndFreeSpace(Contents(listing)), expected);
        struct stat facts {};
        ASSERT_EQ(lstat(listing.c_str(), &facts), 0);
        EXPECT_TRUE(S_ISREG(facts.st_mode));
        EXPECT_EQ(facts.st_mode & 07777, old.mode);
        EXPECT_EQ(facts.st_uid, old.owner);
        EXPECT_EQ(facts.st_gid, old.group);
    }
}

}  // namespace
}  // namespace folvane

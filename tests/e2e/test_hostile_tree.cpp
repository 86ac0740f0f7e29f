// Whole runs of folvane-cli over a hostile tree, made as an unprivileged user: folders that
// cannot be read or entered, link loops, dangling links, names no file system should hold, a
// FIFO with a waiting writer, a device, a very deep chain and a folder whose files come and go
// during the run. Each run must end, report success, count what the test itself counts, keep
// every name escaped in HTML, and change nothing in the tree.

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/cp932.h"
#include "platform/text.h"
#include "tests/support/posix/fifo_writer.h"
#include "tests/support/temp_dir.h"

namespace folvane {
namespace {

namespace fs = std::filesystem;

// Every run is bounded; a run that goes on past this is killed and shows as exit code 137.
constexpr const char* kRunLimit = "timeout -s KILL 60 ";
constexpr const char* kAsNobody = "setpriv --reuid=nobody --regid=nogroup --clear-groups ";
constexpr int kDeepChain = 2000;
constexpr const char* kVanishing = "churn";
constexpr std::size_t kVanishingFileSize = 7;

// ---- The test's own view of a tree -------------------------------------------------------

struct Totals {
    int64_t folders = 0;
    int64_t files = 0;
    int64_t bytes = 0;
};

// Every entry below tree with its kind, mode, owner, size, modification time and link target;
// of the vanishing folder only its kind, mode and owner, since its entries come and go. find
// walks the deep chain, which is longer than any path the host takes.
std::string SnapshotOf(const fs::path& tree) {
    const std::string command = "cd '" + tree.string() + "' && find . \\( -path ./" + kVanishing +
                                " -printf '%p %M %U\\n' -prune \\) -o -printf '%p %M %U %s %T@ %l\\n' | sort";
    std::string listed;
    FILE* pipe = popen(command.c_str(), "r");
    char buffer[4096];
    for (std::size_t got; pipe != nullptr && (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        listed.append(buffer, got);
    if (pipe != nullptr) pclose(pipe);
    return listed;
}

// ---- Things that live during the runs ----------------------------------------------------

// Creates and deletes files in one folder while it lives, a handful at a time.
class VanishingFiles {
  public:
    explicit VanishingFiles(fs::path folder) : folder_(std::move(folder)), thread_([this] { Churn(); }) {}
    ~VanishingFiles() {
        stop_ = true;
        thread_.join();
    }
    VanishingFiles(const VanishingFiles&) = delete;
    VanishingFiles& operator=(const VanishingFiles&) = delete;

    int64_t Created() const { return created_; }

  private:
    void Churn() {
        for (int64_t i = 0; !stop_; ++i) {
            std::ofstream(folder_ / ("v" + std::to_string(i))) << std::string(kVanishingFileSize, 'v');
            ++created_;
            if (i >= 4) fs::remove(folder_ / ("v" + std::to_string(i - 4)));
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    }

    fs::path folder_;
    std::atomic<bool> stop_{false};
    std::atomic<int64_t> created_{0};
    std::thread thread_;
};

// ---- Building the tree -------------------------------------------------------------------

// Names that are hostile to text, markup and path handling, with the form a listing shows them
// in: bytes that are no UTF-8, control characters and "\" become "?" in code page 932; a page
// escapes markup in them.
struct HostileName {
    std::string host;
    std::string shown;
    std::string onPage;
};
const HostileName kHostileNames[] = {
    {"bad\xff\xfe.txt", "bad??.txt", "bad??.txt"},
    {"amp&dq\"lt<gt>ap'bs\\.txt", "amp&dq\"lt<gt>ap'bs?.txt", "amp&amp;dq&quot;lt&lt;gt&gt;ap'bs?.txt"},
    {"tab\tnl\nsoh\x01.txt", "tab?nl?soh?.txt", "tab?nl?soh?.txt"},
    {"日本語の名前.txt", "日本語の名前.txt", "日本語の名前.txt"},
    {"a b&c", "a b&c", "a b&amp;c"},
};
const HostileName kHostileFolder = {"<&\">フォルダ", "<&\">フォルダ", "&lt;&amp;&quot;&gt;フォルダ"};

void WriteBytes(const fs::path& file, std::size_t size) {
    std::ofstream(file, std::ios::binary) << std::string(size, 'x');
}

void MakeDeepChain(const fs::path& top, int depth) {
    int folder = open(top.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (int level = 0; level < depth && folder >= 0; ++level) {
        mkdirat(folder, "d", 0755);
        const int child = openat(folder, "d", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        close(folder);
        folder = child;
    }
    const int file = openat(folder, "end.txt", O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    static_cast<void>(write(file, "end", 3));
    close(file);
    close(folder);
}

// Whether a character device could be made; a container may forbid it.
bool MakeCharacterDevice(const fs::path& path) {
    struct stat zero {};
    return stat("/dev/zero", &zero) == 0 && mknod(path.c_str(), S_IFCHR | 0666, zero.st_rdev) == 0;
}

// Gives root and everything below it, links themselves included, to the user nobody and the
// group nogroup; false when the system has neither.
bool GiveTreeToNobody(const fs::path& root) {
    return std::system(("chown -hR nobody:nogroup '" + root.string() + "' 2>/dev/null").c_str()) == 0;
}

class HostileTreeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (geteuid() != 0) GTEST_SKIP() << "needs root to make the tree and run as another user";
        fs::copy_file(FOLVANE_CLI_PATH, dir_.MakeFolder("bin") / "folvane-cli");
        fs::copy(FOLVANE_BASEHTML_DIR, dir_.host("bin/basehtml"), fs::copy_options::recursive);
        BuildTree(dir_.MakeFolder("tree"));
        dir_.MakeFolder("out");
        dir_.MakeFolder("home");
        if (!GiveTreeToNobody(dir_.host())) GTEST_SKIP() << "no user nobody or group nogroup to run as";
        chmod(dir_.host().c_str(), 0755);
        // Taken away last: the chown above must reach inside them.
        chmod(dir_.host("tree/locked").c_str(), 0);
        chmod(dir_.host("tree/listed-only").c_str(), 0644);
    }

    void BuildTree(const fs::path& tree) {
        WriteBytes(tree / "plain.txt", 11);
        WriteBytes(tree / ".hidden-file", 3);
        WriteBytes(dir_.MakeFolder("tree/.hidden-folder") / "inner.txt", 5);
        WriteBytes(dir_.MakeFolder("tree/locked") / "secret.txt", 13);
        WriteBytes(dir_.MakeFolder("tree/listed-only") / "seen.txt", 17);
        WriteBytes(dir_.MakeFolder("tree/listed-only/sub") / "deeper.txt", 19);
        const fs::path links = dir_.MakeFolder("tree/links");
        fs::create_directory_symlink("..", links / "to-parent");
        fs::create_symlink("ping", links / "pong");
        fs::create_symlink("pong", links / "ping");
        fs::create_symlink("no-such-target", links / "dangling");
        fs::create_symlink("../plain.txt", links / "to-file");
        const fs::path names = dir_.MakeFolder("tree/names");
        for (const HostileName& name : kHostileNames)
            WriteBytes(names / name.host, 2);
        WriteBytes(names / std::string(255, 'a'), 23);
        WriteBytes(names / RepeatStr(85, "あ"), 29);  // 255 bytes of UTF-8
        WriteBytes(dir_.MakeFolder("tree/names/" + kHostileFolder.host) / "資料.txt", 31);
        const fs::path devices = dir_.MakeFolder("tree/devices");
        // Made before the tree is given to nobody, so that a run could open it.
        fifoWriter_.emplace((devices / "fifo").string());
        deviceMade_ = MakeCharacterDevice(devices / "zero-device");
        MakeDeepChain(dir_.MakeFolder("tree/deep"), kDeepChain);
        dir_.MakeFolder(std::string("tree/") + kVanishing);
    }

    // Runs the copy of folvane-cli as nobody in the test's folder, bounded in time; keeps its
    // error output in err and returns its exit code.
    int RunAsNobody(const std::string& arguments) {
        const std::string root = "'" + dir_.host().string() + "'";
        const std::string command = "cd " + root + " && " + kRunLimit + kAsNobody + "env HOME=" + root +
                                    "/home bin/folvane-cli " + arguments + " </dev/null >/dev/null 2>" +
                                    root + "/err";
        const int status = std::system(command.c_str());
        std::ostringstream text;
        text << std::ifstream(dir_.host("err")).rdbuf();
        err = text.str();
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string Listing(const std::string& relative) {
        std::ostringstream bytes;
        bytes << std::ifstream(dir_.host(relative), std::ios::binary).rdbuf();
        return FromCp932(bytes.str());
    }

    testing::TempDir dir_;
    std::optional<testing::FifoWriter> fifoWriter_;
    bool deviceMade_ = false;
    std::string err;
};

int64_t Number(const std::string& digits) {
    std::string plain;
    for (char c : digits)
        if (c != ',') plain += c;
    return std::stoll(plain);
}

// The counts of the footer's summary sentence; nullopt when the listing has none.
std::optional<Totals> FooterTotals(const std::string& listing) {
    static const std::regex sentence(
        "([0-9,]+) 個のフォルダと ([0-9,]+) 個 ([0-9,]+) Byte のファイルがあります。");
    // The summary is near the end; a deep tree makes the rest of the listing large.
    const std::string tail = listing.substr(listing.size() - std::min<std::size_t>(listing.size(), 4096));
    std::smatch match;
    if (!std::regex_search(tail, match, sentence)) return std::nullopt;
    return Totals{Number(match[1]), Number(match[2]), Number(match[3])};
}

TEST_F(HostileTreeTest, RunsEndWithEverythingCountedEscapedAndNothingTouched) {
    // Counted by hand from BuildTree, as nobody may read it. The locked folder lists nothing;
    // listed-only lists seen.txt and sub, as files of 0 bytes since they cannot be examined.
    // Links are listed as what they lead to (to-parent a folder, to-file 11 bytes) and never
    // followed; the loop, the dangling link, the FIFO and the device are files of 0 bytes.
    // Folders: .hidden-folder, locked, listed-only, links, to-parent, names, the hostile folder,
    // devices, deep and its chain, churn. Files: 9 at the top and in the first four folders, 8
    // in names, the FIFO, the device, end.txt.
    const Totals expected = {10 + kDeepChain, 19 + (deviceMade_ ? 1 : 0),
                             11 + 3 + 5 + 11 + 5 * 2 + 23 + 29 + 31 + 3};
    const std::string before = SnapshotOf(dir_.host("tree"));
    ASSERT_NE(before.find("./deep/d/d/d"), std::string::npos);

    // Wide lines, so that no name of the names folder is wrapped.
    const struct {
        std::string arguments;
        std::string output;
    } runs[] = {
        {"/A /CO 200 tree out/list.txt", "out/list.txt"},
        {"/A /CO 200 /LT 1 tree out/list.htm", "out/list.htm"},
        {"/A /CO 200 /VC /VV tree out/facts.txt", "out/facts.txt"},
        {"/A /CO 200 /LT 1 /DLK /VC /VV tree out/facts.htm", "out/facts.htm"},
    };
    for (const auto& run : runs) {
        SCOPED_TRACE(run.arguments);
        int64_t vanishing = 0;
        int code = 0;
        {
            const VanishingFiles churn(dir_.host(std::string("tree/") + kVanishing));
            code = RunAsNobody(run.arguments);
            vanishing = churn.Created();
        }
        ASSERT_EQ(code, 0) << err;
        const std::string listing = Listing(run.output);
        const auto totals = FooterTotals(listing);
        ASSERT_TRUE(totals) << listing.substr(listing.size() > 2000 ? listing.size() - 2000 : 0);
        EXPECT_EQ(totals->folders, expected.folders);
        // Files of the vanishing folder may or may not have been caught, with or without size.
        EXPECT_GE(totals->files, expected.files);
        EXPECT_LE(totals->files, expected.files + vanishing);
        EXPECT_GE(totals->bytes, expected.bytes);
        EXPECT_LE(totals->bytes,
                  expected.bytes + (totals->files - expected.files) * int64_t{kVanishingFileSize});
        EXPECT_EQ(listing.find("secret.txt"), std::string::npos) << "the unreadable folder lists nothing";
        EXPECT_NE(listing.find("seen.txt"), std::string::npos)
            << "the folder that cannot be entered is listed";
        const bool html = run.output.ends_with(".htm");
        std::vector<HostileName> names(std::begin(kHostileNames), std::end(kHostileNames));
        names.push_back(kHostileFolder);
        for (const HostileName& name : names) {
            const std::string& shown = html ? name.onPage : name.shown;
            EXPECT_NE(listing.find(shown), std::string::npos) << shown;
            if (shown != name.shown) {
                EXPECT_EQ(listing.find(name.shown), std::string::npos) << "unescaped: " << name.shown;
            }
        }
        EXPECT_TRUE(fifoWriter_->StillWaiting()) << "the FIFO was opened";
    }
    const std::string after = SnapshotOf(dir_.host("tree"));
    const std::size_t changed =
        std::mismatch(before.begin(), before.end(), after.begin(), after.end()).second - after.begin();
    const std::size_t line = after.rfind('\n', changed - (changed > 0)) + 1;
    EXPECT_TRUE(after == before) << "the run changed the tree at: "
                                 << after.substr(line, after.find('\n', changed) - line);
    if (!deviceMade_) GTEST_LOG_(INFO) << "no character device in the tree: mknod is not permitted here";
}

}  // namespace
}  // namespace folvane

// The mechanics of the walk: totals, cancellation, depth, links, unreadable folders and the
// layouts that must never lose text or stall.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "engine/crc32.h"
#include "engine/tree_body.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace folvane {
namespace {

class StillClock : public Clock {
  public:
    std::chrono::milliseconds Now() const override { return std::chrono::milliseconds{0}; }
};

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "the text does not end with a line end";
    return lines;
}

// Runs produce as a user without privileges and returns what it produced, so that permissions
// apply even when the tests run as root. The test's folder must be reachable for that user.
std::string AsUnprivileged(const std::function<std::string()>& produce) {
    if (geteuid() != 0) return produce();
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return "pipe failed";
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        if (setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
        const std::string result = produce();
        const bool written =
            write(pipeEnds[1], result.data(), result.size()) == static_cast<ssize_t>(result.size());
        _exit(written ? 0 : 3);
    }
    close(pipeEnds[1]);
    std::string result;
    char block[4096];
    for (ssize_t n; (n = read(pipeEnds[0], block, sizeof block)) > 0;)
        result.append(block, static_cast<std::size_t>(n));
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? result : "child failed";
}

class TreeWalkTest : public ::testing::Test {
  protected:
    TreeWalkTest() : caption_(run_, ui_, clock_), context_{settings_, chars_, run_, ui_, caption_} {
        SetDefaults(settings_);
        SetCharTableDefaults(chars_);
        settings_.CharType = 0;
        settings_.SizeFlg = settings_.AttrFlg = settings_.UDateFlg = settings_.UTimeFlg = false;
        ComputeWidths(settings_);
    }

    // Lines of the body for the test's folder.
    std::vector<std::string> Walk(FolderTotals* totals = nullptr) {
        FolderTotals ignored;
        return SplitLines(WalkText(totals != nullptr ? *totals : ignored));
    }

    std::string WalkText(FolderTotals& totals) {
        std::string text;
        TreeBody(context_, text, "", dir_.path() + "\\", totals);
        return text;
    }

    void SetColumns(int columns) {
        settings_.Columns = static_cast<int16_t>(columns);
        ComputeWidths(settings_);
    }

    Settings settings_;
    CharTable chars_;
    RunState run_;
    testing::ScriptedUi ui_;
    StillClock clock_;
    CaptionTimer caption_;
    ListingContext context_;
    testing::TempDir dir_;
};

using Lines = std::vector<std::string>;

TEST_F(TreeWalkTest, TotalsAddUpFromTheLeavesInEveryViewStyle) {
    dir_.WriteFile("one", "1");
    dir_.WriteFile("two", "22");
    dir_.WriteFile("sub/four", "4444");
    struct Case {
        int16_t viewType;
        bool subfolders;
        int64_t files, bytes;
        Lines lines;
    };
    const std::vector<Case> cases = {
        {0, true, 3, 7, {"|- sub", "|  +- four", "|- one", "+- two"}},
        {1, true, 3, 7, {}},
        {2, true, 3, 7, {}},
        {3, true, 0, 0, {"+- sub"}},  // the folders-only style reads no files at all
        {0, false, 2, 3, {"|- sub", "|- one", "+- two"}},
    };
    for (const Case& c : cases) {
        settings_.ViewType = c.viewType;
        settings_.SubDirSearchFlg = c.subfolders;
        FolderTotals totals{5, 99, 5, 5};  // whatever the caller's record held
        const Lines lines = Walk(&totals);
        EXPECT_EQ(totals.Folders, 1) << c.viewType;
        EXPECT_EQ(totals.Files, c.files) << c.viewType;
        EXPECT_EQ(totals.Bytes, c.bytes) << c.viewType;
        if (!c.lines.empty()) {
            EXPECT_EQ(lines, c.lines) << c.viewType;
        }
    }
}

// The sum of the CRCs below a folder wraps around at 2^32 and shows on the folder's line.
TEST_F(TreeWalkTest, CrcSumsWrapAround) {
    const std::string a = "a", b = "b";  // CRCs 0xE8B7BE43 and 0x71BEEFF9, together beyond 2^32
    const uint32_t crcA = Crc32Update(0, a.data(), 1), crcB = Crc32Update(0, b.data(), 1);
    ASSERT_GT(uint64_t{crcA} + crcB, 0xFFFFFFFFu);
    dir_.WriteFile("sub/a", a);
    dir_.WriteFile("sub/b", b);
    settings_.CRCFlg = true;
    ComputeWidths(settings_);
    FolderTotals totals;
    const Lines lines = Walk(&totals);
    const uint32_t sum = crcA + crcB;
    EXPECT_EQ(totals.CrcSum, sum);
    char shown[16];
    std::snprintf(shown, sizeof shown, " %08X", sum);
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(lines[0].ends_with(shown)) << lines[0];
}

// Whenever the cancel comes, the walk stops at once, all levels together, and the text holds
// only whole blocks of the top folder's lines that were complete before it.
TEST_F(TreeWalkTest, ACancelStopsEveryLevelAtOnce) {
    for (int n = 0; n < 103; ++n)
        dir_.MakeFolder("d" + std::to_string(1000 + n));
    dir_.WriteFile("d1100/inner/file.txt", "x");
    FolderTotals totals;
    const std::string full = WalkText(totals);
    const int pumps = ui_.pumps();
    const Lines fullLines = SplitLines(full);
    std::string firstBlock;
    for (int n = 0; n < 100; ++n)
        firstBlock += fullLines[n] + "\r\n";

    int blocksSeen = 0;
    for (int cancelAt = 1; cancelAt <= pumps; ++cancelAt) {
        run_.CancelFlag = kNoCancel;
        testing::ScriptedUi ui;
        ui.OnPumpEvents([&](int call) {
            if (call == cancelAt) run_.CancelFlag = kCancelByClosing;
        });
        ListingContext context{settings_, chars_, run_, ui, caption_};
        std::string text;
        TreeBody(context, text, "", dir_.path() + "\\", totals);
        ASSERT_EQ(ui.pumps(), cancelAt);
        ASSERT_TRUE(text.empty() || text == firstBlock) << "cancelled at " << cancelAt;
        blocksSeen += text.empty() ? 0 : 1;
    }
    EXPECT_GT(blocksSeen, 0);
}

// Deeper than the host's path limit and than any call stack would allow for a recursive walk;
// folders and files down there still open (the CRC reads the file).
TEST_F(TreeWalkTest, WalksAChainThousandsOfFoldersDeep) {
    constexpr int kLevels = 3000;
    int folder = open(dir_.host().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (int level = 0; level < kLevels; ++level) {  // made relative to each other: no long paths
        mkdirat(folder, "d", 0755);
        const int next = openat(folder, "d", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        close(folder);
        folder = next;
    }
    const int file = openat(folder, "file.txt", O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_EQ(write(file, "123456789", 9), 9);
    close(file);
    settings_.CRCFlg = true;
    ComputeWidths(settings_);

    FolderTotals totals;
    const Lines lines = Walk(&totals);
    EXPECT_EQ(totals.Folders, kLevels);
    EXPECT_EQ(totals.Files, 1);
    EXPECT_EQ(totals.CrcSum, 0xCBF43926u);
    EXPECT_EQ(lines.size(), static_cast<std::size_t>(kLevels) + 1);
    EXPECT_TRUE(lines.front().starts_with("+- d ") && lines.front().ends_with(" CBF43926")) << lines.front();

    // Remove the chain from the bottom, climbing back with "..".
    unlinkat(folder, "file.txt", 0);
    for (int level = 0; level < kLevels; ++level) {
        const int parent = openat(folder, "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        close(folder);
        folder = parent;
        unlinkat(folder, "d", AT_REMOVEDIR);
    }
    close(folder);
}

TEST_F(TreeWalkTest, LinksAndLoopsAreListedButNeverFollowed) {
    dir_.WriteFile("real/inside.txt", "abc");
    std::filesystem::create_symlink("real", dir_.host("realLink"));
    std::filesystem::create_symlink(".", dir_.host("self"));
    std::filesystem::create_symlink("real/inside.txt", dir_.host("fileLink"));
    std::filesystem::create_symlink("nowhere", dir_.host("dangling"));
    FolderTotals totals;
    EXPECT_EQ(Walk(&totals),
              (Lines{"|- real", "|  +- inside.txt", "|- realLink", "|- self", "|- dangling", "+- fileLink"}));
    EXPECT_EQ(totals.Folders, 3);
    EXPECT_EQ(totals.Files, 3);
    EXPECT_EQ(totals.Bytes, 6);

    // A bind mount of the folder inside itself shows the same folder below itself.
    if (mount(dir_.host().c_str(), dir_.host("real").c_str(), nullptr, MS_BIND, nullptr) != 0) {
        GTEST_SKIP() << "bind mounts are not permitted here";
    }
    struct Unmount {
        std::string target;
        ~Unmount() { umount2(target.c_str(), MNT_DETACH); }
    } unmount{dir_.host("real").string()};
    EXPECT_EQ(Walk(), (Lines{"|- real", "|- realLink", "|- self", "|- dangling", "+- fileLink"}));
}

TEST_F(TreeWalkTest, AnUnreadableFolderIsListedWithoutContents) {
    chmod(dir_.host().c_str(), 0755);
    chmod(dir_.MakeFolder("closed").c_str(), 0);
    chmod(dir_.WriteFile("open/a.txt", "abc").c_str(), 0);  // listed, without CRC
    settings_.Lines = 2;
    settings_.CRCFlg = true;
    settings_.Columns = 20;
    ComputeWidths(settings_);
    const std::string text = AsUnprivileged([&] {
        FolderTotals totals;
        const std::string body = WalkText(totals);
        return body + std::to_string(totals.Folders) + "/" + std::to_string(totals.Files);
    });
    EXPECT_EQ(text,
              "|- closed   00000000\r\n|     \r\n"
              "+- open     00000000\r\n   |  \r\n   +- a.txt 00000000\r\n      \r\n"
              "2/1");
}

TEST_F(TreeWalkTest, PackingACharacterWiderThanTheLineDoesNotStall) {
    dir_.WriteFile("日本");
    dir_.WriteFile("ab");
    settings_.ViewType = 1;
    SetColumns(4);  // one cell after the blank piece
    const Lines lines = Walk();
    ASSERT_EQ(lines.size(), 6u);
    // After the summary line: "ab" sorts first; each double-byte character takes a line of its own.
    const Lines expected = {"   a", "   b", "   ,", "   日", "   本"};
    EXPECT_EQ(Lines(lines.begin() + 1, lines.end()), expected);
}

// The rest of a wrapped name is never lost, even where the tree lines fill the name column.
TEST_F(TreeWalkTest, WrappedNamesKeepEveryCharacter) {
    struct Case {
        int columns;
        std::string folder;
        Lines expected;  // the folder's lines
    };
    const std::vector<Case> cases = {
        {78, "abcdefghij", {"+- abcdefghij"}},
        {9, "abcdefghij", {"+- abcdef", "   |  ghi", "   |  j"}},
        {7, "abcdefg", {"+- abcd", "   |  e", "   |  f", "   |  g"}},  // one cell left: one letter a line
        {7, "あいうえお", {"+- あい", "う", "え", "お"}},              // a double-byte one needs two
        {5, "abcdefghij", {"+- ab", "cdefg", "hij"}},                  // no cell left after the tree lines
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder + " in " + std::to_string(c.columns));
        const std::filesystem::path folder = dir_.MakeFolder(c.folder);
        dir_.WriteFile(c.folder + "/x");
        SetColumns(c.columns);
        const Lines lines = Walk();
        ASSERT_EQ(lines.size(), c.expected.size() + 1);
        EXPECT_EQ(Lines(lines.begin(), lines.end() - 1), c.expected);
        std::filesystem::remove_all(folder);
    }
}

}  // namespace
}  // namespace folvane

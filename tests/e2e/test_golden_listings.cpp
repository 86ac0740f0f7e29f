// Golden listings: folvane-cli lists a fixed tree with many option sets, and each listing must
// equal, byte for byte, the one kept in tests/e2e/golden/. Only what depends on the moment and
// the machine is masked: the date and time of the run, the volume line, the free space and the
// place of the tree on the host.
//
// To write the golden files anew (after a deliberate change of the listing), run the test with
// FOLVANE_UPDATE_GOLDENS=1; FOLVANE_GOLDEN_CLI names another folvane-cli to take them from.

#include <sys/wait.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/cp932.h"
#include "platform/text.h"
#include "tests/support/temp_dir.h"

namespace folvane {
namespace {

namespace fs = std::filesystem;

struct GoldenCase {
    const char* name;     // the golden file's name, also the output's extension
    const char* options;  // before the folder and the output file
};

constexpr GoldenCase kCases[] = {
    {"text.txt", ""},
    {"text-ascii-lines.txt", "/LS 0"},
    {"view-style-1.txt", "/ST 1"},
    {"view-style-2.txt", "/ST 2"},
    {"view-style-3.txt", "/ST 3"},
    {"crc-version.txt", "/VC /VV /CO 110"},
    {"narrow-two-lines.txt", "/CO 40 /LI 2 /-VA"},
    {"by-extension.txt", "/SORTKEY x /SCO 20"},
    {"by-size-descending.txt", "/SORTKEY s /-SM /-SF"},
    {"filtered.txt", "/FT \"*.txt *.csv\""},
    {"page.htm", "/LT 1"},
    {"page-folder-links.htm", "/LT 1 /DLK /ST 1"},
    {"page-crc.htm", "/LT 1 /VC /CO 50 /LI 2"},
};

class GoldenListingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* other = std::getenv("FOLVANE_GOLDEN_CLI");
        fs::copy_file(other != nullptr ? other : FOLVANE_CLI_PATH, dir_.MakeFolder("bin") / "folvane-cli");
        fs::copy(FOLVANE_BASEHTML_DIR, dir_.host("bin/basehtml"), fs::copy_options::recursive);
        MakeTree();
    }

    // Names and sizes that exercise the columns: Japanese names, a name longer than its
    // column, names that need escaping in HTML, a hidden file, empty files and folders, and a
    // program with a version resource.
    void MakeTree() {
        dir_.MakeFolder("golden/資料/2024年度");
        dir_.MakeFolder("golden/空のフォルダ");
        dir_.MakeFolder("golden/src/lib");
        dir_.WriteFile("golden/README.txt", "Folvane golden tree\r\n");
        dir_.WriteFile("golden/.hidden", "h");
        dir_.WriteFile("golden/資料/予算管理.csv", std::string(1234, 'x'));
        dir_.WriteFile("golden/資料/議事録（第一回定例会議）についての長いファイル名の説明.txt", "議事録");
        dir_.WriteFile("golden/資料/2024年度/報告書.doc", std::string(70000, '\1'));
        dir_.WriteFile("golden/資料/2024年度/empty.txt");
        dir_.WriteFile("golden/src/a&b<c>.h", "#pragma once\n");
        dir_.WriteFile("golden/src/lib/z.cpp", std::string(999, 'z'));
        dir_.WriteFile("golden/src/lib/A.CPP", std::string(1000, 'a'));
        fs::copy_file(
            std::string(FOLVANE_SOURCE_DIR) + "/tests/fuzz/corpus/fuzz_pe_version/pe32_4_0_1_0_extras.exe",
            dir_.host("golden/src/tool.exe"));
        // Fixed times, a second apart, make dates and the order by date predictable.
        std::vector<std::string> entries;
        for (const auto& entry : fs::recursive_directory_iterator(dir_.host("golden")))
            entries.push_back(fs::relative(entry.path(), dir_.host()).string());
        std::sort(entries.begin(), entries.end());
        int64_t when = 1704067200;  // 2024-01-01 00:00 UTC
        for (const std::string& entry : entries)
            dir_.SetUpdated(entry, when += 3671);
        dir_.SetUpdated("golden", when + 1);
    }

    // The listing folvane-cli writes for options, as UTF-8 text; "" when it fails.
    std::string Listing(const GoldenCase& c) {
        const std::string root = "'" + dir_.host().string() + "'";
        const std::string output =
            dir_.host(std::string("out.") + fs::path(c.name).extension().string().substr(1));
        fs::remove(output);
        const std::string command = "cd " + root + " && TZ=Asia/Tokyo " + root + "/bin/folvane-cli /A /I " +
                                    c.options + " golden '" + output + "' </dev/null >/dev/null 2>&1";
        const int status = std::system(command.c_str());
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return "";
        std::ostringstream bytes;
        bytes << std::ifstream(output, std::ios::binary).rdbuf();
        const std::string text = FromCp932(bytes.str());
        EXPECT_EQ(ToCp932(text), bytes.str()) << c.name << ": the listing is plain code page 932";
        return text;
    }

    // text with what depends on the moment and the machine masked.
    std::string Normalised(std::string text) const {
        // A page's head is the template's own, which the template tests cover.
        if (const std::size_t body = text.find("<body>"); body != std::string::npos) text.erase(0, body);
        const std::string host = dir_.host("golden").string();
        text = ReplaceAll(text, "Z:" + ReplaceAll(host, "/", "\\"), "@ROOT@");
        text = ReplaceAll(text, host, "@ROOT@");
        // The first line's date and time: the 19 characters before its end.
        if (const std::size_t stamp = text.find("Folvane Ver "); stamp != std::string::npos) {
            const std::size_t end = text.find("\r\n", stamp);
            if (end != std::string::npos && end - stamp >= 19) text.replace(end - 19, 19, "@WHEN@");
        }
        text = MaskedLine(text, "ドライブ ", "", "@VOLUME@");
        return MaskedLine(text, "ディスク空き容量は ", "あります。", "@FREE@");
    }

    // text with the stretch from start to the end of its line, or up to and including endMark
    // when that comes first, replaced by mask.
    static std::string MaskedLine(std::string text, std::string_view start, std::string_view endMark,
                                  std::string_view mask) {
        const std::size_t from = text.find(start);
        if (from == std::string::npos) return text;
        std::size_t end = std::min(text.find('\r', from), text.size());
        if (const std::size_t mark = text.find(endMark, from); !endMark.empty() && mark < end)
            end = mark + endMark.size();
        text.replace(from, end - from, mask);
        return text;
    }

    static fs::path GoldenPath(const GoldenCase& c) {
        return fs::path(FOLVANE_SOURCE_DIR) / "tests/e2e/golden" / c.name;
    }

    testing::TempDir dir_;
};

TEST_F(GoldenListingTest, EveryFormAndStyleWritesTheKeptBytes) {
    const bool update = std::getenv("FOLVANE_UPDATE_GOLDENS") != nullptr;
    for (const GoldenCase& c : kCases) {
        const std::string listing = Normalised(Listing(c));
        ASSERT_FALSE(listing.empty()) << c.name << ": folvane-cli failed";
        if (update) {
            std::ofstream(GoldenPath(c), std::ios::binary) << listing;
            continue;
        }
        std::ostringstream golden;
        golden << std::ifstream(GoldenPath(c), std::ios::binary).rdbuf();
        EXPECT_EQ(listing, golden.str()) << c.name << " (folvane-cli /A /I " << c.options << ")";
    }
}

}  // namespace
}  // namespace folvane

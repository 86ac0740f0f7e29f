#include "platform/person_path.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "platform/path_space.h"
#include "platform/text.h"

namespace folvane {
namespace {

std::string Escaped(unsigned char b) {
    std::string out;
    AppendUtf8(out, kEscapeBase + b);
    return out;
}

// Paths on the drive of the host root read as host paths; everything else stays as it is.
TEST(PersonPath, HostRootDriveReadsAsHostPath) {
    const std::pair<std::string, std::string> cases[] = {
        {"Z:\\home\\ann\\docs", "/home/ann/docs"},
        {"z:\\home\\ann\\", "/home/ann"},
        {"Z:\\", "/"},
        {"Z:", "/"},
        {"Z:\\日本語\\名前.txt", "/日本語/名前.txt"},
        {"Z:\\tmp\\*", "/tmp/*"},
        {"Z:\\a" + Escaped(0xFF), "/a" + Escaped(0xFF)},
        // Not on the host root's drive, or not a full path: shown as they are.
        {"C:\\Data\\Work", "C:\\Data\\Work"},
        {"\\\\srv\\share\\x", "\\\\srv\\share\\x"},
        {"Z:relative", "Z:relative"},
        {"ZZ:\\x", "ZZ:\\x"},
        {"docs", "docs"},
        {"", ""},
    };
    for (const auto& [path, shown] : cases)
        EXPECT_EQ(PathForPerson(path), shown) << path;
}

TEST(PersonPath, TypedHostPathsNameTheirPathSpacePath) {
    const std::string current = ProcessCurrentFolder();
    ASSERT_FALSE(current.empty());
    const std::pair<std::string, std::string> cases[] = {
        {"/home/ann/x", "Z:\\home\\ann\\x"},
        {"/home//ann/", "Z:\\home\\ann"},
        {"/", "Z:\\"},
        {"/tmp/a\\b", "Z:\\tmp\\a" + Escaped('\\') + "b"},
        {"docs/x", current + "\\docs\\x"},
        {"docs", current + "\\docs"},
        // Texts in the program's own form are passed on untouched, blanks and all.
        {"C:\\Data", "C:\\Data"},
        {"c:x", "c:x"},
        {"\\\\srv\\share", "\\\\srv\\share"},
        {"sub\\x", "sub\\x"},
        {"Z:\\home ", "Z:\\home "},
        {"", ""},
    };
    for (const auto& [typed, path] : cases)
        EXPECT_EQ(PathFromPerson(typed), path) << typed;
}

// What a person reads of a path gives that path back, also for names that are no valid UTF-8.
TEST(PersonPath, ReadingAndTypingRoundTrip) {
    const std::string paths[] = {"Z:\\", "Z:\\home\\ann", "Z:\\日本語\\x y.txt",
                                 "Z:\\bad" + Escaped(0xC3) + Escaped('\\') + "name", "C:\\Data"};
    for (const std::string& path : paths)
        EXPECT_EQ(PathFromPerson(PathForPerson(path)), path) << path;
}

}  // namespace
}  // namespace folvane

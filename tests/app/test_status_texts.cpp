#include "app/status_texts.h"

#include <gtest/gtest.h>

#include <tuple>

#include "platform/path_space.h"
#include "platform/person_path.h"

namespace folvane {
namespace {

TEST(StatusTexts, BytesInTheirUnit) {
    const std::pair<int64_t, std::string> cases[] = {
        {-5, "0 B"},
        {0, "0 B"},
        {1023, "1023 B"},
        {1024, "1.0 KB"},
        {1536, "1.5 KB"},
        {1048524, "1023.9 KB"},
        {1048525, "1.0 MB"},
        {5LL << 30, "5.0 GB"},
        {1LL << 50, "1024.0 TB"},
        {INT64_MAX, "8388608.0 TB"},
    };
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(StatusBytesText(bytes), text) << bytes;
}

// The counts alone until a checksum has read something; the file's share while it is read.
TEST(StatusTexts, ProgressOfARunAndWhereItsListingWent) {
    RunState run;
    run.FoldersRead = 1234;
    run.FilesRead = 5;
    EXPECT_EQ(RunProgressText(run), "フォルダ 1,234 ・ ファイル 5");
    run.CountCrcBlock(3 << 20, 3 << 20, 4LL << 30);
    EXPECT_EQ(RunProgressText(run), "フォルダ 1,234 ・ ファイル 5 ・ CRC 3.0 MB / 4.0 GB (計 3.0 MB)");
    run.CountCrcBlock(2 << 20, 4LL << 30, 4LL << 30);
    EXPECT_EQ(RunProgressText(run), "フォルダ 1,234 ・ ファイル 5 ・ CRC 計 5.0 MB");

    const std::tuple<ListingOutcome, std::string, std::string> ends[] = {
        {ListingOutcome::Saved, PathFromHost("/home/ann/Workのリスト.txt"),
         "保存先: " + PathForPerson(PathFromHost("/home/ann/Workのリスト.txt"))},
        {ListingOutcome::Saved, "C:\\out\\a.txt", "保存先: C:\\out\\a.txt"},
        {ListingOutcome::NotSaved, "", ""},
        {ListingOutcome::Cancelled, "", ""},
    };
    for (const auto& [outcome, file, text] : ends)
        EXPECT_EQ(RunEndText(ListingResult{outcome, file}), text) << file;
}

}  // namespace
}  // namespace folvane

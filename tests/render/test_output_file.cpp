// The output file: the two name questions and the writer that asks before it replaces a file.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "render/output_file.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace folvane {
namespace {

std::string Bytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(OutputFileNames, AskWithTitleFilterFlagsAndProposedName) {
    const std::pair<std::string (*)(UiPort&, std::string_view), std::string> cases[] = {
        {OutTextFileNameSelect, "ﾃｷｽﾄﾌｧｲﾙ(txt)|*.txt|全てのﾌｧｲﾙ(*.*)|*.*"},
        {OutHtmlFileNameSelect, "HTMLファイル(htm)|*.htm;*.html|全てのﾌｧｲﾙ(*.*)|*.*"}};
    for (const auto& [select, filter] : cases) {
        testing::ScriptedUi ui;
        ui.QueueFileName("C:\\out\\chosen.txt");
        EXPECT_EQ(select(ui, "C:\\a\\Workのリスト.txt"), "C:\\out\\chosen.txt");
        EXPECT_EQ(select(ui, "C:\\b.txt"), "");  // cancelled
        const FileChooserRequest& asked = ui.saveRequests().at(0);
        EXPECT_EQ(asked.title, "出力ﾌｧｲﾙの選択");
        EXPECT_EQ(asked.filter, filter);
        EXPECT_EQ(asked.filterIndex, 1);
        EXPECT_EQ(asked.flags, 0x280804u);
        EXPECT_EQ(asked.fileName, "C:\\a\\Workのリスト.txt");
    }
}

TEST(TextFileSave, AsksBeforeReplacingAndNeverDamagesTheOldFile) {
    struct Case {
        const char* what;
        std::optional<std::string> before;  // an existing file's bytes
        bool readOnly, silent;
        std::optional<MsgAnswer> answer;  // to the overwrite question, when one is expected
        std::string text;
        bool failed;
        std::string after;
    };
    const std::string text = "新しい一覧\r\n", bytes = "\x90\x56\x82\xb5\x82\xa2\x88\xea\x97\x97\r\n";
    const Case cases[] = {
        {"new file", std::nullopt, false, false, std::nullopt, text, false, bytes},
        {"replace agreed", "old", false, false, MsgAnswer::Yes, text, false, bytes},
        {"replace declined", "old", false, false, MsgAnswer::No, text, false, "old"},
        {"silent replace", "old", false, true, std::nullopt, text, false, bytes},
        {"read-only, silent", "old", true, true, std::nullopt, text, true, "old"},
        {"read-only, agreed", "old", true, false, MsgAnswer::Yes, text, true, "old"},
        {"empty text", "old", false, true, std::nullopt, "", false, ""},
        // 0x5C as a trail byte, and a character that code page 932 lacks.
        {"code page 932", std::nullopt, false, false, std::nullopt, "表ソ😀\r\n", false,
         "\x95\x5c\x83\x5c?\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        testing::TempDir tmp;
        if (c.before) tmp.WriteFile("list.txt", *c.before);
        if (c.readOnly) chmod(tmp.host("list.txt").c_str(), 0444);
        testing::ScriptedUi ui;
        if (c.answer) ui.QueueAnswer(*c.answer);
        EXPECT_EQ(TextFileSave(ui, tmp.path("list.txt"), c.text, c.silent), c.failed);
        EXPECT_EQ(Bytes(tmp.host("list.txt")), c.after);
        // No temporary file is left beside the target.
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(tmp.host()), {}), 1);
        ASSERT_EQ(ui.messages().size(), c.answer ? 1u : 0u);
        if (!c.answer) continue;
        const MessageRequest& asked = ui.messages()[0];
        EXPECT_EQ(asked.text, "list.txt ファイルは既に存在します。\r\n上書きしますか？");
        EXPECT_EQ(asked.title, "Folvane");
        EXPECT_EQ(asked.buttons, MsgButtons::YesNo);
        EXPECT_EQ(asked.icon, MsgIcon::Exclamation);
        EXPECT_EQ(asked.defaultButton, MsgDefault::Second);
    }
    testing::TempDir tmp;
    testing::ScriptedUi ui;
    EXPECT_TRUE(TextFileSave(ui, tmp.path() + "\\missing\\a.txt", "x", true));
    EXPECT_TRUE(std::filesystem::is_empty(tmp.host()));
}

}  // namespace
}  // namespace folvane

#include "render/output_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace folvane {
namespace {

TEST(OutputFile, NameQuestionsAskWithTitleFilterFlagsAndProposedName) {
    const std::pair<std::string (*)(UiPort&, std::string_view), std::string> cases[] = {
        {OutTextFileNameSelect, "ﾃｷｽﾄﾌｧｲﾙ(txt)|*.txt|全てのﾌｧｲﾙ(*.*)|*.*"},
        {OutHtmlFileNameSelect, "HTMLファイル(htm)|*.htm;*.html|全てのﾌｧｲﾙ(*.*)|*.*"}};
    for (const auto& [select, filter] : cases) {
        testing::ScriptedUi ui;
        ui.QueueFileName("C:\\out\\chosen.txt");
        EXPECT_EQ(select(ui, "C:\\a\\Workのリスト.txt"), "C:\\out\\chosen.txt");
        EXPECT_EQ(select(ui, "C:\\b.txt"), "");  // cancelled
        const FileChooserRequest& asked = ui.saveRequests().at(0);
        EXPECT_EQ(asked.title + "|" + asked.filter + "|" + asked.fileName,
                  "出力ﾌｧｲﾙの選択|" + filter + "|C:\\a\\Workのリスト.txt");
        EXPECT_EQ(asked.filterIndex, 1);
        EXPECT_EQ(asked.flags, 0x280804u);
    }
}

TEST(OutputFile, SaveAsksBeforeReplacingAndNeverDamagesTheOldFile) {
    const std::string text = "新しい一覧\r\n", bytes = "\x90\x56\x82\xb5\x82\xa2\x88\xea\x97\x97\r\n";
    // What, existing file, read-only, silent, the answer to the overwrite question when one is
    // expected, text, failed, file after.
    // clang-format off
    const std::tuple<const char*, std::optional<std::string>, bool, bool, std::optional<MsgAnswer>,
                     std::string, bool, std::string> cases[] = {
        {"new file", std::nullopt, false, false, std::nullopt, text, false, bytes},
        {"replace agreed", "old", false, false, MsgAnswer::Yes, text, false, bytes},
        {"replace declined", "old", false, false, MsgAnswer::No, text, false, "old"},
        {"silent replace", "old", false, true, std::nullopt, text, false, bytes},
        {"read-only, agreed", "old", true, false, MsgAnswer::Yes, text, true, "old"},
        {"empty text", "old", false, true, std::nullopt, "", false, ""},
        // 0x5C as a trail byte, and a character that code page 932 lacks.
        {"code page 932", std::nullopt, false, false, std::nullopt, "表ソ😀\r\n", false,
         "\x95\x5c\x83\x5c?\r\n"},
    };
    // clang-format on
    for (const auto& [what, before, readOnly, silent, answer, newText, failed, after] : cases) {
        SCOPED_TRACE(what);
        testing::TempDir tmp;
        if (before) tmp.WriteFile("list.txt", *before);
        if (readOnly) tmp.MakeReadOnly("list.txt");
        testing::ScriptedUi ui;
        if (answer) ui.QueueAnswer(*answer);
        EXPECT_EQ(TextFileSave(ui, tmp.path("list.txt"), newText, silent), failed);
        std::ifstream in(tmp.host("list.txt"), std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), after);
        // No temporary file is left beside the target.
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(tmp.host()), {}), 1);
        ASSERT_EQ(ui.messages().size(), answer ? 1u : 0u);
        if (!answer) continue;
        const MessageRequest& asked = ui.messages()[0];
        EXPECT_EQ(asked.text + "|" + asked.title,
                  "list.txt ファイルは既に存在します。\r\n上書きしますか？|Folvane");
        EXPECT_TRUE(asked.buttons == MsgButtons::YesNo && asked.icon == MsgIcon::Exclamation &&
                    asked.defaultButton == MsgDefault::Second);
    }
    testing::TempDir tmp;
    testing::ScriptedUi ui;
    EXPECT_TRUE(TextFileSave(ui, tmp.path() + "\\missing\\a.txt", "x", true));
    EXPECT_TRUE(std::filesystem::is_empty(tmp.host()));
}

}  // namespace
}  // namespace folvane

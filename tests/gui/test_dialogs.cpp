// The dialogs on their real widgets: Setup's controls, notices, validation and storing; the
// tree-line dialog's working copy and preview; the caption and version dialogs.

#include "app/context_menu.h"
#include "app/qt/fom_line_setup.h"
#include "app/qt/fom_setup.h"
#include "app/qt/fom_text_input.h"
#include "app/qt/fom_version.h"
#include "platform/registry.h"
#include "render/title_blocks.h"
#include "settings/settings_file.h"
#include "tests/gui/gui_support.h"
#include "tests/support/temp_dir.h"

namespace folvane {
namespace {

using testing::Control;
using testing::ModalAnswerer;

QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).replace("\r\n", "\n");
}

// Clicks a button; check boxes and option buttons at their indicator, the only part of a
// stretched one that takes clicks.
void Click(const QWidget& root, const char* name) {
    auto* button = Control<QAbstractButton>(root, name);
    const bool indicator = qobject_cast<QCheckBox*>(button) || qobject_cast<QRadioButton*>(button);
    const QPoint centre = button->rect().center();
    QTest::mouseClick(button, Qt::LeftButton, {},
                      indicator ? QPoint(button->height() / 2, centre.y()) : centre);
}

void Type(const QWidget& root, const char* name, const QString& text) {
    Control<QLineEdit>(root, name)->setText(text);
}

QString Text(const QWidget& root, const char* name) {
    if (auto* box = root.findChild<QLineEdit*>(name)) return box->text();
    return Control<QAbstractButton>(root, name)->text();
}

void ExpectMessage(const testing::SeenModal& seen, std::string_view text, QMessageBox::Icon icon) {
    EXPECT_EQ(seen.text, Q(text));
    EXPECT_EQ(seen.icon, icon);
    EXPECT_EQ(seen.title, "Folvane");
}

// The persisted fields, the derived widths and the tree-line table as one comparable text.
std::string Snapshot(const Settings& s, const CharTable& chars) {
    return SettingsFileText(s, chars) + std::to_string(s.NameWidth) + "/" + std::to_string(s.SizeWidth);
}

void Show(QWidget& dialog) {
    dialog.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
}

class DialogTest : public ::testing::Test {
  protected:
    DialogTest() {
        tmp.MakeFolder("basehtml");
        settings.Version = "1.8";
        settings.FilterText = {"*.txt", "*.doc"};
        settings.LastPathName = "Z:\\data";
        settings.Left = 10;
        ComputeWidths(settings);
        SetCharTableDefaults(chars);
    }

    std::unique_ptr<fomSetup> OpenSetup() {
        auto dialog =
            std::make_unique<fomSetup>(nullptr, settings, chars, "Z:\\opt\\folvane", tmp.path("basehtml"));
        Show(*dialog);
        return dialog;
    }

    testing::TempDir tmp;
    Settings settings;
    CharTable chars;
};

TEST_F(DialogTest, SetupControlsFollowEachOtherAndOnlyAClickGivesTheSlowColumnNotice) {
    settings.ListType = 1;
    settings.SizeType = 1;
    settings.SortKey = 2;
    settings.SortFlg = false;
    settings.CRCFlg = true;
    ModalAnswerer answerer;
    const auto dialog = OpenSetup();
    answerer.Then(testing::PressKey(Qt::Key_Return));
    Click(*dialog, "chkCRC");  // switched off: no notice
    Click(*dialog, "chkVersion");
    ASSERT_EQ(answerer.seen().size(), 1u);
    ExpectMessage(answerer.seen()[0], kVersionNotice, QMessageBox::Information);

    Click(*dialog, "optTab1");
    EXPECT_EQ(Text(*dialog, "optSortFlg0") + "/" + Text(*dialog, "optSortFlg1"), "小さい順/大きい順");
    Click(*dialog, "optSortKey3");
    EXPECT_EQ(Text(*dialog, "optSortFlg0") + "/" + Text(*dialog, "optSortFlg1"), "新しい順/古い順");
    EXPECT_TRUE(Control<QRadioButton>(*dialog, "optSortFlg1")->isChecked());
    Click(*dialog, "optTab2");
    EXPECT_FALSE(Control<QLineEdit>(*dialog, "txtSizeMaxColumns")->isEnabled());
    Click(*dialog, "optSizeType0");
    EXPECT_TRUE(Control<QLineEdit>(*dialog, "txtSizeMaxColumns")->isEnabled());
    Click(*dialog, "optTab3");
    for (const bool html : {true, false}) {
        for (const char* name : {"cboHtmlName", "chkFolderLinkFlg", "chkFileLinkFlg"})
            EXPECT_EQ(Control<QWidget>(*dialog, name)->isEnabled(), html) << name;
        Click(*dialog, "chkListType");
    }
}

TEST_F(DialogTest, SaveRefusesWrongNumbersWithTheirMessageAndStoresRightOnes) {
    const std::string before = Snapshot(settings, chars);
    const std::tuple<const char*, QString, std::string_view, int16_t Settings::*, int> cases[] = {
        {"txtLines", "-1", kLinesInvalid, nullptr, 0},
        {"txtColumns", "abc", kColumnsInvalid, nullptr, 0},
        {"txtColumns", "40", kColumnsTooNarrow, nullptr, 0},  // with every column switched on
        {"txtLines", "0", "", &Settings::Lines, 1},
        {"txtSizeMaxColumns", "9", "", &Settings::SizeMaxColumns, 11},  // with the separators
    };
    for (const auto& [box, text, message, field, stored] : cases) {
        SCOPED_TRACE(text.toStdString());
        const auto dialog = OpenSetup();
        Type(*dialog, box, text);
        for (const char* column : {"chkCDate", "chkCTime", "chkCRC", "chkVersion"})
            Control<QCheckBox>(*dialog, column)->setChecked(text == "40");
        ModalAnswerer answerer;
        if (!message.empty()) answerer.Then(testing::PressKey(Qt::Key_Return));
        Click(*dialog, "cmdExit");
        EXPECT_TRUE(answerer.AllUsed());
        if (message.empty()) {
            EXPECT_EQ(dialog->result(), QDialog::Accepted);
            EXPECT_EQ(settings.*field, stored);
            continue;
        }
        ExpectMessage(answerer.seen().at(0), message, QMessageBox::Warning);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(Text(*dialog, box), text);
        EXPECT_EQ(Snapshot(settings, chars), before);
    }
}

TEST_F(DialogTest, InitialiseShowsDefaultsAndOnlySaveStoresThem) {
    settings.Columns = 120;
    settings.SortKey = 3;
    settings.ShortCutCaption = "一覧(&I)";
    ComputeWidths(settings);
    const std::string before = Snapshot(settings, chars);
    Settings expected = settings;  // keeps the paths and the window position
    SetDefaults(expected);
    expected.Version = settings.Version;
    expected.FilterText = settings.FilterText;
    expected.SizeMaxColumns = 11;  // the 9 digits shown are stored with their separators
    expected.HtmlName = "";        // the template folder is empty
    ComputeWidths(expected);
    for (const bool save : {false, true}) {
        const auto dialog = OpenSetup();
        Click(*dialog, "cmdInitPara");
        EXPECT_EQ(Text(*dialog, "txtColumns"), "78");
        Click(*dialog, save ? "cmdExit" : "cmdCancel");
        EXPECT_EQ(Snapshot(settings, chars), save ? Snapshot(expected, chars) : before);
    }
}

// The caption is Setup's draft until 保存 (a cancelled edit keeps it); the tree-line table is
// stored when its own dialog saves.
TEST_F(DialogTest, CaptionStaysADraftButTreeLinesAreCommittedAtOnce) {
    for (const bool save : {false, true}) {
        SetCharTableDefaults(chars);
        settings.ShortCutCaption = "元(&O)";
        const auto dialog = OpenSetup();
        ModalAnswerer answerer;
        answerer
            .Then([](QWidget& input) {
                Type(input, "txtShortCutCaption", "新(&N)");
                Click(input, "cmdExit");
            })
            .Then([](QWidget& table) {
                Type(table, "txtCharTable4", "=");
                Click(table, "cmdExit");
            })
            .Then(testing::PressKey(Qt::Key_Escape));
        for (const char* button : {"optTab4", "cmdShortCutCaption", "optTab2", "cmdLineSetup", "optTab4",
                                   "cmdShortCutCaption", save ? "cmdExit" : "cmdCancel"})
            Click(*dialog, button);
        EXPECT_TRUE(answerer.AllUsed());
        EXPECT_EQ(settings.ShortCutCaption, save ? "新(&N)" : "元(&O)");
        EXPECT_EQ(chars.strings[0][4], "=");
    }
}

TEST_F(DialogTest, UnreadableFolderClassSwitchesTheContextMenuOffForGood) {
    // A store without the folder class; afterwards a fresh store, never the person's own.
    tmp.WriteFile("home/.local/share/folvane/registry.ini", "[Drive]\n=sz:ドライブ\n");
    SetRegistryHomeForTesting(tmp.host("home").string());
    const auto dialog = OpenSetup();
    static QTemporaryDir after;
    SetRegistryHomeForTesting(after.path().toStdString());
    EXPECT_FALSE(Control<QCheckBox>(*dialog, "chkShortCutMenu")->isEnabled());
    Click(*dialog, "cmdInitPara");
    EXPECT_FALSE(Control<QCheckBox>(*dialog, "chkShortCutMenu")->isChecked());
    Click(*dialog, "cmdCancel");
    EXPECT_FALSE(settings.ShortCutMenuFlg);
}

TEST_F(DialogTest, TreeLineDialogSwitchesSetsOnACopyStoredOnlyBySave) {
    CharTable start = chars;
    start.strings[0][3] = "`- ";
    CharTable both = start;
    both.strings[0][0] = "a";
    both.strings[1][4] = "＝";
    const std::tuple<std::vector<const char*>, const CharTable&> cases[] = {
        {{"cmdExit"}, both}, {{"cmdCancel"}, start}, {{"cmdInitPara", "cmdExit"}, chars}};
    for (const auto& [buttons, expected] : cases) {
        SCOPED_TRACE(buttons.front());
        CharTable live = start;
        fomLineSetup dialog(nullptr, live);
        Show(dialog);
        EXPECT_EQ(Text(dialog, "txtCharTable3"), "`- ");
        Type(dialog, "txtCharTable0", "a");
        Click(dialog, "optCharType1");
        EXPECT_EQ(Text(dialog, "txtCharTable1"), "│ ");
        Type(dialog, "txtCharTable4", "＝");
        Click(dialog, "optCharType0");
        EXPECT_EQ(Text(dialog, "txtCharTable0"), "a");
        for (const char* button : buttons)
            Click(dialog, button);
        EXPECT_EQ(live.strings, expected.strings);
    }
}

TEST_F(DialogTest, TreeLinePreviewFollowsTheBoxesAndSizesTheDialog) {
    fomLineSetup dialog(nullptr, chars);
    Show(dialog);
    auto* preview = Control<QPlainTextEdit>(dialog, "txtPreView");
    EXPECT_EQ(preview->toPlainText().split('\n').value(4), "|     |- File");
    Type(dialog, "txtCharTable4", "");
    EXPECT_TRUE(preview->toPlainText().startsWith("Root\n"));
    const int hidden = dialog.height();
    Click(dialog, "chkPreView");
    EXPECT_GE(dialog.height(), hidden + preview->height());
    Click(dialog, "chkPreView");
    EXPECT_EQ(dialog.height(), hidden);
}

TEST(CaptionDialog, ReturnsTheEditOrNothingAndRefusesAnEmptyName) {
    const auto typed = [](QString text) {
        return [text](QWidget& dialog) {
            Type(dialog, "txtShortCutCaption", text);
            QTest::keyClick(Control<QLineEdit>(dialog, "txtShortCutCaption"), Qt::Key_Return);
        };
    };
    const std::tuple<std::vector<ModalAnswerer::Step>, std::string> cases[] = {
        {{[](QWidget& dialog) { Click(dialog, "cmdExit"); }}, "名(&N)"},
        {{typed("別")}, "別"},
        {{[](QWidget& dialog) { Click(dialog, "cmdCancel"); }}, ""},
        {{typed(""), testing::PressKey(Qt::Key_Return), testing::PressKey(Qt::Key_Escape)}, ""}};
    for (const auto& [steps, result] : cases) {
        ModalAnswerer answerer;
        for (const auto& step : steps)
            answerer.Then(step);
        EXPECT_EQ(fomTextInput::View(nullptr, "名(&N)"), result);
        EXPECT_TRUE(answerer.AllUsed());
        if (steps.size() > 1)
            ExpectMessage(answerer.seen().at(1), kCaptionEmptyMessage, QMessageBox::Warning);
    }
}

TEST(VersionDialog, ShowsItsTextsAndALiveLink) {
    EXPECT_EQ(VersionText(1, 8, 3), " Version 1.8.3");
    fomVersion dialog(nullptr);
    Show(dialog);
    EXPECT_EQ(dialog.windowTitle(), "バージョン情報");
    EXPECT_EQ(Control<QLabel>(dialog, "lblText0")->text(), Q(kProductName));
    EXPECT_EQ(Control<QLabel>(dialog, "lblText1")->text(), " Version 1.8");
    EXPECT_EQ(Control<QLabel>(dialog, "lblText2")->text(), "Copyright (C) 2026 Folvane developers");
    EXPECT_EQ(Control<QLabel>(dialog, "lblSuport")->text(), Q(kHomePageAddress));
    testing::UrlCatcher catcher;
    QDesktopServices::setUrlHandler("https", &catcher, "Open");
    QTest::mouseClick(Control<QLabel>(dialog, "lblSuport"), Qt::LeftButton);
    QDesktopServices::unsetUrlHandler("https");
    EXPECT_EQ(catcher.urls, QList<QUrl>{QUrl(Q(kHomePageAddress))});
}

}  // namespace
}  // namespace folvane

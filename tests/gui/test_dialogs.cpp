// The dialogs on their real widgets: Setup's controls, notices, validation and storing; the
// tree-line dialog's working copy and preview; the caption and version dialogs; the program's icon.

#include "app/context_menu.h"
#include "app/qt/desktop_program.h"
#include "app/qt/fom_folvane.h"
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

using namespace testing;

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
        settings.Version = "1.8", settings.FilterText = {"*.txt", "*.doc"};
        settings.LastPathName = "Z:\\data", settings.Left = 10;
        ComputeWidths(settings);
        SetCharTableDefaults(chars);
    }

    std::unique_ptr<fomSetup> OpenSetup() {
        auto dialog =
            std::make_unique<fomSetup>(nullptr, settings, chars, "Z:\\opt\\folvane", tmp.path("basehtml"));
        Show(*dialog);
        return dialog;
    }

    TempDir tmp;
    Settings settings;
    CharTable chars;
};

TEST_F(DialogTest, SetupControlsFollowEachOtherAndOnlyAClickGivesTheSlowColumnNotice) {
    settings.ListType = 1, settings.SizeType = 1, settings.SortKey = 2, settings.CRCFlg = true;
    ModalAnswerer answerer({PressKey(Qt::Key_Return)});  // one notice: opening asks nothing
    const auto dialog = OpenSetup();
    Click(*dialog, "chkCRC");  // switched off: no notice
    Click(*dialog, "chkVersion");
    EXPECT_TRUE(answerer.AllUsed());
    ExpectMessage(answerer.seen().at(0), "Folvane", kVersionNotice, QMessageBox::Information);

    Click(*dialog, "optTab1");
    Click(*dialog, "optSortKey3");
    EXPECT_EQ(Text(*dialog, "optSortFlg0") + "/" + Text(*dialog, "optSortFlg1"), "新しい順/古い順");
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

// The numbers themselves are checked by the Setup logic's tests; here each box reaches the check
// and a refusal keeps the dialog open with the text as typed and the settings untouched.
TEST_F(DialogTest, SaveRefusesWrongNumbersWithTheirMessage) {
    const std::string before = Snapshot(settings, chars);
    const std::tuple<const char*, QString, std::string_view> cases[] = {
        {"txtLines", "-1", kLinesInvalid},
        {"txtColumns", "40", kColumnsTooNarrow},  // with every column switched on
        {"txtSizeMaxColumns", "x", kSizeColumnsInvalid},
    };
    for (const auto& [box, text, message] : cases) {
        SCOPED_TRACE(text.toStdString());
        const auto dialog = OpenSetup();
        Type(*dialog, box, text);
        for (const char* column : {"chkCDate", "chkCTime", "chkCRC", "chkVersion"})
            Control<QCheckBox>(*dialog, column)->setChecked(text == "40");
        ModalAnswerer answerer({PressKey(Qt::Key_Return)});
        Click(*dialog, "cmdExit");
        ExpectMessage(answerer.seen().at(0), "Folvane", message, QMessageBox::Warning);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(Text(*dialog, box), text);
        EXPECT_EQ(Snapshot(settings, chars), before);
    }
}

// 初期化 and a caption edit (a cancelled one keeps the draft) are Setup's draft, stored by 保存
// alone; the tree-line table is stored as soon as its own dialog saves.
TEST_F(DialogTest, OnlySaveStoresTheDraftButTreeLinesAreCommittedAtOnce) {
    settings.Columns = 120, settings.SortKey = 3, settings.ShortCutCaption = "元(&O)";
    ComputeWidths(settings);
    const Settings before = settings;
    Settings expected = settings;  // keeps the paths and the window position
    SetDefaults(expected);
    expected.Version = settings.Version, expected.FilterText = settings.FilterText;
    expected.SizeMaxColumns = 11;  // the 9 digits shown are stored with their separators
    expected.HtmlName = "";        // the template folder is empty
    expected.ShortCutCaption = "新(&N)";
    ComputeWidths(expected);
    CharTable edited = chars;
    edited.strings[0][4] = "=";
    for (const bool save : {false, true}) {
        settings = before;
        SetCharTableDefaults(chars);
        const auto dialog = OpenSetup();
        ModalAnswerer answerer({[](QWidget& input) {
                                    Type(input, "txtShortCutCaption", "新(&N)");
                                    Click(input, "cmdExit");
                                },
                                [](QWidget& table) {
                                    Type(table, "txtCharTable4", "=");
                                    Click(table, "cmdExit");
                                },
                                PressKey(Qt::Key_Escape)});
        for (const char* button : {"cmdInitPara", "optTab4", "cmdShortCutCaption", "optTab2", "cmdLineSetup",
                                   "optTab4", "cmdShortCutCaption", save ? "cmdExit" : "cmdCancel"})
            Click(*dialog, button);
        EXPECT_TRUE(answerer.AllUsed());
        EXPECT_EQ(Snapshot(settings, chars), Snapshot(save ? expected : before, edited));
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

// Edits in both sets survive switching between them; only 保存 hands them to the live table.
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
        Type(dialog, "txtCharTable0", "a");
        Click(dialog, "optCharType1");
        EXPECT_EQ(Text(dialog, "txtCharTable1"), "│ ");
        Type(dialog, "txtCharTable4", "＝");
        Click(dialog, "optCharType0");
        for (const char* button : buttons)
            Click(dialog, button);
        EXPECT_EQ(live.strings, expected.strings);
    }
}

TEST_F(DialogTest, TreeLinePreviewFollowsTheBoxesAndSizesTheDialog) {
    fomLineSetup dialog(nullptr, chars);
    Show(dialog);
    auto* preview = Control<QPlainTextEdit>(dialog, "txtPreView");
    Type(dialog, "txtCharTable4", "");  // no rule line above the sample tree
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
        {{typed(""), PressKey(Qt::Key_Return), PressKey(Qt::Key_Escape)}, ""}};
    for (const auto& [steps, result] : cases) {
        ModalAnswerer answerer(steps);
        EXPECT_EQ(fomTextInput::View(nullptr, "名(&N)"), result);
        EXPECT_TRUE(answerer.AllUsed());
        if (steps.size() > 1)
            ExpectMessage(answerer.seen().at(1), "Folvane", kCaptionEmptyMessage, QMessageBox::Warning);
    }
}

QImage Picture(const QIcon& icon, int size) {
    return icon.pixmap(QSize(size, size)).toImage();
}

// Every window carries the program's icon, drawn at every size rather than one picture scaled.
TEST(VersionDialog, CarriesTheProgramsIconTheRevisionOnlyWhenSetAndALiveLink) {
    const QIcon icon = ProgramIcon();
    ASSERT_FALSE(icon.isNull());
    EXPECT_NE(Picture(icon, 16), Picture(icon, 32).scaled(16, 16));
    EXPECT_EQ(QGuiApplication::desktopFileName(), QStringLiteral("example.folvane.Folvane"));
    TempDir tmp;
    fomFolvane window(tmp.path("Folvane.ini"), tmp.path("basehtml"));
    fomVersion dialog(&window);
    for (const QWidget* shown : {static_cast<QWidget*>(&window), static_cast<QWidget*>(&dialog)})
        EXPECT_EQ(Picture(shown->windowIcon(), 32), Picture(icon, 32)) << shown->metaObject()->className();
    const QPixmap picture = Control<QLabel>(dialog, "picIcon")->pixmap();
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.toImage(), Picture(icon, picture.width()));

    EXPECT_EQ(VersionText(1, 8, 0) + "/" + VersionText(1, 8, 3), " Version 1.8/ Version 1.8.3");
    Show(dialog);
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("https", &catcher, "Open");
    QTest::mouseClick(Control<QLabel>(dialog, "lblSuport"), Qt::LeftButton);
    QDesktopServices::unsetUrlHandler("https");
    EXPECT_EQ(catcher.urls, QList<QUrl>{QUrl(Q(kHomePageAddress))});
}

}  // namespace
}  // namespace folvane

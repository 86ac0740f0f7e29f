// The dialogs on their real widgets: the Setup dialog's filling, notices, validation and
// storing; the tree-line dialog's working copy and preview; the caption and version dialogs.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <filesystem>
#include <functional>
#include <memory>

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

// Receives the addresses the link hands to the desktop.
class UrlCatcher : public QObject {
    Q_OBJECT
  public:
    QList<QUrl> urls;
  public slots:
    void Open(const QUrl& url) { urls.push_back(url); }
};

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

// Expects exactly one message box, answered with Enter, saying text under the program's title.
void ExpectMessage(const ModalAnswerer& answerer, std::string_view text, QMessageBox::Icon icon) {
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].text, Q(text));
    EXPECT_EQ(answerer.seen()[0].icon, icon);
    EXPECT_EQ(answerer.seen()[0].title, "Folvane");
}

// The persisted fields, the derived widths and the tree-line table as one comparable text.
std::string Snapshot(const Settings& s, const CharTable& chars) {
    return SettingsFileText(s, chars) + std::to_string(s.NameWidth) + "/" + std::to_string(s.SizeWidth);
}

template <class Dialog>
void Show(Dialog& dialog) {
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
        settings.LastOutPathName = "Z:\\out\\";
        settings.Left = 10;
        settings.Top = 20;
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

TEST_F(DialogTest, SetupShowsTheRecordWithItsDependentStates) {
    settings.ListType = 1;
    settings.SizeType = 1;
    settings.SortKey = 2;
    settings.SortFlg = false;
    settings.CRCFlg = true;  // filled, not clicked: no notice
    ModalAnswerer none;
    const auto dialog = OpenSetup();
    EXPECT_TRUE(none.seen().empty());
    EXPECT_EQ(dialog->windowTitle(), "Folvane の設定");
    EXPECT_EQ(Text(*dialog, "txtLines"), "0");
    EXPECT_EQ(Text(*dialog, "txtSizeMaxColumns"), "9");
    EXPECT_EQ(Control<QLabel>(*dialog, "Label10")->text(), "桁 (カンマを除く)");
    EXPECT_FALSE(Control<QLineEdit>(*dialog, "txtSizeMaxColumns")->isEnabled());
    EXPECT_EQ(Text(*dialog, "optSortFlg0"), "小さい順");
    EXPECT_TRUE(Control<QRadioButton>(*dialog, "optSortFlg1")->isChecked());
    EXPECT_TRUE(Control<QCheckBox>(*dialog, "chkCRC")->isChecked());

    Click(*dialog, "optTab3");
    EXPECT_EQ(dialog->findChild<QStackedWidget*>()->currentWidget()->objectName(), "frmTab3");
    for (bool html : {false, true}) {
        Click(*dialog, "chkListType");
        for (const char* name : {"cboHtmlName", "chkFolderLinkFlg", "chkFileLinkFlg"})
            EXPECT_EQ(Control<QWidget>(*dialog, name)->isEnabled(), html) << name;
    }
    Click(*dialog, "optTab2");
    Click(*dialog, "optSizeType0");
    EXPECT_TRUE(Control<QLineEdit>(*dialog, "txtSizeMaxColumns")->isEnabled());
}

TEST_F(DialogTest, SortKeyRenamesTheDirectionButtonsOnly) {
    const auto dialog = OpenSetup();
    Click(*dialog, "optTab1");
    Click(*dialog, "optSortFlg1");
    const std::tuple<const char*, QString, QString> cases[] = {{"optSortKey2", "小さい順", "大きい順"},
                                                               {"optSortKey3", "新しい順", "古い順"},
                                                               {"optSortKey1", "昇順", "降順"}};
    for (const auto& [key, first, second] : cases) {
        Click(*dialog, key);
        EXPECT_EQ(Text(*dialog, "optSortFlg0") + "/" + Text(*dialog, "optSortFlg1"), first + "/" + second)
            << key;
        EXPECT_TRUE(Control<QRadioButton>(*dialog, "optSortFlg1")->isChecked()) << key;
    }
}

TEST_F(DialogTest, SlowColumnNoticesShowOncePerCheck) {
    const auto dialog = OpenSetup();
    for (auto [box, notice] : {std::pair{"chkCRC", kCrcNotice}, std::pair{"chkVersion", kVersionNotice}}) {
        SCOPED_TRACE(box);
        for (bool checking : {true, false, true}) {
            ModalAnswerer answerer;  // a box it has no step for fails the test
            if (checking) answerer.Then(testing::PressKey(Qt::Key_Return));
            Click(*dialog, box);
            if (checking) ExpectMessage(answerer, notice, QMessageBox::Information);
            EXPECT_TRUE(answerer.AllUsed());
        }
    }
}

TEST_F(DialogTest, SaveValidatesAndStores) {
    const std::string before = Snapshot(settings, chars);
    const struct {
        const char* box;
        QString text;
        std::string_view message;  // "" when 保存 succeeds
        int16_t Settings::*field;
        int16_t stored;
    } cases[] = {
        {"txtLines", "0", "", &Settings::Lines, 1},
        {"txtLines", "-1", kLinesInvalid, nullptr, 0},
        {"txtColumns", "abc", kColumnsInvalid, nullptr, 0},
        {"txtColumns", "40", kColumnsTooNarrow, nullptr, 0},  // with every column switched on
        {"txtSizeMaxColumns", "9", "", &Settings::SizeMaxColumns, 11},
        {"txtSizeMaxColumns", "0", "", &Settings::SizeMaxColumns, 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        const Settings saved = settings;
        const auto dialog = OpenSetup();
        Type(*dialog, c.box, c.text);
        for (const char* box : {"chkCDate", "chkCTime", "chkCRC", "chkVersion"})
            Control<QCheckBox>(*dialog, box)->setChecked(c.text == "40");
        ModalAnswerer answerer;
        if (!c.message.empty()) answerer.Then(testing::PressKey(Qt::Key_Return));
        Click(*dialog, "cmdExit");
        EXPECT_TRUE(answerer.AllUsed());
        if (c.message.empty()) {
            EXPECT_EQ(dialog->result(), QDialog::Accepted);
            EXPECT_EQ(settings.*c.field, c.stored);
            settings = saved;
            continue;
        }
        ExpectMessage(answerer, c.message, QMessageBox::Warning);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(Text(*dialog, c.box), c.text);
        EXPECT_EQ(Snapshot(settings, chars), before);
    }
}

TEST_F(DialogTest, TemplateListOffersWhatTheFolderHolds) {
    const struct {
        std::vector<const char*> files;
        std::string htmlName;
        QString shown;
        std::string stored;
    } cases[] = {{{}, "基本.htm", " （未定義）", ""},
                 {{"基本.htm", "Dark.html"}, "Dark.html", "Dark", "Dark.html"},
                 {{"基本.htm"}, "gone.htm", "基本", "基本.htm"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.htmlName);
        std::filesystem::remove_all(tmp.host("basehtml"));
        tmp.MakeFolder("basehtml");
        for (const char* file : c.files)
            tmp.WriteFile(std::string("basehtml/") + file, "<html></html>");
        settings.HtmlName = c.htmlName;
        const auto dialog = OpenSetup();
        auto* list = Control<QComboBox>(*dialog, "cboHtmlName");
        EXPECT_EQ(list->count(), std::max<int>(1, static_cast<int>(c.files.size())));
        EXPECT_EQ(list->currentText(), c.shown);
        Click(*dialog, "cmdExit");
        EXPECT_EQ(settings.HtmlName, c.stored);
    }
}

TEST_F(DialogTest, InitialiseShowsDefaultsAndOnlySaveStoresThem) {
    settings.Columns = 120;
    settings.ListType = 1;
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
    for (bool save : {false, true}) {
        const auto dialog = OpenSetup();
        Click(*dialog, "cmdInitPara");
        EXPECT_EQ(Text(*dialog, "txtColumns"), "78");
        Click(*dialog, save ? "cmdExit" : "cmdCancel");
        EXPECT_EQ(Snapshot(settings, chars), save ? Snapshot(expected, chars) : before);
    }
}

TEST_F(DialogTest, CaptionStaysADraftButTreeLinesAreCommittedAtOnce) {
    for (bool save : {false, true}) {
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
            .Then(testing::PressKey(Qt::Key_Escape));  // a cancelled edit keeps the draft
        Click(*dialog, "optTab4");
        Click(*dialog, "cmdShortCutCaption");
        Click(*dialog, "optTab2");
        Click(*dialog, "cmdLineSetup");
        Click(*dialog, "optTab4");
        Click(*dialog, "cmdShortCutCaption");
        ASSERT_TRUE(answerer.AllUsed());
        EXPECT_EQ(answerer.seen()[0].kind + answerer.seen()[1].kind,
                  "folvane::fomTextInputfolvane::fomLineSetup");
        Click(*dialog, save ? "cmdExit" : "cmdCancel");
        EXPECT_EQ(settings.ShortCutCaption, save ? "新(&N)" : "元(&O)");
        EXPECT_EQ(chars.strings[0][4], "=");
    }
}

TEST_F(DialogTest, UnreadableFolderClassSwitchesTheContextMenuOff) {
    {
        // A store without the folder class; afterwards a fresh store, never the person's own.
        tmp.WriteFile("home/.local/share/folvane/registry.ini", "[Drive]\n=sz:ドライブ\n");
        SetRegistryHomeForTesting(tmp.host("home").string());
        const auto dialog = OpenSetup();
        static QTemporaryDir after;
        SetRegistryHomeForTesting(after.path().toStdString());
        EXPECT_FALSE(settings.ShortCutMenuFlg);
        auto* box = Control<QCheckBox>(*dialog, "chkShortCutMenu");
        EXPECT_FALSE(box->isEnabled());
        Click(*dialog, "cmdInitPara");
        EXPECT_FALSE(box->isChecked());
        Click(*dialog, "cmdCancel");
    }
    EXPECT_FALSE(settings.ShortCutMenuFlg);
}

TEST_F(DialogTest, TreeLineDialogWorksOnACopyUntilSave) {
    CharTable start = chars;
    start.strings[0][3] = "`- ";
    CharTable both = start;
    both.strings[0][0] = "a";
    both.strings[1][4] = "＝";
    const struct {
        const char* what;
        std::vector<const char*> buttons;  // pressed after both sets were edited
        const CharTable& expected;
    } cases[] = {{"save", {"cmdExit"}, both},
                 {"cancel", {"cmdCancel"}, start},
                 {"initialise, cancel", {"cmdInitPara", "cmdCancel"}, start},
                 {"initialise, save", {"cmdInitPara", "cmdExit"}, chars}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CharTable live = start;
        fomLineSetup dialog(nullptr, live);
        Show(dialog);
        EXPECT_TRUE(Control<QRadioButton>(dialog, "optCharType0")->isChecked());
        EXPECT_EQ(Text(dialog, "txtCharTable3"), "`- ");
        Type(dialog, "txtCharTable0", "a");
        Click(dialog, "optCharType1");
        EXPECT_EQ(Text(dialog, "txtCharTable1"), "│ ");
        Type(dialog, "txtCharTable4", "＝");
        Click(dialog, "optCharType0");
        EXPECT_EQ(Text(dialog, "txtCharTable0"), "a");
        for (const char* button : c.buttons)
            Click(dialog, button);
        EXPECT_EQ(live.strings, c.expected.strings);
    }
}

TEST_F(DialogTest, TreeLinePreviewAndItsHeight) {
    fomLineSetup dialog(nullptr, chars);
    Show(dialog);
    auto* preview = Control<QPlainTextEdit>(dialog, "txtPreView");
    EXPECT_FALSE(preview->isVisible());
    EXPECT_EQ(preview->toPlainText().split('\n').value(4), "|     |- File");
    Type(dialog, "txtCharTable4", "");
    EXPECT_TRUE(preview->toPlainText().startsWith("Root\n"));

    const int hidden = dialog.height();
    Click(dialog, "chkPreView");
    EXPECT_TRUE(preview->isVisible());
    EXPECT_GE(dialog.height(), hidden + preview->height());
    Click(dialog, "chkPreView");
    EXPECT_EQ(dialog.height(), hidden);
}

TEST_F(DialogTest, CaptionDialogRefusesAnEmptyName) {
    fomTextInput dialog(nullptr, "名(&N)");
    Show(dialog);
    EXPECT_EQ(Control<QLabel>(dialog, "Label2")->text(),
              "アンパサンド & を付けると直後の文字がアクセスキーになります。");
    Type(dialog, "txtShortCutCaption", "");
    ModalAnswerer answerer;
    answerer.Then(testing::PressKey(Qt::Key_Return));
    Click(dialog, "cmdExit");
    ExpectMessage(answerer, kCaptionEmptyMessage, QMessageBox::Warning);
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(DialogTest, CaptionDialogViewReturnsTheEditOrNothing) {
    const std::pair<ModalAnswerer::Step, std::string> cases[] = {
        {[](QWidget& d) { Click(d, "cmdExit"); }, "名(&N)"},
        {[](QWidget& d) {
             Type(d, "txtShortCutCaption", "別");
             QTest::keyClick(Control<QLineEdit>(d, "txtShortCutCaption"), Qt::Key_Return);
         },
         "別"},
        {[](QWidget& d) { Click(d, "cmdCancel"); }, ""},
        {testing::PressKey(Qt::Key_Escape), ""}};
    for (const auto& [step, result] : cases) {
        ModalAnswerer answerer;
        answerer.Then(step);
        EXPECT_EQ(fomTextInput::View(nullptr, "名(&N)"), result);
        EXPECT_TRUE(answerer.AllUsed());
    }
}

TEST(VersionText, RevisionOnlyWhenNotZero) {
    EXPECT_EQ(VersionText(1, 8, 0), " Version 1.8");
    EXPECT_EQ(VersionText(1, 8, 3), " Version 1.8.3");
    EXPECT_EQ(VersionText(2, 10, 0), " Version 2.10");
}

TEST(VersionDialog, ShowsItsTextsAndALiveLink) {
    fomVersion dialog(nullptr);
    Show(dialog);
    EXPECT_EQ(dialog.windowTitle(), "バージョン情報");
    EXPECT_EQ(Control<QLabel>(dialog, "lblText0")->text(), Q(kProductName));
    EXPECT_EQ(Control<QLabel>(dialog, "lblText1")->text(), " Version 1.8");
    EXPECT_EQ(Control<QLabel>(dialog, "lblText2")->text(), "Copyright (C) 2026 Folvane developers");
    auto* link = Control<QLabel>(dialog, "lblSuport");
    EXPECT_EQ(link->text(), Q(kHomePageAddress));

    QTest::mouseMove(link, link->rect().center());
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    QTest::mouseMove(&dialog, QPoint(1, 1));
    EXPECT_EQ(link->palette().color(QPalette::WindowText), dialog.palette().color(QPalette::ButtonText));

    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("https", &catcher, "Open");
    QTest::mouseClick(link, Qt::LeftButton);
    QDesktopServices::unsetUrlHandler("https");
    ASSERT_EQ(catcher.urls.size(), 1);
    EXPECT_EQ(catcher.urls[0].toString(), Q(kHomePageAddress));
    EXPECT_TRUE(dialog.isVisible());
}

}  // namespace
}  // namespace folvane

#include "test_dialogs.moc"

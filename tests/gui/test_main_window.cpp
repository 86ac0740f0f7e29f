// The main window driven through its real widgets: start-up, the command line's errors, the
// automatic run, a run cancelled or ended from its buttons, the close request during a run,
// the filter panel, drops, the Enter key and the folder browser.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFrame>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/qt/desktop_program.h"
#include "app/qt/fom_folvane.h"
#include "engine/listing_run.h"
#include "platform/path_space.h"
#include "settings/settings_file.h"
#include "tests/gui/gui_support.h"
#include "tests/support/temp_dir.h"

namespace folvane {
namespace {

using testing::Control;
using testing::ModalAnswerer;

const QString kYes = "はい(&Y)";
const QString kNo = "いいえ(&N)";

std::string ReadAll(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

fomFolvane* MainWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<fomFolvane*>(widget)) return window;
    }
    return nullptr;
}

// How the window looks: what the busy state changes.
struct Look {
    QString execText;
    bool execEnabled = false;
    bool ctrlPanelEnabled = false;
    Qt::CursorShape windowCursor = Qt::ArrowCursor;
    Qt::CursorShape execCursor = Qt::ArrowCursor;
    QString status;
};

Look LookOf(fomFolvane& window) {
    Look look;
    auto* exec = Control<QPushButton>(window, "cmdExec");
    look.execText = exec->text();
    look.execEnabled = exec->isEnabled();
    look.ctrlPanelEnabled = Control<QFrame>(window, "frmCtrlPanel")->isEnabled();
    look.windowCursor = window.cursor().shape();
    look.execCursor = exec->cursor().shape();
    look.status = Control<QStatusBar>(window, "sbrStatus")->currentMessage();
    return look;
}

// A drag from the file manager over target, dropped when the window takes it. True when the
// drop was taken as a copy.
bool DropOn(QWidget& window, QWidget& target, const QMimeData& data,
            Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction) {
    const QPoint at = target.mapTo(&window, target.rect().center());
    QWindow* handle = window.windowHandle();
    QDragEnterEvent enter(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(handle, &enter);
    if (!enter.isAccepted()) {
        QDragLeaveEvent leave;
        QCoreApplication::sendEvent(handle, &leave);
        return false;
    }
    QDropEvent drop(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(handle, &drop);
    return drop.isAccepted() && drop.dropAction() == Qt::CopyAction;
}

// tree\ holds four folders of ten files each; the settings file lives in ini\.
class MainWindowTest : public ::testing::Test {
  protected:
    MainWindowTest() {
        for (int i = 0; i < 40; ++i)
            tmp.WriteFile("tree/sub" + std::to_string(i % 4) + "/file" + std::to_string(i) + ".txt", "x");
        tmp.MakeFolder("ini");
    }

    std::string Ini() const { return tmp.path("ini") + "\\Folvane.ini"; }
    bool IniWritten() const { return std::filesystem::exists(tmp.host("ini/Folvane.ini")); }
    // A window started with an empty command line and shown.
    std::unique_ptr<fomFolvane> Started() const {
        auto window = std::make_unique<fomFolvane>(Ini(), "");
        EXPECT_TRUE(window->Load(""));
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return window;
    }

    testing::TempDir tmp;
};

TEST_F(MainWindowTest, StartsEmptyWithoutASettingsFileAndWritesNothing) {
    auto window = Started();
    EXPECT_EQ(window->windowTitle(), QString("Folvane"));
    EXPECT_EQ(Control<QPushButton>(*window, "cmdExec")->text(), QString("実行(&E)"));
    EXPECT_TRUE(Control<QLineEdit>(*window, "txtDirName")->text().isEmpty());
    EXPECT_TRUE(Control<QFrame>(*window, "frmWildCard")->isHidden());
    EXPECT_TRUE(Control<QStatusBar>(*window, "sbrStatus")->currentMessage().isEmpty());

    // The access key of the folder label reaches its field.
    Control<QPushButton>(*window, "cmdExit")->setFocus();
    QTest::keyClick(window.get(), Qt::Key_F, Qt::AltModifier);
    EXPECT_TRUE(Control<QLineEdit>(*window, "txtDirName")->hasFocus());
    window->close();
    EXPECT_FALSE(IniWritten());
}

TEST_F(MainWindowTest, StartsFromTheSettingsFileAndExitStoresFolderAndPosition) {
    Settings stored;
    SetDefaults(stored);
    stored.LastPathName = tmp.path("tree");
    stored.FilterText = {"*.txt", "*.csv"};
    stored.FilterFlg = true;
    stored.Left = 30;
    stored.Top = 40;
    CharTable table;
    SetCharTableDefaults(table);
    ASSERT_TRUE(SaveSettings(Ini(), stored, table));

    auto window = Started();
    EXPECT_EQ(Control<QLineEdit>(*window, "txtDirName")->text().toStdString(), tmp.path("tree"));
    auto* filter = Control<QComboBox>(*window, "cboFilterText");
    ASSERT_EQ(filter->count(), 2);
    EXPECT_EQ(filter->itemText(1), QString("*.csv"));
    EXPECT_EQ(filter->itemData(1).toInt(), 1);
    EXPECT_TRUE(filter->currentText().isEmpty());
    EXPECT_FALSE(Control<QFrame>(*window, "frmWildCard")->isHidden());
    EXPECT_EQ(window->pos(), QPoint(30, 40));

    Control<QLineEdit>(*window, "txtDirName")->setText(" typed as is ");
    window->move(50, 60);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->pos() == QPoint(50, 60); }));
    QTest::mouseClick(Control<QPushButton>(*window, "cmdExit"), Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());
    Settings saved;
    LoadSettings(Ini(), "", saved, table);
    EXPECT_EQ(saved.LastPathName, " typed as is ");
    EXPECT_EQ(saved.Left, 50);
    EXPECT_EQ(saved.Top, 60);
}

TEST_F(MainWindowTest, RejectedCommandLinesShowTheirMessageAndEndBeforeTheWindowShows) {
    const std::string tree = tmp.path("tree");
    const std::pair<std::string, std::string> cases[] = {
        {"/Q", "起動パラメータに誤りがあります。"},
        {"\"Z:\\no such\\folder\"", "指定された調査フォルダが不正です。"},
        {tree + " " + tree, "指定された保存ファイル名が不正です。"},
        {"/CO 1 " + tree, "桁数の指定が狭すぎます。"},
    };
    for (const auto& [commandLine, message] : cases) {
        SCOPED_TRACE(commandLine);
        ModalAnswerer answerer;
        bool windowShown = true;
        answerer.Then([&](QWidget& modal) {
            windowShown = MainWindow() != nullptr && MainWindow()->isVisible();
            QTest::keyClick(&modal, Qt::Key_Return);
        });
        EXPECT_EQ(RunMainWindow(commandLine, Ini(), ""), 1);
        ASSERT_EQ(answerer.seen().size(), 1u);
        const testing::SeenModal& seen = answerer.seen()[0];
        EXPECT_EQ(seen.title, QString("Folvane 起動エラー"));
        EXPECT_EQ(seen.icon, QMessageBox::Critical);
        EXPECT_EQ(seen.text.toStdString(),
                  message + "\n\nFolvane [/option] [dir [file]]\n（詳しくはヘルプを参照して下さい）\n\n\"" +
                      commandLine + "\"");
        EXPECT_FALSE(windowShown);
        EXPECT_FALSE(IniWritten());
    }
}

TEST_F(MainWindowTest, AutomaticRunWritesTheListingAndEndsWithoutSavingSettings) {
    const std::string out = tmp.path("listing.txt");
    ModalAnswerer answerer;
    const int code = testing::WithWatchdog(
        [&] { return RunMainWindow("/A \"" + tmp.path("tree") + "\" \"" + out + "\"", Ini(), ""); });
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(answerer.seen().empty());
    const std::string listing = ReadAll(tmp.host("listing.txt"));
    EXPECT_NE(listing.find("file39.txt"), std::string::npos);
    EXPECT_NE(listing.find("sub3"), std::string::npos);
    EXPECT_FALSE(IniWritten());
}

TEST_F(MainWindowTest, ExecDuringARunAsksToCancelWithNoAsTheDefault) {
    for (const bool cancel : {true, false}) {
        SCOPED_TRACE(cancel ? "answered Yes" : "answered No");
        auto window = Started();
        window->SetFolderText(tmp.path("tree"));
        const auto out = tmp.host(cancel ? "cancelled.txt" : "kept.txt");
        ModalAnswerer answerer;
        answerer.Then(testing::ClickButton(cancel ? kYes : kNo));
        if (!cancel) answerer.Then(testing::ChooseFile(out.string()));
        auto* exec = Control<QPushButton>(*window, "cmdExec");
        Look during;
        std::string progress;
        // Runs at the walk's first pump, as a click of the person would.
        QTimer::singleShot(0, window.get(), [&] {
            during = LookOf(*window);
            progress = ProgressText(window->form().run().FoldersRead, window->form().run().FilesRead);
            QTest::mouseClick(exec, Qt::LeftButton);
        });
        QTest::mouseClick(exec, Qt::LeftButton);

        EXPECT_TRUE(answerer.AllUsed());
        ASSERT_FALSE(answerer.seen().empty());
        EXPECT_EQ(answerer.seen()[0].text.toStdString(), kCancelQuestion);
        EXPECT_EQ(answerer.seen()[0].icon, QMessageBox::Information);
        EXPECT_EQ(answerer.seen()[0].defaultButton, kNo);
        EXPECT_EQ(during.execText, QString("中断"));
        EXPECT_TRUE(during.execEnabled);
        EXPECT_FALSE(during.ctrlPanelEnabled);
        EXPECT_EQ(during.windowCursor, Qt::WaitCursor);
        EXPECT_EQ(during.execCursor, Qt::BusyCursor);
        EXPECT_EQ(during.status.toStdString(), progress);
        EXPECT_TRUE(during.status.startsWith("フォルダ "));

        const Look after = LookOf(*window);
        EXPECT_EQ(after.execText, QString("実行"));
        EXPECT_TRUE(after.ctrlPanelEnabled);
        EXPECT_EQ(after.windowCursor, Qt::ArrowCursor);
        EXPECT_TRUE(after.status.isEmpty());
        EXPECT_EQ(std::filesystem::exists(out), !cancel);
        if (!cancel) {
            EXPECT_EQ(answerer.seen()[1].fileName, QString("treeのリスト.txt"));
            EXPECT_NE(ReadAll(out).find("file39.txt"), std::string::npos);
        }
        EXPECT_TRUE(QTest::qWaitFor([&] { return window->windowTitle() == "Folvane"; }));
    }
}

// The program runs its event loop; at the walk's first pump the person either closes the
// window or presses 終了 and answers the question.
TEST_F(MainWindowTest, CloseOrExitDuringARunEndsTheProgramAfterTheWalk) {
    enum class Ending { Close, ExitYes, ExitNo };
    for (const Ending ending : {Ending::Close, Ending::ExitYes, Ending::ExitNo}) {
        SCOPED_TRACE(static_cast<int>(ending));
        const auto out = tmp.host("listing.txt");
        std::filesystem::remove(out);
        std::filesystem::remove(tmp.host("ini/Folvane.ini"));
        ModalAnswerer answerer;
        if (ending != Ending::Close)
            answerer.Then(testing::ClickButton(ending == Ending::ExitYes ? kYes : kNo));
        if (ending == Ending::ExitNo) answerer.Then(testing::ChooseFile(out.string()));
        bool busyAtRequest = false;
        ListingOutcome outcome = ListingOutcome::None;
        QTimer::singleShot(0, [&] {
            fomFolvane* window = MainWindow();
            ASSERT_NE(window, nullptr);
            window->SetFolderText(tmp.path("tree"));
            QTimer::singleShot(0, window, [&, window] {
                busyAtRequest = window->form().run().BusyFlag;
                if (ending == Ending::Close) {
                    window->close();
                } else {
                    QTest::mouseClick(Control<QPushButton>(*window, "cmdExit"), Qt::LeftButton);
                }
            });
            QTest::mouseClick(Control<QPushButton>(*window, "cmdExec"), Qt::LeftButton);
            outcome = window->form().runner().LastOutcome();
            // Answered No, the run went on and the window stays: end the program normally.
            if (ending == Ending::ExitNo)
                QTest::mouseClick(Control<QPushButton>(*window, "cmdExit"), Qt::LeftButton);
        });
        EXPECT_EQ(testing::WithWatchdog([&] { return RunMainWindow("", Ini(), ""); }), 0);
        EXPECT_TRUE(busyAtRequest);
        EXPECT_TRUE(answerer.AllUsed());
        EXPECT_EQ(outcome, ending == Ending::ExitNo ? ListingOutcome::Saved : ListingOutcome::Cancelled);
        EXPECT_EQ(std::filesystem::exists(out), ending == Ending::ExitNo);
        EXPECT_EQ(IniWritten(), ending != Ending::Close);
        EXPECT_EQ(MainWindow(), nullptr);
    }
}

TEST_F(MainWindowTest, FilterPanelGrowsAndShrinksTheWindowByItsHeight) {
    auto window = Started();
    auto* ctrl = Control<QFrame>(*window, "frmCtrlPanel");
    auto* wildCard = Control<QFrame>(*window, "frmWildCard");
    auto* tray = Control<QFrame>(*window, "frmButtonTray");
    const int without = window->height();
    EXPECT_EQ(tray->y(), ctrl->y() + ctrl->height());

    window->form().settings().FilterFlg = true;
    window->form().ArrangePanels();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->height() != without; }));
    EXPECT_TRUE(wildCard->isVisible());
    EXPECT_GT(wildCard->height(), 0);
    EXPECT_EQ(window->height(), without + wildCard->height());
    EXPECT_EQ(wildCard->y(), ctrl->y() + ctrl->height());
    EXPECT_EQ(tray->y(), wildCard->y() + wildCard->height());
    QTest::keyClick(window.get(), Qt::Key_W, Qt::AltModifier);
    EXPECT_TRUE(Control<QComboBox>(*window, "cboFilterText")->hasFocus());

    window->form().settings().FilterFlg = false;
    window->form().ArrangePanels();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->height() == without; }));
    EXPECT_TRUE(wildCard->isHidden());
    EXPECT_EQ(tray->y(), ctrl->y() + ctrl->height());
}

TEST_F(MainWindowTest, DropsOnTheFolderControlsTakeTheFirstPathAndNowhereElse) {
    auto window = Started();
    window->form().settings().FilterFlg = true;
    window->form().ArrangePanels();
    auto* field = Control<QLineEdit>(*window, "txtDirName");
    const auto fileUrl =
        QUrl::fromLocalFile(QString::fromStdString(tmp.host("tree/sub1/file1.txt").string()));
    const auto folderUrl = QUrl::fromLocalFile(QString::fromStdString(tmp.host("tree").string()));
    struct Case {
        const char* target;
        QList<QUrl> urls;
        Qt::DropActions actions;
        bool taken;
        std::string expected;
    };
    const Qt::DropActions copyOrMove = Qt::CopyAction | Qt::MoveAction;
    const Case cases[] = {
        {"txtDirName", {folderUrl, fileUrl}, copyOrMove, true, tmp.path("tree")},
        {"Label1", {fileUrl}, copyOrMove, true, tmp.path("tree") + "\\sub1\\file1.txt"},
        {"cmdSelDir", {folderUrl}, Qt::CopyAction, true, tmp.path("tree")},
        {"frmCtrlPanel", {}, copyOrMove, true, "before"},
        {"txtDirName", {folderUrl}, Qt::MoveAction, false, "before"},
        {"cboFilterText", {folderUrl}, copyOrMove, false, "before"},
        {"frmWildCard", {folderUrl}, copyOrMove, false, "before"},
        {"frmButtonTray", {folderUrl}, copyOrMove, false, "before"},
        {"cmdSetup", {folderUrl}, copyOrMove, false, "before"},
        {"cmdExec", {folderUrl}, copyOrMove, false, "before"},
        {"cmdExit", {folderUrl}, copyOrMove, false, "before"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        window->SetFolderText("before");
        QMimeData data;
        data.setUrls(c.urls);
        data.setText("dropped text");
        EXPECT_EQ(DropOn(*window, *Control<QWidget>(*window, c.target), data, c.actions), c.taken);
        EXPECT_EQ(field->text().toStdString(), c.expected);
        EXPECT_FALSE(field->hasSelectedText());
        EXPECT_EQ(field->cursorPosition(), field->text().size());
        EXPECT_TRUE(Control<QComboBox>(*window, "cboFilterText")->currentText().isEmpty());
    }

    // A folder whose name is not UTF-8 keeps its bytes from the drop to the run; addresses
    // that are no local files do not count.
    const auto oddFolder = tmp.MakeFolder("odd\xff");
    const QByteArray oddPath = QByteArray::fromStdString(oddFolder.string()).toPercentEncoding("/");
    QMimeData odd;
    odd.setUrls({QUrl("https://example.org/"), QUrl::fromEncoded("file://" + oddPath)});
    ASSERT_TRUE(DropOn(*window, *field, odd));
    EXPECT_EQ(window->FolderText(), PathFromHost(oddFolder.string()));
}

TEST_F(MainWindowTest, EnterInTheFieldsStartsTheRun) {
    auto window = Started();
    window->form().settings().FilterFlg = true;
    window->form().settings().FilterText = {"*.txt *.csv"};
    window->form().ArrangePanels();
    window->form().FillFilterList("");
    auto* filter = Control<QComboBox>(*window, "cboFilterText");
    struct Case {
        QWidget* control;
        std::string typed;
        ModalAnswerer::Step answer;
        QString kind;
        QString shows;
    };
    const Case cases[] = {
        // Blanks only: the folder is not found and the text is quoted as typed.
        {Control<QLineEdit>(*window, "txtDirName"), "  ", testing::PressKey(Qt::Key_Return), "QMessageBox",
         QString::fromStdString(std::string(kFolderNotFoundMessage) + "\n\n\"  \"")},
        // A host path names the folder: the run proposes its listing's name.
        {Control<QLineEdit>(*window, "txtDirName"), tmp.host("tree").string(), testing::Cancel(),
         "QFileDialog", "treeのリスト.txt"},
        // Enter in the filter field runs too, and the history alone fills its list.
        {filter->lineEdit(), "*.TXT", testing::Cancel(), "QFileDialog", "treeのリスト.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        c.control->setFocus();
        QTest::keyClick(c.control, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(c.control, QString::fromStdString(c.typed));
        ModalAnswerer answerer;
        answerer.Then(c.answer);
        QTest::keyClick(c.control, Qt::Key_Return);
        ASSERT_EQ(answerer.seen().size(), 1u);
        EXPECT_EQ(answerer.seen()[0].kind, c.kind);
        EXPECT_EQ(c.kind == "QMessageBox" ? answerer.seen()[0].text : answerer.seen()[0].fileName, c.shows);
        EXPECT_EQ(Control<QPushButton>(*window, "cmdExec")->text(), QString("実行"));
    }
    // What was typed counts, not a completion from the history.
    ASSERT_EQ(filter->count(), 2);
    EXPECT_EQ(filter->itemText(0), QString("*.TXT"));
    EXPECT_EQ(filter->currentText(), QString("*.TXT"));
    EXPECT_EQ(window->form().run().FilterPatterns, std::vector<std::string>{"*.txt"});
}

TEST_F(MainWindowTest, FolderBrowserStartsAtTheFieldsFolderAndFillsItIn) {
    auto window = Started();
    window->SetFolderText(tmp.path("tree") + "\\");
    ModalAnswerer answerer;
    answerer.Then([&](QWidget& modal) {
        auto* dialog = qobject_cast<QFileDialog*>(&modal);
        ASSERT_NE(dialog, nullptr);
        dialog->setDirectory(QString::fromStdString(tmp.host("tree/sub2").string()));
        static_cast<QDialog*>(dialog)->accept();
    });
    QTest::mouseClick(Control<QPushButton>(*window, "cmdSelDir"), Qt::LeftButton);
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].directory.toStdString(), tmp.host("tree").string());
    EXPECT_EQ(Control<QLineEdit>(*window, "txtDirName")->text().toStdString(), tmp.path("tree") + "\\sub2");
}

TEST_F(MainWindowTest, SetupButtonOpensTheSetupDialogModally) {
    auto window = Started();
    const int height = window->height();
    ModalAnswerer answerer;
    answerer.Then(testing::Cancel());
    QTest::mouseClick(Control<QPushButton>(*window, "cmdSetup"), Qt::LeftButton);
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].title, QString("Folvane の設定"));
    EXPECT_EQ(window->height(), height);
}

}  // namespace
}  // namespace folvane

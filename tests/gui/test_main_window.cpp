// The main window driven through its real widgets: start-up, the command line's errors, the
// automatic run, a run cancelled or ended during the walk, the filter panel, drops, Enter.

#include <filesystem>
#include <fstream>

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
    return {std::istreambuf_iterator<char>(std::ifstream(file, std::ios::binary).rdbuf()), {}};
}

fomFolvane* MainWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<fomFolvane*>(widget)) return window;
    }
    return nullptr;
}

void Press(const QWidget& window, const char* button) {
    QTest::mouseClick(Control<QPushButton>(window, button), Qt::LeftButton);
}

// What the busy state changes: Exec's caption and cursor, the folder panel, the window's cursor,
// the status line.
auto LookOf(fomFolvane& window) {
    auto* exec = Control<QPushButton>(window, "cmdExec");
    return std::tuple(exec->text(), exec->cursor().shape(),
                      Control<QFrame>(window, "frmCtrlPanel")->isEnabled(), window.cursor().shape(),
                      Control<QStatusBar>(window, "sbrStatus")->currentMessage());
}

// A drag from the file manager over target, dropped when the window takes it. True when the drop
// was taken as a copy.
bool DropOn(QWidget& window, QWidget& target, const QMimeData& data,
            Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction) {
    const QPoint at = target.mapTo(&window, target.rect().center());
    QDragEnterEvent enter(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window.windowHandle(), &enter);
    if (!enter.isAccepted()) {
        QDragLeaveEvent leave;
        QCoreApplication::sendEvent(window.windowHandle(), &leave);
        return false;
    }
    QDropEvent drop(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window.windowHandle(), &drop);
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
    std::unique_ptr<fomFolvane> Started() const {
        auto window = std::make_unique<fomFolvane>(Ini(), "");
        EXPECT_TRUE(window->Load(""));
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return window;
    }

    testing::TempDir tmp;
};

TEST_F(MainWindowTest, StartsWithOrWithoutTheSettingsFileAndExitStoresFolderAndPosition) {
    auto window = Started();
    EXPECT_EQ(window->windowTitle(), "Folvane");
    EXPECT_EQ(Control<QPushButton>(*window, "cmdExec")->text(), "実行(&E)");
    EXPECT_TRUE(Control<QLineEdit>(*window, "txtDirName")->text().isEmpty());
    EXPECT_TRUE(Control<QFrame>(*window, "frmWildCard")->isHidden());
    window->close();
    EXPECT_FALSE(IniWritten());

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
    window = Started();
    EXPECT_EQ(window->FolderText(), tmp.path("tree"));
    auto* filter = Control<QComboBox>(*window, "cboFilterText");
    ASSERT_EQ(filter->count(), 2);
    EXPECT_EQ(filter->itemText(1), "*.csv");
    EXPECT_TRUE(filter->currentText().isEmpty());
    EXPECT_FALSE(Control<QFrame>(*window, "frmWildCard")->isHidden());
    EXPECT_EQ(window->pos(), QPoint(30, 40));

    Control<QLineEdit>(*window, "txtDirName")->setText(" typed as is ");
    window->move(50, 60);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->pos() == QPoint(50, 60); }));
    Press(*window, "cmdExit");
    EXPECT_FALSE(window->isVisible());
    Settings saved;
    LoadSettings(Ini(), "", saved, table);
    EXPECT_EQ(std::tuple(saved.LastPathName, saved.Left, saved.Top), std::tuple(" typed as is ", 50, 60));
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
        EXPECT_EQ(answerer.seen()[0].title, "Folvane 起動エラー");
        EXPECT_EQ(answerer.seen()[0].icon, QMessageBox::Critical);
        EXPECT_EQ(answerer.seen()[0].text.toStdString(),
                  message + "\n\nFolvane [/option] [dir [file]]\n（詳しくはヘルプを参照して下さい）\n\n\"" +
                      commandLine + "\"");
        EXPECT_FALSE(windowShown);
        EXPECT_FALSE(IniWritten());
    }
}

TEST_F(MainWindowTest, AutomaticRunWritesTheListingAndEndsWithoutSavingSettings) {
    ModalAnswerer none;
    const std::string commandLine = "/A \"" + tmp.path("tree") + "\" \"" + tmp.path("listing.txt") + "\"";
    EXPECT_EQ(testing::WithWatchdog([&] { return RunMainWindow(commandLine, Ini(), ""); }), 0);
    EXPECT_NE(ReadAll(tmp.host("listing.txt")).find("sub3"), std::string::npos);
    EXPECT_NE(ReadAll(tmp.host("listing.txt")).find("file39.txt"), std::string::npos);
    EXPECT_FALSE(IniWritten());
}

TEST_F(MainWindowTest, ExecDuringARunAsksToCancelWithNoAsTheDefault) {
    EXPECT_EQ(ProgressText(1234, 56789), "フォルダ 1,234 ・ ファイル 56,789");
    for (const bool cancel : {true, false}) {
        SCOPED_TRACE(cancel ? "answered Yes" : "answered No");
        auto window = Started();
        window->SetFolderText(tmp.path("tree"));
        const auto out = tmp.host(cancel ? "cancelled.txt" : "kept.txt");
        ModalAnswerer answerer;
        answerer.Then(testing::ClickButton(cancel ? kYes : kNo));
        if (!cancel) answerer.Then(testing::ChooseFile(out.string()));
        decltype(LookOf(*window)) during;
        std::string progress;
        // At the walk's first pump, as a click of the person would.
        QTimer::singleShot(0, window.get(), [&] {
            during = LookOf(*window);
            progress = ProgressText(window->form().run().FoldersRead, window->form().run().FilesRead);
            Press(*window, "cmdExec");
        });
        Press(*window, "cmdExec");

        EXPECT_TRUE(answerer.AllUsed());
        ASSERT_FALSE(answerer.seen().empty());
        EXPECT_EQ(answerer.seen()[0].text.toStdString(), kCancelQuestion);
        EXPECT_EQ(answerer.seen()[0].icon, QMessageBox::Information);
        EXPECT_EQ(answerer.seen()[0].defaultButton, kNo);
        EXPECT_EQ(during, std::tuple("中断", Qt::BusyCursor, false, Qt::WaitCursor,
                                     QString::fromStdString(progress)));
        EXPECT_EQ(LookOf(*window), std::tuple("実行", Qt::ArrowCursor, true, Qt::ArrowCursor, ""));
        EXPECT_EQ(std::filesystem::exists(out), !cancel);
        if (!cancel) {
            EXPECT_EQ(answerer.seen()[1].fileName, "treeのリスト.txt");
            EXPECT_NE(ReadAll(out).find("file39.txt"), std::string::npos);
        }
        EXPECT_TRUE(QTest::qWaitFor([&] { return window->windowTitle() == "Folvane"; }));
    }
}

// The program runs its event loop; at the walk's first pump the person closes the window, or
// presses 終了 and answers the question.
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
                ending == Ending::Close ? (void)window->close() : Press(*window, "cmdExit");
            });
            Press(*window, "cmdExec");
            outcome = window->form().runner().LastOutcome();
            // Answered No, the run went on and the window stays: end the program normally.
            if (ending == Ending::ExitNo) Press(*window, "cmdExit");
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
    for (const bool shown : {true, false}) {
        window->form().settings().FilterFlg = shown;
        window->form().ArrangePanels();
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return window->height() == without + (shown ? wildCard->height() : 0); }));
        EXPECT_EQ(wildCard->isVisible(), shown);
        EXPECT_EQ(tray->y(), ctrl->y() + ctrl->height() + (shown ? wildCard->height() : 0));
    }
    EXPECT_GT(wildCard->height(), 0);
}

TEST_F(MainWindowTest, DropsOnTheFolderPanelTakeTheFirstPathAndNowhereElse) {
    auto window = Started();
    window->form().settings().FilterFlg = true;
    window->form().ArrangePanels();
    auto* field = Control<QLineEdit>(*window, "txtDirName");
    const auto fileUrl =
        QUrl::fromLocalFile(QString::fromStdString(tmp.host("tree/sub1/file1.txt").string()));
    const auto folderUrl = QUrl::fromLocalFile(QString::fromStdString(tmp.host("tree").string()));
    const Qt::DropActions copyOrMove = Qt::CopyAction | Qt::MoveAction;
    const std::tuple<const char*, QList<QUrl>, Qt::DropActions, bool, std::string> cases[] = {
        {"txtDirName", {folderUrl, fileUrl}, copyOrMove, true, tmp.path("tree")},
        {"Label1", {fileUrl}, copyOrMove, true, tmp.path("tree") + "\\sub1\\file1.txt"},
        {"cmdSelDir", {folderUrl}, Qt::CopyAction, true, tmp.path("tree")},
        {"frmCtrlPanel", {}, copyOrMove, true, "before"},
        {"txtDirName", {folderUrl}, Qt::MoveAction, false, "before"},  // a move would delete the source
        {"cboFilterText", {folderUrl}, copyOrMove, false, "before"},
        {"cmdExec", {folderUrl}, copyOrMove, false, "before"},
    };
    for (const auto& [target, urls, actions, taken, expected] : cases) {
        SCOPED_TRACE(target);
        window->SetFolderText("before");
        QMimeData data;
        data.setUrls(urls);
        data.setText("dropped text");
        EXPECT_EQ(DropOn(*window, *Control<QWidget>(*window, target), data, actions), taken);
        EXPECT_EQ(field->text().toStdString(), expected);
        EXPECT_FALSE(field->hasSelectedText());
        EXPECT_EQ(field->cursorPosition(), field->text().size());
        EXPECT_TRUE(Control<QComboBox>(*window, "cboFilterText")->currentText().isEmpty());
    }

    // A folder whose name is not UTF-8 keeps its bytes from the drop to the run; addresses that
    // are no local files do not count.
    const auto oddFolder = tmp.MakeFolder("odd\xff");
    QMimeData odd;
    odd.setUrls({QUrl("https://example.org/"),
                 QUrl::fromEncoded("file://" +
                                   QByteArray::fromStdString(oddFolder.string()).toPercentEncoding("/"))});
    ASSERT_TRUE(DropOn(*window, *field, odd));
    EXPECT_EQ(window->FolderText(), PathFromHost(oddFolder.string()));
}

// A host path typed into the folder field names the folder; the filter typed counts as typed,
// never as a completion from the history.
TEST_F(MainWindowTest, EnterInEitherFieldRunsWithWhatWasTyped) {
    auto window = Started();
    window->form().settings().FilterFlg = true;
    window->form().settings().FilterText = {"*.txt *.csv"};
    window->form().ArrangePanels();
    window->form().FillFilterList("");
    auto* filter = Control<QComboBox>(*window, "cboFilterText");
    const std::pair<QWidget*, std::string> cases[] = {
        {Control<QLineEdit>(*window, "txtDirName"), tmp.host("tree").string()},
        {filter->lineEdit(), "*.TXT"}};
    for (const auto& [control, typed] : cases) {
        control->setFocus();
        QTest::keyClick(control, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(control, QString::fromStdString(typed));
        ModalAnswerer answerer;
        answerer.Then(testing::Cancel());
        QTest::keyClick(control, Qt::Key_Return);
        ASSERT_EQ(answerer.seen().size(), 1u);
        EXPECT_EQ(answerer.seen()[0].fileName, "treeのリスト.txt");
    }
    ASSERT_EQ(filter->count(), 2);
    EXPECT_EQ(filter->itemText(0), "*.TXT");
    EXPECT_EQ(filter->currentText(), "*.TXT");
    EXPECT_EQ(window->form().run().FilterPatterns, std::vector<std::string>{"*.txt"});
}

}  // namespace
}  // namespace folvane

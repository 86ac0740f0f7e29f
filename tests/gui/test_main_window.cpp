// The main window driven through its real widgets: start-up, the command line, the automatic
// run, a run cancelled or ended during the walk, the filter panel, drops, Enter.

#include <filesystem>
#include <fstream>

#include "app/qt/desktop_program.h"
#include "app/qt/fom_folvane.h"
#include "engine/listing_run.h"
#include "platform/path_space.h"
#include "platform/person_path.h"
#include "settings/settings_file.h"
#include "tests/gui/gui_support.h"
#include "tests/support/temp_dir.h"

namespace folvane {
namespace {

using namespace testing;

const QString kYes = "はい(&Y)";
const QString kNo = "いいえ(&N)";

bool FileHolds(const std::filesystem::path& file, std::string_view text) {
    const std::string all{std::istreambuf_iterator<char>(std::ifstream(file, std::ios::binary).rdbuf()), {}};
    return all.find(text) != std::string::npos;
}

fomFolvane* MainWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<fomFolvane*>(widget)) return window;
    }
    return nullptr;
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
    QDropEvent drop(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(window.windowHandle(), &enter);
    QCoreApplication::sendEvent(window.windowHandle(),
                                enter.isAccepted() ? static_cast<QEvent*>(&drop) : &leave);
    return enter.isAccepted() && drop.isAccepted() && drop.dropAction() == Qt::CopyAction;
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
    std::unique_ptr<fomFolvane> Started(bool withFilterPanel = false) const {
        auto window = std::make_unique<fomFolvane>(Ini(), "");
        EXPECT_TRUE(window->Load(""));
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        if (withFilterPanel) window->form().settings().FilterFlg = true, window->form().ArrangePanels();
        return window;
    }

    TempDir tmp;
};

// The filter panel shown by the settings file adds its height to the window, and takes it back
// when switched off (as Setup does).
TEST_F(MainWindowTest, StartsFromTheSettingsFileAndExitStoresFolderAndPosition) {
    auto window = Started();  // without a settings file
    const int without = window->height();
    window->close();  // a close that is no exit stores nothing
    EXPECT_FALSE(IniWritten());

    tmp.WriteFile("ini/Folvane.ini",
                  "[Settings]\r\nVersion=1.8\r\nLastPathName=" + tmp.path("tree") +
                      "\r\nFilterText=*.txt\r\nFilterText=*.csv\r\nFilterFlg=1\r\nLeft=30\r\nTop=40\r\n");
    window = Started();
    auto* filter = Control<QComboBox>(*window, "cboFilterText");
    // The stored path reads as the host path; a host path stored as typed comes back as it is.
    EXPECT_EQ(window->FolderText(), tmp.host("tree").string());
    EXPECT_EQ(std::tuple(filter->count(), filter->itemText(1), filter->currentText(), window->pos()),
              std::tuple(2, QString("*.csv"), QString(), QPoint(30, 40)));
    auto* ctrl = Control<QFrame>(*window, "frmCtrlPanel");
    auto* wildCard = Control<QFrame>(*window, "frmWildCard");
    for (const bool shown : {true, false}) {
        const auto extra = [&] { return shown ? wildCard->height() : 0; };
        ASSERT_TRUE(QTest::qWaitFor([&] { return window->height() == without + extra(); }));
        EXPECT_EQ(wildCard->isVisible(), shown);
        EXPECT_EQ(Control<QFrame>(*window, "frmButtonTray")->y(), ctrl->y() + ctrl->height() + extra());
        window->form().settings().FilterFlg = false;
        window->form().ArrangePanels();
    }
    EXPECT_GT(wildCard->height(), 0);

    Control<QLineEdit>(*window, "txtDirName")->setText(" typed as is ");
    window->move(50, 60);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->pos() == QPoint(50, 60); }));
    Click(*window, "cmdExit");
    EXPECT_FALSE(window->isVisible());
    Settings saved;
    CharTable table;
    LoadSettings(Ini(), "", saved, table);
    EXPECT_EQ(std::tuple(saved.LastPathName, saved.Left, saved.Top), std::tuple(" typed as is ", 50, 60));
}

// A rejected command line shows its message and ends before the window shows; /A writes the
// listing and ends. None of them stores the settings.
TEST_F(MainWindowTest, CommandLineEndsWithItsMessageOrAfterTheAutomaticRun) {
    const std::string tree = tmp.path("tree");
    const std::pair<std::string, std::string> cases[] = {{"/Q", "起動パラメータに誤りがあります。"},
                                                         {"/CO 1 " + tree, "桁数の指定が狭すぎます。"}};
    for (const auto& [commandLine, message] : cases) {
        SCOPED_TRACE(commandLine);
        bool windowShown = true;
        ModalAnswerer answerer({[&](QWidget& modal) {
            windowShown = MainWindow() != nullptr && MainWindow()->isVisible();
            QTest::keyClick(&modal, Qt::Key_Return);
        }});
        EXPECT_EQ(RunMainWindow(commandLine, Ini(), ""), 1);
        ExpectMessage(answerer.seen().at(0), "Folvane 起動エラー",
                      message +
                          "\n\nFolvane [/option] [dir [file]]\n（詳しくはヘルプを参照して下さい）\n\n\"" +
                          commandLine + "\"",
                      QMessageBox::Critical);
        EXPECT_FALSE(windowShown);
    }
    ModalAnswerer none;
    EXPECT_EQ(RunMainWindow("/A \"" + tree + "\" \"" + tmp.path("listing.txt") + "\"", Ini(), ""), 0);
    EXPECT_TRUE(FileHolds(tmp.host("listing.txt"), "file39.txt"));
    EXPECT_FALSE(IniWritten());
}

// The program runs its event loop; at the walk's first pump the person presses 実行 (now 中断)
// or 終了 and answers the question, or closes the window. A window still open afterwards is
// idle again and ends with 終了.
TEST_F(MainWindowTest, ExecExitOrCloseDuringARunCancelsOnYesAndLetsTheRunFinishOnNo) {
    const auto out = tmp.host("listing.txt");
    // The control pressed ("" closes the window) and whether the question is answered No, which
    // lets the run go on to save the listing.
    const std::pair<std::string, bool> cases[] = {
        {"cmdExec", false}, {"cmdExec", true}, {"cmdExit", false}, {"cmdExit", true}, {"", false}};
    for (const auto& [control, saved] : cases) {
        SCOPED_TRACE(control + (saved ? " No" : " Yes"));
        std::filesystem::remove(out);
        std::filesystem::remove(tmp.host("ini/Folvane.ini"));
        ModalAnswerer answerer;
        if (!control.empty()) answerer.Then(ClickButton(saved ? kNo : kYes));
        if (saved) answerer.Then(ChooseFile(out.string()));
        decltype(LookOf(std::declval<fomFolvane&>())) during;
        bool stayedOpen = false;
        QString progress;
        QTimer::singleShot(0, [&] {
            fomFolvane* window = MainWindow();
            ASSERT_NE(window, nullptr);
            window->SetFolderText(tmp.path("tree"));
            QTimer::singleShot(0, window, [&, window] {
                during = LookOf(*window);
                const auto& run = window->form().run();
                progress = QString::fromStdString(RunProgressText(run));
                control.empty() ? (void)window->close() : Click(*window, control.c_str());
            });
            Click(*window, "cmdExec");
            stayedOpen = window->isVisible();
            if (!stayedOpen) return;
            // The status line tells where a saved listing went.
            const QString status = saved ? QString::fromStdString("保存先: " + out.string()) : QString();
            EXPECT_EQ(LookOf(*window), std::tuple("実行", Qt::ArrowCursor, true, Qt::ArrowCursor, status));
            EXPECT_TRUE(QTest::qWaitFor([&] { return window->windowTitle() == "Folvane"; }));
            Click(*window, "cmdExit");
        });
        EXPECT_EQ(RunMainWindow("", Ini(), ""), 0);
        EXPECT_TRUE(answerer.AllUsed());
        if (!control.empty()) {
            const auto question = control == "cmdExec" ? kCancelQuestion : kExitWhileBusyQuestion;
            ExpectMessage(answerer.seen().at(0), "Folvane", question, QMessageBox::Information);
            EXPECT_EQ(answerer.seen()[0].defaultButton, kNo);
        }
        EXPECT_EQ(during, std::tuple("中断", Qt::BusyCursor, false, Qt::WaitCursor, progress));
        EXPECT_EQ(stayedOpen, control == "cmdExec" || saved);
        EXPECT_EQ(FileHolds(out, "file39.txt"), saved);
        EXPECT_EQ(IniWritten(), !control.empty());  // a close is no exit
        EXPECT_EQ(MainWindow(), nullptr);
    }
}

// While a checksum reads a large file the status line shows how far it has got, at the next pump.
TEST_F(MainWindowTest, StatusLineShowsTheBytesOfALongChecksum) {
    auto window = Started();
    RunState& run = window->form().run();
    run.BusyFlag = true;
    run.FoldersRead = 2;
    run.CountCrcBlock(1 << 20, 1 << 20, 3 << 20);
    window->ui().PumpEvents();
    run.BusyFlag = false;
    EXPECT_EQ(Control<QStatusBar>(*window, "sbrStatus")->currentMessage(),
              QString("フォルダ 2 ・ ファイル 0 ・ CRC 1.0 MB / 3.0 MB (計 1.0 MB)"));
}

// A folder whose name is not UTF-8 keeps its bytes from the drop to the run; addresses that are
// no local files do not count. The dropped text never lands in a field.
TEST_F(MainWindowTest, DropsOnTheFolderPanelTakeTheFirstPathAndNowhereElse) {
    auto window = Started(true);
    auto* field = Control<QLineEdit>(*window, "txtDirName");
    const auto url = [&](std::string_view name) {
        return QUrl::fromLocalFile(QString::fromStdString(tmp.host(name).string()));
    };
    const auto odd = tmp.MakeFolder("odd\xff");
    const QUrl oddUrl =
        QUrl::fromEncoded("file://" + QByteArray::fromStdString(odd.string()).toPercentEncoding("/"));
    const Qt::DropActions copyOrMove = Qt::CopyAction | Qt::MoveAction;
    const std::tuple<const char*, QList<QUrl>, Qt::DropActions, bool, std::string> cases[] = {
        {"txtDirName",
         {url("tree"), url("tree/sub1/file1.txt")},
         copyOrMove,
         true,
         tmp.host("tree").string()},
        {"Label1",
         {QUrl("https://example.org/"), oddUrl},
         copyOrMove,
         true,
         PathForPerson(PathFromHost(odd.string()))},
        {"cmdSelDir",
         {url("tree/sub1/file1.txt")},
         Qt::CopyAction,
         true,
         tmp.host("tree/sub1/file1.txt").string()},
        {"frmCtrlPanel", {}, copyOrMove, true, "before"},
        {"txtDirName", {url("tree")}, Qt::MoveAction, false, "before"},  // a move would delete the source
        {"cboFilterText", {url("tree")}, copyOrMove, false, "before"},
    };
    for (const auto& [target, urls, actions, taken, expected] : cases) {
        SCOPED_TRACE(target);
        window->SetFolderText("before");
        QMimeData data;
        data.setUrls(urls);
        data.setText("dropped text");
        EXPECT_EQ(DropOn(*window, *Control<QWidget>(*window, target), data, actions), taken);
        EXPECT_EQ(window->FolderText(), expected);
        EXPECT_FALSE(field->hasSelectedText());
        EXPECT_EQ(field->cursorPosition(), field->text().size());
        EXPECT_TRUE(Control<QComboBox>(*window, "cboFilterText")->currentText().isEmpty());
    }
}

// A host path typed into the folder field names the folder; the filter typed counts as typed,
// never as a completion from the history.
TEST_F(MainWindowTest, EnterInEitherFieldRunsWithWhatWasTyped) {
    auto window = Started(true);
    window->form().settings().FilterText = {"*.txt *.csv"};
    window->form().FillFilterList("");
    auto* filter = Control<QComboBox>(*window, "cboFilterText");
    const std::pair<QWidget*, std::string> cases[] = {
        {Control<QLineEdit>(*window, "txtDirName"), tmp.host("tree").string()},
        {filter->lineEdit(), "*.TXT"}};
    for (const auto& [control, typed] : cases) {
        control->setFocus();
        QTest::keyClick(control, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(control, QString::fromStdString(typed));
        ModalAnswerer answerer({Cancel()});
        QTest::keyClick(control, Qt::Key_Return);
        EXPECT_EQ(answerer.seen().at(0).fileName, "treeのリスト.txt");
    }
    EXPECT_EQ(std::tuple(filter->count(), filter->itemText(0), filter->currentText()),
              std::tuple(2, QString("*.TXT"), QString("*.TXT")));
    EXPECT_EQ(window->form().run().FilterPatterns, std::vector<std::string>{"*.txt"});
}

}  // namespace
}  // namespace folvane

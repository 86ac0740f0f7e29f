// The desktop program's Ui port and its choosers: message boxes as a person sees and answers
// them, the save and open dialog, the folder browser, the desktop's handler, the event pump.

#include "app/qt/cls_com_dlg.h"
#include "app/qt/folder_dialog.h"
#include "app/qt/qt_ui.h"
#include "platform/path_space.h"
#include "tests/gui/gui_support.h"
#include "tests/support/temp_dir.h"

namespace folvane {
namespace {

using testing::ModalAnswerer;

TEST(QtUiTest, MessageBoxesShowTheRequestAsPlainTextAndAnswerWithTheButtonPressed) {
    const QString yes = "はい(&Y)", no = "いいえ(&N)";
    const std::tuple<MessageRequest, ModalAnswerer::Step, MsgAnswer, QMessageBox::Icon, QString, QString>
        cases[] = {
            {{"一行目\r\n\r\n\"C:\\a<b>&c\"", "Folvane 起動エラー", MsgButtons::Ok, MsgIcon::Critical},
             testing::PressKey(Qt::Key_Return),
             MsgAnswer::Ok,
             QMessageBox::Critical,
             "OK",
             "一行目\n\n\"C:\\a<b>&c\""},
            {{"中断しますか？", "", MsgButtons::YesNo, MsgIcon::Information, MsgDefault::Second},
             testing::PressKey(Qt::Key_Return),
             MsgAnswer::No,
             QMessageBox::Information,
             no,
             "中断しますか？"},
            {{"a\rb", "t", MsgButtons::YesNo, MsgIcon::Exclamation, MsgDefault::First},
             testing::PressKey(Qt::Key_Escape),
             MsgAnswer::No,
             QMessageBox::Warning,
             yes,
             "a\nb"},
            {{"x", "t", MsgButtons::YesNo, MsgIcon::None, MsgDefault::Second},
             testing::ClickButton(yes),
             MsgAnswer::Yes,
             QMessageBox::NoIcon,
             no,
             "x"},
        };
    for (const auto& [request, step, answer, icon, defaultButton, text] : cases) {
        SCOPED_TRACE(request.text);
        QtUi ui;
        ModalAnswerer answerer;
        answerer.Then(step);
        EXPECT_EQ(ui.ShowMessage(request), answer);
        ASSERT_EQ(answerer.seen().size(), 1u);
        EXPECT_EQ(answerer.seen()[0].text, text);
        EXPECT_EQ(answerer.seen()[0].title,
                  request.title.empty() ? "Folvane" : QString::fromStdString(request.title));
        EXPECT_EQ(answerer.seen()[0].icon, icon);
        EXPECT_EQ(answerer.seen()[0].defaultButton, defaultButton);
    }
}

TEST(QtUiTest, OpensHostFilesAndAddresses) {
    testing::UrlCatcher catcher;
    QDesktopServices::setUrlHandler("file", &catcher, "Open");
    QDesktopServices::setUrlHandler("https", &catcher, "Open");
    QtUi ui;
    for (const char* target : {"Z:\\tmp\\一覧 #1.txt", "https://example.org/folvane/", "Q:\\unmapped\\x.txt"})
        ui.OpenWithAssociatedProgram(target);
    QDesktopServices::unsetUrlHandler("file");
    QDesktopServices::unsetUrlHandler("https");
    EXPECT_EQ(catcher.urls,
              (QList<QUrl>{QUrl::fromLocalFile("/tmp/一覧 #1.txt"), QUrl("https://example.org/folvane/")}));
}

TEST(QtUiTest, PumpLetsEventsRunAtMostOncePerIntervalAfterRefreshingProgress) {
    QtUi ui;
    int progress = 0;
    std::vector<int> progressWhenDelivered;
    ui.SetProgressHook([&] { ++progress; });
    const auto post = [&] {
        QMetaObject::invokeMethod(
            qApp, [&] { progressWhenDelivered.push_back(progress); }, Qt::QueuedConnection);
    };
    ui.SetPumpInterval(std::chrono::hours{1});
    post();
    ui.PumpEvents();  // the first pump always lets events run
    post();
    for (int i = 0; i < 100000; ++i)
        ui.PumpEvents();  // within the interval only the clock is read
    EXPECT_EQ(progressWhenDelivered, std::vector<int>{1});
    ui.SetPumpInterval(std::chrono::milliseconds{0});
    ui.PumpEvents();
    EXPECT_EQ(progressWhenDelivered, (std::vector<int>{1, 2}));
}

TEST(ComDlgTest, FilterPairsBecomeQtNameFilters) {
    const std::pair<std::string, QStringList> cases[] = {
        {"ﾃｷｽﾄﾌｧｲﾙ(txt)|*.txt|全てのﾌｧｲﾙ(*.*)|*.*", {"ﾃｷｽﾄﾌｧｲﾙ(txt) (*.txt)", "全てのﾌｧｲﾙ(*.*) (*)"}},
        {"HTMLファイル(htm)|*.htm;*.html", {"HTMLファイル(htm) (*.htm *.html)"}},
        {"a| *.a ; ;*.b |no pattern||last", {"a (*.a *.b)"}},
        {"|", {}},
    };
    for (const auto& [filter, expected] : cases)
        EXPECT_EQ(QtNameFilters(filter), expected) << filter;
}

TEST(ComDlgTest, FileDialogStartsAtTheProposalAndReportsTheChoice) {
    testing::TempDir tmp;
    tmp.MakeFolder("out");
    clsComDlg dialog;
    dialog.DialogTitle = "出力ﾌｧｲﾙの選択";
    dialog.Filter = "ﾃｷｽﾄﾌｧｲﾙ(txt)|*.txt|全てのﾌｧｲﾙ(*.*)|*.*";
    dialog.FilterIndex = 2;
    dialog.FileName = tmp.path("out") + "\\一覧のリスト.txt";
    ModalAnswerer answerer;
    answerer.Then([&](QWidget& modal) {
        auto* files = qobject_cast<QFileDialog*>(&modal);
        EXPECT_EQ(files->acceptMode(), QFileDialog::AcceptSave);
        EXPECT_TRUE(files->testOption(QFileDialog::DontConfirmOverwrite));  // the writer asks, once
        files->selectNameFilter(files->nameFilters().constFirst());
        testing::ChooseFile(tmp.host("chosen.txt").string())(modal);
    });
    dialog.Action(clsComDlg::kSaveDialog);
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].title, "出力ﾌｧｲﾙの選択");
    EXPECT_EQ(answerer.seen()[0].directory.toStdString(), tmp.host("out").string());
    EXPECT_EQ(answerer.seen()[0].fileName, "一覧のリスト.txt");
    EXPECT_EQ(answerer.seen()[0].selectedNameFilter, "全てのﾌｧｲﾙ(*.*) (*)");
    EXPECT_EQ(dialog.FileName, tmp.path("chosen.txt"));
    EXPECT_EQ(dialog.FilterIndex, 1);

    // Cancelled: no file, the filter index stays.
    dialog.FilterIndex = 2;
    answerer.Then(testing::Cancel());
    dialog.Action(clsComDlg::kOpenDialog);
    EXPECT_EQ(dialog.FileName, "");
    EXPECT_EQ(dialog.FilterIndex, 2);
}

// The browser starts at the folder or its nearest folder that exists, and answers in the path space.
TEST(FolderSelectTest, StartsAtTheNearestExistingFolderAndAnswersInThePathSpace) {
    testing::TempDir tmp;
    tmp.MakeFolder("data/sub");
    const QString data = QString::fromStdString(tmp.host("data").string());
    const std::tuple<std::string, QString, ModalAnswerer::Step, std::string> cases[] = {
        {tmp.path("data"), data, testing::Confirm(), tmp.path("data")},
        {tmp.path("data") + "\\missing\\more", data, testing::Confirm(), tmp.path("data")},
        {tmp.path("data"), data, testing::Cancel(), ""},
        {"", QDir::currentPath(), testing::Confirm(), ProcessCurrentFolder()},
    };
    for (const auto& [initial, start, step, expected] : cases) {
        SCOPED_TRACE(initial);
        ModalAnswerer answerer;
        answerer.Then(step);
        EXPECT_EQ(FolderSelect(nullptr, "ﾌｫﾙﾀﾞを選択して下さい。", initial, 0), expected);
        ASSERT_EQ(answerer.seen().size(), 1u);
        EXPECT_EQ(answerer.seen()[0].directory, start);
        EXPECT_EQ(answerer.seen()[0].title, "ﾌｫﾙﾀﾞを選択して下さい。");
    }
}

}  // namespace
}  // namespace folvane

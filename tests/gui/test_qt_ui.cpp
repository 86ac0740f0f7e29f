// The desktop program's Ui port and its choosers: message boxes as a person sees and answers
// them, the save and open dialog, the folder browser, the desktop's handler, the event pump;
// Qt's own buttons and file dialog in Japanese.

#include "app/qt/cls_com_dlg.h"
#include "app/qt/folder_dialog.h"
#include "app/qt/qt_ui.h"
#include "platform/path_space.h"
#include "tests/gui/gui_support.h"
#include "tests/support/temp_dir.h"

namespace folvane {
namespace {

using namespace testing;

TEST(QtUiTest, MessageBoxesShowTheRequestAsPlainTextAndAnswerWithTheButtonPressed) {
    const QString yes = "はい(&Y)", no = "いいえ(&N)";
    // The request, the person's answer, what ShowMessage returns, the icon, default button and
    // text shown.
    // clang-format off
    const std::tuple<MessageRequest, ModalAnswerer::Step, MsgAnswer, QMessageBox::Icon, QString, std::string>
        cases[] = {
        {{"一行目\r\n\r\n\"C:\\a<b>&c\"", "Folvane 起動エラー", MsgButtons::Ok, MsgIcon::Critical},
         PressKey(Qt::Key_Return), MsgAnswer::Ok, QMessageBox::Critical, "OK", "一行目\n\n\"C:\\a<b>&c\""},
        {{"中断しますか？", "", MsgButtons::YesNo, MsgIcon::Information, MsgDefault::Second},
         PressKey(Qt::Key_Return), MsgAnswer::No, QMessageBox::Information, no, "中断しますか？"},
        {{"a\rb", "t", MsgButtons::YesNo, MsgIcon::Exclamation, MsgDefault::First},
         PressKey(Qt::Key_Escape), MsgAnswer::No, QMessageBox::Warning, yes, "a\nb"},
        {{"x", "t", MsgButtons::YesNo, MsgIcon::None, MsgDefault::Second},
         ClickButton(yes), MsgAnswer::Yes, QMessageBox::NoIcon, no, "x"},
    };
    // clang-format on
    for (const auto& [request, step, answer, icon, defaultButton, text] : cases) {
        SCOPED_TRACE(request.text);
        QtUi ui;
        ModalAnswerer answerer({step});
        EXPECT_EQ(ui.ShowMessage(request), answer);
        ExpectMessage(answerer.seen().at(0), request.title.empty() ? "Folvane" : request.title, text, icon);
        EXPECT_EQ(answerer.seen()[0].defaultButton, defaultButton);
    }
}

TEST(QtUiTest, OpensHostFilesAndAddresses) {
    UrlCatcher catcher;
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

TEST(QtUiTest, QtsOwnButtonsAndFileDialogSpeakJapanese) {
    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Save);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("キャンセル"));
    EXPECT_EQ(buttons.button(QDialogButtonBox::Save)->text(), QStringLiteral("保存"));

    QFileDialog dialog;
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    EXPECT_EQ(dialog.labelText(QFileDialog::FileName), QStringLiteral("ファイル名(&N):"));
    EXPECT_EQ(dialog.labelText(QFileDialog::Reject), QStringLiteral("キャンセル"));
    // The type column of its file list names folders in Japanese too.
    TempDir tmp;
    EXPECT_EQ(QFileIconProvider().type(QFileInfo(QString::fromStdString(tmp.host().string()))),
              QStringLiteral("フォルダ"));
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
    TempDir tmp;
    tmp.MakeFolder("out");
    clsComDlg dialog;
    dialog.DialogTitle = "出力ﾌｧｲﾙの選択";
    dialog.Filter = "ﾃｷｽﾄﾌｧｲﾙ(txt)|*.txt|全てのﾌｧｲﾙ(*.*)|*.*";
    dialog.FilterIndex = 2;
    dialog.FileName = tmp.path("out") + "\\一覧のリスト.txt";
    ModalAnswerer answerer({[&](QWidget& modal) {
        auto* files = qobject_cast<QFileDialog*>(&modal);
        EXPECT_EQ(files->acceptMode(), QFileDialog::AcceptSave);
        EXPECT_TRUE(files->testOption(QFileDialog::DontConfirmOverwrite));  // the writer asks, once
        EXPECT_EQ(files->selectedNameFilter(), "全てのﾌｧｲﾙ(*.*) (*)");
        files->selectNameFilter(files->nameFilters().constFirst());
        ChooseFile(tmp.host("chosen.txt").string())(modal);
    }});
    dialog.Action(clsComDlg::kSaveDialog);
    const SeenModal& seen = answerer.seen().at(0);
    EXPECT_EQ(seen.title, "出力ﾌｧｲﾙの選択");
    EXPECT_EQ(seen.directory.toStdString(), tmp.host("out").string());
    EXPECT_EQ(seen.fileName, "一覧のリスト.txt");
    EXPECT_EQ(std::pair(dialog.FileName, dialog.FilterIndex), std::pair(tmp.path("chosen.txt"), 1));

    // Cancelled: no file, the filter index stays.
    dialog.FilterIndex = 2;
    answerer.Then(Cancel());
    dialog.Action(clsComDlg::kOpenDialog);
    EXPECT_EQ(std::pair(dialog.FileName, dialog.FilterIndex), std::pair(std::string(), 2));
}

// The browser starts at the folder or its nearest folder that exists, and answers in the path space.
TEST(FolderSelectTest, StartsAtTheNearestExistingFolderAndAnswersInThePathSpace) {
    TempDir tmp;
    tmp.MakeFolder("data/sub");
    const QString data = QString::fromStdString(tmp.host("data").string());
    const std::tuple<std::string, QString, ModalAnswerer::Step, std::string> cases[] = {
        {tmp.path("data"), data, Confirm(), tmp.path("data")},
        {tmp.path("data") + "\\missing\\more", data, Confirm(), tmp.path("data")},
        {tmp.path("data"), data, Cancel(), ""},
        {"", QDir::currentPath(), Confirm(), ProcessCurrentFolder()},
    };
    for (const auto& [initial, start, step, expected] : cases) {
        SCOPED_TRACE(initial);
        ModalAnswerer answerer({step});
        EXPECT_EQ(FolderSelect(nullptr, "ﾌｫﾙﾀﾞを選択", initial, 0), expected);
        EXPECT_EQ(answerer.seen().at(0).title, "ﾌｫﾙﾀﾞを選択");
        EXPECT_EQ(answerer.seen().at(0).directory, start);
    }
}

}  // namespace
}  // namespace folvane

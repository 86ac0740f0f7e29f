// The desktop program's Ui port and its choosers: message boxes as a person sees and answers
// them, the save and open dialog set up from the file-dialog properties, the folder browser,
// the desktop's handler for files and addresses, and the event pump.

#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QFileDialog>
#include <QTest>
#include <QUrl>

#include "app/qt/cls_com_dlg.h"
#include "app/qt/folder_dialog.h"
#include "app/qt/qt_ui.h"
#include "platform/path_space.h"
#include "tests/gui/gui_support.h"
#include "tests/support/temp_dir.h"

namespace folvane {
namespace {

using testing::ModalAnswerer;

TEST(QtUiTest, MessageBoxesShowTheRequestAndAnswerWithTheButtonPressed) {
    struct Case {
        MessageRequest request;
        ModalAnswerer::Step step;
        MsgAnswer answer;
        QMessageBox::Icon icon;
        QString defaultButton;
        QString text;
    };
    const Case cases[] = {
        {{"一行目\r\n\r\n\"C:\\a<b>&c\"", "Folvane 起動エラー", MsgButtons::Ok, MsgIcon::Critical},
         testing::PressKey(Qt::Key_Return),
         MsgAnswer::Ok,
         QMessageBox::Critical,
         "OK",
         "一行目\n\n\"C:\\a<b>&c\""},
        {{"中断しますか？", "Folvane", MsgButtons::YesNo, MsgIcon::Information, MsgDefault::Second},
         testing::PressKey(Qt::Key_Return),
         MsgAnswer::No,
         QMessageBox::Information,
         "いいえ(&N)",
         "中断しますか？"},
        {{"再試行しますか？", "", MsgButtons::YesNo, MsgIcon::Exclamation, MsgDefault::First},
         testing::PressKey(Qt::Key_Return),
         MsgAnswer::Yes,
         QMessageBox::Warning,
         "はい(&Y)",
         "再試行しますか？"},
        {{"a\rb", "t", MsgButtons::YesNo, MsgIcon::None, MsgDefault::First},
         testing::PressKey(Qt::Key_Escape),
         MsgAnswer::No,
         QMessageBox::NoIcon,
         "はい(&Y)",
         "a\nb"},
        {{"x", "t", MsgButtons::YesNo, MsgIcon::None, MsgDefault::Second},
         testing::ClickButton("はい(&Y)"),
         MsgAnswer::Yes,
         QMessageBox::NoIcon,
         "いいえ(&N)",
         "x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.request.text);
        QtUi ui;
        ModalAnswerer answerer;
        answerer.Then(c.step);
        EXPECT_EQ(ui.ShowMessage(c.request), c.answer);
        ASSERT_EQ(answerer.seen().size(), 1u);
        const testing::SeenModal& seen = answerer.seen().front();
        EXPECT_EQ(seen.text, c.text);
        EXPECT_EQ(seen.title,
                  c.request.title.empty() ? QString("Folvane") : QString::fromStdString(c.request.title));
        EXPECT_EQ(seen.icon, c.icon);
        EXPECT_EQ(seen.defaultButton, c.defaultButton);
        EXPECT_EQ(seen.buttons.size(), c.request.buttons == MsgButtons::Ok ? 1 : 2);
    }
}

// Receives the URLs that the desktop would open.
class UrlCatcher : public QObject {
    Q_OBJECT
  public:
    QList<QUrl> urls;
  public slots:
    void Open(const QUrl& url) { urls << url; }
};

TEST(QtUiTest, OpensHostFilesAndAddresses) {
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("file", &catcher, "Open");
    QDesktopServices::setUrlHandler("https", &catcher, "Open");
    QtUi ui;
    ui.OpenWithAssociatedProgram("Z:\\tmp\\一覧 #1.txt");
    ui.OpenWithAssociatedProgram("https://example.org/folvane/");
    ui.OpenWithAssociatedProgram("Q:\\unmapped\\x.txt");
    QDesktopServices::unsetUrlHandler("file");
    QDesktopServices::unsetUrlHandler("https");
    ASSERT_EQ(catcher.urls.size(), 2);
    EXPECT_EQ(catcher.urls[0].toLocalFile(), QString("/tmp/一覧 #1.txt"));
    EXPECT_EQ(catcher.urls[1], QUrl("https://example.org/folvane/"));
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
        {"", {}},
        {"|", {}},
    };
    for (const auto& [filter, expected] : cases)
        EXPECT_EQ(QtNameFilters(filter), expected) << filter;
}

TEST(ComDlgTest, SaveDialogStartsAtTheProposalAndReportsTheChoice) {
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
        ASSERT_NE(files, nullptr);
        EXPECT_EQ(files->acceptMode(), QFileDialog::AcceptSave);
        EXPECT_TRUE(files->defaultSuffix().isEmpty());
        EXPECT_TRUE(files->testOption(QFileDialog::DontConfirmOverwrite));
        files->selectNameFilter(files->nameFilters().constFirst());
        files->selectFile(QString::fromStdString(tmp.host("chosen.txt").string()));
        static_cast<QDialog*>(files)->accept();
    });
    dialog.Action(clsComDlg::kSaveDialog);
    ASSERT_EQ(answerer.seen().size(), 1u);
    const testing::SeenModal& seen = answerer.seen().front();
    EXPECT_EQ(seen.title, QString("出力ﾌｧｲﾙの選択"));
    EXPECT_EQ(seen.directory, QString::fromStdString(tmp.host("out").string()));
    EXPECT_EQ(seen.fileName, QString("一覧のリスト.txt"));
    EXPECT_EQ(seen.selectedNameFilter, QString("全てのﾌｧｲﾙ(*.*) (*)"));
    EXPECT_EQ(dialog.FileName, tmp.path("chosen.txt"));
    EXPECT_EQ(dialog.FilterIndex, 1);

    // Cancelled: no file, the filter index stays; a proposal in a missing folder starts at the
    // nearest folder that exists.
    dialog.FileName = tmp.path("out") + "\\gone\\deeper\\x.txt";
    dialog.FilterIndex = 2;
    answerer.Then(testing::Cancel());
    dialog.Action(clsComDlg::kOpenDialog);
    ASSERT_EQ(answerer.seen().size(), 2u);
    EXPECT_EQ(answerer.seen()[1].directory, QString::fromStdString(tmp.host("out").string()));
    EXPECT_EQ(dialog.FileName, "");
    EXPECT_EQ(dialog.FilterIndex, 2);

    dialog.FileName = "kept";
    dialog.Action(3);  // no such dialog: nothing is shown, nothing changes
    EXPECT_EQ(dialog.FileName, "kept");
    EXPECT_EQ(answerer.unexpected(), 0);
}

TEST(FolderSelectTest, StartsAtTheFolderOrItsNearestAncestorAndAnswersInThePathSpace) {
    testing::TempDir tmp;
    tmp.MakeFolder("data/sub");
    const QString data = QString::fromStdString(tmp.host("data").string());
    struct Case {
        std::string initial;
        QString expectedStart;
        bool confirm;
        std::string expected;
    };
    const Case cases[] = {
        {tmp.path("data"), data, true, tmp.path("data")},
        {tmp.path("data") + "\\missing\\more", data, true, tmp.path("data")},
        {tmp.path("data"), data, false, ""},
        {"", QDir::currentPath(), true, ProcessCurrentFolder()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.initial);
        ModalAnswerer answerer;
        answerer.Then(c.confirm ? testing::Confirm() : testing::Cancel());
        EXPECT_EQ(FolderSelect(nullptr, "一覧を作成するﾌｫﾙﾀﾞを選択して下さい。", c.initial, 13), c.expected);
        ASSERT_EQ(answerer.seen().size(), 1u);
        EXPECT_EQ(answerer.seen()[0].directory, c.expectedStart);
        EXPECT_EQ(answerer.seen()[0].title, QString("一覧を作成するﾌｫﾙﾀﾞを選択して下さい。"));
    }
}

}  // namespace
}  // namespace folvane

#include "test_qt_ui.moc"

// What the desktop sees of the program: every window carries the program's icon, and the texts
// that Qt itself draws are Japanese like the program's own.

#include "app/qt/desktop_program.h"
#include "app/qt/fom_folvane.h"
#include "app/qt/fom_version.h"
#include "tests/gui/gui_support.h"
#include "tests/support/temp_dir.h"

namespace folvane {
namespace {

using namespace testing;

QImage Picture(const QIcon& icon, int size) {
    return icon.pixmap(QSize(size, size)).toImage();
}

TEST(ApplicationTest, TheMainWindowAndTheVersionDialogCarryTheProgramsIcon) {
    const QIcon icon = ProgramIcon();
    ASSERT_FALSE(icon.isNull());
    // Every size of the drawing is there, not one picture scaled.
    EXPECT_EQ(icon.availableSizes().size(), 7);
    EXPECT_NE(Picture(icon, 16), Picture(icon, 32).scaled(16, 16));

    TempDir tmp;
    fomFolvane window(tmp.path("Folvane.ini"), tmp.path("basehtml"));
    fomVersion version(&window);
    for (const QWidget* shown : {static_cast<QWidget*>(&window), static_cast<QWidget*>(&version)}) {
        SCOPED_TRACE(shown->metaObject()->className());
        EXPECT_EQ(Picture(shown->windowIcon(), 32), Picture(icon, 32));
    }
    const QPixmap picture = Control<QLabel>(version, "picIcon")->pixmap();
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.toImage(), Picture(icon, picture.width()));
    EXPECT_EQ(QGuiApplication::desktopFileName(), QStringLiteral("example.folvane.Folvane"));
}

TEST(ApplicationTest, QtsOwnButtonsAndFileDialogSpeakJapanese) {
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

}  // namespace
}  // namespace folvane

// Renders the main window (filter panel shown, a folder filled in) and the Setup dialog to
// main-window.png and setup-dialog.png in the folder named by the first argument (default ".").
// Runs on Qt's offscreen platform unless another is asked for; settings and the context-menu
// store go to a temporary folder, so nothing of the user's changes.

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdio>

#include "app/qt/desktop_program.h"
#include "app/qt/fom_folvane.h"
#include "app/qt/fom_setup.h"
#include "platform/path_space.h"
#include "platform/registry.h"
#include "render/html.h"

namespace {

bool Save(QWidget& widget, const QDir& folder, const char* name) {
    widget.show();
    QCoreApplication::processEvents();
    const QString file = folder.filePath(QLatin1String(name));
    if (!widget.grab().save(file)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        return false;
    }
    std::printf("%s\n", qPrintable(file));
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    folvane::PrepareApplication();
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    QTemporaryDir scratch;
    if (!scratch.isValid() || !folder.exists()) {
        std::fprintf(stderr, "usage: folvane_screenshots [existing output folder]\n");
        return 2;
    }
    folvane::SetRegistryHomeForTesting(scratch.path().toStdString());

    folvane::fomFolvane window(folvane::PathFromHost(scratch.filePath("Folvane.ini").toStdString()),
                               folvane::HtmlTemplateFolder());
    if (!window.Load("")) return 1;
    folvane::Settings& settings = window.form().settings();
    settings.FilterFlg = true;
    settings.FilterText = {"*.jpg *.png", "*.txt"};
    window.form().ArrangePanels();
    window.form().FillFilterList("*.jpg *.png");
    window.SetFolderText("/home/ann/ドキュメント/写真 2024");
    bool ok = Save(window, folder, "main-window.png");

    folvane::fomSetup setup(&window, settings, window.form().chars(),
                            folvane::PathFromHost(QCoreApplication::applicationFilePath().toStdString()),
                            folvane::HtmlTemplateFolder());
    ok = Save(setup, folder, "setup-dialog.png") && ok;
    return ok ? 0 : 1;
}

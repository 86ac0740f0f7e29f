// main() of the GUI tests: one QApplication on the offscreen platform, readied as the program
// readies its own, Qt's own dialogs (so tests can drive them) and a registry of the tests' own.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

#include "app/qt/desktop_program.h"
#include "platform/registry.h"

namespace {

QtMessageHandler defaultHandler = nullptr;

// The offscreen platform reports that it ignores the fixed height of the main window.
void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (!message.contains(QLatin1String("does not support propagateSizeHints")))
        defaultHandler(type, context, message);
}

}  // namespace

int main(int argc, char** argv) {
    defaultHandler = qInstallMessageHandler(QuietHandler);
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QApplication app(argc, argv);
    folvane::PrepareApplication();
    // Every window registers the context-menu entry at start-up: keep it out of the user's folders.
    QTemporaryDir registryHome;
    folvane::SetRegistryHomeForTesting(registryHome.path().toStdString());
    return RUN_ALL_TESTS();
}

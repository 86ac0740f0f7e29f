#include "app/qt/desktop_program.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <vector>

#include "app/qt/fom_folvane.h"
#include "render/html.h"
#include "settings/command_line.h"
#include "settings/path_utils.h"
#include "settings/settings_file.h"

namespace folvane {

namespace {

// Families that draw Japanese well, most wanted first; any other family that has the
// Japanese writing system comes after them.
const char* const kJapaneseFamilies[] = {"Noto Sans CJK JP", "Source Han Sans JP", "IPAPGothic",
                                         "IPAGothic",        "VL PGothic",         "TakaoPGothic"};

QString JapaneseFamily() {
    const QStringList families = QFontDatabase::families(QFontDatabase::Japanese);
    for (const char* wanted : kJapaneseFamilies) {
        if (families.contains(QLatin1String(wanted))) return QLatin1String(wanted);
    }
    return families.isEmpty() ? QString() : families.constFirst();
}

// Qt 6 asks for the file dialog's type texts ("Folder", "%1 File") under the context
// QAbstractFileIconProvider, while Qt's Japanese catalogue still files them under QFileDialog,
// their context in Qt 5: this translator answers the new context from the old one.
class FileTypeTranslator final : public QTranslator {
  public:
    FileTypeTranslator(const QTranslator& catalogue, QObject* parent)
        : QTranslator(parent), catalogue_(catalogue) {}

    QString translate(const char* context, const char* sourceText, const char* disambiguation,
                      int n) const override {
        if (qstrcmp(context, "QAbstractFileIconProvider") != 0) return QString();
        return catalogue_.translate("QFileDialog", sourceText, disambiguation, n);
    }
    bool isEmpty() const override { return false; }

  private:
    const QTranslator& catalogue_;
};

// The dialogs that Qt itself draws (file choosers, standard buttons) speak Japanese like the
// rest of the program when Qt's translations are installed; without them they stay English.
void LoadQtTranslations() {
    auto* catalogue = new QTranslator(QCoreApplication::instance());
    if (!catalogue->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete catalogue;
        return;
    }
    QCoreApplication::installTranslator(catalogue);
    QCoreApplication::installTranslator(new FileTypeTranslator(*catalogue, catalogue));
}

constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

}  // namespace

void UseFontWithJapaneseGlyphs() {
    const QFont font = QApplication::font();
    const QString family = QFontInfo(font).family();
    if (QFontDatabase::writingSystems(family).contains(QFontDatabase::Japanese)) return;
    const QString japanese = JapaneseFamily();
    if (japanese.isEmpty()) return;
    QFont replacement = font;
    // The default family keeps drawing what it can (a backslash stays a backslash); Japanese
    // glyphs come from the other.
    replacement.setFamilies({family, japanese});
    QApplication::setFont(replacement);
}

int RunMainWindow(std::string_view commandLine, std::string settingsFile, std::string templateFolder,
                  std::string_view shownCommandLine) {
    fomFolvane window(std::move(settingsFile), std::move(templateFolder));
    if (!window.Load(commandLine, shownCommandLine)) return 1;
    window.show();
    return QApplication::exec();
}

QIcon ProgramIcon() {
    QIcon icon;
    for (const int size : kIconSizes)
        icon.addFile(QStringLiteral(":/icons/folvane-%1.png").arg(size), QSize(size, size));
    return icon;
}

void PrepareApplication() {
    QApplication::setApplicationName(QStringLiteral("folvane"));
    QGuiApplication::setDesktopFileName(QStringLiteral(FOLVANE_DESKTOP_FILE_NAME));
    QApplication::setWindowIcon(ProgramIcon());
    UseFontWithJapaneseGlyphs();
    LoadQtTranslations();
}

int RunDesktopProgram(int argc, char** argv) {
    QApplication app(argc, argv);
    PrepareApplication();
    // QApplication has taken out the arguments meant for Qt itself.
    const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    return RunMainWindow(CommandLineFromHostArguments(arguments), SettingsFilePath(), HtmlTemplateFolder(),
                         JoinArguments(arguments));
}

}  // namespace folvane

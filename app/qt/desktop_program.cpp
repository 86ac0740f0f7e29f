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

// The dialogs that Qt itself draws (file choosers) speak Japanese like the rest of the
// program when the translations are installed.
void LoadQtTranslations(QApplication& app) {
    auto* translator = new QTranslator(&app);
    if (translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(translator);
    } else {
        delete translator;
    }
}

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

int RunMainWindow(std::string_view commandLine, std::string settingsFile, std::string templateFolder) {
    fomFolvane window(std::move(settingsFile), std::move(templateFolder));
    if (!window.Load(commandLine)) return 1;
    window.show();
    return QApplication::exec();
}

int RunDesktopProgram(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("folvane"));
    UseFontWithJapaneseGlyphs();
    LoadQtTranslations(app);
    // QApplication has taken out the arguments meant for Qt itself.
    const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    return RunMainWindow(CommandLineFromHostArguments(arguments), SettingsFilePath(), HtmlTemplateFolder());
}

}  // namespace folvane

#include "app/qt/cls_com_dlg.h"

#include <QFileDialog>
#include <vector>

#include "app/qt/folder_dialog.h"
#include "platform/path_space.h"
#include "platform/text.h"
#include "settings/path_utils.h"

namespace folvane {

namespace {

std::vector<std::string_view> SplitAt(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

QString QtPatterns(std::string_view patterns) {
    QStringList list;
    for (std::string_view pattern : SplitAt(patterns, ';')) {
        pattern = TrimBlanks(pattern);
        if (pattern.empty()) continue;
        list << (pattern == "*.*" ? QStringLiteral("*") : QString::fromStdString(std::string(pattern)));
    }
    return list.join(QLatin1Char(' '));
}

}  // namespace

QStringList QtNameFilters(std::string_view filter) {
    QStringList filters;
    if (filter.empty()) return filters;
    const std::vector<std::string_view> parts = SplitAt(filter, '|');
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        const QString patterns = QtPatterns(parts[i + 1]);
        if (patterns.isEmpty()) continue;
        filters << QString::fromStdString(std::string(parts[i])) + QStringLiteral(" (") + patterns +
                       QLatin1Char(')');
    }
    return filters;
}

void clsComDlg::Action(int action) {
    if (action != kOpenDialog && action != kSaveDialog) return;
    const bool save = action == kSaveDialog;
    QFileDialog dialog(OwnerhWnd, QString::fromStdString(DialogTitle));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // Replacing a file is asked by the writer, once, in the program's own words.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);

    const QStringList filters = QtNameFilters(Filter);
    if (!filters.isEmpty()) dialog.setNameFilters(filters);
    if (FilterIndex >= 1 && FilterIndex <= filters.size()) dialog.selectNameFilter(filters[FilterIndex - 1]);

    const std::string start = HostStartFolder(ParentFolder(FileName));
    if (!start.empty()) dialog.setDirectory(QFile::decodeName(QByteArray::fromStdString(start)));
    const std::string name = FileNamePart(FileName);
    if (!name.empty() && name.find('\\') == std::string::npos)
        dialog.selectFile(QFile::decodeName(QByteArray::fromStdString(HostName(name))));

    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        FileName.clear();
        return;
    }
    FileName = PathFromQtHost(dialog.selectedFiles().constFirst());
    const qsizetype chosenFilter = filters.indexOf(dialog.selectedNameFilter());
    if (chosenFilter >= 0) FilterIndex = static_cast<int32_t>(chosenFilter + 1);
}

}  // namespace folvane

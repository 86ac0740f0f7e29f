#include "app/qt/folder_dialog.h"

#include <QFile>
#include <QFileDialog>

#include "platform/path_space.h"
#include "settings/path_utils.h"

namespace folvane {

std::string FolderSelect(QWidget* owner, const std::string& title, const std::string& initialFolder,
                         uint32_t /*flags*/) {
    const std::string start = HostStartFolder(initialFolder.empty() ? ProcessCurrentFolder() : initialFolder);
    const QString chosen = QFileDialog::getExistingDirectory(
        owner, QString::fromStdString(title), QFile::decodeName(QByteArray::fromStdString(start)),
        QFileDialog::ShowDirsOnly);
    return PathFromQtHost(chosen);
}

std::string HostStartFolder(std::string_view folder) {
    // A relative text ("Data") counts from the current folder, as the run would read it.
    std::string candidate = FullPath(folder);
    // Each step removes a component, so the walk up ends at the root or at "".
    while (!candidate.empty()) {
        if (IsFolder(candidate)) {
            if (auto host = HostPathOf(candidate)) return *host;
        }
        std::string parent = ParentFolder(candidate);
        if (parent.size() >= candidate.size()) break;
        candidate = std::move(parent);
    }
    return "";
}

std::string PathFromQtHost(const QString& hostPath) {
    if (hostPath.isEmpty()) return "";
    return PathFromHost(QFile::encodeName(hostPath).toStdString());
}

QString QtHostPathOf(std::string_view path) {
    const auto host = HostPathOf(path);
    return host ? QFile::decodeName(QByteArray::fromStdString(*host)) : QString();
}

}  // namespace folvane

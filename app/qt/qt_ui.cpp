#include "app/qt/qt_ui.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

#include "app/qt/folder_dialog.h"
#include "platform/text.h"
#include "render/output_file.h"

namespace folvane {

namespace {

QMessageBox::Icon BoxIcon(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::Information:
            return QMessageBox::Information;
        case MsgIcon::Exclamation:
            return QMessageBox::Warning;
        case MsgIcon::Critical:
            return QMessageBox::Critical;
        case MsgIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

// A path-space path starts with a drive ("C:\", "C:") or a share ("\\server\share").
bool IsPathSpacePath(std::string_view text) {
    if (text.starts_with("\\\\")) return true;
    const auto isLetter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    const bool driveLetter = text.size() >= 2 && isLetter(text[0]) && text[1] == ':';
    return driveLetter && (text.size() == 2 || text[2] == '\\');
}

}  // namespace

QString MessageBoxText(const std::string& text) {
    return QString::fromStdString(ReplaceAll(ReplaceAll(text, "\r\n", "\n"), "\r", "\n"));
}

MsgAnswer QtUi::ShowMessage(const MessageRequest& request) {
    QMessageBox box(window_.data());
    box.setWindowTitle(
        QString::fromStdString(request.title.empty() ? std::string(kApplicationTitle) : request.title));
    // Paths may hold "<" or "&": never let the box read the text as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(MessageBoxText(request.text));
    box.setIcon(BoxIcon(request.icon));
    if (request.buttons == MsgButtons::YesNo) {
        QPushButton* yes = box.addButton(QMessageBox::Yes);
        QPushButton* no = box.addButton(QMessageBox::No);
        yes->setText(QStringLiteral("はい(&Y)"));
        no->setText(QStringLiteral("いいえ(&N)"));
        box.setDefaultButton(request.defaultButton == MsgDefault::Second ? no : yes);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes ? MsgAnswer::Yes : MsgAnswer::No;
    }
    QPushButton* ok = box.addButton(QMessageBox::Ok);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
    return MsgAnswer::Ok;
}

FileChooserResult QtUi::ChooseFile(const FileChooserRequest& request, int action) {
    fileDialog_.DialogTitle = request.title;
    fileDialog_.Filter = request.filter;
    fileDialog_.FilterIndex = request.filterIndex;
    fileDialog_.Flags = request.flags;
    fileDialog_.OwnerhWnd = window_.data();
    fileDialog_.FileName = request.fileName;
    fileDialog_.Action(action);
    return FileChooserResult{fileDialog_.FileName, fileDialog_.FilterIndex};
}

FileChooserResult QtUi::ChooseSaveFile(const FileChooserRequest& request) {
    return ChooseFile(request, clsComDlg::kSaveDialog);
}

FileChooserResult QtUi::ChooseOpenFile(const FileChooserRequest& request) {
    return ChooseFile(request, clsComDlg::kOpenDialog);
}

std::string QtUi::ChooseFolder(const std::string& title, const std::string& initialFolder, uint32_t flags) {
    return FolderSelect(window_.data(), title, initialFolder, flags);
}

std::string QtUi::WindowCaption() const {
    return window_ ? window_->windowTitle().toStdString() : caption_;
}

void QtUi::SetWindowCaption(const std::string& caption) {
    caption_ = caption;
    if (window_) window_->setWindowTitle(QString::fromStdString(caption));
}

void QtUi::OpenWithAssociatedProgram(const std::string& pathOrAddress) {
    QUrl url;
    if (IsPathSpacePath(pathOrAddress)) {
        const QString host = QtHostPathOf(pathOrAddress);
        if (host.isEmpty()) return;
        url = QUrl::fromLocalFile(host);
    } else {
        url = QUrl::fromUserInput(QString::fromStdString(pathOrAddress));
    }
    if (url.isValid()) QDesktopServices::openUrl(url);
}

void QtUi::Beep() {
    QApplication::beep();
}

void QtUi::PumpEvents() {
    if (sincePump_.isValid() && sincePump_.elapsed() < pumpInterval_.count()) return;
    sincePump_.start();
    if (progressHook_) progressHook_();
    QCoreApplication::processEvents();
}

}  // namespace folvane

#include "app/qt/fom_text_input.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/context_menu.h"
#include "render/output_file.h"

namespace folvane {

namespace {

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

fomTextInput::fomTextInput(QWidget* parent, const std::string& caption) : QDialog(parent), caption_(caption) {
    setWindowTitle(ToQString(kCaptionDialogTitle));

    auto* label1 = new QLabel(QStringLiteral("ショートカットメニューに表示する名前を編集して下さい。"), this);
    label1->setObjectName("Label1");
    // A label without a buddy shows "&" as it is.
    auto* label2 =
        new QLabel(QStringLiteral("アンパサンド & を付けると直後の文字がアクセスキーになります。"), this);
    label2->setObjectName("Label2");

    txtShortCutCaption_ = new QLineEdit(ToQString(caption), this);
    txtShortCutCaption_->setObjectName("txtShortCutCaption");

    auto* cmdExit = new QPushButton(QStringLiteral("戻る"), this);
    cmdExit->setObjectName("cmdExit");
    cmdExit->setDefault(true);
    connect(cmdExit, &QPushButton::clicked, this, &fomTextInput::cmdExit_Click);
    auto* cmdCancel = new QPushButton(QStringLiteral("キャンセル"), this);
    cmdCancel->setObjectName("cmdCancel");
    cmdCancel->setAutoDefault(false);
    connect(cmdCancel, &QPushButton::clicked, this, &fomTextInput::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdExit);
    buttons->addWidget(cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label1);
    layout->addWidget(label2);
    layout->addWidget(txtShortCutCaption_);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

fomTextInput::~fomTextInput() = default;

std::string fomTextInput::View(QWidget* parent, const std::string& caption) {
    fomTextInput dialog(parent, caption);
    if (dialog.exec() != QDialog::Accepted) return "";
    return dialog.Caption();
}

void fomTextInput::cmdExit_Click() {
    const QString text = txtShortCutCaption_->text();
    if (text.isEmpty()) {
        QMessageBox::warning(this, ToQString(kApplicationTitle), ToQString(kCaptionEmptyMessage));
        return;
    }
    // An unedited box keeps the caption byte for byte, even one Qt could not hold exactly.
    if (text != ToQString(caption_)) caption_ = text.toStdString();
    accept();
}

void fomTextInput::reject() {
    caption_.clear();
    QDialog::reject();
}

}  // namespace folvane

#pragma once
// The caption dialog "ショートカット名称の設定": edits the caption of the file manager's
// context-menu entry.

#include <QDialog>
#include <string>

class QLineEdit;

namespace folvane {

class fomTextInput : public QDialog {
    Q_OBJECT
  public:
    // The dialog shows caption in its text box.
    fomTextInput(QWidget* parent, const std::string& caption);
    ~fomTextInput() override;

    // Shows the dialog modally on caption and returns the edited caption, or "" when the
    // person cancelled.
    static std::string View(QWidget* parent, const std::string& caption);

    // The caption once the dialog was accepted; "" after a cancel.
    const std::string& Caption() const { return caption_; }

    // キャンセル, Esc and the window's close button: the caption becomes "".
    void reject() override;

  private:
    void cmdExit_Click();

    QLineEdit* txtShortCutCaption_ = nullptr;
    std::string caption_;
};

}  // namespace folvane

#pragma once
// The tree-line dialog "罫線の設定": edits both sets of the tree-line table on a working copy,
// with a preview of a small tree drawn in the set being edited.

#include <QDialog>
#include <QFont>

#include "settings/char_table.h"

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QPlainTextEdit;

namespace folvane {

// A fixed-pitch font with Japanese glyphs in which a full-width character is as wide as two
// half-width ones, so tree lines line up in display cells; the system's fixed font when the
// host has no such font.
QFont TreeLineFont();

class fomLineSetup : public QDialog {
    Q_OBJECT
  public:
    // chars is the live table; only 保存 writes into it.
    fomLineSetup(QWidget* parent, CharTable& chars);
    ~fomLineSetup() override;

  private:
    void BuildControls();
    void optCharType_Click(int set);
    void chkPreView_Click(bool shown);
    void cmdInitPara_Click();
    void cmdExit_Click();

    // Copies the five boxes into set of the working copy.
    void StoreBoxes(int set);
    // Puts set of the working copy into the boxes and rebuilds the preview.
    void ShowSet(int set);
    void RebuildPreview();

    CharTable& chars_;
    CharTable work_;
    int shownSet_ = 0;
    QLineEdit* txtCharTable_[kCharRoles] = {};
    QButtonGroup* optCharType_ = nullptr;
    QCheckBox* chkPreView_ = nullptr;
    QPlainTextEdit* txtPreView_ = nullptr;
};

}  // namespace folvane

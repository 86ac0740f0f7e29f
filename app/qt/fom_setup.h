#pragma once
// The Setup dialog "Folvane の設定": five pages that edit the settings record, validated and
// stored on 保存, which also renews the context-menu entry.

#include <QDialog>
#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/setup_logic.h"
#include "settings/char_table.h"
#include "settings/settings.h"

class QBoxLayout;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QLineEdit;
class QStackedWidget;

namespace folvane {

class fomSetup : public QDialog {
    Q_OBJECT
  public:
    // settings and chars are the live record and tree-line table; executablePath (path space)
    // is the desktop program for the context-menu entry; templateFolder holds the templates.
    fomSetup(QWidget* parent, Settings& settings, CharTable& chars, std::string executablePath,
             std::string templateFolder);
    ~fomSetup() override;

  private:
    // Building the controls.
    QBoxLayout* BuildTabRow();
    QWidget* BuildItemsPage();
    QWidget* BuildOrderPage();
    QWidget* BuildFormatPage();
    QWidget* BuildHtmlPage();
    QWidget* BuildOtherPage();
    QBoxLayout* BuildButtonRow();
    QCheckBox* AddCheck(QWidget* page, QBoxLayout* layout, const char* name, const char* caption,
                        bool SetupValues::*field);
    QButtonGroup* AddOptions(QWidget* page, QBoxLayout* layout, const char* name,
                             const std::vector<const char*>& captions, int SetupValues::*field);
    // labels: the name and caption of the label before the box, then of the one after it.
    QLineEdit* AddNumberBox(QWidget* page, QGridLayout* grid, int row, const char* name,
                            const std::array<const char*, 4>& labels, std::string SetupValues::*field);

    // Between the controls and the settings.
    void ParaToView(const Settings& record);
    void ShowValues(const SetupValues& values);
    SetupValues ValuesFromView() const;
    void UpdateHtmlEnabled();
    void UpdateSizeColumnsEnabled();
    void UpdateSortCaptions();

    // Events.
    void ShowNotice(bool checked, std::string_view notice);
    void cmdExit_Click();
    void cmdInitPara_Click();
    void cmdLineSetup_Click();
    void cmdShortCutCaption_Click();
    void cmdVersion_Click();

    Settings& settings_;
    CharTable& chars_;
    std::string executablePath_;
    std::string templateFolder_;
    std::vector<std::string> templates_;  // the template list the style list refers to
    std::string workCaption_;
    bool shortCutAvailable_ = true;

    std::vector<std::pair<QCheckBox*, bool SetupValues::*>> checks_;
    std::vector<std::pair<QButtonGroup*, int SetupValues::*>> options_;
    std::vector<std::pair<QLineEdit*, std::string SetupValues::*>> numbers_;
    QStackedWidget* pages_ = nullptr;
    QButtonGroup* optSortKey_ = nullptr;
    QButtonGroup* optSortFlg_ = nullptr;
    QButtonGroup* optSizeType_ = nullptr;
    QCheckBox* chkListType_ = nullptr;
    QCheckBox* chkShortCutMenu_ = nullptr;
    QCheckBox* chkFolderLinkFlg_ = nullptr;
    QCheckBox* chkFileLinkFlg_ = nullptr;
    QComboBox* cboHtmlName_ = nullptr;
    QLineEdit* txtSizeMaxColumns_ = nullptr;
};

}  // namespace folvane

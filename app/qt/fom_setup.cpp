#include "app/qt/fom_setup.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QStyle>
#include <QVBoxLayout>
#include <tuple>

#include "app/context_menu.h"
#include "app/qt/fom_line_setup.h"
#include "app/qt/fom_text_input.h"
#include "app/qt/fom_version.h"
#include "render/html.h"
#include "render/output_file.h"

namespace folvane {

namespace {

constexpr int kPageCount = 5;

QString ToQString(std::string_view text) {
    QString result = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return result;
}

QLabel* AddLabel(QWidget* page, const char* name, const char* caption) {
    auto* label = new QLabel(QString::fromUtf8(caption), page);
    label->setObjectName(name);
    return label;
}

QPushButton* AddButton(QWidget* parent, const char* name, const char* caption) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(name);
    return button;
}

}  // namespace

fomSetup::fomSetup(QWidget* parent, Settings& settings, CharTable& chars, std::string executablePath,
                   std::string templateFolder)
    : QDialog(parent),
      settings_(settings),
      chars_(chars),
      executablePath_(std::move(executablePath)),
      templateFolder_(std::move(templateFolder)) {
    setWindowTitle(ToQString(kSetupTitle));

    pages_ = new QStackedWidget(this);
    pages_->setFrameShape(QFrame::StyledPanel);
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(0);
    layout->addLayout(BuildTabRow());
    pages_->addWidget(BuildItemsPage());
    pages_->addWidget(BuildOrderPage());
    pages_->addWidget(BuildFormatPage());
    pages_->addWidget(BuildHtmlPage());
    pages_->addWidget(BuildOtherPage());
    for (int i = 0; i < kPageCount; ++i)
        pages_->widget(i)->setObjectName(QStringLiteral("frmTab%1").arg(i));
    layout->addWidget(pages_);
    layout->addSpacing(
        style()->layoutSpacing(QSizePolicy::PushButton, QSizePolicy::PushButton, Qt::Vertical));
    layout->addLayout(BuildButtonRow());
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Without a readable folder class the context menu cannot be offered; the switch-off is
    // made in the live record at once and survives キャンセル.
    shortCutAvailable_ = ShortCutMenuAvailable();
    if (!shortCutAvailable_) {
        settings_.ShortCutMenuFlg = false;
        chkShortCutMenu_->setEnabled(false);
    }
    ParaToView(settings_);
}

fomSetup::~fomSetup() = default;

// --- Building the controls -------------------------------------------------------------------

QBoxLayout* fomSetup::BuildTabRow() {
    static const char* const kCaptions[kPageCount] = {"表示項目", "表示順", "表示形式", "HTML", "その他"};
    auto* optTab = new QButtonGroup(this);
    optTab->setObjectName("optTab");
    auto* row = new QHBoxLayout;
    row->setSpacing(0);
    for (int i = 0; i < kPageCount; ++i) {
        auto* button = new QPushButton(QString::fromUtf8(kCaptions[i]), this);
        button->setObjectName(QStringLiteral("optTab%1").arg(i));
        button->setCheckable(true);
        button->setAutoDefault(false);
        optTab->addButton(button, i);
        row->addWidget(button);
    }
    row->addStretch();
    optTab->button(0)->setChecked(true);
    connect(optTab, &QButtonGroup::idToggled, this, [this](int page, bool checked) {
        if (checked) pages_->setCurrentIndex(page);
    });
    return row;
}

QCheckBox* fomSetup::AddCheck(QWidget* page, QBoxLayout* layout, const char* name, const char* caption,
                              bool SetupValues::*field) {
    auto* box = new QCheckBox(QString::fromUtf8(caption), page);
    box->setObjectName(name);
    layout->addWidget(box);
    if (field != nullptr) checks_.emplace_back(box, field);
    return box;
}

QButtonGroup* fomSetup::AddOptions(QWidget* page, QBoxLayout* layout, const char* name,
                                   const std::vector<const char*>& captions, int SetupValues::*field) {
    auto* group = new QButtonGroup(page);
    group->setObjectName(name);
    for (int i = 0; i < static_cast<int>(captions.size()); ++i) {
        auto* button = new QRadioButton(QString::fromUtf8(captions[i]), page);
        button->setObjectName(QStringLiteral("%1%2").arg(QString::fromUtf8(name)).arg(i));
        group->addButton(button, i);
        layout->addWidget(button);
    }
    options_.emplace_back(group, field);
    return group;
}

QLineEdit* fomSetup::AddNumberBox(QWidget* page, QGridLayout* grid, int row, const char* name,
                                  const std::array<const char*, 4>& labels, std::string SetupValues::*field) {
    auto* box = new QLineEdit(page);
    box->setObjectName(name);
    box->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("000000")) +
                         2 * fontMetrics().height());
    numbers_.emplace_back(box, field);
    grid->addWidget(AddLabel(page, labels[0], labels[1]), row, 0);
    grid->addWidget(box, row, 1);
    grid->addWidget(AddLabel(page, labels[2], labels[3]), row, 2);
    return box;
}

QWidget* fomSetup::BuildItemsPage() {
    auto* page = new QWidget;
    auto* columns = new QHBoxLayout(page);
    auto* left = new QVBoxLayout;
    auto* right = new QVBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right);
    columns->addStretch();
    // The name column cannot be switched off.
    QCheckBox* name = AddCheck(page, left, "chkFileName", "ファイル名", nullptr);
    name->setChecked(true);
    name->setEnabled(false);
    AddCheck(page, left, "chkSize", "サイズ", &SetupValues::size);
    AddCheck(page, left, "chkAttr", "属性", &SetupValues::attr);
    AddCheck(page, left, "chkCDate", "作成日付", &SetupValues::cdate);
    AddCheck(page, left, "chkCTime", "作成時刻", &SetupValues::ctime);
    AddCheck(page, right, "chkUDate", "更新日付", &SetupValues::udate);
    AddCheck(page, right, "chkUTime", "更新時刻", &SetupValues::utime);
    QCheckBox* crc = AddCheck(page, right, "chkCRC", "CRC", &SetupValues::crc);
    QCheckBox* version = AddCheck(page, right, "chkVersion", "ファイルバージョン", &SetupValues::version);
    left->addStretch();
    right->addStretch();
    // clicked comes from the person only, so filling the boxes never shows the notices.
    connect(crc, &QCheckBox::clicked, this, [this](bool checked) { ShowNotice(checked, kCrcNotice); });
    connect(version, &QCheckBox::clicked, this,
            [this](bool checked) { ShowNotice(checked, kVersionNotice); });
    return page;
}

QWidget* fomSetup::BuildOrderPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    optSortKey_ = AddOptions(page, layout, "optSortKey",
                             {"ファイル名順", "拡張子順", "サイズ順", "更新日時順", "作成日時順"},
                             &SetupValues::sortKey);
    auto* direction = new QHBoxLayout;
    direction->addWidget(AddLabel(page, "Label8", "並べ方："));
    optSortFlg_ = AddOptions(page, direction, "optSortFlg", {"昇順", "降順"}, &SetupValues::sortFlgIndex);
    direction->addStretch();
    layout->addLayout(direction);
    AddCheck(page, layout, "chkCompMode", "大文字／小文字を区別しない", &SetupValues::compMode);
    layout->addStretch();
    connect(optSortKey_, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked) UpdateSortCaptions();
    });
    return page;
}

QWidget* fomSetup::BuildFormatPage() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    AddNumberBox(page, grid, 0, "txtColumns", {"Label5", "桁数の制限：", "Label3", "桁以内"},
                 &SetupValues::columns);
    AddNumberBox(page, grid, 1, "txtLines", {"Label6", "余白の行数：", "Label2", "行単位"},
                 &SetupValues::lines);

    auto addOptionRow = [&](int row, const char* labelName, const char* caption, const char* name,
                            const std::vector<const char*>& captions, int SetupValues::*field) {
        grid->addWidget(AddLabel(page, labelName, caption), row, 0);
        auto* line = new QHBoxLayout;
        QButtonGroup* group = AddOptions(page, line, name, captions, field);
        grid->addLayout(line, row, 1, 1, 2);
        return std::pair{group, line};
    };
    QHBoxLayout* charLine =
        addOptionRow(2, "Label4", "罫線の表記：", "optCharType", {"半角", "全角"}, &SetupValues::charType)
            .second;
    auto* cmdLineSetup = AddButton(page, "cmdLineSetup", "詳細");
    connect(cmdLineSetup, &QPushButton::clicked, this, &fomSetup::cmdLineSetup_Click);
    charLine->addWidget(cmdLineSetup);
    charLine->addStretch();
    QHBoxLayout* sizeLine = nullptr;
    std::tie(optSizeType_, sizeLine) = addOptionRow(3, "Label7", "サイズの表記：", "optSizeType",
                                                    {"Byte", "省略 ( KByte 等)"}, &SetupValues::sizeType);
    sizeLine->addStretch();
    connect(optSizeType_, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked) UpdateSizeColumnsEnabled();
    });
    txtSizeMaxColumns_ = AddNumberBox(page, grid, 4, "txtSizeMaxColumns",
                                      {"Label9", "サイズの桁数：", "Label10", "桁 (カンマを除く)"},
                                      &SetupValues::sizeMaxColumns);
    addOptionRow(5, "Label1", "表示スタイル：", "optViewType", {"通常", "省略1", "省略2", "省略3"},
                 &SetupValues::viewType)
        .second->addStretch();
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(6, 1);
    return page;
}

QWidget* fomSetup::BuildHtmlPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    chkListType_ = AddCheck(page, layout, "chkListType", "一覧をHTML形式で作成する", &SetupValues::listType);
    auto* frame = new QFrame(page);
    frame->setObjectName("fraHtmlName");
    auto* style = new QHBoxLayout(frame);
    style->addWidget(AddLabel(frame, "Label11", "スタイル："));
    cboHtmlName_ = new QComboBox(frame);
    cboHtmlName_->setObjectName("cboHtmlName");
    cboHtmlName_->setMinimumContentsLength(16);
    style->addWidget(cboHtmlName_);
    style->addStretch();
    layout->addWidget(frame);
    chkFolderLinkFlg_ =
        AddCheck(page, layout, "chkFolderLinkFlg", "フォルダにリンクをつける", &SetupValues::folderLink);
    chkFileLinkFlg_ =
        AddCheck(page, layout, "chkFileLinkFlg", "ファイルにリンクをつける", &SetupValues::fileLink);
    layout->addStretch();
    connect(chkListType_, &QCheckBox::toggled, this, &fomSetup::UpdateHtmlEnabled);
    return page;
}

QWidget* fomSetup::BuildOtherPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* shortCut = new QHBoxLayout;
    chkShortCutMenu_ = AddCheck(page, shortCut, "chkShortCutMenu",
                                "フォルダのショートカットから起動可能にする", &SetupValues::shortCutMenu);
    auto* cmdShortCutCaption = AddButton(page, "cmdShortCutCaption", "...");
    cmdShortCutCaption->setAutoDefault(false);
    cmdShortCutCaption->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("....")) +
                                        2 * fontMetrics().height());
    connect(cmdShortCutCaption, &QPushButton::clicked, this, &fomSetup::cmdShortCutCaption_Click);
    shortCut->addWidget(cmdShortCutCaption);
    shortCut->addStretch();
    layout->addLayout(shortCut);
    AddCheck(page, layout, "chkHiddenView", "隠し属性のファイルやフォルダも一覧にする",
             &SetupValues::hiddenView);
    AddCheck(page, layout, "chkLongName", "長いファイル名を使う", &SetupValues::longName);
    AddCheck(page, layout, "chkSubDirSearchFlg", "サブフォルダも調査する", &SetupValues::subDirSearch);
    AddCheck(page, layout, "chkMemPos", "前回の表示位置を記憶する", &SetupValues::memPos);
    AddCheck(page, layout, "chkFilterFlg", "ファイルフィルタを使用する", &SetupValues::filterFlg);
    AddCheck(page, layout, "chkAutoOpenFlg", "一覧作成後に関連付けされたソフトで開く",
             &SetupValues::autoOpen);
    layout->addStretch();
    return page;
}

QBoxLayout* fomSetup::BuildButtonRow() {
    auto* cmdVersion = AddButton(this, "cmdVersion", "バージョン");
    auto* cmdInitPara = AddButton(this, "cmdInitPara", "初期化");
    auto* cmdCancel = AddButton(this, "cmdCancel", "キャンセル");
    auto* cmdExit = AddButton(this, "cmdExit", "保存");
    cmdExit->setDefault(true);
    connect(cmdVersion, &QPushButton::clicked, this, &fomSetup::cmdVersion_Click);
    connect(cmdInitPara, &QPushButton::clicked, this, &fomSetup::cmdInitPara_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdExit, &QPushButton::clicked, this, &fomSetup::cmdExit_Click);
    auto* row = new QHBoxLayout;
    row->addWidget(cmdVersion);
    row->addStretch();
    row->addWidget(cmdInitPara);
    row->addWidget(cmdCancel);
    row->addWidget(cmdExit);
    return row;
}

// --- Between the controls and the settings ---------------------------------------------------

void fomSetup::ParaToView(const Settings& record) {
    // The template folder is read again on every fill, so the list shows what is there now.
    templates_ = HtmlTemplateList(templateFolder_);
    ShowValues(folvane::ParaToView(record, templates_));
}

void fomSetup::ShowValues(const SetupValues& values) {
    for (const auto& [box, field] : checks_)
        box->setChecked(values.*field);
    for (const auto& [group, field] : options_) {
        // A value outside the buttons (a hand-edited settings file) selects the first one.
        QAbstractButton* button = group->button(values.*field);
        (button != nullptr ? button : group->buttons().front())->setChecked(true);
    }
    for (const auto& [box, field] : numbers_)
        box->setText(QString::fromStdString(values.*field));

    cboHtmlName_->clear();
    for (const TemplateItem& item : values.templateItems)
        cboHtmlName_->addItem(QString::fromStdString(item.caption), item.data);
    cboHtmlName_->setCurrentIndex(values.selectedTemplate);

    workCaption_ = values.workCaption;
    // While the context menu cannot be offered its box stays off, also after 初期化.
    if (!shortCutAvailable_) chkShortCutMenu_->setChecked(false);
    UpdateHtmlEnabled();
    UpdateSizeColumnsEnabled();
    UpdateSortCaptions();
}

SetupValues fomSetup::ValuesFromView() const {
    SetupValues values;
    for (const auto& [box, field] : checks_)
        values.*field = box->isChecked();
    for (const auto& [group, field] : options_)
        values.*field = group->checkedId();
    for (const auto& [box, field] : numbers_)
        values.*field = box->text().toStdString();
    for (int i = 0; i < cboHtmlName_->count(); ++i)
        values.templateItems.push_back(
            {cboHtmlName_->itemText(i).toStdString(), cboHtmlName_->itemData(i).toInt()});
    values.selectedTemplate = cboHtmlName_->currentIndex();
    values.workCaption = workCaption_;
    return values;
}

void fomSetup::UpdateHtmlEnabled() {
    const bool html = chkListType_->isChecked();
    cboHtmlName_->setEnabled(html);
    chkFolderLinkFlg_->setEnabled(html);
    chkFileLinkFlg_->setEnabled(html);
}

void fomSetup::UpdateSizeColumnsEnabled() {
    // A disabled box takes the palette's disabled colours, the button face of the old dialog.
    txtSizeMaxColumns_->setEnabled(optSizeType_->checkedId() == 0);
}

void fomSetup::UpdateSortCaptions() {
    const auto captions = SortDirectionCaptions(optSortKey_->checkedId());
    if (!captions) return;
    optSortFlg_->button(0)->setText(QString::fromStdString(captions->first));
    optSortFlg_->button(1)->setText(QString::fromStdString(captions->second));
}

// --- Events ----------------------------------------------------------------------------------

void fomSetup::ShowNotice(bool checked, std::string_view notice) {
    if (!checked) return;
    QMessageBox::information(this, ToQString(kApplicationTitle), ToQString(notice));
}

void fomSetup::cmdExit_Click() {
    const std::string message = folvane::ViewToPara(ValuesFromView(), templates_, settings_);
    if (!message.empty()) {
        QMessageBox::warning(this, ToQString(kApplicationTitle), ToQString(message));
        return;
    }
    ShortCutMenuUpdate(settings_, executablePath_);
    accept();
}

void fomSetup::cmdInitPara_Click() {
    Settings scratch;
    SetDefaults(scratch);
    ParaToView(scratch);
}

void fomSetup::cmdLineSetup_Click() {
    fomLineSetup dialog(this, chars_);
    dialog.exec();
}

void fomSetup::cmdShortCutCaption_Click() {
    std::string caption = fomTextInput::View(this, workCaption_);
    if (!caption.empty()) workCaption_ = std::move(caption);
}

void fomSetup::cmdVersion_Click() {
    fomVersion dialog(this);
    dialog.exec();
}

}  // namespace folvane

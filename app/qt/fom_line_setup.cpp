#include "app/qt/fom_line_setup.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <array>

#include "render/char_table_preview.h"

namespace folvane {

namespace {

constexpr int kPreviewLines = 7;  // the rule line and the six lines of the sample tree
constexpr int kBoxCells = 10;     // room for a few full-width characters per role

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A full-width character two half-width cells wide and every half-width character alike.
bool DrawsCells(const QFont& font) {
    const QFontMetrics metrics(font);
    const int cell = metrics.horizontalAdvance(QLatin1Char('i'));
    return cell > 0 && metrics.horizontalAdvance(QLatin1Char('M')) == cell &&
           metrics.horizontalAdvance(QStringLiteral("│")) == 2 * cell &&
           metrics.horizontalAdvance(QStringLiteral("あ")) == 2 * cell;
}

QFont FindTreeLineFont() {
    // Well-known Japanese gothic faces first; fontconfig calls most of them "dual width", so
    // Qt does not report them as fixed pitch and the cell check decides.
    static const char* const kPreferred[] = {
        "ＭＳ ゴシック",      "MS Gothic", "IPAGothic",   "IPAゴシック", "Noto Sans Mono CJK JP",
        "Source Han Code JP", "VL Gothic", "TakaoGothic", "Osaka－等幅"};
    const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
    const int size = QFontDatabase::systemFont(QFontDatabase::FixedFont).pointSize();
    auto usable = [size](const QString& family, QFont& out) {
        QFont font(family, size);
        font.setStyleHint(QFont::TypeWriter);
        if (!DrawsCells(font)) return false;
        out = font;
        return true;
    };
    QFont found;
    for (const char* name : kPreferred) {
        if (japanese.contains(QString::fromUtf8(name)) && usable(QString::fromUtf8(name), found))
            return found;
    }
    for (const QString& family : japanese) {
        if (QFontDatabase::isFixedPitch(family) && usable(family, found)) return found;
    }
    return QFontDatabase::systemFont(QFontDatabase::FixedFont);
}

}  // namespace

QFont TreeLineFont() {
    static const QFont font = FindTreeLineFont();
    return font;
}

fomLineSetup::fomLineSetup(QWidget* parent, CharTable& chars) : QDialog(parent), chars_(chars), work_(chars) {
    setWindowTitle(QStringLiteral("罫線の設定"));
    BuildControls();
    // Always opens on the half-width set, whatever CharType holds, with the preview hidden.
    optCharType_->button(0)->setChecked(true);
    ShowSet(0);
}

fomLineSetup::~fomLineSetup() = default;

void fomLineSetup::BuildControls() {
    static const std::array<const char*, kCharRoles> kLabels = {"空白：", "縦線：", "分岐：", "先端：",
                                                                "罫線："};
    const QFont cellFont = TreeLineFont();
    const int boxWidth = QFontMetrics(cellFont).horizontalAdvance(QString(kBoxCells, QLatin1Char('M')));

    // Vertical, branch and end on the left; blank and rule on the right.
    static const std::array<std::array<int, 2>, kCharRoles> kCell = {
        {{0, 2}, {0, 0}, {1, 0}, {2, 0}, {1, 2}}};
    auto* boxes = new QGridLayout;
    for (int role = 0; role < kCharRoles; ++role) {
        auto* label = new QLabel(QString::fromUtf8(kLabels[role]), this);
        label->setObjectName(QStringLiteral("lblCharTable%1").arg(role));
        auto* box = new QLineEdit(this);
        box->setObjectName(QStringLiteral("txtCharTable%1").arg(role));
        box->setFont(cellFont);
        box->setMinimumWidth(boxWidth);
        label->setBuddy(box);
        connect(box, &QLineEdit::textChanged, this, &fomLineSetup::RebuildPreview);
        txtCharTable_[role] = box;
        boxes->addWidget(label, kCell[role][0], kCell[role][1]);
        boxes->addWidget(box, kCell[role][0], kCell[role][1] + 1);
    }
    boxes->setColumnMinimumWidth(2, fontMetrics().averageCharWidth() * 4);

    optCharType_ = new QButtonGroup(this);
    optCharType_->setObjectName("optCharType");
    auto* options = new QHBoxLayout;
    for (int set = 0; set < kCharSets; ++set) {
        auto* button = new QRadioButton(set == 0 ? QStringLiteral("半角") : QStringLiteral("全角"), this);
        button->setObjectName(QStringLiteral("optCharType%1").arg(set));
        optCharType_->addButton(button, set);
        options->addWidget(button);
    }
    connect(optCharType_, &QButtonGroup::idToggled, this, [this](int set, bool checked) {
        if (checked) optCharType_Click(set);
    });
    chkPreView_ = new QCheckBox(QStringLiteral("表示例"), this);
    chkPreView_->setObjectName("chkPreView");
    connect(chkPreView_, &QCheckBox::toggled, this, &fomLineSetup::chkPreView_Click);
    options->addStretch();
    options->addWidget(chkPreView_);

    txtPreView_ = new QPlainTextEdit(this);
    txtPreView_->setObjectName("txtPreView");
    txtPreView_->setReadOnly(true);
    txtPreView_->setFont(cellFont);
    txtPreView_->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtPreView_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int margins =
        2 * (txtPreView_->frameWidth() + static_cast<int>(txtPreView_->document()->documentMargin()));
    txtPreView_->setFixedHeight(QFontMetrics(cellFont).lineSpacing() * kPreviewLines + margins);
    txtPreView_->setVisible(false);

    auto* cmdInitPara = new QPushButton(QStringLiteral("初期化"), this);
    cmdInitPara->setObjectName("cmdInitPara");
    cmdInitPara->setAutoDefault(false);
    connect(cmdInitPara, &QPushButton::clicked, this, &fomLineSetup::cmdInitPara_Click);
    // 保存 is the default so that Enter in a box never reaches 初期化.
    auto* cmdExit = new QPushButton(QStringLiteral("保存"), this);
    cmdExit->setObjectName("cmdExit");
    cmdExit->setDefault(true);
    connect(cmdExit, &QPushButton::clicked, this, &fomLineSetup::cmdExit_Click);
    auto* cmdCancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    cmdCancel->setObjectName("cmdCancel");
    cmdCancel->setAutoDefault(false);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdInitPara);
    buttons->addStretch();
    buttons->addWidget(cmdExit);
    buttons->addWidget(cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(boxes);
    layout->addLayout(options);
    layout->addWidget(txtPreView_);
    layout->addLayout(buttons);
    // The dialog follows its contents, so hiding the preview shrinks it by the preview's height.
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void fomLineSetup::optCharType_Click(int set) {
    if (set == shownSet_) return;
    StoreBoxes(shownSet_);
    ShowSet(set);
}

void fomLineSetup::chkPreView_Click(bool shown) {
    txtPreView_->setVisible(shown);
    layout()->activate();
}

void fomLineSetup::cmdInitPara_Click() {
    SetCharTableDefaults(work_);
    ShowSet(shownSet_);
}

void fomLineSetup::cmdExit_Click() {
    StoreBoxes(shownSet_);
    chars_ = work_;
    accept();
}

void fomLineSetup::StoreBoxes(int set) {
    for (int role = 0; role < kCharRoles; ++role) {
        const QString text = txtCharTable_[role]->text();
        std::string& piece = work_.strings[set][role];
        // An unedited box keeps its string byte for byte, even one Qt could not hold exactly.
        if (text != ToQString(piece)) piece = text.toStdString();
    }
}

void fomLineSetup::ShowSet(int set) {
    shownSet_ = set;
    for (int role = 0; role < kCharRoles; ++role) {
        const QSignalBlocker block(txtCharTable_[role]);
        txtCharTable_[role]->setText(ToQString(work_.strings[set][role]));
    }
    RebuildPreview();
}

void fomLineSetup::RebuildPreview() {
    std::array<std::string, kCharRoles> pieces;
    for (int role = 0; role < kCharRoles; ++role)
        pieces[role] = txtCharTable_[role]->text().toStdString();
    QString preview = ToQString(CharTablePreview(pieces));
    preview.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    txtPreView_->setPlainText(preview);
}

}  // namespace folvane

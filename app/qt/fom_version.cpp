#include "app/qt/fom_version.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>

#include "app/qt/desktop_program.h"
#include "render/title_blocks.h"

namespace folvane {

namespace {

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QPixmap IconPicture(const QWidget* dialog) {
    const int size = dialog->style()->pixelMetric(QStyle::PM_MessageBoxIconSize);
    return ProgramIcon().pixmap(QSize(size, size), dialog->devicePixelRatioF());
}

}  // namespace

fomVersion::fomVersion(QWidget* parent) : QDialog(parent) {
    setWindowTitle(ToQString(kVersionDialogTitle));
    setMouseTracking(true);

    auto* picIcon = new QLabel(this);
    picIcon->setObjectName("picIcon");
    picIcon->setPixmap(IconPicture(this));
    picIcon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto* texts = new QVBoxLayout;
    for (int i = 0; i < 3; ++i) {
        lblText_[i] = new QLabel(this);
        lblText_[i]->setObjectName(QStringLiteral("lblText%1").arg(i));
        lblText_[i]->setAlignment(Qt::AlignCenter);
        texts->addWidget(lblText_[i]);
    }

    auto* label1 = new QLabel(QStringLiteral("HomePage"), this);
    label1->setObjectName("Label1");
    lblSuport_ = new QLabel(ToQString(kHomePageAddress), this);
    lblSuport_->setObjectName("lblSuport");
    lblSuport_->setCursor(Qt::PointingHandCursor);
    lblSuport_->setMouseTracking(true);
    QFont linkFont = lblSuport_->font();
    linkFont.setUnderline(true);
    lblSuport_->setFont(linkFont);
    lblSuport_->installEventFilter(this);
    SetLinkColour(palette().color(QPalette::ButtonText));

    auto* link = new QHBoxLayout;
    link->addWidget(label1);
    link->addWidget(lblSuport_);
    link->addStretch();
    texts->addSpacing(fontMetrics().height() / 2);
    texts->addLayout(link);

    auto* top = new QHBoxLayout;
    top->addWidget(picIcon);
    top->addLayout(texts, 1);

    auto* cmdExit = new QPushButton(QStringLiteral("OK"), this);
    cmdExit->setObjectName("cmdExit");
    cmdExit->setDefault(true);
    connect(cmdExit, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdExit);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    FillTexts();
}

fomVersion::~fomVersion() = default;

void fomVersion::FillTexts() {
    lblText_[0]->setText(ToQString(kProductName));
    lblText_[1]->setText(ToQString(VersionText(kVersionMajor, kVersionMinor, kVersionRevision)));
    lblText_[2]->setText(ToQString(kCopyrightNotice));
}

void fomVersion::SetLinkColour(const QColor& colour) {
    QPalette linkPalette = lblSuport_->palette();
    linkPalette.setColor(QPalette::WindowText, colour);
    lblSuport_->setPalette(linkPalette);
}

void fomVersion::showEvent(QShowEvent* event) {
    FillTexts();
    QDialog::showEvent(event);
}

void fomVersion::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) FillTexts();
    QDialog::changeEvent(event);
}

void fomVersion::mouseMoveEvent(QMouseEvent* event) {
    // Moves over other labels propagate here as well; only the link itself keeps it blue.
    if (childAt(event->position().toPoint()) != lblSuport_)
        SetLinkColour(palette().color(QPalette::ButtonText));
    QDialog::mouseMoveEvent(event);
}

bool fomVersion::eventFilter(QObject* watched, QEvent* event) {
    if (watched != lblSuport_) return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::MouseMove) {
        SetLinkColour(QColor(0, 0, 255));
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && lblSuport_->rect().contains(mouse->position().toPoint())) {
            // Whether a browser could be started is not reported; the dialog stays open.
            QDesktopServices::openUrl(QUrl(lblSuport_->text()));
        }
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace folvane

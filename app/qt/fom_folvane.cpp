#include "app/qt/fom_folvane.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

#include "app/context_menu.h"
#include "app/product.h"
#include "app/qt/folder_dialog.h"
#include "app/qt/fom_setup.h"
#include "platform/path_space.h"

namespace folvane {

namespace {

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QFrame* MakePanel(QWidget* parent, const char* name) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(QLatin1String(name));
    panel->setFrameShape(QFrame::NoFrame);
    panel->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    return panel;
}

QHBoxLayout* PanelLayout(QFrame* panel, int em) {
    auto* layout = new QHBoxLayout(panel);
    layout->setContentsMargins(em / 2, em / 4, em / 2, em / 4);
    layout->setSpacing(em / 3);
    return layout;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    // Enter clicks the button that has the focus, as on the window systems this program knows.
    button->setAutoDefault(true);
    return button;
}

// The host bytes of a local file URL: names that are not valid UTF-8 stay percent-encoded in
// the URL, so decoding the encoded path gives the bytes the file manager saw.
std::string HostPathOfUrl(const QUrl& url) {
    if (!url.host().isEmpty()) return QFile::encodeName(url.toLocalFile()).toStdString();
    return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString();
}

}  // namespace

std::vector<std::string> DroppedPaths(const QMimeData& data) {
    std::vector<std::string> paths;
    for (const QUrl& url : data.urls()) {
        if (!url.isLocalFile()) continue;
        const std::string host = HostPathOfUrl(url);
        if (!host.empty()) paths.push_back(PathFromHost(host));
    }
    return paths;
}

fomFolvane::fomFolvane(std::string settingsFile, std::string templateFolder)
    : templateFolder_(std::move(templateFolder)) {
    setWindowTitle(QStringLiteral("Folvane"));
    const int em = fontMetrics().height();
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    stack->addWidget(BuildCtrlPanel(em));
    stack->addWidget(BuildWildCardPanel(em));
    stack->addWidget(BuildButtonTray(em));
    sbrStatus_ = new QStatusBar(this);
    sbrStatus_->setObjectName(QStringLiteral("sbrStatus"));
    sbrStatus_->setSizeGripEnabled(false);
    stack->addWidget(sbrStatus_);
    const int labelWidth = std::max(Label1_->sizeHint().width(), Label11_->sizeHint().width());
    Label1_->setMinimumWidth(labelWidth);
    Label11_->setMinimumWidth(labelWidth);

    timTimer_ = new QTimer(this);
    timTimer_->setObjectName(QStringLiteral("timTimer"));
    timTimer_->setSingleShot(true);
    timTimer_->setTimerType(Qt::PreciseTimer);

    ui_.SetWindow(this);
    ui_.SetProgressHook([this] { ShowProgress(); });
    form_ = std::make_unique<MainForm>(ui_, *this, clock_, std::move(settingsFile), templateFolder_);
    form_->caption().SetRestartHook([this] { timTimer_->start(CaptionTimer::kInterval); });
    ConnectControls();

    ArrangePanels(false);
    resize(std::max(sizeHint().width(), em * 32), height());
    txtDirName_->setFocus();
}

fomFolvane::~fomFolvane() = default;

QFrame* fomFolvane::BuildCtrlPanel(int em) {
    frmCtrlPanel_ = MakePanel(this, "frmCtrlPanel");
    // The folder panel takes drops for itself and for its controls, none of which takes drops
    // of its own; drops anywhere else in the window find no taker.
    frmCtrlPanel_->setAcceptDrops(true);
    QHBoxLayout* row = PanelLayout(frmCtrlPanel_, em);
    row->setContentsMargins(em / 2, em / 2, em / 2, em / 4);
    Label1_ = new QLabel(QStringLiteral("調査フォルダ(&F)："), frmCtrlPanel_);
    Label1_->setObjectName(QStringLiteral("Label1"));
    txtDirName_ = new QLineEdit(frmCtrlPanel_);
    txtDirName_->setObjectName(QStringLiteral("txtDirName"));
    txtDirName_->setMinimumWidth(em * 12);
    // A drop is the window's to handle: the field must not insert the dropped text itself.
    txtDirName_->setAcceptDrops(false);
    Label1_->setBuddy(txtDirName_);
    cmdSelDir_ = MakeButton(frmCtrlPanel_, "cmdSelDir", QStringLiteral("..."));
    cmdSelDir_->setFixedWidth(std::max(txtDirName_->sizeHint().height(),
                                       fontMetrics().horizontalAdvance(QStringLiteral("...")) + em));
    row->addWidget(Label1_);
    row->addWidget(txtDirName_, 1);
    row->addWidget(cmdSelDir_);
    return frmCtrlPanel_;
}

QFrame* fomFolvane::BuildWildCardPanel(int em) {
    frmWildCard_ = MakePanel(this, "frmWildCard");
    QHBoxLayout* row = PanelLayout(frmWildCard_, em);
    Label11_ = new QLabel(QStringLiteral("ファイルフィルタ(&W)："), frmWildCard_);
    Label11_->setObjectName(QStringLiteral("Label11"));
    cboFilterText_ = new QComboBox(frmWildCard_);
    cboFilterText_->setObjectName(QStringLiteral("cboFilterText"));
    cboFilterText_->setEditable(true);
    // The history is the program's: Enter must not add the typed text to the list, and the
    // text typed is the filter, never a completion offered from the history.
    cboFilterText_->setInsertPolicy(QComboBox::NoInsert);
    cboFilterText_->setCompleter(nullptr);
    cboFilterText_->lineEdit()->setAcceptDrops(false);
    Label11_->setBuddy(cboFilterText_);
    row->addWidget(Label11_);
    row->addWidget(cboFilterText_, 1);
    return frmWildCard_;
}

QFrame* fomFolvane::BuildButtonTray(int em) {
    frmButtonTray_ = MakePanel(this, "frmButtonTray");
    QHBoxLayout* row = PanelLayout(frmButtonTray_, em);
    row->setContentsMargins(em / 2, em / 4, em / 2, em / 2);
    cmdSetup_ = MakeButton(frmButtonTray_, "cmdSetup", QStringLiteral("設定(&S)"));
    cmdExec_ = MakeButton(frmButtonTray_, "cmdExec", ToQString(kExecCaption));
    cmdExec_->setDefault(true);
    cmdExit_ = MakeButton(frmButtonTray_, "cmdExit", QStringLiteral("終了(&X)"));
    row->addStretch(1);
    row->addWidget(cmdSetup_);
    row->addWidget(cmdExec_);
    row->addWidget(cmdExit_);
    return frmButtonTray_;
}

void fomFolvane::ConnectControls() {
    frmCtrlPanel_->installEventFilter(this);
    connect(cmdSelDir_, &QPushButton::clicked, this, [this] { form_->cmdSelDir_Click(); });
    connect(cmdSetup_, &QPushButton::clicked, this, [this] { form_->cmdSetup_Click(); });
    connect(cmdExec_, &QPushButton::clicked, this, [this] { form_->cmdExec_Click(); });
    connect(cmdExit_, &QPushButton::clicked, this, [this] { form_->cmdExit_Click(); });
    connect(timTimer_, &QTimer::timeout, this, [this] {
        form_->timTimer_Timer();
        ArmCaptionTimer();
    });
}

// A tick that came before its time leaves the caption timer running: wait for the rest.
void fomFolvane::ArmCaptionTimer() {
    if (const auto remaining = form_->caption().TimeUntilDue())
        timTimer_->start(std::max(*remaining, std::chrono::milliseconds{1}));
}

bool fomFolvane::Load(std::string_view commandLine, std::string_view shownCommandLine) {
    return form_->Form_Load(commandLine, shownCommandLine);
}

std::string fomFolvane::FolderText() const {
    // A path whose names are not all valid UTF-8 cannot be shown as it is: as long as the field
    // holds what the program put there, the program's own text is the answer.
    if (txtDirName_->text() == shownFolder_) return folder_;
    return txtDirName_->text().toStdString();
}

void fomFolvane::SetFolderText(const std::string& text) {
    txtDirName_->setText(QString::fromStdString(text));
    folder_ = text;
    shownFolder_ = txtDirName_->text();
    txtDirName_->deselect();
    txtDirName_->setCursorPosition(static_cast<int>(txtDirName_->text().size()));
}

std::string fomFolvane::FilterText() const {
    return cboFilterText_->currentText().toStdString();
}

void fomFolvane::SetFilterText(const std::string& text) {
    cboFilterText_->setEditText(QString::fromStdString(text));
}

void fomFolvane::SetFilterList(const std::vector<std::string>& items, const std::string& text) {
    cboFilterText_->clear();
    for (std::size_t i = 0; i < items.size(); ++i)
        cboFilterText_->addItem(QString::fromStdString(items[i]), QVariant::fromValue(static_cast<int>(i)));
    cboFilterText_->setCurrentIndex(-1);
    cboFilterText_->setEditText(QString::fromStdString(text));
}

void fomFolvane::ShowBusy(bool busy) {
    frmCtrlPanel_->setEnabled(!busy);
    if (!frmWildCard_->isHidden()) frmWildCard_->setEnabled(!busy);
    if (busy) {
        setCursor(Qt::WaitCursor);
        cmdExec_->setCursor(Qt::BusyCursor);
        cmdExit_->setCursor(Qt::BusyCursor);
        cmdExec_->setText(ToQString(kCancelCaption));
        sbrStatus_->showMessage(QString::fromStdString(ProgressText(0, 0)));
    } else {
        unsetCursor();
        cmdExec_->unsetCursor();
        cmdExit_->unsetCursor();
        cmdExec_->setText(ToQString(kExecIdleCaption));
        // After a run the status line tells where the listing went; otherwise it is empty.
        const std::string ended = RunEndText(form_->lastResult());
        if (ended.empty()) {
            sbrStatus_->clearMessage();
        } else {
            sbrStatus_->showMessage(QString::fromStdString(ended));
        }
    }
}

void fomFolvane::ShowProgress() {
    if (!form_->run().BusyFlag) return;
    sbrStatus_->showMessage(QString::fromStdString(RunProgressText(form_->run())));
}

void fomFolvane::ArrangePanels(bool showFilterPanel) {
    frmWildCard_->setHidden(!showFilterPanel);
    // The panels keep their own heights, so the window's height is theirs added up and follows
    // the filter panel exactly.
    layout()->invalidate();
    setFixedHeight(sizeHint().height());
}

bool fomFolvane::FilterPanelShown() const {
    return !frmWildCard_->isHidden();
}

void fomFolvane::MoveWindow(int left, int top) {
    move(left, top);
}

std::pair<int, int> fomFolvane::WindowPosition() const {
    return {pos().x(), pos().y()};
}

void fomFolvane::CloseWindow() {
    close();
}

void fomFolvane::QuitNow() {
    QCoreApplication::exit(0);
}

void fomFolvane::ShowSetupDialog() {
    fomSetup dialog(this, form_->settings(), form_->chars(), OwnProgramPath(), templateFolder_);
    dialog.exec();
}

void fomFolvane::UpdateContextMenuEntry() {
    ShortCutMenuUpdate(form_->settings(), OwnProgramPath());
}

void fomFolvane::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // Queued, so that the window is drawn before an automatic run starts.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        QMetaObject::invokeMethod(
            this, [this] { form_->Form_Activate(); }, Qt::QueuedConnection);
}

void fomFolvane::closeEvent(QCloseEvent* event) {
    form_->Form_QueryUnload();
    event->accept();
}

void fomFolvane::keyPressEvent(QKeyEvent* event) {
    // Enter that no control took answers the Exec button, the window's default command.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (cmdExec_->isEnabled()) cmdExec_->click();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool fomFolvane::eventFilter(QObject* watched, QEvent* event) {
    if (watched == frmCtrlPanel_ && HandleDragEvent(event)) return true;
    return QWidget::eventFilter(watched, event);
}

// Handles a drag event on the folder panel; false for any other event. Only the path of a
// dropped item is read, so the drop is taken as a copy or a link, never as a move that would
// make the source delete the item. Nothing is taken during a run.
bool fomFolvane::HandleDragEvent(QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::DragLeave) return true;
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) return false;
    auto* drop = static_cast<QDropEvent*>(event);
    const Qt::DropActions possible = drop->possibleActions();
    const Qt::DropAction action = possible.testFlag(Qt::CopyAction)   ? Qt::CopyAction
                                  : possible.testFlag(Qt::LinkAction) ? Qt::LinkAction
                                                                      : Qt::IgnoreAction;
    if (form_->run().BusyFlag || action == Qt::IgnoreAction) {
        drop->ignore();
        return true;
    }
    drop->setDropAction(action);
    drop->accept();
    if (type == QEvent::Drop) form_->Form_OLEDragDrop(DroppedPaths(*drop->mimeData()));
    return true;
}

}  // namespace folvane

#pragma once
// The main window "Folvane": the folder field with its browser button, the filter field (shown
// while the filter is switched on), the buttons 設定, 実行 and 終了, and a status line with the
// progress of a run. The window's logic is MainForm's; this class supplies the widgets.

#include <QString>
#include <QWidget>
#include <memory>
#include <string>
#include <string_view>

#include "app/main_form.h"
#include "app/qt/qt_ui.h"
#include "app/status_texts.h"
#include "engine/caption_timer.h"

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMimeData;
class QPushButton;
class QStatusBar;
class QTimer;

namespace folvane {

class fomFolvane final : public QWidget, public MainFormView {
    Q_OBJECT

  public:
    // settingsFile and templateFolder are path-space paths.
    fomFolvane(std::string settingsFile, std::string templateFolder);
    ~fomFolvane() override;

    // The start-up sequence for commandLine (everything after the program name). False when
    // the command line was rejected: its message (quoting shownCommandLine, the command line as
    // typed, when given) has been shown; the window must not be shown.
    bool Load(std::string_view commandLine, std::string_view shownCommandLine = {});

    MainForm& form() { return *form_; }
    QtUi& ui() { return ui_; }

    // MainFormView. The folder field holds what a person reads and types; the text typed is
    // handed on exactly as typed.
    std::string FolderText() const override;
    void SetFolderText(const std::string& text) override;
    std::string FilterText() const override;
    void SetFilterText(const std::string& text) override;
    void SetFilterList(const std::vector<std::string>& items, const std::string& text) override;
    void ShowBusy(bool busy) override;
    // The filter panel shown or hidden; the window grows or shrinks by exactly its height.
    void ArrangePanels(bool showFilterPanel) override;
    bool FilterPanelShown() const override;
    void MoveWindow(int left, int top) override;
    std::pair<int, int> WindowPosition() const override;
    void CloseWindow() override;
    // Leaves the event loop: the program ends once the running handler has returned.
    void QuitNow() override;
    void ShowSetupDialog() override;
    void UpdateContextMenuEntry() override;

  protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QFrame* BuildCtrlPanel(int em);
    QFrame* BuildWildCardPanel(int em);
    QFrame* BuildButtonTray(int em);
    void ConnectControls();
    void ArmCaptionTimer();
    void ShowProgress();
    bool HandleDragEvent(QEvent* event);

    QtUi ui_;
    SteadyClock clock_;
    std::string templateFolder_;
    std::unique_ptr<MainForm> form_;

    QFrame* frmCtrlPanel_ = nullptr;
    QLabel* Label1_ = nullptr;
    QLineEdit* txtDirName_ = nullptr;
    QPushButton* cmdSelDir_ = nullptr;
    QFrame* frmWildCard_ = nullptr;
    QLabel* Label11_ = nullptr;
    QComboBox* cboFilterText_ = nullptr;
    QFrame* frmButtonTray_ = nullptr;
    QPushButton* cmdSetup_ = nullptr;
    QPushButton* cmdExec_ = nullptr;
    QPushButton* cmdExit_ = nullptr;
    QStatusBar* sbrStatus_ = nullptr;
    QTimer* timTimer_ = nullptr;
    // The folder text last put into the field, and how the field shows it.
    std::string folder_;
    QString shownFolder_;
};

// The host paths of the local files a drop carries, in the program's path space, in order.
std::vector<std::string> DroppedPaths(const QMimeData& data);

}  // namespace folvane

#pragma once
// Helpers of the GUI tests: answering the modal dialogs that a handler opens (they run their
// own event loops, so the test acts on them from a timer), and finding controls by name.

#include <gtest/gtest.h>

#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace folvane::testing {

// What a modal dialog showed when it was met.
struct SeenModal {
    QString kind;  // the dialog's class: "QMessageBox", "QFileDialog", ...
    QString title;
    QString text;  // message box text
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString defaultButton;       // message box: its default button's caption
    QStringList buttons;         // message box: the captions, left to right
    QString directory;           // file dialog: the folder it shows
    QString fileName;            // file dialog: the name field
    QStringList nameFilters;     // file dialog
    QString selectedNameFilter;  // file dialog
};

// Answers modal dialogs one step each, in the order they appear; polls the active modal widget
// on a timer, so it works inside any nested event loop. A dialog that appears when no step is
// left is rejected and counted as unexpected, so a test never hangs on it.
class ModalAnswerer : public QObject {
  public:
    using Step = std::function<void(QWidget& modal)>;

    ModalAnswerer();
    ModalAnswerer& Then(Step step);

    const std::vector<SeenModal>& seen() const { return seen_; }
    int unexpected() const { return unexpected_; }
    bool AllUsed() const { return steps_.empty(); }

  private:
    void Poll();

    QTimer timer_;
    std::deque<Step> steps_;
    std::vector<SeenModal> seen_;
    QPointer<QWidget> last_;
    int unexpected_ = 0;
};

// Steps. Press a message box button by its caption, or press a key on the dialog (Enter: the
// default button; Escape: the escape button).
ModalAnswerer::Step ClickButton(QString caption);
ModalAnswerer::Step PressKey(Qt::Key key);
// File dialog: choose the file at a host path and confirm; or confirm what it shows.
ModalAnswerer::Step ChooseFile(const std::string& hostPath);
ModalAnswerer::Step Confirm();
ModalAnswerer::Step Cancel();

// The child of root with the object name, of type T; fails the test when there is none.
template <class T>
T* Control(const QWidget& root, const char* name) {
    T* found = root.findChild<T*>(QString::fromLatin1(name));
    if (found == nullptr) ADD_FAILURE() << "no control " << name;
    return found;
}

// Runs body, which enters an event loop; if that loop has not ended after a generous limit,
// ends it with code 99 and fails the test. Only a guard against a hang, never a measurement.
int WithWatchdog(const std::function<int()>& body);

}  // namespace folvane::testing

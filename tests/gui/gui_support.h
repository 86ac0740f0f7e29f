#pragma once
// Helpers of the GUI tests: answering the modal dialogs a handler opens (they run their own
// event loops, so the test acts on them from a timer) and finding controls by name.

#include <gtest/gtest.h>

#include <QtTest>
#include <QtWidgets>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace folvane::testing {

// What a modal dialog showed when it was met.
struct SeenModal {
    QString kind, title, text;  // kind: the dialog's class; text: a message box's
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString defaultButton;                            // message box: its default button's caption
    QString directory, fileName, selectedNameFilter;  // file dialog
};

// Answers modal dialogs one step each, in the order they appear, polling the active modal widget
// so that it works inside any nested event loop. A dialog met when no step is left fails the
// test and is rejected, so a test never hangs on it.
class ModalAnswerer : public QObject {
  public:
    using Step = std::function<void(QWidget& modal)>;

    ModalAnswerer() {
        connect(&timer_, &QTimer::timeout, this, &ModalAnswerer::Poll);
        timer_.start(5);
    }
    ModalAnswerer& Then(Step step) {
        steps_.push_back(std::move(step));
        return *this;
    }
    const std::vector<SeenModal>& seen() const { return seen_; }
    bool AllUsed() const { return steps_.empty(); }

  private:
    void Poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || modal == last_ || !modal->isVisible()) return;
        last_ = modal;
        SeenModal& seen = seen_.emplace_back();
        seen.kind = QString::fromLatin1(modal->metaObject()->className());
        seen.title = modal->windowTitle();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            seen.text = box->text();
            seen.icon = box->icon();
            if (box->defaultButton() != nullptr) seen.defaultButton = box->defaultButton()->text();
        } else if (auto* files = qobject_cast<QFileDialog*>(modal)) {
            seen.directory = files->directory().absolutePath();
            seen.fileName = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
            seen.selectedNameFilter = files->selectedNameFilter();
        }
        if (steps_.empty()) {
            ADD_FAILURE() << "unexpected dialog: " << seen.title.toStdString() << " "
                          << seen.text.toStdString();
            qobject_cast<QDialog*>(modal)->reject();
            return;
        }
        const Step step = std::move(steps_.front());
        steps_.pop_front();
        // A step may open a nested modal dialog, and a timer does not fire again while its own
        // handler runs: another timer polls until the step returns.
        QTimer nested;
        connect(&nested, &QTimer::timeout, this, &ModalAnswerer::Poll);
        nested.start(5);
        step(*modal);
    }

    QTimer timer_;
    std::deque<Step> steps_;
    std::vector<SeenModal> seen_;
    QPointer<QWidget> last_;
};

// Steps: press a button by its caption or a key on the dialog; choose the file at a host path in
// a file dialog; accept or reject the dialog.
inline ModalAnswerer::Step ClickButton(QString caption) {
    return [caption](QWidget& modal) {
        for (auto* button : modal.findChildren<QAbstractButton*>()) {
            if (button->text() == caption && button->isVisible())
                return QTest::mouseClick(button, Qt::LeftButton);
        }
        ADD_FAILURE() << "no button " << caption.toStdString();
        qobject_cast<QDialog*>(&modal)->reject();
    };
}
inline ModalAnswerer::Step PressKey(Qt::Key key) {
    return [key](QWidget& modal) { QTest::keyClick(&modal, key); };
}
inline ModalAnswerer::Step ChooseFile(const std::string& hostPath) {
    return [path = QString::fromStdString(hostPath)](QWidget& modal) {
        qobject_cast<QFileDialog*>(&modal)->selectFile(path);
        qobject_cast<QDialog*>(&modal)->accept();
    };
}
inline ModalAnswerer::Step Confirm() {
    return [](QWidget& modal) { qobject_cast<QDialog*>(&modal)->accept(); };
}
inline ModalAnswerer::Step Cancel() {
    return [](QWidget& modal) { qobject_cast<QDialog*>(&modal)->reject(); };
}

// The child of root with the object name, of type T; fails the test when there is none.
template <class T>
T* Control(const QWidget& root, const char* name) {
    T* found = root.findChild<T*>(QString::fromLatin1(name));
    if (found == nullptr) ADD_FAILURE() << "no control " << name;
    return found;
}

// Runs body, which enters an event loop; ends that loop with code 99 and fails the test if it has
// not ended after a generous limit. A guard against a hang, never a measurement.
inline int WithWatchdog(const std::function<int()>& body) {
    bool fired = false;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&fired] {
        fired = true;
        QCoreApplication::exit(99);
    });
    watchdog.start(60000);
    const int result = body();
    EXPECT_FALSE(fired) << "the event loop did not end by itself";
    return result;
}

// Receives the addresses handed to the desktop (QDesktopServices::setUrlHandler).
class UrlCatcher : public QObject {
    Q_OBJECT
  public:
    QList<QUrl> urls;
  public slots:
    void Open(const QUrl& url) { urls << url; }
};

}  // namespace folvane::testing

#pragma once
// Helpers of the GUI tests: answering the modal dialogs a handler opens (they run their own
// event loops, so the test acts on them from a timer), and finding and driving controls by name.

#include <gtest/gtest.h>

#include <QtTest>
#include <QtWidgets>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace folvane::testing {

inline QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).replace("\r\n", "\n");
}

// What a modal dialog showed when it was met.
struct SeenModal {
    QString title, text;  // text: a message box's
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString defaultButton;        // message box: its default button's caption
    QString directory, fileName;  // file dialog
};

// A message box with the title, the text (its line ends as the program writes them) and the icon.
inline void ExpectMessage(const SeenModal& seen, std::string_view title, std::string_view text,
                          QMessageBox::Icon icon) {
    EXPECT_EQ(seen.title, Q(title));
    EXPECT_EQ(seen.text, Q(text));
    EXPECT_EQ(seen.icon, icon);
}

// Answers modal dialogs one step each, in the order they appear, polling the active modal widget
// so that it works inside any nested event loop. A dialog met when no step is left fails the
// test and is rejected, so a test never hangs on it and never meets more dialogs than it expects.
class ModalAnswerer : public QObject {
  public:
    using Step = std::function<void(QWidget& modal)>;

    explicit ModalAnswerer(const std::vector<Step>& steps = {}) : steps_(steps.begin(), steps.end()) {
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
        seen.title = modal->windowTitle();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            seen.text = box->text();
            seen.icon = box->icon();
            if (box->defaultButton() != nullptr) seen.defaultButton = box->defaultButton()->text();
        } else if (auto* files = qobject_cast<QFileDialog*>(modal)) {
            seen.directory = files->directory().absolutePath();
            seen.fileName = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
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

// Clicks a button; check boxes and option buttons at their indicator, the only part of a
// stretched one that takes clicks.
inline void Click(const QWidget& root, const char* name) {
    auto* button = Control<QAbstractButton>(root, name);
    const bool indicator = qobject_cast<QCheckBox*>(button) || qobject_cast<QRadioButton*>(button);
    const QPoint centre = button->rect().center();
    QTest::mouseClick(button, Qt::LeftButton, {},
                      indicator ? QPoint(button->height() / 2, centre.y()) : centre);
}
inline void Type(const QWidget& root, const char* name, const QString& text) {
    Control<QLineEdit>(root, name)->setText(text);
}
inline QString Text(const QWidget& root, const char* name) {
    if (auto* box = root.findChild<QLineEdit*>(name)) return box->text();
    return Control<QAbstractButton>(root, name)->text();
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

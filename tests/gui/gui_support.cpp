#include "tests/gui/gui_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace folvane::testing {

namespace {

SeenModal Describe(QWidget& modal) {
    SeenModal seen;
    seen.kind = QString::fromLatin1(modal.metaObject()->className());
    seen.title = modal.windowTitle();
    if (auto* box = qobject_cast<QMessageBox*>(&modal)) {
        seen.text = box->text();
        seen.icon = box->icon();
        if (box->defaultButton() != nullptr) seen.defaultButton = box->defaultButton()->text();
        for (QAbstractButton* button : box->buttons())
            seen.buttons << button->text();
    } else if (auto* dialog = qobject_cast<QFileDialog*>(&modal)) {
        seen.directory = dialog->directory().absolutePath();
        if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            seen.fileName = name->text();
        seen.nameFilters = dialog->nameFilters();
        seen.selectedNameFilter = dialog->selectedNameFilter();
    }
    return seen;
}

}  // namespace

ModalAnswerer::ModalAnswerer() {
    timer_.setInterval(5);
    connect(&timer_, &QTimer::timeout, this, &ModalAnswerer::Poll);
    timer_.start();
}

ModalAnswerer& ModalAnswerer::Then(Step step) {
    steps_.push_back(std::move(step));
    return *this;
}

void ModalAnswerer::Poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || modal == last_ || !modal->isVisible()) return;
    last_ = modal;
    seen_.push_back(Describe(*modal));
    if (steps_.empty()) {
        ++unexpected_;
        ADD_FAILURE() << "unexpected dialog: " << seen_.back().title.toStdString() << " "
                      << seen_.back().text.toStdString();
        if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
        return;
    }
    Step step = std::move(steps_.front());
    steps_.pop_front();
    step(*modal);
}

ModalAnswerer::Step ClickButton(QString caption) {
    return [caption](QWidget& modal) {
        for (auto* button : modal.findChildren<QAbstractButton*>()) {
            if (button->text() == caption && button->isVisible()) {
                QTest::mouseClick(button, Qt::LeftButton);
                return;
            }
        }
        ADD_FAILURE() << "no button " << caption.toStdString();
        if (auto* dialog = qobject_cast<QDialog*>(&modal)) dialog->reject();
    };
}

ModalAnswerer::Step PressKey(Qt::Key key) {
    return [key](QWidget& modal) { QTest::keyClick(&modal, key); };
}

ModalAnswerer::Step ChooseFile(const std::string& hostPath) {
    return [path = QString::fromStdString(hostPath)](QWidget& modal) {
        auto* dialog = qobject_cast<QFileDialog*>(&modal);
        if (dialog == nullptr) {
            ADD_FAILURE() << "expected a file dialog";
            return;
        }
        dialog->selectFile(path);
        static_cast<QDialog*>(dialog)->accept();
    };
}

ModalAnswerer::Step Confirm() {
    return [](QWidget& modal) {
        if (auto* dialog = qobject_cast<QDialog*>(&modal)) dialog->accept();
    };
}

ModalAnswerer::Step Cancel() {
    return [](QWidget& modal) {
        if (auto* dialog = qobject_cast<QDialog*>(&modal)) dialog->reject();
    };
}

int WithWatchdog(const std::function<int()>& body) {
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

}  // namespace folvane::testing

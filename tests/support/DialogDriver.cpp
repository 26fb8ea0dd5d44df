#include "DialogDriver.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

void DialogDriver::EnsureApplication() {
    if (QApplication::instance() != nullptr) {
        return;
    }
    static int argc = 1;
    static char name[] = "kantel-test";
    static char* argv[] = {name, nullptr};
    // Lives to the end of the program, like the editor's own.
    static auto* application = new QApplication(argc, argv);
    Q_UNUSED(application);
}

void DialogDriver::Click(QWidget* button) {
    QTest::mouseClick(button, Qt::LeftButton);
}

void DialogDriver::Retype(QWidget* edit, const QString& text) {
    edit->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty()) {
        QTest::keyClick(edit, Qt::Key_Delete);
    } else {
        QTest::keyClicks(edit, text);
    }
}

void DialogDriver::Type(QWidget* edit, const QString& text) {
    edit->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClicks(edit, text);
}

void DialogDriver::Pick(QComboBox* list, int index) {
    list->setFocus(Qt::MouseFocusReason);
    if (list->currentIndex() > index || list->currentIndex() < 0) {
        QTest::keyClick(list, Qt::Key_Home);
    }
    while (list->currentIndex() < index) {
        const int before = list->currentIndex();
        QTest::keyClick(list, Qt::Key_Down);
        if (list->currentIndex() == before) {
            break;
        }
    }
}

void DialogDriver::PressEnter(QWidget* widget) {
    QTest::keyClick(widget, Qt::Key_Return);
}

void DialogDriver::PressEscape(QWidget* widget) {
    QTest::keyClick(widget, Qt::Key_Escape);
}

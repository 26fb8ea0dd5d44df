#pragma once

// What the tests of windows share, whichever program they start: one
// QApplication for the whole test program, the deletion of closed windows,
// and a main window's menus read as the user sees them. MdiTestKit (the
// framework's small program) and EditorTestKit (the editor) build their
// fixtures on it. Each test program is one source file that includes one of
// those once.

#include <QAction>
#include <QApplication>
#include <QByteArray>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

class WindowTestEnvironment final : public ::testing::Environment {
public:
    // What follows the program's name ("kantel") on the command line; a test
    // program that starts its program on a file sets it before the tests run.
    static QStringList& Arguments() {
        static QStringList arguments;
        return arguments;
    }

    void SetUp() override {
        m_strings.push_back("kantel");
        for (const QString& argument : Arguments()) {
            m_strings.push_back(argument.toLocal8Bit());
        }
        for (QByteArray& string : m_strings) {
            m_argv.push_back(string.data());
        }
        m_argv.push_back(nullptr);
        m_argc = static_cast<int>(m_strings.size());
        m_app = std::make_unique<QApplication>(m_argc, m_argv.data());
        // The tests close windows themselves; a last one closed must not end
        // a wait under way.
        QApplication::setQuitOnLastWindowClosed(false);
    }
    void TearDown() override {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_app.reset();
    }

private:
    std::vector<QByteArray> m_strings;
    std::vector<char*> m_argv;
    int m_argc = 0;
    std::unique_ptr<QApplication> m_app;
};

inline ::testing::Environment* const g_windowTestEnvironment =
    ::testing::AddGlobalTestEnvironment(new WindowTestEnvironment);

// Windows closed by the framework go when the event loop gets to them.
inline void DeleteClosedWindows() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A fixture whose program has a main window with a menu bar.
class WindowTest : public ::testing::Test {
protected:
    // The main window whose menus the helpers below read.
    virtual QMainWindow* MenuWindow() const = 0;

    QStringList MenuBarTitles() const {
        QStringList titles;
        for (QAction* pAction : MenuWindow()->menuBar()->actions()) {
            titles.append(pAction->text());
        }
        return titles;
    }

    // The pop-up of the menu bar with this title ("&File"), opened the way a
    // click opens it (its items are updated through the routing), or nullptr.
    QMenu* OpenPopup(const QString& title) const {
        for (QAction* pAction : MenuWindow()->menuBar()->actions()) {
            if (pAction->text() == title && pAction->menu() != nullptr) {
                Q_EMIT pAction->menu()->aboutToShow();
                return pAction->menu();
            }
        }
        return nullptr;
    }

    // A pop-up's items as the user sees them: "-" for a separator, " (off)"
    // after a disabled item, " (checked)" after a marked one.
    static QStringList Items(const QMenu* pPopup) {
        QStringList items;
        if (pPopup == nullptr) {
            return items;
        }
        for (QAction* pAction : pPopup->actions()) {
            if (!pAction->isVisible()) {
                continue;
            }
            if (pAction->isSeparator()) {
                items.append(QStringLiteral("-"));
                continue;
            }
            QString text = pAction->text();
            if (!pAction->isEnabled()) {
                text += QStringLiteral(" (off)");
            }
            if (pAction->isChecked()) {
                text += QStringLiteral(" (checked)");
            }
            items.append(text);
        }
        return items;
    }

    // The item of an opened pop-up with this text, or nullptr.
    static QAction* Item(const QMenu* pPopup, const QString& text) {
        for (QAction* pAction : pPopup->actions()) {
            if (pAction->text() == text) {
                return pAction;
            }
        }
        return nullptr;
    }
};

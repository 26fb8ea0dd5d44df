#include "CFrameMenus.h"

#include "AcceleratorTable.h"
#include "AfxRes.h"
#include "CMDIChildWnd.h"
#include "CRecentFileList.h"
#include "CWinApp.h"
#include "MenuResource.h"
#include "StringTable.h"

#include "framework/core/CResourceText.h"

#include <QAction>
#include <QDir>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

#include <utility>

namespace {

// Ids of the Window pop-up's own commands: a pop-up holding one of them is
// the one the window list goes into.
constexpr int kFirstWindowCommand = ID_WINDOW_NEW;
constexpr int kLastWindowCommand = ID_WINDOW_NEW + 15;

// Properties that mark the items added and removed here.
constexpr char kRecentPlaceholder[] = "kantelRecentPlaceholder";
constexpr char kRecentEntry[] = "kantelRecentEntry";
constexpr char kWindowEntry[] = "kantelWindowEntry";
constexpr char kWindowMenu[] = "kantelWindowMenu";

QString MenuEscaped(const QString& text) {
    return QString(text).replace(u'&', QStringLiteral("&&"));
}

void RemoveMarked(QMenu* pPopup, const char* property) {
    const QList<QAction*> actions = pPopup->actions();
    for (QAction* pAction : actions) {
        if (pAction->property(property).toBool()) {
            pPopup->removeAction(pAction);
            delete pAction;
        }
    }
}

} // namespace

CFrameMenus::CFrameMenus(QMainWindow& window, Hooks hooks)
    : m_window(window), m_hooks(std::move(hooks)) {}

QAction* CFrameMenus::Action(int nID) {
    if (QAction* pAction = m_actions.value(nID)) {
        return pAction;
    }
    auto* pAction = new QAction(&m_window);
    pAction->setData(nID);
    pAction->setStatusTip(StringTable::Prompt(nID));
    pAction->setToolTip(StringTable::ToolTip(nID));
    pAction->setShortcutContext(Qt::WindowShortcut);
    // Menus of this era show no toolbar images.
    pAction->setIconVisibleInMenu(false);
    QObject::connect(pAction, &QAction::triggered, &m_window,
                     [this, nID] { m_hooks.runCommand(nID); });
    m_window.addAction(pAction);
    m_actions.insert(nID, pAction);
    return pAction;
}

void CFrameMenus::AddAccelerators(int nIDResource) {
    const AcceleratorTable* pTable = AcceleratorTable::Find(nIDResource);
    if (pTable == nullptr) {
        return;
    }
    for (const Accelerator& accel : pTable->entries) {
        QAction* pAction = Action(accel.nId);
        QList<QKeySequence> keys = pAction->shortcuts();
        keys.append(QKeySequence(accel.key));
        // Enter on the keypad is the same key to the user.
        if (accel.key.key() == Qt::Key_Return) {
            keys.append(QKeySequence(QKeyCombination(
                accel.key.keyboardModifiers() | Qt::KeypadModifier, Qt::Key_Enter)));
        }
        pAction->setShortcuts(keys);
    }
}

const QList<QMenu*>& CFrameMenus::MenuBar(int nIDResource) {
    auto it = m_menuBars.find(nIDResource);
    if (it != m_menuBars.end()) {
        return *it;
    }
    QList<QMenu*> popups;
    if (const MenuResource* pMenu = MenuResource::Find(nIDResource)) {
        for (const MenuPopup& popup : pMenu->popups) {
            auto* pPopup = new QMenu(CResourceText::Tr(popup.pszText), &m_window);
            for (const MenuItem& item : popup.items) {
                if (item.IsSeparator()) {
                    pPopup->addSeparator();
                    continue;
                }
                const QString text = CResourceText::Tr(item.pszText);
                if (item.nId == ID_FILE_MRU_FILE1) {
                    // Stands in for the recent files while there are none.
                    QAction* pPlaceholder = pPopup->addAction(text);
                    pPlaceholder->setEnabled(false);
                    pPlaceholder->setProperty(kRecentPlaceholder, true);
                    continue;
                }
                if (item.bGrayed) {
                    pPopup->addAction(text)->setEnabled(false);
                    continue;
                }
                QAction* pAction = Action(item.nId);
                if (pAction->text().isEmpty()) {
                    pAction->setText(text);
                }
                pPopup->addAction(pAction);
                if (item.nId >= kFirstWindowCommand && item.nId <= kLastWindowCommand) {
                    pPopup->setProperty(kWindowMenu, true);
                }
            }
            QObject::connect(pPopup, &QMenu::aboutToShow, &m_window,
                             [this, pPopup] { m_hooks.aboutToShow(pPopup); });
            popups.append(pPopup);
        }
    }
    return *m_menuBars.insert(nIDResource, popups);
}

void CFrameMenus::Show(int nIDResource) {
    if (nIDResource == m_nCurrent) {
        return;
    }
    m_nCurrent = nIDResource;
    QMenuBar* pBar = m_window.menuBar();
    pBar->clear();
    for (QMenu* pPopup : MenuBar(nIDResource)) {
        pBar->addMenu(pPopup);
    }
}

void CFrameMenus::Prepare(QMenu* pPopup) {
    RebuildRecentFiles(pPopup);
    if (pPopup->property(kWindowMenu).toBool()) {
        RebuildWindowList(pPopup);
    }
}

void CFrameMenus::RebuildRecentFiles(QMenu* pPopup) {
    QAction* pPlaceholder = nullptr;
    for (QAction* pAction : pPopup->actions()) {
        if (pAction->property(kRecentPlaceholder).toBool()) {
            pPlaceholder = pAction;
        }
    }
    if (pPlaceholder == nullptr) {
        return;
    }
    RemoveMarked(pPopup, kRecentEntry);
    CWinApp* pApp = AfxGetApp();
    const CRecentFileList* pList = pApp != nullptr ? pApp->m_pRecentFileList.get() : nullptr;
    const int nCount = pList != nullptr ? pList->GetCount() : 0;
    pPlaceholder->setVisible(nCount == 0);
    const QString currentDir = QDir::currentPath();
    for (int i = 0; i < nCount; ++i) {
        const int nID = ID_FILE_MRU_FILE1 + i;
        auto* pEntry = new QAction(pList->GetMenuText(i, currentDir), pPopup);
        pEntry->setData(nID);
        pEntry->setStatusTip(StringTable::Prompt(nID));
        pEntry->setProperty(kRecentEntry, true);
        QObject::connect(pEntry, &QAction::triggered, &m_window,
                         [this, nID] { m_hooks.runCommand(nID); });
        pPopup->insertAction(pPlaceholder, pEntry);
    }
}

void CFrameMenus::RebuildWindowList(QMenu* pPopup) {
    RemoveMarked(pPopup, kWindowEntry);
    const QList<CMDIChildWnd*> frames = m_hooks.childFrames();
    if (frames.isEmpty()) {
        return;
    }
    pPopup->addSeparator()->setProperty(kWindowEntry, true);
    CMDIChildWnd* pActive = m_hooks.activeChild();
    for (qsizetype i = 0; i < frames.size(); ++i) {
        // Only the first nine get a mnemonic digit.
        const QString number =
            i < 9 ? QStringLiteral("&%1 ").arg(i + 1) : QStringLiteral("%1 ").arg(i + 1);
        QAction* pEntry = pPopup->addAction(number + MenuEscaped(frames.at(i)->GetWindowText()));
        pEntry->setProperty(kWindowEntry, true);
        pEntry->setStatusTip(StringTable::Load(AFX_IDS_MDICHILD));
        pEntry->setCheckable(true);
        pEntry->setChecked(frames.at(i) == pActive);
        const QPointer<CMDIChildWnd> pFrame(frames.at(i));
        QObject::connect(pEntry, &QAction::triggered, &m_window, [pFrame] {
            if (pFrame != nullptr) {
                pFrame->MDIActivate();
            }
        });
    }
}

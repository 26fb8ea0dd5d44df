#include "CMenu.h"

#include "CMDIFrameWnd.h"
#include "IPopupMenuRunner.h"
#include "MenuResource.h"
#include "StringTable.h"

#include "framework/core/CResourceText.h"

#include <QAction>
#include <QMenu>
#include <QPoint>
#include <QPointer>

CMenu::CMenu() = default;

CMenu::~CMenu() = default;

bool CMenu::LoadMenu(int nIDResource) {
    DestroyMenu();
    m_pMenu = MenuResource::Find(nIDResource);
    if (m_pMenu == nullptr) {
        return false;
    }
    for (const MenuPopup& popup : m_pMenu->popups) {
        auto sub = std::make_unique<CMenu>();
        sub->m_pPopup = &popup;
        m_subMenus.push_back(std::move(sub));
    }
    return true;
}

bool CMenu::DestroyMenu() {
    const bool loaded = m_pMenu != nullptr;
    m_subMenus.clear();
    m_pMenu = nullptr;
    return loaded;
}

CMenu* CMenu::GetSubMenu(int nPos) {
    if (nPos < 0 || static_cast<size_t>(nPos) >= m_subMenus.size()) {
        return nullptr;
    }
    return m_subMenus[static_cast<size_t>(nPos)].get();
}

int CMenu::GetMenuItemCount() const {
    if (m_pPopup != nullptr) {
        return static_cast<int>(m_pPopup->items.size());
    }
    return static_cast<int>(m_subMenus.size());
}

bool CMenu::TrackPopupMenu(unsigned /*nFlags*/, int x, int y, CMDIFrameWnd* pOwner) {
    if (m_pPopup == nullptr || pOwner == nullptr) {
        return false;
    }
    QMenu menu(pOwner);
    for (const MenuItem& item : m_pPopup->items) {
        if (item.IsSeparator()) {
            menu.addSeparator();
            continue;
        }
        // Items of their own, since their texts differ from the menu bar's;
        // state and handler are the command's all the same.
        QAction* pAction = menu.addAction(CResourceText::Tr(item.pszText));
        pAction->setData(item.nId);
        pAction->setStatusTip(StringTable::Prompt(item.nId));
        if (item.bGrayed) {
            pAction->setEnabled(false);
        } else {
            pOwner->UpdateCmdUI(pAction);
        }
    }
    const QPointer<CMDIFrameWnd> owner(pOwner);
    QAction* pChosen = CSeam<IPopupMenuRunner>::Current().Exec(menu, QPoint(x, y));
    if (owner != nullptr && pChosen != nullptr && pChosen->isEnabled() &&
        menu.actions().contains(pChosen)) {
        owner->OnCommand(pChosen->data().toInt());
    }
    return true;
}

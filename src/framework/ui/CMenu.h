#pragma once

#include <memory>
#include <vector>

class CMDIFrameWnd;
struct MenuResource;
struct MenuPopup;

// A menu resource loaded for a context menu. Its pop-ups are tracked at a
// screen point; the chosen command goes through the owner frame's command
// routing, which also decides which items are enabled.
//
//   CMenu menu;
//   if (!menu.LoadMenu(IDR_CONTEXT))
//       return;
//   CMenu* pPopup = menu.GetSubMenu(0);
//   pPopup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, point.x(), point.y(),
//                          AfxGetMainWnd());
//   menu.DestroyMenu();
class CMenu {
public:
    CMenu();
    ~CMenu();
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    // False when there is no menu resource nIDResource.
    bool LoadMenu(int nIDResource);
    bool DestroyMenu();
    // The pop-up at nPos of a loaded menu, owned by this menu; nullptr when
    // there is none.
    CMenu* GetSubMenu(int nPos);
    int GetMenuItemCount() const;

    // Shows this pop-up at (x, y) in screen coordinates until the user
    // chooses or dismisses it, then runs the chosen command through pOwner.
    // False when this is no pop-up or there is no owner.
    bool TrackPopupMenu(unsigned nFlags, int x, int y, CMDIFrameWnd* pOwner);

private:
    const MenuResource* m_pMenu = nullptr;
    const MenuPopup* m_pPopup = nullptr;
    std::vector<std::unique_ptr<CMenu>> m_subMenus;
};

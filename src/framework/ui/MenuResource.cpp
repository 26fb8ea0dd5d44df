#include "MenuResource.h"

#include "CResourceRegistry.h"

const MenuResource* MenuResource::Find(int nId) {
    for (const MenuResource& menu : CResourceRegistry::Current().menus) {
        if (menu.nId == nId) {
            return &menu;
        }
    }
    return nullptr;
}

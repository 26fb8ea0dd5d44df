#include "ToolBarResource.h"

#include "CResourceRegistry.h"

const ToolBarResource* ToolBarResource::Find(int nId) {
    for (const ToolBarResource& toolBar : CResourceRegistry::Current().toolBars) {
        if (toolBar.nId == nId) {
            return &toolBar;
        }
    }
    return nullptr;
}

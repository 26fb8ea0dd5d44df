#include "CCmdTarget.h"

const CmdMap* CCmdTarget::GetThisMessageMap() {
    static const CmdMapEntry entries[] = {CmdMapEntry{}};
    static const CmdMap map{nullptr, entries};
    return &map;
}

const CmdMap* CCmdTarget::GetMessageMap() const {
    return GetThisMessageMap();
}

bool CCmdTarget::OnCmdMsg(int nID, int nCode, CCmdUI* pCmdUI) {
    for (const CmdMap* map = GetMessageMap(); map != nullptr;
         map = map->pfnGetBaseMap != nullptr ? map->pfnGetBaseMap() : nullptr) {
        for (const CmdMapEntry* entry = map->lpEntries;
             entry->pfnCommand != nullptr || entry->pfnUpdate != nullptr; ++entry) {
            if (nID < entry->nID || nID > entry->nLastID) {
                continue;
            }
            if (nCode == CN_UPDATE_COMMAND_UI) {
                if (entry->pfnUpdate != nullptr && pCmdUI != nullptr) {
                    entry->pfnUpdate(*this, pCmdUI);
                    return true;
                }
            } else if (entry->pfnCommand != nullptr) {
                if (nCode == CN_COMMAND) {
                    entry->pfnCommand(*this, nID);
                }
                return true;
            }
        }
    }
    return false;
}

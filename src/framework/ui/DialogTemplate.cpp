#include "DialogTemplate.h"

#include "CResourceRegistry.h"

const DialogTemplate* DialogTemplate::Find(int nId) {
    for (const DialogTemplate& dialogTemplate : CResourceRegistry::Current().dialogs) {
        if (dialogTemplate.nId == nId) {
            return &dialogTemplate;
        }
    }
    return nullptr;
}

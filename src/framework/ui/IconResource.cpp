#include "IconResource.h"

#include "CResourceRegistry.h"

const IconResource* IconResource::Find(int nId) {
    for (const IconResource& icon : CResourceRegistry::Current().icons) {
        if (icon.nId == nId) {
            return &icon;
        }
    }
    return nullptr;
}

#include "AcceleratorTable.h"

#include "CResourceRegistry.h"

const AcceleratorTable* AcceleratorTable::Find(int nId) {
    for (const AcceleratorTable& table : CResourceRegistry::Current().accelerators) {
        if (table.nId == nId) {
            return &table;
        }
    }
    return nullptr;
}

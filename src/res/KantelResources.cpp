#include "KantelResources.h"

#include "ImageFiles.h"

#include "framework/ui/CResourceRegistry.h"

void KantelResources::Register() {
    ImageFiles::Register();
    CResourceRegistry::Register(CResourceRegistry::Tables{
        Menus(),
        Accelerators(),
        ToolBars(),
        Dialogs(),
        Icons(),
        Strings(),
    });
}

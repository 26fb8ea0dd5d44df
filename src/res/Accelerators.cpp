#include "KantelResources.h"
#include "resource.h"

#include "framework/ui/AcceleratorTable.h"

#include <array>

namespace {

constexpr std::array kMainFrame{
    Accelerator{QKeyCombination(Qt::ControlModifier, Qt::Key_E), ID_WINDOW_NEW_EVENT_VIEW},
    Accelerator{QKeyCombination(Qt::ControlModifier, Qt::Key_H), ID_VIEW_HEADER},
    Accelerator{QKeyCombination(Qt::ControlModifier, Qt::Key_O), ID_FILE_OPEN},
    Accelerator{QKeyCombination(Qt::ControlModifier, Qt::Key_R), ID_WINDOW_NEW},
    Accelerator{QKeyCombination(Qt::ControlModifier, Qt::Key_S), ID_FILE_SAVE},
    Accelerator{QKeyCombination(Qt::ControlModifier, Qt::Key_Z), ID_EDIT_UNDO},
    Accelerator{QKeyCombination(Qt::ControlModifier, Qt::Key_Y), ID_EDIT_REDO},
    Accelerator{QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z), ID_EDIT_REDO},
    Accelerator{QKeyCombination(Qt::ControlModifier, Qt::Key_Q), ID_APP_EXIT},
    Accelerator{QKeyCombination(Qt::NoModifier, Qt::Key_F1), ID_HELP_INDEX},
    Accelerator{QKeyCombination(Qt::NoModifier, Qt::Key_F6), ID_NEXT_PANE},
    Accelerator{QKeyCombination(Qt::ShiftModifier, Qt::Key_F6), ID_PREV_PANE},
    Accelerator{QKeyCombination(Qt::AltModifier, Qt::Key_Return), ID_EDIT_PROPERTIES},
    Accelerator{QKeyCombination(Qt::NoModifier, Qt::Key_BracketLeft), ID_WINDOW_TILE_HORZ},
    Accelerator{QKeyCombination(Qt::NoModifier, Qt::Key_BracketRight), ID_WINDOW_TILE_VERT},
};

constexpr std::array kTables{
    AcceleratorTable{IDR_MAINFRAME, kMainFrame},
};

} // namespace

std::span<const AcceleratorTable> KantelResources::Accelerators() {
    return kTables;
}

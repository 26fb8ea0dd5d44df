#pragma once

#include "doc/IHeaderViewer.h"

// The editor's Header command: the figures in the header dialog.
class CHeaderDialogViewer final : public IHeaderViewer {
public:
    void Show(const BnmHeaderFigures& figures) override;
};

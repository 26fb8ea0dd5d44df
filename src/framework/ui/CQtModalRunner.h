#pragma once

#include "CModalRunner.h"

// The runner of the real program: the dialog's own event loop.
class CQtModalRunner final : public CModalRunner {
public:
    int RunModal(QDialog& dialog) override;
};

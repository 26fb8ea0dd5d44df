#pragma once

#include "framework/core/CSeam.h"

class QDialog;

// Runs a dialog modally and returns its result. Every modal dialog of the
// program (property dialogs, message boxes, file dialogs) goes through the
// current runner, so a test can play the user on the live dialog instead of
// racing it with timers (CSeam<CModalRunner>).
class CModalRunner {
public:
    CModalRunner() = default;
    CModalRunner(const CModalRunner&) = delete;
    CModalRunner& operator=(const CModalRunner&) = delete;
    virtual ~CModalRunner() = default;

    // Shows dialog, waits until it is ended and returns the result it was
    // ended with.
    virtual int RunModal(QDialog& dialog) = 0;
};

// The one that runs QDialog::exec.
template <> CModalRunner& CSeam<CModalRunner>::Default();

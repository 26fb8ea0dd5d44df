#pragma once

#include "framework/core/IProgressSink.h"

#include <QPointer>

class QProgressDialog;

// Shows the progress of a document's long work (writing out samples on open,
// packing them on save) in a modal progress dialog over the main frame. The
// dialog appears only when the work lasts longer than nMinimumDurationMs.
// While the work runs the window repaints, but input waits until the work is
// done, so no command can start in the middle of it.
//
//   CSeam<IProgressSink>::Guard guard(&m_progress);   // CProgressDialogSink member
class CProgressDialogSink final : public IProgressSink {
public:
    explicit CProgressDialogSink(int nMinimumDurationMs = 500);
    ~CProgressDialogSink() override;

    void Begin(const QString& label, qint64 total) override;
    void Step(qint64 done) override;
    void End() override;

    // True while some work reports here; the main frame will not close then.
    static bool IsBusy();
    // The dialog of the work in progress, or nullptr.
    QProgressDialog* GetDialog() const;
    // Work that can be given up gets a Cancel button from its next Begin
    // on; the clicks it needs are then let through while the work runs
    // (the dialog is modal, so they reach nothing else).
    void SetCancellable(bool bCancellable) { m_bCancellable = bCancellable; }
    // Whether Cancel was pressed during the work in progress.
    bool WasCancelled() const;

private:
    int m_nMinimumDuration;
    QPointer<QProgressDialog> m_pDialog;
    qint64 m_nTotal = 0;
    // Totals beyond an int are shown in steps of this many.
    qint64 m_nScale = 1;
    int m_nDepth = 0;
    bool m_bCancellable = false;
};

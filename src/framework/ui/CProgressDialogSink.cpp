#include "CProgressDialogSink.h"

#include "CMDIFrameWnd.h"
#include "CWinApp.h"

#include <QCoreApplication>
#include <QProgressDialog>

#include <algorithm>
#include <limits>

namespace {

int g_busy = 0;

} // namespace

CProgressDialogSink::CProgressDialogSink(int nMinimumDurationMs)
    : m_nMinimumDuration(nMinimumDurationMs) {}

CProgressDialogSink::~CProgressDialogSink() {
    while (m_nDepth > 0) {
        End();
    }
}

bool CProgressDialogSink::IsBusy() {
    return g_busy > 0;
}

QProgressDialog* CProgressDialogSink::GetDialog() const {
    return m_pDialog;
}

bool CProgressDialogSink::WasCancelled() const {
    return m_pDialog != nullptr && m_pDialog->wasCanceled();
}

void CProgressDialogSink::Begin(const QString& label, qint64 total) {
    ++g_busy;
    if (m_nDepth++ > 0) {
        // Work inside work: the outer dialog stays and shows the new label.
        if (m_pDialog != nullptr) {
            m_pDialog->setLabelText(label);
        }
        return;
    }
    m_nTotal = std::max<qint64>(total, 0);
    m_nScale = m_nTotal / std::numeric_limits<int>::max() + 1;
    auto* pDialog = new QProgressDialog(label, QString(), 0, static_cast<int>(m_nTotal / m_nScale),
                                        AfxGetMainWnd());
    pDialog->setWindowModality(Qt::WindowModal);
    pDialog->setWindowTitle(AfxGetApp() != nullptr ? AfxGetApp()->m_pszAppName : QString());
    if (m_bCancellable) {
        pDialog->setCancelButtonText(QCoreApplication::translate("CProgressDialogSink", "Cancel"));
    } else {
        pDialog->setCancelButton(nullptr);
    }
    pDialog->setAutoClose(false);
    pDialog->setAutoReset(false);
    // A cancellable dialog lets clicks through, so it must stand over the
    // frame from the start: no command may begin under the work.
    pDialog->setMinimumDuration(m_bCancellable ? 0 : m_nMinimumDuration);
    pDialog->setValue(0);
    m_pDialog = pDialog;
}

void CProgressDialogSink::Step(qint64 done) {
    if (m_nDepth == 0) {
        return;
    }
    if (m_pDialog != nullptr && m_nDepth == 1) {
        const qint64 clamped = std::clamp<qint64>(done, 0, m_nTotal);
        m_pDialog->setValue(static_cast<int>(clamped / m_nScale));
    }
    // Repaint and run timers; keys and clicks wait until the work is done,
    // unless they may be for Cancel.
    QCoreApplication::processEvents(m_bCancellable ? QEventLoop::AllEvents
                                                   : QEventLoop::ExcludeUserInputEvents);
}

void CProgressDialogSink::End() {
    if (m_nDepth == 0) {
        return;
    }
    --g_busy;
    if (--m_nDepth > 0) {
        return;
    }
    delete m_pDialog;
}

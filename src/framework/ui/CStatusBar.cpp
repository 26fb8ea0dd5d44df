#include "CStatusBar.h"

#include "AfxRes.h"
#include "CKeyboardLocks.h"
#include "CMDIFrameWnd.h"
#include "StringTable.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>

namespace {

// The lock whose state pane nID shows, or -1.
int LockOf(int nID) {
    switch (nID) {
    case ID_INDICATOR_CAPS:
        return CKeyboardLocks::CapsLock;
    case ID_INDICATOR_NUM:
        return CKeyboardLocks::NumLock;
    case ID_INDICATOR_SCRL:
        return CKeyboardLocks::ScrollLock;
    default:
        return -1;
    }
}

bool IsLockKey(const QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) {
        return false;
    }
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_CapsLock || key == Qt::Key_NumLock || key == Qt::Key_ScrollLock;
}

} // namespace

CStatusBar::CStatusBar() {
    // A lock key goes to whichever widget has the focus, and a lock may be
    // switched while another program is active.
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->installEventFilter(this);
    }
}

bool CStatusBar::Create(CMDIFrameWnd* pParentWnd, unsigned dwStyle, int nID) {
    if (pParentWnd == nullptr) {
        return false;
    }
    setObjectName(QStringLiteral("StatusBar%1").arg(nID));
    pParentWnd->setStatusBar(this);
    pParentWnd->RegisterControlBar(nID, this);
    setVisible((dwStyle & WS_VISIBLE) != 0);
    return true;
}

bool CStatusBar::SetIndicators(const int* lpIDArray, int nIDCount) {
    for (const Pane& pane : std::as_const(m_panes)) {
        removeWidget(pane.pLabel);
        delete pane.pLabel;
    }
    m_panes.clear();
    bool ok = true;
    for (int i = 0; i < nIDCount; ++i) {
        const int nID = lpIDArray[i];
        auto* pLabel = new QLabel(this);
        if (nID == ID_SEPARATOR) {
            // Prompts shown with showMessage() cover this pane; when they go,
            // the idle text is back.
            pLabel->setText(StringTable::Load(AFX_IDS_IDLEMESSAGE));
            addWidget(pLabel, 1);
        } else {
            const QString text = StringTable::Load(nID);
            ok = ok && !text.isEmpty();
            pLabel->setText(text);
            pLabel->setFrameShape(QFrame::Panel);
            pLabel->setFrameShadow(QFrame::Sunken);
            pLabel->setAlignment(Qt::AlignCenter);
            // Wide enough for the text also while it is not shown.
            pLabel->setMinimumWidth(pLabel->sizeHint().width() + 4);
            addPermanentWidget(pLabel);
        }
        m_panes.append(Pane{nID, pLabel, pLabel->text()});
    }
    UpdateKeyIndicators();
    return ok;
}

int CStatusBar::CommandToIndex(int nIDFind) const {
    for (qsizetype i = 0; i < m_panes.size(); ++i) {
        if (m_panes.at(i).nID == nIDFind) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

QString CStatusBar::GetPaneText(int nIndex) const {
    return nIndex >= 0 && nIndex < m_panes.size() ? m_panes.at(nIndex).strText : QString();
}

QString CStatusBar::GetShownText(int nIndex) const {
    return nIndex >= 0 && nIndex < m_panes.size() ? m_panes.at(nIndex).pLabel->text() : QString();
}

void CStatusBar::SetPaneText(int nIndex, const QString& text) {
    if (nIndex >= 0 && nIndex < m_panes.size()) {
        m_panes[nIndex].strText = text;
        const Pane& pane = m_panes.at(nIndex);
        ShowPane(pane, LockOf(pane.nID) >= 0 ? CSeam<CKeyboardLocks>::Current().Read()
                                             : CKeyboardLocks::States{});
    }
}

void CStatusBar::ShowPane(const Pane& pane, const CKeyboardLocks::States& locks) {
    const int lock = LockOf(pane.nID);
    const bool shown = lock < 0 || locks.at(static_cast<size_t>(lock));
    pane.pLabel->setText(shown ? pane.strText : QString());
}

void CStatusBar::UpdateKeyIndicators() {
    const CKeyboardLocks::States locks = CSeam<CKeyboardLocks>::Current().Read();
    for (const Pane& pane : std::as_const(m_panes)) {
        if (LockOf(pane.nID) >= 0) {
            ShowPane(pane, locks);
        }
    }
}

bool CStatusBar::eventFilter(QObject* watched, QEvent* event) {
    if (IsLockKey(event) ||
        (event->type() == QEvent::ApplicationStateChange &&
         static_cast<QApplicationStateChangeEvent*>(event)->applicationState() ==
             Qt::ApplicationActive)) {
        UpdateKeyIndicators();
    }
    return QStatusBar::eventFilter(watched, event);
}

QString CStatusBar::GetMessageText() const {
    if (!currentMessage().isEmpty()) {
        return currentMessage();
    }
    const int nIndex = CommandToIndex(ID_SEPARATOR);
    return GetPaneText(nIndex);
}

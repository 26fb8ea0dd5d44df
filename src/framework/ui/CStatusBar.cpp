#include "CStatusBar.h"

#include "CMDIFrameWnd.h"

#include "res/StringTable.h"
#include "res/resource.h"

#include <QLabel>

CStatusBar::CStatusBar() = default;

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
            pLabel->setMinimumWidth(pLabel->sizeHint().width() + 4);
            pLabel->setEnabled(false);
            addPermanentWidget(pLabel);
        }
        m_panes.append(Pane{nID, pLabel});
    }
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
    return nIndex >= 0 && nIndex < m_panes.size() ? m_panes.at(nIndex).pLabel->text() : QString();
}

void CStatusBar::SetPaneText(int nIndex, const QString& text) {
    if (nIndex >= 0 && nIndex < m_panes.size()) {
        m_panes.at(nIndex).pLabel->setText(text);
    }
}

QString CStatusBar::GetMessageText() const {
    if (!currentMessage().isEmpty()) {
        return currentMessage();
    }
    const int nIndex = CommandToIndex(ID_SEPARATOR);
    return GetPaneText(nIndex);
}

#pragma once

#include "AfxRes.h"
#include "AfxWin.h"
#include "CKeyboardLocks.h"

#include <QList>
#include <QStatusBar>

class CMDIFrameWnd;
class QLabel;

// The frame's status bar: a message pane that shows the prompt of the
// highlighted command and the idle text otherwise, followed by indicator
// panes, each from the string table.
//
//   static const int indicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS,
//                                    ID_INDICATOR_NUM, ID_INDICATOR_SCRL};
//   if (!m_wndStatusBar.Create(this) ||
//       !m_wndStatusBar.SetIndicators(indicators, std::size(indicators)))
//       return -1;
//
// The key-lock indicators (ID_INDICATOR_CAPS, _NUM, _SCRL) show their text
// while their lock is on and stand empty otherwise. Their state is asked
// whenever a key is pressed or released and when the application becomes
// active again, as a lock may have changed in another program meanwhile.
class CStatusBar : public QStatusBar {
public:
    CStatusBar();

    bool Create(CMDIFrameWnd* pParentWnd, unsigned dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
                int nID = AFX_IDW_STATUS_BAR);
    // ID_SEPARATOR (0) is the message pane; any other id is an indicator with
    // its string. False when an indicator has no string.
    bool SetIndicators(const int* lpIDArray, int nIDCount);

    int GetCount() const { return static_cast<int>(m_panes.size()); }
    int CommandToIndex(int nIDFind) const;
    QString GetPaneText(int nIndex) const;
    void SetPaneText(int nIndex, const QString& text);
    // What the message pane shows now: a prompt, or the idle text.
    QString GetMessageText() const;
    // What pane nIndex shows now: for a key-lock pane whose lock is off,
    // nothing, though GetPaneText still gives its text.
    QString GetShownText(int nIndex) const;
    // Shows each key-lock pane as its lock stands now.
    void UpdateKeyIndicators();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Pane {
        int nID;
        QLabel* pLabel;
        QString strText;
    };
    void ShowPane(const Pane& pane, const CKeyboardLocks::States& locks);
    QList<Pane> m_panes;
};

#pragma once

#include "AfxWin.h"

#include "res/resource.h"

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
// The key-lock indicators show greyed: Qt cannot tell whether a lock is on.
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

private:
    struct Pane {
        int nID;
        QLabel* pLabel;
    };
    QList<Pane> m_panes;
};

#pragma once

#include "AfxWin.h"
#include "CCmdTarget.h"

#include <QMdiSubWindow>

#include <functional>

class CDocTemplate;
class CDocument;
class CMDIFrameWnd;
class CView;

// What a template hands a new frame: the document to show and how to make
// the view.
struct CCreateContext {
    CDocument* m_pCurrentDoc = nullptr;
    CDocTemplate* m_pNewDocTemplate = nullptr;
    std::function<CView*()> m_pNewViewClass;
};

// A document window inside the main frame's MDI area, holding one view. It
// passes commands to its view (and so to the document) before its own map,
// switches the menu bar to its template's menu while it is active, and asks
// about saving when the last window of a modified document closes.
//
// By default the frame shows its document's title as caption; a frame whose
// view owns the caption clears FWS_ADDTOTITLE:
//
//   bool CChildFrame::PreCreateWindow(CREATESTRUCT& cs) {
//       cs.style &= ~FWS_ADDTOTITLE;
//       return CMDIChildWnd::PreCreateWindow(cs);
//   }
class CMDIChildWnd : public QMdiSubWindow, public CCmdTarget {
public:
    CMDIChildWnd();
    ~CMDIChildWnd() override;

    virtual bool PreCreateWindow(CREATESTRUCT& cs);
    // Made by a template: creates the view, joins it to the document and puts
    // the still hidden frame into the main frame's MDI area. False when there
    // is no main frame or PreCreateWindow refused.
    virtual bool LoadFrame(int nIDResource, CCreateContext* pContext);
    // Runs the view's OnInitialUpdate, then shows and activates the frame
    // when bMakeVisible.
    virtual void InitialUpdateFrame(CDocument* pDoc, bool bMakeVisible);
    virtual void OnUpdateFrameTitle(bool bAddToTitle);

    CView* GetActiveView() const { return m_pView; }
    CDocument* GetActiveDocument() const;
    CDocTemplate* GetDocTemplate() const { return m_pTemplate; }
    CMDIFrameWnd* GetMDIFrame() const { return m_pMDIFrame; }
    // The menu shown while the frame is active (its template's resource).
    int GetMenuResourceId() const { return m_nIDResource; }
    unsigned GetStyle() const { return m_dwStyle; }

    // The caption, shown as given (no character is taken as a placeholder).
    void SetWindowText(const QString& text);
    QString GetWindowText() const { return m_strCaption; }

    void MDIActivate();
    // Takes the view off its document and removes the frame; the widget goes
    // away once control is back in the event loop, so this is safe from
    // inside the frame's own handlers.
    void DestroyWindow();

    // View, document, then this frame's own map.
    bool OnCmdMsg(int nID, int nCode, CCmdUI* pCmdUI) override;

protected:
    // The close box and Ctrl+F4: asks about saving when this is the last
    // window of a modified document, then closes the document (and so every
    // window of it) or just this window.
    virtual void OnClose();
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    int m_nIDResource = 0;
    unsigned m_dwStyle = 0;
    CView* m_pView = nullptr;
    CDocTemplate* m_pTemplate = nullptr;
    CMDIFrameWnd* m_pMDIFrame = nullptr;
    QString m_strCaption;
    bool m_bDestroyed = false;
};

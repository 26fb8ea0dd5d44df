#include "CListView.h"

#include "CListCtrl.h"

#include <QVBoxLayout>

CListView::CListView() : m_pList(new CListCtrl(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pList);
    setFocusProxy(m_pList);

    m_pList->m_getCellText = [this](int nItem, int nSubItem) {
        // A view whose window is closing has no document left to show.
        return GetDocument() != nullptr ? GetCellText(nItem, nSubItem) : QString();
    };
    m_pList->m_onDblclk = [this] { OnDblclk(); };
    m_pList->m_onKeydown = [this](int nKey) { OnKeydown(nKey); };
    m_pList->m_onContextMenu = [this](QPoint point) { OnContextMenu(m_pList, point); };
}

CListView::~CListView() {
    // The list outlives this part of the object; it must not call back in.
    m_pList->m_getCellText = nullptr;
    m_pList->m_onDblclk = nullptr;
    m_pList->m_onKeydown = nullptr;
    m_pList->m_onContextMenu = nullptr;
    m_pList->m_onDragFiles = nullptr;
    m_pList->m_onDropFiles = nullptr;
}

void CListView::DragAcceptFiles(bool bAccept) {
    m_pList->setAcceptDrops(bAccept);
    m_pList->viewport()->setAcceptDrops(bAccept);
    if (bAccept) {
        m_pList->m_onDragFiles = [this](const QStringList& files) { return OnDragFiles(files); };
        m_pList->m_onDropFiles = [this](const QStringList& files, int nItem) {
            OnDropFiles(files, nItem);
        };
    } else {
        m_pList->m_onDragFiles = nullptr;
        m_pList->m_onDropFiles = nullptr;
    }
}

bool CListView::OnDragFiles(const QStringList& /*files*/) {
    return false;
}

void CListView::OnDropFiles(const QStringList& /*files*/, int /*nItem*/) {}

QString CListView::GetCellText(int /*nItem*/, int /*nSubItem*/) const {
    return QString();
}

void CListView::OnDblclk() {}

void CListView::OnKeydown(int /*nKey*/) {}

void CListView::OnContextMenu(QWidget* /*pWnd*/, QPoint /*point*/) {}

#include "CListView.h"

#include "CListCtrl.h"

#include <QCoreApplication>
#include <QKeySequence>
#include <QLineEdit>
#include <QShortcut>
#include <QVBoxLayout>

CListView::CListView() : m_pList(new CListCtrl(this)), m_pFilter(new QLineEdit(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_pFilter->setPlaceholderText(QCoreApplication::translate("CListView", "Filter (Ctrl+F)"));
    m_pFilter->setClearButtonEnabled(true);
    m_pFilter->setAccessibleName(QCoreApplication::translate("CListView", "Filter"));
    layout->addWidget(m_pFilter);
    layout->addWidget(m_pList);
    setFocusProxy(m_pList);
    setTabOrder(m_pFilter, m_pList);

    QObject::connect(m_pFilter, &QLineEdit::textChanged, m_pList,
                     [this](const QString& text) { m_pList->SetFilterText(text); });
    auto* find = new QShortcut(QKeySequence::Find, this);
    find->setContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(find, &QShortcut::activated, m_pFilter, [this] {
        m_pFilter->setFocus(Qt::ShortcutFocusReason);
        m_pFilter->selectAll();
    });
    auto* clear = new QShortcut(QKeySequence(Qt::Key_Escape), m_pFilter);
    clear->setContext(Qt::WidgetShortcut);
    QObject::connect(clear, &QShortcut::activated, m_pFilter, [this] {
        m_pFilter->clear();
        m_pList->setFocus(Qt::ShortcutFocusReason);
    });
    // From the field, Down goes to the rows it kept. A row merely focused
    // leaves Play and Properties disabled, so the first row is selected
    // unless the user's selected row is among them.
    auto* down = new QShortcut(QKeySequence(Qt::Key_Down), m_pFilter);
    down->setContext(Qt::WidgetShortcut);
    QObject::connect(down, &QShortcut::activated, m_pList, [this] {
        m_pList->setFocus(Qt::ShortcutFocusReason);
        if (m_pList->GetNextItem(-1, LVNI_SELECTED) >= 0 || m_pList->GetVisibleItemCount() == 0) {
            return;
        }
        m_pList->SetItemState(m_pList->GetVisibleItem(0), LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
        m_pList->scrollToTop();
    });

    m_pList->m_getCellText = [this](int nItem, int nSubItem) {
        // A view whose window is closing has no document left to show.
        return GetDocument() != nullptr ? GetCellText(nItem, nSubItem) : QString();
    };
    m_pList->m_getRowText = [this](int nItem, QString& text) {
        return GetDocument() != nullptr && GetRowText(nItem, text);
    };
    m_pList->m_onDblclk = [this] { OnDblclk(); };
    m_pList->m_onKeydown = [this](int nKey) { OnKeydown(nKey); };
    m_pList->m_onContextMenu = [this](QPoint point) { OnContextMenu(m_pList, point); };
}

CListView::~CListView() {
    // The list outlives this part of the object; it must not call back in.
    m_pList->m_getCellText = nullptr;
    m_pList->m_getRowText = nullptr;
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

bool CListView::GetRowText(int /*nItem*/, QString& /*text*/) const {
    return false;
}

void CListView::OnDblclk() {}

void CListView::OnKeydown(int /*nKey*/) {}

void CListView::OnContextMenu(QWidget* /*pWnd*/, QPoint /*point*/) {}

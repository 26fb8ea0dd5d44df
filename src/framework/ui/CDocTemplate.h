#pragma once

#include <QList>
#include <QString>

#include <functional>

class CDocument;
class CMDIChildWnd;
class CView;

// Joins a resource id (menu, icon and document strings) with the classes of
// a document, its child frame and its view. The application makes one per
// kind of window:
//
//   auto* pTemplate = new CMultiDocTemplate(IDR_BNMTYPE,
//       [] { return new CKantelDoc; }, [] { return new CChildFrame; },
//       [] { return new CKantelView; });
//   AddDocTemplate(pTemplate);            // the document manager owns it
//
// A template also makes further windows on a document it did not create
// (CreateNewFrame, then InitialUpdateFrame).
class CDocTemplate {
public:
    using DocumentFactory = std::function<CDocument*()>;
    using FrameFactory = std::function<CMDIChildWnd*()>;
    using ViewFactory = std::function<CView*()>;

    // The fields of the document string, in their order there.
    enum DocStringIndex {
        windowTitle,
        docName,
        fileNewName,
        filterName,
        filterExt,
        regFileTypeId,
        regFileTypeName,
    };

    CDocTemplate(int nIDResource, DocumentFactory newDocument, FrameFactory newFrame,
                 ViewFactory newView);
    CDocTemplate(const CDocTemplate&) = delete;
    CDocTemplate& operator=(const CDocTemplate&) = delete;
    // Deletes the documents still open (their windows must be gone).
    virtual ~CDocTemplate();

    int GetResourceId() const { return m_nIDResource; }
    // One field of string m_nIDResource; false when it is missing or empty.
    bool GetDocString(QString& rString, DocStringIndex index) const;

    // The documents this template made and that are open; it owns them.
    virtual void AddDocument(CDocument* pDoc);
    virtual void RemoveDocument(CDocument* pDoc);
    const QList<CDocument*>& GetDocuments() const { return m_docList; }
    // The template that owns pDoc, or nullptr for a document no template made.
    static CDocTemplate* GetDocTemplate(const CDocument* pDoc);

    // Closes every window of pDoc, then the document itself (OnCloseDocument),
    // and deletes it. Asks nothing: the caller has asked about saving.
    virtual void CloseDocument(CDocument* pDoc);
    // A view of pDoc went away; the document closes with its last view.
    void OnViewDetached(CDocument* pDoc);

    // A new document of the template's class, added to its list.
    virtual CDocument* CreateNewDocument();
    // A new child frame with a new view on pDoc, still hidden; nullptr when
    // the frame could not be made (nothing is reported). pOther is the frame
    // the command came from, if any.
    virtual CMDIChildWnd* CreateNewFrame(CDocument* pDoc, CMDIChildWnd* pOther);
    // Runs the frame's initial update (the view's OnInitialUpdate) and, when
    // bMakeVisible, shows and activates it.
    virtual void InitialUpdateFrame(CMDIChildWnd* pFrame, CDocument* pDoc,
                                    bool bMakeVisible = true);

    // Opens path in a new document and window, or makes an untitled document
    // when path is empty. nullptr on failure; the document and its window are
    // gone again and the user was told why.
    virtual CDocument* OpenDocumentFile(const QString& path, bool bMakeVisible = true) = 0;

protected:
    int m_nIDResource;
    DocumentFactory m_newDocument;
    FrameFactory m_newFrame;
    ViewFactory m_newView;
    QList<CDocument*> m_docList;

private:
    // The next older template alive (see GetDocTemplate).
    CDocTemplate* m_pNextTemplate;
    // Documents being closed: their last view leaving must not close them
    // a second time.
    QList<CDocument*> m_closing;
};

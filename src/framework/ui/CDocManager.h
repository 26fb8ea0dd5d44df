#pragma once

#include <QList>
#include <QString>

class CDocTemplate;
class CDocument;

// Keeps the document templates and carries out the framework's file
// commands: File New, File Open, the open sequence, Save, Save As, Close and
// the question about unsaved changes. The application owns one; a program
// that wants its own file dialogs derives and overrides DoPromptFileName.
//
//   class CMyManager : public CDocManager {
//       bool DoPromptFileName(QString& fileName, int nIDSTitle, unsigned lFlags,
//                             bool bOpenFileDialog, CDocTemplate* pTemplate) override;
//   };
//   CMyApp::CMyApp() { m_pDocManager = new CMyManager; }
class CDocManager {
public:
    CDocManager();
    CDocManager(const CDocManager&) = delete;
    CDocManager& operator=(const CDocManager&) = delete;
    // Deletes the templates, and with them any document still open.
    virtual ~CDocManager();

    // The application's document manager, or nullptr.
    static CDocManager* Current();

    // Takes ownership.
    virtual void AddDocTemplate(CDocTemplate* pTemplate);
    const QList<CDocTemplate*>& GetTemplates() const { return m_templateList; }
    int GetOpenDocumentCount() const;

    // Asks for a file name: an Open dialog (bOpenFileDialog) or a Save As
    // dialog titled with string nIDSTitle, starting with fileName. On true
    // fileName holds the chosen path. The default offers the filters of all
    // templates (or pTemplate's alone) and all files.
    virtual bool DoPromptFileName(QString& fileName, int nIDSTitle, unsigned lFlags,
                                  bool bOpenFileDialog, CDocTemplate* pTemplate);

    // File Open: asks for a name and opens it.
    virtual void OnFileOpen();
    // File New: an untitled document of the first template.
    virtual void OnFileNew();
    // Opens path in the first template, or activates the window of the
    // document that already has it open. nullptr on failure (reported).
    virtual CDocument* OpenDocumentFile(const QString& path);

    // Asks about each modified document in turn; false as soon as the user
    // cancels.
    virtual bool SaveAllModified();
    // Closes every document and its windows without asking.
    virtual void CloseAllDocuments(bool bEndSession);

    // --- What the framework does for any document -------------------------
    // "Save changes to <name>?" for a modified document: Yes saves (false if
    // that fails), No goes on, Cancel returns false. True for an unmodified
    // document.
    virtual bool SaveModified(CDocument& doc);
    // Saves to the document's own file, or asks for a name when it has none
    // or its file is read-only or gone.
    bool DoFileSave(CDocument& doc);
    // Saves to path; with an empty path asks for a name first. On success
    // with bReplace the document takes the new name, which joins the
    // recent-file list.
    bool DoSave(CDocument& doc, const QString& path, bool bReplace = true);

    // The document commands (routed from the active view).
    void OnFileClose(CDocument& doc);
    void OnFileSave(CDocument& doc);
    void OnFileSaveAs(CDocument& doc);

    // Titles each document its file's name, followed by as much of its
    // folder as tells it apart where two open files have the same name
    // ("Bnk_1.bnm (korvex/sound)"), and refreshes the views of those whose
    // title changed. Run whenever a document opens, closes or is renamed.
    void UpdateTitles();

protected:
    QList<CDocTemplate*> m_templateList;
};

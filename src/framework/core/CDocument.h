#pragma once

#include "CUndoStack.h"
#include "IProgressSink.h"

#include <QList>
#include <QString>
#include <QtGlobal>

class CArchive;
class CFileException;
class IDocumentView;

// One open file of the application, shown by any number of views. Holds the
// title, path and modified flag, tells its views about changes, and runs the
// open and save sequences that derived documents fill in through Serialize.
class CDocument {
public:
    CDocument();
    CDocument(const CDocument&) = delete;
    CDocument& operator=(const CDocument&) = delete;
    virtual ~CDocument();

    const QString& GetTitle() const { return m_strTitle; }
    virtual void SetTitle(const QString& title);
    const QString& GetPathName() const { return m_strPathName; }
    // Sets the path and, from its file name, the title.
    virtual void SetPathName(const QString& path);

    bool IsModified() const { return m_bModified; }
    // false: the document now equals its file (the history's clean point is
    // here); true: it differs, which the history shows when the change is
    // one of its steps, and which no undo takes back otherwise.
    virtual void SetModifiedFlag(bool modified = true);

    // The edit history. A derived document pushes a step for each change it
    // makes, done already; the framework's Undo and Redo run them.
    CUndoStack& GetHistory() { return m_history; }
    const CUndoStack& GetHistory() const { return m_history; }
    // Take back or do again one step; then the modified flag follows the
    // history and every view is updated. False when there was no step.
    bool Undo();
    bool Redo();

    // Views are not owned; a view removes itself before it goes away.
    void AddView(IDocumentView* view);
    void RemoveView(IDocumentView* view);
    const QList<IDocumentView*>& GetViews() const { return m_views; }
    // Calls OnUpdate on every attached view except sender.
    void UpdateAllViews(IDocumentView* sender, qintptr hint = 0, void* hintObject = nullptr);

    virtual bool OnNewDocument();
    // Opens path read-only, empties the document, loads it through Serialize
    // (unless the file is empty) and clears the modified flag. Reports a file
    // that cannot be opened or read; returns false on any failure.
    virtual bool OnOpenDocument(const QString& path);
    // Writes the document to path through Serialize. The file on disk is
    // replaced only when everything was written; on failure the old file is
    // untouched, the error is reported and the modified flag stays as it was.
    virtual bool OnSaveDocument(const QString& path);
    virtual void OnCloseDocument();
    // Whoever watches the files of open documents calls this when the file
    // at the path name may have changed; the document finds out whether it
    // did and what to tell. Nothing by default.
    virtual void OnFileChangedOnDisk() {}
    virtual void DeleteContents();
    virtual void Serialize(CArchive& archive);

    // Where long work reports its progress: CSeam<IProgressSink>.
    static IProgressSink& Progress() { return CSeam<IProgressSink>::Current(); }

protected:
    // The message for a failed open or save: the file error when there was
    // one, otherwise the framework's general text.
    virtual void ReportSaveLoadException(const QString& path, const CFileException* error,
                                         bool saving);

private:
    QString m_strTitle;
    QString m_strPathName;
    bool m_bModified = false;
    QList<IDocumentView*> m_views;
    CUndoStack m_history;

    // Sets the flag and tells whoever shows it, without touching the history.
    void ShowModified(bool modified);
};

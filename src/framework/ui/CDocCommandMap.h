#pragma once

#include <QList>

#include <functional>
#include <initializer_list>
#include <typeindex>
#include <typeinfo>

class CCmdUI;
class CDocument;

// The message maps of documents. A document class lives in a layer below the
// widgets and cannot name CCmdTarget, so its commands are registered from
// above, once, as handlers taking the document:
//
//   CDocCommandMap::Register<CKantelDoc>({
//       {ID_VIEW_HEADER, &CKantelDoc::OnViewHeader},
//       {ID_EDIT_ALL_EXTERNAL, &CKantelDoc::OnEditAllExternal},
//       {ID_FILE_PRINT, nullptr, [](CKantelDoc&, CCmdUI* pCmdUI) { pCmdUI->Enable(false); }},
//   });
//
// A view passes every command it does not handle to its document: first to the
// table registered for the document's exact class, then to the framework's
// own document commands (Undo, Redo, Close, Save, Save As).
class CDocCommandMap {
public:
    template <class TDoc> struct Entry {
        int nID;
        std::function<void(TDoc&)> command;
        std::function<void(TDoc&, CCmdUI*)> update = {};
    };

    // Replaces whatever was registered for TDoc.
    template <class TDoc> static void Register(std::initializer_list<Entry<TDoc>> entries);
    static void Unregister(const std::type_info& docClass);

    // Routes nID to doc's commands as CCmdTarget::OnCmdMsg does for a message
    // map. True when handled.
    static bool OnCmdMsg(CDocument& doc, int nID, int nCode, CCmdUI* pCmdUI);

private:
    struct AnyEntry {
        int nID;
        std::function<void(CDocument&)> command;
        std::function<void(CDocument&, CCmdUI*)> update;
    };
    static void Store(std::type_index docClass, QList<AnyEntry> entries);
    // Undo and Redo: every document's history, each menu item naming its step.
    static bool OnHistoryCmdMsg(CDocument& doc, int nID, int nCode, CCmdUI* pCmdUI);
    static bool Dispatch(const QList<AnyEntry>& entries, CDocument& doc, int nID, int nCode,
                         CCmdUI* pCmdUI);
};

template <class TDoc> void CDocCommandMap::Register(std::initializer_list<Entry<TDoc>> entries) {
    QList<AnyEntry> any;
    for (const Entry<TDoc>& entry : entries) {
        AnyEntry e{entry.nID, nullptr, nullptr};
        if (entry.command) {
            e.command = [f = entry.command](CDocument& doc) { f(static_cast<TDoc&>(doc)); };
        }
        if (entry.update) {
            e.update = [f = entry.update](CDocument& doc, CCmdUI* pCmdUI) {
                f(static_cast<TDoc&>(doc), pCmdUI);
            };
        }
        any.append(std::move(e));
    }
    Store(std::type_index(typeid(TDoc)), std::move(any));
}

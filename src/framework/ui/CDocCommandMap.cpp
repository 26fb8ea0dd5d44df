#include "CDocCommandMap.h"

#include "AfxRes.h"
#include "CCmdTarget.h"
#include "CCmdUI.h"
#include "CDocManager.h"

#include "framework/core/CDocument.h"

#include <QCoreApplication>
#include <unordered_map>

namespace {

// Filled at start-up, read on every command; the UI thread only.
template <class Entry> std::unordered_map<std::type_index, QList<Entry>>& Tables() {
    static std::unordered_map<std::type_index, QList<Entry>> tables;
    return tables;
}

} // namespace

void CDocCommandMap::Store(std::type_index docClass, QList<AnyEntry> entries) {
    Tables<AnyEntry>()[docClass] = std::move(entries);
}

void CDocCommandMap::Unregister(const std::type_info& docClass) {
    Tables<AnyEntry>().erase(std::type_index(docClass));
}

bool CDocCommandMap::Dispatch(const QList<AnyEntry>& entries, CDocument& doc, int nID, int nCode,
                              CCmdUI* pCmdUI) {
    for (const AnyEntry& entry : entries) {
        if (entry.nID != nID) {
            continue;
        }
        if (nCode == CN_UPDATE_COMMAND_UI) {
            if (entry.update && pCmdUI != nullptr) {
                entry.update(doc, pCmdUI);
                return true;
            }
        } else if (entry.command) {
            if (nCode == CN_COMMAND) {
                entry.command(doc);
            }
            return true;
        }
    }
    return false;
}

bool CDocCommandMap::OnHistoryCmdMsg(CDocument& doc, int nID, int nCode, CCmdUI* pCmdUI) {
    const bool bUndo = nID == ID_EDIT_UNDO;
    CUndoStack& history = doc.GetHistory();
    if (nCode == CN_UPDATE_COMMAND_UI) {
        if (pCmdUI != nullptr) {
            QString label = bUndo ? history.UndoLabel() : history.RedoLabel();
            // A name with an ampersand is not to underline the next letter.
            label.replace(QLatin1Char('&'), QStringLiteral("&&"));
            const QString verb = bUndo ? QCoreApplication::translate("CDocCommandMap", "&Undo")
                                       : QCoreApplication::translate("CDocCommandMap", "&Redo");
            const QString key = bUndo ? QStringLiteral("\tCtrl+Z") : QStringLiteral("\tCtrl+Y");
            pCmdUI->SetText(label.isEmpty() ? QString(verb + key)
                                            : QString(verb + QLatin1Char(' ') + label + key));
            pCmdUI->Enable(bUndo ? history.CanUndo() : history.CanRedo());
        }
        return true;
    }
    if (nCode == CN_COMMAND) {
        if (bUndo) {
            doc.Undo();
        } else {
            doc.Redo();
        }
    }
    return true;
}

bool CDocCommandMap::OnCmdMsg(CDocument& doc, int nID, int nCode, CCmdUI* pCmdUI) {
    const auto& tables = Tables<AnyEntry>();
    const auto it = tables.find(std::type_index(typeid(doc)));
    if (it != tables.end() && Dispatch(it->second, doc, nID, nCode, pCmdUI)) {
        return true;
    }

    if (nID == ID_EDIT_UNDO || nID == ID_EDIT_REDO) {
        return OnHistoryCmdMsg(doc, nID, nCode, pCmdUI);
    }

    // The framework's own document commands. They need the document manager,
    // which asks for file names and keeps the recent-file list.
    CDocManager* pManager = CDocManager::Current();
    if (pManager == nullptr || nCode == CN_UPDATE_COMMAND_UI) {
        return false;
    }
    switch (nID) {
    case ID_FILE_CLOSE:
        if (nCode == CN_COMMAND) {
            pManager->OnFileClose(doc);
        }
        return true;
    case ID_FILE_SAVE:
        if (nCode == CN_COMMAND) {
            pManager->OnFileSave(doc);
        }
        return true;
    case ID_FILE_SAVE_AS:
        if (nCode == CN_COMMAND) {
            pManager->OnFileSaveAs(doc);
        }
        return true;
    default:
        return false;
    }
}
